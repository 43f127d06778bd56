// Shared by the vault tests: libsodium loaded, and keys made with small Argon2id
// parameters (as another writer might use) so that tests not about key cost stay fast.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "vault/vault.h"

class VaultFixture : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Vault::LoadSodium()) << "libsodium is needed"; }
  void TearDown() override { Vault::CloseVault(); }

  // The caller wipes the key.
  static Vault::KeyState SmallKeys(const std::string& password, int64_t opslimit = 1,
                                   int64_t memlimit = 8192) {
    Vault::KeyState keys{nullptr, opslimit, memlimit, {}};
    for (size_t i = 0; i < Vault::kSaltSize; ++i) {
      keys.salt[i] = static_cast<unsigned char>(Vault::RandomUniform(256));
    }
    keys.key = Vault::DeriveKey(password, keys.salt, opslimit, memlimit);
    return keys;
  }

  // Writes a vault the way another writer with small parameters would.
  static void WriteSmallVault(const std::string& path, const std::string& password,
                              const std::vector<Vault::Entry>& list, int64_t opslimit = 1,
                              int64_t memlimit = 8192) {
    Vault::KeyState keys = SmallKeys(password, opslimit, memlimit);
    ASSERT_EQ(Vault::SealAndWriteFile(path, keys, list), Vault::Ok);
    Vault::WipeAndFree(keys.key, Vault::kKeySize);
  }
};
