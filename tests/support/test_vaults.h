// Vault files as another writer would make them, with small Argon2id parameters so that
// tests and benchmarks not about key cost stay fast; and the header's numbers read back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vault/vault.h"

namespace TestVaults {

constexpr int64_t kSmallOpsLimit = 1;
constexpr int64_t kSmallMemLimit = 8192;

// Keys of the password with a random salt; key is null when derivation failed.
// Secret: the caller releases keys.key with Vault::WipeAndFree(keys.key, Vault::kKeySize).
[[nodiscard]] Vault::KeyState SmallKeys(const std::string& password,
                                        int64_t opslimit = kSmallOpsLimit,
                                        int64_t memlimit = kSmallMemLimit);
// Seals the list under the password and writes it to path; the key is wiped after.
[[nodiscard]] Vault::VaultError WriteSmallVault(const std::string& path,
                                                const std::string& password,
                                                const std::vector<Vault::Entry>& list,
                                                int64_t opslimit = kSmallOpsLimit,
                                                int64_t memlimit = kSmallMemLimit);
// The little-endian number of `count` bytes at offset of a file's bytes.
[[nodiscard]] uint64_t LittleEndianAt(const std::string& bytes, size_t offset, int count);

}  // namespace TestVaults
