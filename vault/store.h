// The open vault: its entries, its key and the file it saves to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vault/entries.h"
#include "vault/file_io.h"
#include "vault/format.h"
#include "vault/vault_error.h"

namespace Vault {

// The open vault's entries; empty while closed. Change it only through the entry commands.
std::vector<Entry>& Entries();
// The file the open vault saves to, as it was opened or created; empty while closed. Where
// the shell keeps its vault, open or not, is Common::VaultFilePath.
const std::string& VaultPath();
[[nodiscard]] bool IsVaultOpen();

[[nodiscard]] VaultError OpenVault(const std::string& path, std::string_view password);
[[nodiscard]] VaultError CreateVault(const std::string& path, std::string_view password);
// CreateVault whose first write already holds the entries, so that the file appears whole
// or not at all. Takes the entries whatever happens (wiped on failure).
[[nodiscard]] VaultError CreateVaultHolding(const std::string& path, std::string_view password,
                                            std::vector<Entry>&& entries);
// Seals Entries with the open vault's key and writes VaultPath, guarded against other
// writers (file_guard.h): Ok, FileError, OutOfMemory or NotOpen.
[[nodiscard]] VaultError SaveVaultQuietly();
// SaveVaultQuietly; on failure reports "Saving failed: " + WriteErrorText through the reporter.
void SaveVault();
// Whether a change to Entries failed to be saved (SaveVault) and no whole write has taken it
// to disk since; closing the vault forgets it.
[[nodiscard]] bool HasUnsavedChanges();
[[nodiscard]] VaultError ChangeMasterPassword(std::string_view newPassword);
// Tries the password on a file without touching the open vault.
[[nodiscard]] VaultError CheckVaultFile(const std::string& path, std::string_view password);
// Wipes and frees the open vault's key and wipes Entries: the one release of what OpenVault,
// CreateVault and ChangeMasterPassword took ownership of.
void CloseVault();

// ---- Versions of the vault file that another computer wrote (a synced folder) ----------
// Whether something other than the version last read or written here is at VaultPath.
[[nodiscard]] bool VaultFileChanged();
// Reads the vault file at path (VaultPath or a copy of it) with the open vault's key, no key
// derivation: Ok and list filled; otherKey set (with WrongPassword) when it needs its own
// password. sealed, when given, receives the file's bytes as read. Secret: the caller wipes
// list.
[[nodiscard]] VaultError ReadWithHeldKey(const std::string& path, std::vector<Entry>& list,
                                         FileIdentity& seen, bool& otherKey,
                                         std::string* sealed = nullptr);
// Whether the file at path is a version of the vault this process read or wrote since the
// open (under any name).
[[nodiscard]] bool IsOwnVersion(const std::string& path);
// Whether the file at path holds the version that this process last read from or wrote to
// VaultPath: the one Entries was last equal to on disk.
[[nodiscard]] bool IsKnownVersion(const std::string& path);
// The stamp of that version; false while none is known.
[[nodiscard]] bool KnownStamp(VersionStamp& stamp);
// Brings in theirs, the version read from VaultPath as seen: merged becomes Entries, and keys
// (unless null) the key from now on, the old one wiped. merged is saved unless it is theirs
// as read; the guard counts theirs as known, so no copy of it is kept. Takes theirs, merged
// and keys' key (wiped or kept); Ok, or the save's code (the failure reported as SaveVault
// reports it, and remembered as an unsaved change).
[[nodiscard]] VaultError TakeVersion(std::vector<Entry>&& theirs, std::vector<Entry>&& merged,
                                     const FileIdentity& seen, KeyState* keys);
// Seals list with the open vault's key into path, written whole, unguarded: for a version
// kept outside the vault's folder. Ok, FileError, OutOfMemory or NotOpen.
[[nodiscard]] VaultError SealWithHeldKey(const std::string& path, const std::vector<Entry>& list);

// The message of a code in the running edition.
[[nodiscard]] std::string ErrorText(int code);
// The cause of a failed write of the open vault: ErrorText, or that it would be too large.
[[nodiscard]] std::string WriteErrorText(VaultError code);

// The shell hands in how a failed save is shown (a modal message box), so that the vault
// core needs no GTK. Without a reporter a failed save is silent.
using SaveErrorReporter = void (*)(const std::string& message);
void SetSaveErrorReporter(SaveErrorReporter reporter);
// Test seam: the Argon2id costs that CreateVault and ChangeMasterPassword give a new key,
// so that harnesses can change passwords thousands of times. The programs never call it.
void SetNewKeyCostsForTests(int64_t opslimit, int64_t memlimit);

}  // namespace Vault
