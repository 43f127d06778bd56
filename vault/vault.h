// The vault core: libsodium binding, vault file format, JSON payload and the open vault.
// No GTK here; everything runs on the caller's thread and reports failures as codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Vault {

struct Entry {
  std::string Omschrijving;  // description
  std::string Url;
  std::string Gebruiker;   // user name
  std::string Wachtwoord;  // password

  bool operator==(const Entry&) const = default;
};

enum VaultError : int {
  Ok = 0,
  NoSodium = 1,
  FileError = 2,
  NotAVault = 3,
  WrongPassword = 4,
  EmptyPassword = 5,
  OutOfMemory = 6,
  NotOpen = 7,
};

// ---- libsodium binding -------------------------------------------------------------

// Loads libsodium once ("libsodium.so.26", ".23", ".so"); true when usable.
[[nodiscard]] bool LoadSodium();
// True once LoadSodium has succeeded.
[[nodiscard]] bool SodiumLoaded();
// Uniform random value in 0..bound-1; 0 for bound <= 0 or without the library.
[[nodiscard]] int32_t RandomUniform(int32_t bound);

// A heap copy of a text with a terminating zero; size excludes the terminator.
// Secret: the caller releases it with WipeAndFree(data, size + 1).
struct Utf8Buffer {
  char* data;
  size_t size;
};
[[nodiscard]] Utf8Buffer ToUtf8(std::string_view text);
// Wipes len bytes with sodium_memzero, then frees; null does nothing.
void WipeAndFree(void* buffer, size_t len);
// The wipe of WipeAndFree, for a heap block about to be freed: from 1 MiB on, the whole pages
// inside it are handed back to the kernel (they read as zeros) and only the ends are written.
void WipeForRelease(void* buffer, size_t len);
// Wipes len bytes in place (sodium_memzero once loaded).
void WipeMemory(void* buffer, size_t len);
// Wipes the characters of a text, then empties it.
void WipeText(std::string& text);
// Wipes the characters of every entry, then empties the list.
void WipeEntries(std::vector<Entry>& list);
// Appends a copy of an entry; when the list must grow, its old storage is wiped first.
void AppendEntry(std::vector<Entry>& list, const Entry& entry);
// Removes an entry, wiping its texts and what the removal leaves behind in the list.
void EraseEntry(std::vector<Entry>& list, size_t index);

// ---- vault file format --------------------------------------------------------------

constexpr size_t kHeaderSize = 64;
constexpr size_t kTagSize = 16;
constexpr size_t kKeySize = 32;
constexpr size_t kSaltSize = 16;
constexpr size_t kNonceSize = 24;
constexpr size_t kNonceOffset = 40;
constexpr size_t kMinFileSize = kHeaderSize + kTagSize;
constexpr size_t kMaxFileSize = 64u * 1024 * 1024;
constexpr uint32_t kFormatVersion = 1;
constexpr int64_t kMinOpsLimit = 1;
constexpr int64_t kMaxOpsLimit = 20;
constexpr int64_t kMinMemLimit = 8192;
constexpr int64_t kMaxMemLimit = 1024LL * 1024 * 1024;
constexpr int64_t kNewOpsLimit = 3;  // new vaults and new passwords
constexpr int64_t kNewMemLimit = 256LL * 1024 * 1024;

// Who holds the record owns its key: the open vault's is released by CloseVault, any other
// by its holder with WipeAndFree(key, kKeySize).
struct KeyState {
  unsigned char* key;  // secret, kKeySize bytes
  int64_t opslimit;
  int64_t memlimit;
  unsigned char salt[kSaltSize];
};

// Argon2id key of the password; null on failure. Secret: the caller owns and wipes it.
[[nodiscard]] unsigned char* DeriveKey(std::string_view password, const unsigned char* salt,
                                       int64_t opslimit, int64_t memlimit);

// Tells one version of a file from another; present is false when nothing is there.
struct FileIdentity {
  bool present = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modifiedSeconds = 0;
  int64_t modifiedNanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};

// Whether the list's vault file would be larger than reading accepts, so that it is never
// written.
[[nodiscard]] bool TooLargeToSave(const std::vector<Entry>& list);
// Seals the list with the key and writes it whole to path (0, 2, 6 or 7); written, when
// given, receives the identity of the new file.
[[nodiscard]] VaultError SealAndWriteFile(const std::string& path, const KeyState& keys,
                                          const std::vector<Entry>& list,
                                          FileIdentity* written = nullptr);
