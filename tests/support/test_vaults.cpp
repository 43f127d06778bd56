#include "tests/support/test_vaults.h"

#include "vault/little_endian.h"

namespace TestVaults {

Vault::KeyState SmallKeys(const std::string& password, int64_t opslimit, int64_t memlimit) {
  Vault::KeyState keys{nullptr, opslimit, memlimit, {}};
  for (unsigned char& byte : keys.salt)
    byte = static_cast<unsigned char>(Vault::RandomUniform(256));
  keys.key = Vault::DeriveKey(password, keys.salt, opslimit, memlimit);
  return keys;
}

Vault::VaultError WriteSmallVault(const std::string& path, const std::string& password,
                                  const std::vector<Vault::Entry>& list, int64_t opslimit,
                                  int64_t memlimit) {
  Vault::KeyState keys = SmallKeys(password, opslimit, memlimit);
  if (keys.key == nullptr) return Vault::OutOfMemory;
  const Vault::VaultError result = Vault::SealToFile(path, keys, list);
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
  return result;
}

uint64_t LittleEndianAt(const std::string& bytes, size_t offset, int count) {
  return Vault::LoadLE(reinterpret_cast<const unsigned char*>(bytes.data()) + offset, count);
}

}  // namespace TestVaults
