// The vault file: its on-disk layout, the key derived from the password, and sealing the
// entry list into a file or opening one.
//   0..3   magic "LWV1"            4..7   format version (little-endian)
//   8..15  Argon2id opslimit       16..23 Argon2id memlimit
//   24..39 salt                    40..63 nonce
//   64..   sealed payload (XChaCha20-Poly1305, the header as associated data), 16-byte tag
#pragma once

#include <sys/types.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vault/entries.h"
#include "vault/file_io.h"
#include "vault/vault_error.h"

namespace Vault {

constexpr unsigned char kMagic[4] = {'L', 'W', 'V', '1'};
constexpr size_t kVersionOffset = 4;
constexpr size_t kOpsOffset = 8;
constexpr size_t kMemOffset = 16;
constexpr size_t kSaltOffset = 24;
constexpr size_t kNonceOffset = 40;
constexpr size_t kHeaderSize = 64;
constexpr size_t kTagSize = 16;
constexpr size_t kKeySize = 32;
constexpr size_t kSaltSize = 16;
constexpr size_t kNonceSize = 24;
constexpr size_t kMinFileSize = kHeaderSize + kTagSize;
constexpr size_t kMaxFileSize = 64u * 1024 * 1024;
constexpr uint32_t kFormatVersion = 1;
constexpr int64_t kMinOpsLimit = 1;
constexpr int64_t kMaxOpsLimit = 20;
constexpr int64_t kMinMemLimit = 8192;
constexpr int64_t kMaxMemLimit = 1024LL * 1024 * 1024;
constexpr int64_t kNewOpsLimit = 3;  // new vaults and new passwords
constexpr int64_t kNewMemLimit = 256LL * 1024 * 1024;
constexpr mode_t kVaultFileMode = 0600;

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
// Whether the list's vault file would be larger than reading accepts, so that it is never
// written.
[[nodiscard]] bool TooLargeToSave(const std::vector<Entry>& list);
// A vault file's nonce, new on every write: it tells one written version from every other,
// also in a copy of it under another name.
using VersionStamp = std::array<unsigned char, kNonceSize>;
// Seals the list with the key and writes it whole to path, unguarded: Ok, FileError,
// OutOfMemory or NotOpen. written and stamp, when given, receive the identity and the stamp
// of the new file.
[[nodiscard]] VaultError SealToFile(const std::string& path, const KeyState& keys,
                                    const std::vector<Entry>& list, FileIdentity* written = nullptr,
                                    VersionStamp* stamp = nullptr);
// The checks made before any key is derived, on a whole file's bytes: size, magic, version
// and the key-cost ranges. Ok (and the two limits filled) or NotAVault.
[[nodiscard]] VaultError CheckVaultImage(const unsigned char* bytes, size_t size, int64_t& opslimit,
                                         int64_t& memlimit);
// Reads, checks and decrypts a vault file. On Ok, keys is filled and owns a new key, which
// the caller releases; on failure keys is untouched and nothing secret is left. seen, when
// given, receives the identity of the file that was read, and sealed its bytes as read.
[[nodiscard]] VaultError ReadVaultFile(const std::string& path, std::string_view password,
                                       KeyState& keys, std::vector<Entry>& list,
                                       FileIdentity* seen = nullptr, std::string* sealed = nullptr);
// ReadVaultFile with the key of keys instead of a password, so no key is derived: for
// another version of an open vault. A file whose salt or costs are not those of keys needs
// its own password: otherKey is set and WrongPassword returned.
[[nodiscard]] VaultError ReadVaultFileWithKey(const std::string& path, const KeyState& keys,
                                              std::vector<Entry>& list, FileIdentity& seen,
                                              bool& otherKey, std::string* sealed = nullptr);

// The stamp of the vault file at path; false when there is no vault header to read.
[[nodiscard]] bool VersionStampAt(const std::string& path, VersionStamp& stamp);

// Writes path + kTemporarySuffix (kVaultFileMode, synced), then renames it over path; a
// symbolic link at path is written through: its target is replaced and the link stays. Ok or
// FileError.
[[nodiscard]] VaultError WriteVaultBytes(const std::string& path, const void* bytes, size_t length,
                                         FileIdentity* written = nullptr);

}  // namespace Vault
