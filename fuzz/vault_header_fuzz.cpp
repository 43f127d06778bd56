// libFuzzer target for the vault reader's checks before any key is derived: whatever the
// bytes, CheckVaultImage must not crash, and what it lets through to Argon2id must have the
// vault's size, magic, version and key costs in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "vault/little_endian.h"
#include "vault/vault.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int64_t opslimit = -1, memlimit = -1;
  const Vault::VaultError result = Vault::CheckVaultImage(data, size, opslimit, memlimit);
  if (result == Vault::NotAVault) {
    if (opslimit != -1 || memlimit != -1) std::abort();
    return 0;
  }
  if (result != Vault::Ok) std::abort();
  if (size < Vault::kMinFileSize || size > Vault::kMaxFileSize) std::abort();
  if (std::memcmp(data, Vault::kMagic, sizeof Vault::kMagic) != 0 ||
      Vault::LoadLE(data + Vault::kVersionOffset, 4) != Vault::kFormatVersion) {
    std::abort();
  }
  if (opslimit < Vault::kMinOpsLimit || opslimit > Vault::kMaxOpsLimit ||
      memlimit < Vault::kMinMemLimit || memlimit > Vault::kMaxMemLimit) {
    std::abort();
  }
  if (static_cast<uint64_t>(opslimit) != Vault::LoadLE(data + Vault::kOpsOffset, 8) ||
      static_cast<uint64_t>(memlimit) != Vault::LoadLE(data + Vault::kMemOffset, 8)) {
    std::abort();
  }
  return 0;
}
