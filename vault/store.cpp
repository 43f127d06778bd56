#include "vault/store.h"

#include <algorithm>

#include "texts/texts.h"
#include "vault/file_guard.h"
#include "vault/format.h"
#include "vault/sodium.h"
#include "vault/sodium_calls.h"

namespace Vault {
namespace {

KeyState gKeys{};  // owns the open vault's key; released only by CloseVault or a key change
std::vector<Entry> gEntries;
std::vector<VersionStamp> gOwnVersions;  // versions of the file read or written since the open,
                                         // the known one last
SaveErrorReporter gReportSaveError = nullptr;
bool gUnsaved = false;  // a failed SaveVault not yet made good
int64_t gNewOpsLimit = kNewOpsLimit;
int64_t gNewMemLimit = kNewMemLimit;

void NewKeyParameters() {
  Sodium::RandomBytes(gKeys.salt, kSaltSize);
  gKeys.opslimit = gNewOpsLimit;
  gKeys.memlimit = gNewMemLimit;
}

void NoteOwnVersion(const std::string& path) {
  VersionStamp stamp{};
  if (VersionStampAt(path, stamp)) gOwnVersions.push_back(stamp);
}

}  // namespace

std::vector<Entry>& Entries() { return gEntries; }
// The file the guard watches is the one the open vault was read from or written to.
const std::string& VaultPath() {
  static const std::string kNone;
  return IsVaultOpen() ? GuardedPath() : kNone;
}
bool IsVaultOpen() { return gKeys.key != nullptr; }
bool HasUnsavedChanges() { return gUnsaved; }

void SetSaveErrorReporter(SaveErrorReporter reporter) { gReportSaveError = reporter; }

void SetNewKeyCostsForTests(int64_t opslimit, int64_t memlimit) {
  gNewOpsLimit = opslimit;
  gNewMemLimit = memlimit;
}

VaultError SaveVaultQuietly() {
  if (gKeys.key == nullptr) return NotOpen;
  const std::string path = GuardedPath();
  if (const VaultError kept = GuardBeforeWrite(path); kept != Ok) return kept;
  FileIdentity written;
  VersionStamp stamp{};  // from the image, so that nothing is opened after the write
  const VaultError result = SealToFile(path, gKeys, gEntries, &written, &stamp);
  if (result == Ok) {
    GuardAfterWrite(path, written);
    gOwnVersions.push_back(stamp);
    gUnsaved = false;  // every write holds the whole list
  }
  return result;
}

void CloseVault() {
  if (gKeys.key != nullptr) {
    WipeAndFree(gKeys.key, kKeySize);
    gKeys.key = nullptr;
  }
  WipeEntries(gEntries);
  gUnsaved = false;
  gOwnVersions.clear();
}

VaultError OpenVault(const std::string& path, std::string_view password) {
  if (!SodiumLoaded()) return NoSodium;
  CloseVault();
  KeyState read{};
  FileIdentity seen;
  const VaultError result = ReadVaultFile(path, password, read, gEntries, &seen);
  if (result != Ok) {
    WipeEntries(gEntries);
    return result;
  }
  gKeys = read;
  RememberVaultFile(path, seen);
  NoteOwnVersion(path);
  return Ok;
}

VaultError CreateVault(const std::string& path, std::string_view password) {
  return CreateVaultHolding(path, password, {});
}

VaultError CreateVaultHolding(const std::string& path, std::string_view password,
                              std::vector<Entry>&& entries) {
  if (!SodiumLoaded() || password.empty()) {
    WipeEntries(entries);
    return !SodiumLoaded() ? NoSodium : EmptyPassword;
  }
  CloseVault();
  gEntries.swap(entries);  // the list's storage moves over whole: no text is copied
  NewKeyParameters();
  gKeys.key = DeriveKey(password, gKeys.salt, gKeys.opslimit, gKeys.memlimit);
  if (gKeys.key == nullptr) {
    WipeEntries(gEntries);
    return OutOfMemory;
  }
  // A new vault expects no file; one that appeared since the caller looked (a sync tool
  // bringing it in) is kept. Our own earlier version of this path needs no copy.
  if (path != GuardedPath()) RememberVaultFile(path, {});
  const VaultError result = SaveVaultQuietly();
  if (result != Ok) CloseVault();
  return result;
}

void SaveVault() {
  const VaultError result = SaveVaultQuietly();
  if (result != Ok && IsVaultOpen()) gUnsaved = true;
  if (result != Ok && gReportSaveError != nullptr) {
    gReportSaveError(Texts::kText.savingFailed + WriteErrorText(result));
  }
}

VaultError ChangeMasterPassword(std::string_view newPassword) {
  if (!IsVaultOpen()) return NotOpen;
  if (newPassword.empty()) return EmptyPassword;
  const KeyState previous = gKeys;  // the old key, released once the new one is on disk
  NewKeyParameters();
  gKeys.key = DeriveKey(newPassword, gKeys.salt, gKeys.opslimit, gKeys.memlimit);
  const VaultError result = gKeys.key != nullptr ? SaveVaultQuietly() : OutOfMemory;
  if (result == Ok) {
    WipeAndFree(previous.key, kKeySize);
  } else {
    WipeAndFree(gKeys.key, kKeySize);
    gKeys = previous;  // the file on disk still opens with the old password
  }
  return result;
}

VaultError CheckVaultFile(const std::string& path, std::string_view password) {
  if (!SodiumLoaded()) return NoSodium;
  std::vector<Entry> scratch;
  KeyState read{};
  const VaultError result = ReadVaultFile(path, password, read, scratch);
  if (result == Ok) WipeAndFree(read.key, kKeySize);
  WipeEntries(scratch);
  return result;
}

bool VaultFileChanged() {
  if (!IsVaultOpen()) return false;
  const FileIdentity now = IdentityAt(GuardedPath());
  return now.present && now != KnownVersion();
}

VaultError ReadWithHeldKey(const std::string& path, std::vector<Entry>& list, FileIdentity& seen,
                           bool& otherKey, std::string* sealed) {
  return ReadVaultFileWithKey(path, gKeys, list, seen, otherKey, sealed);
}

bool IsOwnVersion(const std::string& path) {
  VersionStamp stamp{};
  return VersionStampAt(path, stamp) &&
         std::ranges::find(gOwnVersions, stamp) != gOwnVersions.end();
}

bool IsKnownVersion(const std::string& path) {
  VersionStamp stamp{}, known{};
  return KnownStamp(known) && VersionStampAt(path, stamp) && stamp == known;
}

bool KnownStamp(VersionStamp& stamp) {
  if (gOwnVersions.empty()) return false;
  stamp = gOwnVersions.back();
  return true;
}

VaultError SealWithHeldKey(const std::string& path, const std::vector<Entry>& list) {
  return SealToFile(path, gKeys, list);
}

VaultError TakeVersion(std::vector<Entry>&& theirs, std::vector<Entry>&& merged,
                       const FileIdentity& seen, KeyState* keys) {
  if (keys != nullptr) {
    if (gKeys.key != nullptr) WipeAndFree(gKeys.key, kKeySize);
    gKeys = *keys;
    keys->key = nullptr;
  }
  const bool asRead = merged == theirs;
  WipeEntries(theirs);
  WipeEntries(gEntries);
  gEntries.swap(merged);
  RememberVaultFile(GuardedPath(), seen);
  NoteOwnVersion(GuardedPath());
  if (asRead) return Ok;
  const VaultError result = SaveVaultQuietly();
  if (result != Ok) gUnsaved = true;
  if (result != Ok && gReportSaveError != nullptr) {
    gReportSaveError(Texts::kText.savingFailed + WriteErrorText(result));
  }
  return result;
}

std::string WriteErrorText(VaultError code) {
  // The size check is the one file error that is not the disk's: say so.
  if (code == FileError && TooLargeToSave(gEntries)) return Texts::kText.vaultTooLarge;
  return ErrorText(code);
}

std::string ErrorText(int code) {
  if (code >= Ok && code <= NotOpen) return Texts::kText.errorText[code];
  return Texts::kText.unknownErrorPrefix + std::to_string(code) + ")";
}

}  // namespace Vault
