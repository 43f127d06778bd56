// Which addresses may be opened, how they are handed to the browser, and which program
// opens them. No GTK here.
#pragma once

#include <string>

namespace Features {

enum class AddressCheck { Empty, Refused, Accepted };

// Checks an entry's address; on Accepted, parameter holds it quoted, with its blanks and
// double quotes encoded, "https://" put in front when it has no "://".
[[nodiscard]] AddressCheck PrepareWebAddress(const std::string& url, std::string& parameter);
// The chosen browser when it names an existing non-directory, else "xdg-open".
[[nodiscard]] std::string BrowserProgram(const std::string& browserSetting);

}  // namespace Features
