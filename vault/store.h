// The open vault: its entries, its key and the file it saves to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vault/entries.h"
#include "vault/vault_error.h"

namespace Vault {

// The open vault's entries; empty while closed. Change it only through the entry commands.
std::vector<Entry>& Entries();
// The file the open vault saves to; empty while closed.
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
[[nodiscard]] VaultError ChangeMasterPassword(std::string_view newPassword);
// Tries the password on a file without touching the open vault.
[[nodiscard]] VaultError CheckVaultFile(const std::string& path, std::string_view password);
// Wipes and frees the open vault's key and wipes Entries: the one release of what OpenVault,
// CreateVault and ChangeMasterPassword took ownership of.
void CloseVault();

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
