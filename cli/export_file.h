// The export file: written where no one can find it before it is whole, so that an export
// killed on the way leaves no plaintext behind.
#pragma once

#include <string>
#include <string_view>

namespace Cli {

// Writes csv to target at mode 0600, replacing a file there, through an unnamed file that
// is linked in when whole. Where the filesystem has no unnamed files, through a fresh
// temporary name, which Ctrl+C, a termination or a hang-up on the way removes. False when
// the file could not be written, with the errno of the step that failed in error; target is
// then as it was.
[[nodiscard]] bool WriteExportFile(const std::string& target, std::string_view csv, int& error);

}  // namespace Cli
