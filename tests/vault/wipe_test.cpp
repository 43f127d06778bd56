// Proves the wiping rules: run with the recording stand-in as libsodium.so.26, which sees
// every derived key, password copy and plaintext buffer, and every sodium_memzero.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/vault/vault_fixture.h"
#include "vault/vault.h"

namespace {

enum Kind { kDerivedKey = 1, kPasswordCopy = 2, kPlaintextOut = 3, kPlaintextIn = 4, kWipe = 5 };

struct Record {
  int kind;
  const void* pointer;
  size_t length;
};

struct Recorder {
  int (*count)() = nullptr;
  const Record* (*get)(int) = nullptr;
  void (*reset)() = nullptr;
  int* failPwhash = nullptr;
};

Recorder gRecorder;

std::vector<Record> Records() {
  std::vector<Record> all;
  for (int i = 0; i < gRecorder.count(); ++i) all.push_back(*gRecorder.get(i));
  return all;
}

// Whether a wipe covering `length` bytes at `pointer` follows record `after` (a payload
// sealed or opened in place is wiped with the file image around it).
bool WipedAfter(const std::vector<Record>& all, size_t after, const void* pointer, size_t length) {
  const auto start = reinterpret_cast<uintptr_t>(pointer);
  for (size_t i = after + 1; i < all.size(); ++i) {
    const auto wiped = reinterpret_cast<uintptr_t>(all[i].pointer);
    if (all[i].kind == kWipe && wiped <= start && start + length <= wiped + all[i].length) {
      return true;
    }
  }
  return false;
}

// Checks every secret of the given kind seen since the last reset; `keep` is a derived key
// that may still be held (the open vault's key).
void ExpectWiped(const char* what, const void* keep = nullptr) {
  const std::vector<Record> all = Records();
  int secrets = 0;
  for (size_t i = 0; i < all.size(); ++i) {
    const Record& r = all[i];
    switch (r.kind) {
      case kDerivedKey:
        ++secrets;
        if (r.pointer != keep) {
          EXPECT_TRUE(WipedAfter(all, i, r.pointer, 32)) << what << ": derived key";
        }
        break;
      case kPasswordCopy:  // the terminator is wiped too
        ++secrets;
        EXPECT_TRUE(WipedAfter(all, i, r.pointer, r.length + 1)) << what << ": password copy";
        break;
      case kPlaintextOut:
      case kPlaintextIn:
        ++secrets;
        EXPECT_TRUE(WipedAfter(all, i, r.pointer, r.length + 1)) << what << ": plaintext";
        break;
    }
  }
  EXPECT_GT(secrets, 0) << what << ": nothing secret was seen";
}

const void* LastDerivedKey() {
  const void* key = nullptr;
  for (const Record& r : Records()) {
    if (r.kind == kDerivedKey) key = r.pointer;
  }
  return key;
}

class Wiping : public VaultFixture {
 protected:
  void SetUp() override {
    VaultFixture::SetUp();
    gRecorder.count = reinterpret_cast<int (*)()>(dlsym(RTLD_DEFAULT, "lockwell_record_count"));
    gRecorder.get =
        reinterpret_cast<const Record* (*)(int)>(dlsym(RTLD_DEFAULT, "lockwell_record"));
    gRecorder.reset = reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, "lockwell_records_reset"));
    gRecorder.failPwhash = static_cast<int*>(dlsym(RTLD_DEFAULT, "lockwell_fail_pwhash"));
    ASSERT_TRUE(gRecorder.count && gRecorder.get && gRecorder.reset && gRecorder.failPwhash)
        << "run through ctest: LD_LIBRARY_PATH must hold the recording libsodium.so.26";
    *gRecorder.failPwhash = 0;
    path = dir.path + "kluis.lwv";
    WriteSmallVault(path, "right", {{"d", "u", "g", "secret"}});
    gRecorder.reset();
  }
  TestFiles::TempDir dir;
  std::string path;
};

