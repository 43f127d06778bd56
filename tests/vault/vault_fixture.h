// Shared by the vault tests: libsodium loaded, and vaults written with small Argon2id
// parameters through the one test-vault writer.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/test_vaults.h"
#include "vault/vault.h"

class VaultFixture : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Vault::LoadSodium()) << "libsodium is needed"; }
  void TearDown() override { Vault::CloseVault(); }

  // The caller wipes the key.
  static Vault::KeyState SmallKeys(const std::string& password) {
    return TestVaults::SmallKeys(password);
  }

  static void WriteSmallVault(const std::string& path, const std::string& password,
                              const std::vector<Vault::Entry>& list,
                              int64_t opslimit = TestVaults::kSmallOpsLimit,
                              int64_t memlimit = TestVaults::kSmallMemLimit) {
    ASSERT_EQ(TestVaults::WriteSmallVault(path, password, list, opslimit, memlimit), Vault::Ok);
  }
};
