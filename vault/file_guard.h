// Guarding the vault file against other writers: the version this process last read or
// wrote, and a kept copy of any other version before a write replaces it.
#pragma once

#include <sys/stat.h>

#include <string>

#include "vault/vault.h"

namespace Vault {

[[nodiscard]] FileIdentity IdentityOf(const struct stat& info);
// What is at path now (following a symbolic link, as reading does).
[[nodiscard]] FileIdentity IdentityAt(const std::string& path);
// Makes identity the version of path that this process knows, for the writes to come.
void RememberVaultFile(const std::string& path, const FileIdentity& identity);
// The path the guard watches; empty before the first vault was read or written.
[[nodiscard]] const std::string& GuardedPath();
// Before writing path: Ok when the file there is the known version or absent, or once the
// other version has been copied to a kept file; FileError when that copy failed, and then
// nothing may be written.
[[nodiscard]] VaultError GuardBeforeWrite(const std::string& path);
// After path was written: written is the known version now; a kept copy is told.
void GuardAfterWrite(const std::string& path, const FileIdentity& written);

}  // namespace Vault