// Seals the open vault's Entries with its KeyState and writes VaultPath, guarded against
// other writers (below): 0, 2, 6 or 7.
[[nodiscard]] VaultError SealAndWrite();
// The checks made before any key is derived, on a whole file's bytes: size, magic, version
// and the key-cost ranges. Ok (and the two limits filled) or NotAVault.
[[nodiscard]] VaultError CheckVaultImage(const unsigned char* bytes, size_t size, int64_t& opslimit,
                                         int64_t& memlimit);
// Reads, checks and decrypts a vault file. On Ok, keys is filled and owns a new key, which
// the caller releases; on failure keys is untouched and nothing secret is left. seen, when
// given, receives the identity of the file that was read.
[[nodiscard]] VaultError ReadVaultFile(const std::string& path, std::string_view password,
                                       KeyState& keys, std::vector<Entry>& list,
                                       FileIdentity* seen = nullptr);
// Writes path + ".tmp" (mode 0600, synced), then renames it over path; a symbolic link at
// path is written through: its target is replaced and the link stays. 0 or 2.
[[nodiscard]] VaultError WriteFileReplacing(const std::string& path, const void* bytes,
                                            size_t length, FileIdentity* written = nullptr);

// ---- JSON payload ---------------------------------------------------------------------

// The compact payload text of a list; it holds the passwords in clear (wipe: WipeText).
[[nodiscard]] std::string EntriesToJson(const std::vector<Entry>& list);
// Byte length of the payload of a list, and the writer into a buffer of that length.
[[nodiscard]] size_t JsonLength(const std::vector<Entry>& list);
void WriteJson(const std::vector<Entry>& list, char* out);
// True when text is an acceptable payload; list then holds its entries, else it is empty.
[[nodiscard]] bool JsonToEntries(std::string_view text, std::vector<Entry>& list);
// Bytes the reader may look at past the end of the text.
constexpr size_t kPayloadPadding = 64;
// The same, reading a buffer that has kPayloadPadding readable bytes after the text, so
// that no copy of the plaintext is made.
[[nodiscard]] bool JsonToEntriesPadded(const char* text, size_t length, std::vector<Entry>& list);

// Texts are UTF-8, except that a lone UTF-16 surrogate read from a payload (valid JSON) is
// kept in its three-byte generalised UTF-8 form, and written back as its \u escape.
[[nodiscard]] bool HasLoneSurrogate(std::string_view text);
// The text as a window shows it: every lone surrogate becomes U+FFFD (same byte length).
// Secret: a copy of a password belongs to the caller, who wipes it (WipeText).
[[nodiscard]] std::string ShownText(std::string_view text);

// ---- the open vault ---------------------------------------------------------------------

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
// Saves Entries; on failure reports "Saving failed: " + ErrorText through the reporter.
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

// ---- other writers of the vault file ------------------------------------------------------
// Every write of the vault file first compares the file on disk with the version this
// process last read or wrote there; another version is copied to a kept file beside it
// (path + ".extern-YYYY-MM-DD-HHMMSS", local time) before it is overwritten.

// What a kept copy's name has between the vault's path and its time.
constexpr char kKeptCopyInfix[] = ".extern-";

// The file at path was replaced on purpose (a restore): the version there now counts as the
// vault's own, so the next write keeps no copy of it.
void AdoptVaultFileOnDisk(const std::string& path);
// Copies the file at source whole over path (0600, through a link, as a save writes) under
// the same guard as a save, then adopts the copy: for putting a safety copy back. Ok or FileError;
// on FileError path is as it was.
[[nodiscard]] VaultError PutFileBackAsVault(const std::string& source, const std::string& path);
// The shell hands in how a kept copy is told (an information box); without it, silently.
using KeptCopyReporter = void (*)(const std::string& message);
void SetKeptCopyReporter(KeptCopyReporter reporter);
// Where the kept file's name takes its time from (seconds since the epoch); null means
// time(). Tests set it so that they know the name.
using WallClock = int64_t (*)();
void SetKeptCopyClock(WallClock clock);
// Test seam: the Argon2id costs that CreateVault and ChangeMasterPassword give a new key,
// so that harnesses can change passwords thousands of times. The programs never call it.
void SetNewKeyCostsForTests(int64_t opslimit, int64_t memlimit);

}  // namespace Vault
