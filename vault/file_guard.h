// Guarding the vault file against other writers. Every write of the vault file first
// compares the file on disk with the version this process last read or wrote there;
// another version is copied to a kept file beside it (path + ".extern-YYYY-MM-DD-HHMMSS",
// local time) before it is overwritten.
#pragma once

#include <cstdint>
#include <string>

#include "vault/file_io.h"
#include "vault/file_names.h"
#include "vault/vault_error.h"

namespace Vault {

// Makes identity the version of path that this process knows, for the writes to come.
void RememberVaultFile(const std::string& path, const FileIdentity& identity);
// The path the guard watches; empty before the first vault was read or written.
[[nodiscard]] const std::string& GuardedPath();
// The version of GuardedPath this process last read or wrote there.
[[nodiscard]] const FileIdentity& KnownVersion();
// Before writing path: Ok when the file there is the known version or absent, or once the
// other version has been copied to a kept file; FileError when that copy failed, and then
// nothing may be written.
[[nodiscard]] VaultError GuardBeforeWrite(const std::string& path);
// After path was written: written is the known version now; a kept copy is told.
void GuardAfterWrite(const std::string& path, const FileIdentity& written);

// The file at path was replaced on purpose (a restore): the version there now counts as the
// vault's own, so the next write keeps no copy of it.
void AdoptVaultFileOnDisk(const std::string& path);
// Copies the file at source whole over path (0600, through a link, as a save writes) under
// the same guard as a save, then adopts the copy: for putting a safety copy back. Ok or
// FileError; on FileError path is as it was.
[[nodiscard]] VaultError PutFileBackAsVault(const std::string& source, const std::string& path);
// The shell hands in how a kept copy is told (an information box); without it, silently.
using KeptCopyReporter = void (*)(const std::string& message);
void SetKeptCopyReporter(KeptCopyReporter reporter);
// Where the kept file's name takes its time from (seconds since the epoch); null means
// time(). Tests set it so that they know the name.
using WallClock = int64_t (*)();
void SetKeptCopyClock(WallClock clock);

}  // namespace Vault
