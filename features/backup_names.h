// The file-name rules of backups: the home folder, the dated default name, the extension
// and the comparison with the vault's own path. No GTK here.
#pragma once

#include <string>

namespace Features {

// HOME with "/" appended when it is longer than one character and lacks one; "" for null.
[[nodiscard]] std::string HomeFolder(const char* home);
// home + prefix + "yyyy-mm-dd" + ".lwv".
[[nodiscard]] std::string DefaultBackupPath(const std::string& home, const std::string& prefix,
                                            int year, int month, int day);
// The same for today's local date.
[[nodiscard]] std::string TodaysBackupPath(const std::string& home, const std::string& prefix);
// The path with ".lwv" appended when it has no extension (an empty one counts as none).
[[nodiscard]] std::string WithBackupExtension(const std::string& path);
// Whether two paths are the same text once lower-cased.
[[nodiscard]] bool SamePathIgnoringCase(const std::string& a, const std::string& b);

}  // namespace Features
