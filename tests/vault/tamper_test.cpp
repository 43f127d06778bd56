// Every single-byte change of a small vault, at every position and to every other value,
// is refused as not a vault (3) or as a wrong password (4); none opens, none crashes.
#include <gtest/gtest.h>

#include <map>

#include "tests/support/test_files.h"
#include "tests/vault/vault_fixture.h"
#include "vault/vault.h"

namespace {

using TestFiles::TempDir;

int64_t FieldAt(const std::string& bytes, size_t offset) {
  return static_cast<int64_t>(TestVaults::LittleEndianAt(bytes, offset, 8));
}

// Changes of the key-cost fields that stay in range make libsodium derive with what they
// say, up to 20 passes over 1 GiB. Those above 64 MiB are left out: the key-cost fields'
// high bytes are the only place where that happens.
constexpr int64_t kMostMemoryTried = 64LL * 1024 * 1024;

bool Affordable(const std::string& bytes) {
  const int64_t ops = FieldAt(bytes, Vault::kOpsOffset), mem = FieldAt(bytes, Vault::kMemOffset);
  const bool inRange = ops >= Vault::kMinOpsLimit && ops <= Vault::kMaxOpsLimit &&
                       mem >= Vault::kMinMemLimit && mem <= Vault::kMaxMemLimit;
  return !inRange || mem <= kMostMemoryTried;
}

class VaultTamper : public VaultFixture {};

TEST_F(VaultTamper, EverySingleByteChangeIsRefused) {
  TempDir dir;
  const std::string good = dir.path + "good.lwv", bad = dir.path + "bad.lwv";
  WriteSmallVault(good, "tamper test", {{"mail", "https://mail.example", "ann", "s3cret"}});
  const std::string original = TestFiles::ReadFile(good);
  ASSERT_EQ(Vault::CheckVaultFile(good, "tamper test"), Vault::Ok);

  std::map<int, int> outcomes;
  int skipped = 0;
  for (size_t position = 0; position < original.size(); ++position) {
    for (int value = 0; value < 256; ++value) {
      std::string changed = original;
      if (static_cast<unsigned char>(changed[position]) == value) continue;
      changed[position] = static_cast<char>(value);
      if (!Affordable(changed)) {
        ++skipped;
        continue;
      }
      TestFiles::WriteFile(bad, changed);
      const int result = Vault::CheckVaultFile(bad, "tamper test");
      ++outcomes[result];
      ASSERT_TRUE(result == Vault::NotAVault || result == Vault::WrongPassword)
          << "byte " << position << " set to " << value << " gave " << result;
    }
  }
  const int tried = outcomes[Vault::NotAVault] + outcomes[Vault::WrongPassword];
  EXPECT_EQ(tried + skipped, static_cast<int>(original.size()) * 255);
  // Only the top memory bytes' in-range values (4..63 of byte 19) are out of reach.
  EXPECT_EQ(skipped, 60);
  EXPECT_GT(outcomes[Vault::NotAVault], 0);
  EXPECT_GT(outcomes[Vault::WrongPassword], 0);
  RecordProperty("changes_tried", tried);
}

}  // namespace
