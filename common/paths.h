// Where Lockwell keeps its files. Decided once at start-up and fixed afterwards.
#pragma once

#include <string>

namespace Common {

// The configuration directory for the arguments left after GTK's own options and the
// value of HOME (null when unset); always ends in "/".
[[nodiscard]] std::string ConfigDirFor(int argc, char** argv, const char* home);
// Sets ConfigDir and derives the vault and settings paths from it.
void SetConfigDir(const std::string& dir);
// Creates the configuration directory (one level, mode 0700) when it is missing.
void EnsureConfigDir();
// The same; true only when this call made it.
[[nodiscard]] bool MakeConfigDir();

// Whether a vault file is at path: something is there and it is not a directory.
[[nodiscard]] bool VaultFileExists(const std::string& path);

const std::string& ConfigDir();
// Where the vault is kept (ConfigDir + its file name), open or not. The open vault's own
// copy of the path it saves to is Vault::VaultPath.
const std::string& VaultFilePath();
const std::string& SettingsPath();

}  // namespace Common