TEST_F(Wiping, OpeningAndClosing) {
  EXPECT_EQ(Vault::OpenVault(path, "wrong"), Vault::WrongPassword);
  ExpectWiped("wrong password");

  gRecorder.reset();
  TestFiles::WriteFile(dir.path + "not_json.lwv",
                       TestFiles::ReadFile(LOCKWELL_DATA_DIR "not_json.lwv"));
  EXPECT_EQ(Vault::OpenVault(dir.path + "not_json.lwv", "correct horse"), Vault::NotAVault);
  ExpectWiped("rejected payload");

  gRecorder.reset();
  ASSERT_EQ(Vault::OpenVault(path, "right"), Vault::Ok);
  ExpectWiped("open", LastDerivedKey());
  const void* key = LastDerivedKey();
  Vault::CloseVault();
  ExpectWiped("close");
  EXPECT_TRUE(WipedAfter(Records(), 0, key, 32));
}

TEST_F(Wiping, SavingAndChecking) {
  ASSERT_EQ(Vault::OpenVault(path, "right"), Vault::Ok);
  gRecorder.reset();
  Vault::SaveVault();
  ExpectWiped("save");  // the composed payload

  gRecorder.reset();
  EXPECT_EQ(Vault::CheckVaultFile(path, "right"), Vault::Ok);
  ExpectWiped("check right");
  gRecorder.reset();
  EXPECT_EQ(Vault::CheckVaultFile(path, "wrong"), Vault::WrongPassword);
  ExpectWiped("check wrong");
}

TEST_F(Wiping, CreatingThatFails) {
  EXPECT_EQ(Vault::CreateVault(dir.path + "missing/kluis.lwv", "long enough"), Vault::FileError);
  ExpectWiped("create, write fails");

  gRecorder.reset();
  *gRecorder.failPwhash = 1;
  EXPECT_EQ(Vault::CreateVault(path, "long enough"), Vault::OutOfMemory);
  *gRecorder.failPwhash = 0;
  EXPECT_FALSE(Vault::IsVaultOpen());
  ExpectWiped("create, derivation fails");
}

TEST_F(Wiping, ChangingThePassword) {
  ASSERT_EQ(Vault::OpenVault(path, "right"), Vault::Ok);
  const void* oldKey = LastDerivedKey();

  gRecorder.reset();
  *gRecorder.failPwhash = 1;
  EXPECT_EQ(Vault::ChangeMasterPassword("new password"), Vault::OutOfMemory);
  *gRecorder.failPwhash = 0;
  ExpectWiped("change, derivation fails", oldKey);

  gRecorder.reset();
  ASSERT_EQ(mkdir((path + ".tmp").c_str(), 0700), 0);
  EXPECT_EQ(Vault::ChangeMasterPassword("new password"), Vault::FileError);
  rmdir((path + ".tmp").c_str());
  ExpectWiped("change, write fails", oldKey);
  EXPECT_FALSE(WipedAfter(Records(), 0, oldKey, 32)) << "the old key must stay usable";

  gRecorder.reset();
  ASSERT_EQ(Vault::ChangeMasterPassword("new password"), Vault::Ok);
  const void* newKey = LastDerivedKey();
  ExpectWiped("change", newKey);
  EXPECT_TRUE(WipedAfter(Records(), 0, oldKey, 32)) << "the old key is wiped after a change";
}

// Large blocks give their inner pages back to the kernel and write only the ragged ends;
// either way every byte of the range reads zero and nothing beside it changes.
TEST(WipeForRelease, LeavesEveryByteOfTheRangeZeroAndNoOtherByteChanged) {
  constexpr size_t kMiB = 1 << 20;
  const struct {
    size_t offset, length;
  } cases[] = {{0, 100}, {5, kMiB - 1}, {3, 3 * kMiB + 5}, {4096, 2 * kMiB}};
  for (const auto& c : cases) {
    std::vector<unsigned char> block(c.offset + c.length + 16, 0x5A);
    Vault::WipeForRelease(block.data() + c.offset, c.length);
    const auto zero = [](unsigned char b) { return b == 0; };
    EXPECT_TRUE(std::all_of(block.begin() + c.offset, block.end() - 16, zero)) << c.length;
    EXPECT_TRUE(std::none_of(block.begin(), block.begin() + c.offset, zero)) << c.length;
    EXPECT_TRUE(std::none_of(block.end() - 16, block.end(), zero)) << c.length;
  }
}

}  // namespace
