// What the companion prints: whole writes to standard output or error, and other people's
// text made safe for a terminal. The edition's texts are filled in by Texts::Fill.
#pragma once

#include <string>
#include <string_view>

namespace Cli {

// Writes all of text; false when the stream fails (a closed pipe, a full disk).
[[nodiscard]] bool WriteAll(int fd, std::string_view text);
// A line (text + "\n") on standard output or standard error; failures there are ignored.
void PrintLine(std::string_view text);
void PrintError(std::string_view text);
// The text with control characters (terminal escapes, tabs, line breaks) shown as spaces
// and bytes that are not UTF-8 as U+FFFD.
[[nodiscard]] std::string Printable(std::string_view text);

}  // namespace Cli
