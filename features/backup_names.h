// The file-name rules of backups: the home folder, the dated default name, the extension
// and the comparison with the vault's own path and its companions. No GTK here.
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
// Whether two paths are the same text once case-folded (the same under every locale).
[[nodiscard]] bool SamePathIgnoringCase(const std::string& a, const std::string& b);
// Whether path is the vault file: the same text in any letter case, the same place once
// symbolic links (of the folder or the file) are followed, or the same file (device and
// inode).
[[nodiscard]] bool IsVaultItself(const std::string& path, const std::string& vaultPath);
// The same, also for the vault's companion files: its temporary file (".tmp"), the safety
// copy and the kept copies, beside the vault or beside the target of its link.
[[nodiscard]] bool IsVaultOrCompanion(const std::string& path, const std::string& vaultPath);

}  // namespace Features
