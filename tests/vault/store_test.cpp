#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/test_files.h"
#include "tests/vault/vault_fixture.h"
#include "vault/vault.h"

namespace {

using TestFiles::Exists;
using TestFiles::ReadFile;
using TestFiles::TempDir;
using TestVaults::LittleEndianAt;
using Vault::Entry;

std::vector<std::string> gReported;
void Report(const std::string& message) { gReported.push_back(message); }

class VaultStore : public VaultFixture {
 protected:
  void SetUp() override {
    VaultFixture::SetUp();
    gReported.clear();
    Vault::SetSaveErrorReporter(Report);
  }
  TempDir dir;
};

TEST_F(VaultStore, SavingWithNoVaultOpenReportsAndWritesNothing) {
  Vault::SaveVault();
  ASSERT_EQ(gReported.size(), 1u);
  EXPECT_EQ(gReported[0], "Saving failed: No vault is open.");
  EXPECT_EQ(Vault::ChangeMasterPassword("new password"), Vault::NotOpen);
}

TEST_F(VaultStore, CreateOpenEditSaveAndReopen) {
  const std::string path = dir.path + "kluis.lwv";
  EXPECT_EQ(Vault::CreateVault(path, ""), Vault::EmptyPassword);
  EXPECT_FALSE(Exists(path));
  ASSERT_EQ(Vault::CreateVault(path, "first password"), Vault::Ok);
  EXPECT_TRUE(Vault::IsVaultOpen());
  EXPECT_EQ(Vault::VaultPath(), path);
  EXPECT_TRUE(Vault::Entries().empty());
  const std::string created = ReadFile(path);
  ASSERT_EQ(created.size(), 94u);
  EXPECT_EQ(LittleEndianAt(created, 8, 8), 3u);
  EXPECT_EQ(LittleEndianAt(created, 16, 8), 268435456u);

  // An empty password changes nothing about the open vault.
  EXPECT_EQ(Vault::CreateVault(dir.path + "other.lwv", ""), Vault::EmptyPassword);
  EXPECT_TRUE(Vault::IsVaultOpen());
  EXPECT_EQ(Vault::VaultPath(), path);

  Vault::Entries().push_back({"mail", "https://mail.example", "ann", "s3cret"});
  Vault::SaveVault();
  EXPECT_TRUE(gReported.empty());
  EXPECT_EQ(ReadFile(path).substr(0, 40), created.substr(0, 40));  // salt and limits kept

  // Checking the open vault's own file touches nothing.
  EXPECT_EQ(Vault::CheckVaultFile(path, "first password"), Vault::Ok);
  EXPECT_EQ(Vault::CheckVaultFile(path, "wrong"), Vault::WrongPassword);
  EXPECT_TRUE(Vault::IsVaultOpen());
  ASSERT_EQ(Vault::Entries().size(), 1u);

  Vault::CloseVault();
  EXPECT_FALSE(Vault::IsVaultOpen());
  EXPECT_TRUE(Vault::Entries().empty());
  EXPECT_EQ(Vault::VaultPath(), "");
  ASSERT_EQ(Vault::OpenVault(path, "first password"), Vault::Ok);
  ASSERT_EQ(Vault::Entries().size(), 1u);
  EXPECT_EQ(Vault::Entries()[0].Wachtwoord, "s3cret");
}

TEST_F(VaultStore, AWrongPasswordClosesTheVaultThatWasOpen) {
  const std::string a = dir.path + "a.lwv", b = dir.path + "b.lwv";
  WriteSmallVault(a, "alpha", {{"in a", "", "", ""}});
  WriteSmallVault(b, "bravo", {{"in b", "", "", ""}});
  ASSERT_EQ(Vault::OpenVault(a, "alpha"), Vault::Ok);
  EXPECT_EQ(Vault::OpenVault(b, "alpha"), Vault::WrongPassword);
  EXPECT_FALSE(Vault::IsVaultOpen());
  EXPECT_TRUE(Vault::Entries().empty());
  EXPECT_EQ(Vault::VaultPath(), "");
  EXPECT_EQ(Vault::OpenVault(dir.path + "missing.lwv", "alpha"), Vault::FileError);
  EXPECT_EQ(Vault::OpenVault(b, ""), Vault::WrongPassword);
}

TEST_F(VaultStore, AnotherWritersParametersAreKeptUntilThePasswordChanges) {
  const std::string path = dir.path + "kluis.lwv";
  WriteSmallVault(path, "old password", {{"kept", "", "", ""}}, 4, 67108864);
  const std::string original = ReadFile(path);
  ASSERT_EQ(Vault::OpenVault(path, "old password"), Vault::Ok);
  Vault::SaveVault();
  const std::string saved = ReadFile(path);
  EXPECT_EQ(LittleEndianAt(saved, 8, 8), 4u);
  EXPECT_EQ(LittleEndianAt(saved, 16, 8), 67108864u);
  EXPECT_EQ(saved.substr(24, 16), original.substr(24, 16));

  EXPECT_EQ(Vault::ChangeMasterPassword(""), Vault::EmptyPassword);
  EXPECT_EQ(ReadFile(path), saved);
  ASSERT_EQ(Vault::ChangeMasterPassword("new password"), Vault::Ok);
  const std::string changed = ReadFile(path);
  EXPECT_EQ(LittleEndianAt(changed, 8, 8), 3u);
  EXPECT_EQ(LittleEndianAt(changed, 16, 8), 268435456u);
  EXPECT_NE(changed.substr(24, 16), original.substr(24, 16));
  EXPECT_EQ(Vault::CheckVaultFile(path, "old password"), Vault::WrongPassword);
  EXPECT_EQ(Vault::CheckVaultFile(path, "new password"), Vault::Ok);
  EXPECT_TRUE(Vault::IsVaultOpen());
  ASSERT_EQ(Vault::Entries().size(), 1u);
  EXPECT_EQ(Vault::Entries()[0].Omschrijving, "kept");
}

TEST_F(VaultStore, AFailedPasswordChangeGoesOnWithTheOldKey) {
  const std::string path = dir.path + "kluis.lwv";
  WriteSmallVault(path, "old password", {{"kept", "", "", ""}});
  ASSERT_EQ(Vault::OpenVault(path, "old password"), Vault::Ok);
  const std::string before = ReadFile(path);
  // A folder in the way of the temporary file makes the write fail.
  ASSERT_EQ(mkdir((path + ".tmp").c_str(), 0700), 0);
  EXPECT_EQ(Vault::ChangeMasterPassword("new password"), Vault::FileError);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_TRUE(Vault::IsVaultOpen());
  rmdir((path + ".tmp").c_str());

  // The next save still uses the old key, salt and limits.
  Vault::Entries().push_back({"added", "", "", ""});
  Vault::SaveVault();
  EXPECT_TRUE(gReported.empty());
  EXPECT_EQ(ReadFile(path).substr(0, 40), before.substr(0, 40));
  Vault::CloseVault();
  ASSERT_EQ(Vault::OpenVault(path, "old password"), Vault::Ok);
  EXPECT_EQ(Vault::Entries().size(), 2u);
}

TEST_F(VaultStore, AFailedSaveKeepsTheChangeAndTellsTheUser) {
  const std::string path = dir.path + "kluis.lwv";
  WriteSmallVault(path, "pw", {});
  ASSERT_EQ(Vault::OpenVault(path, "pw"), Vault::Ok);
  const std::string before = ReadFile(path);
  ASSERT_EQ(mkdir((path + ".tmp").c_str(), 0700), 0);
  Vault::Entries().push_back({"unsaved", "", "", ""});
  Vault::SaveVault();
  ASSERT_EQ(gReported.size(), 1u);
  EXPECT_EQ(gReported[0], "Saving failed: The file could not be read or written.");
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(Vault::Entries().size(), 1u);
  rmdir((path + ".tmp").c_str());
  Vault::SaveVault();  // the next save writes the whole list
  Vault::CloseVault();
  ASSERT_EQ(Vault::OpenVault(path, "pw"), Vault::Ok);
  EXPECT_EQ(Vault::Entries().size(), 1u);
}

TEST_F(VaultStore, CreatingInAFolderThatCannotHoldItFailsClosed) {
  EXPECT_EQ(Vault::CreateVault(dir.path + "missing/kluis.lwv", "long enough"), Vault::FileError);
  EXPECT_FALSE(Vault::IsVaultOpen());
  EXPECT_EQ(Vault::VaultPath(), "");
}

}  // namespace

namespace {

// Short texts live inside the entries, so the list's own storage must not keep a removed
// or moved password. The storage is scanned as the allocator would hand it back.
bool SpareHolds(const std::vector<Vault::Entry>& list, const std::string& text) {
  const auto* spare = reinterpret_cast<const char*>(list.data() + list.size());
  const std::string bytes(spare, (list.capacity() - list.size()) * sizeof(Vault::Entry));
  return bytes.find(text) != std::string::npos;
}

TEST(EntryList, RemovedAndClearedEntriesLeaveNoTextInTheListsStorage) {
  std::vector<Vault::Entry> list;
  for (const char* password : {"pw-one", "pw-two", "pw-three"}) {
    Vault::AppendEntry(list, {"entry", "", "", password});
  }
  Vault::EraseEntry(list, 0);  // the later entries move up over it
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Wachtwoord, "pw-two");
  EXPECT_EQ(list[1].Wachtwoord, "pw-three");
  EXPECT_FALSE(SpareHolds(list, "pw-three"));
  EXPECT_FALSE(SpareHolds(list, "pw-one"));
  Vault::WipeEntries(list);
  EXPECT_FALSE(SpareHolds(list, "pw-two"));
  EXPECT_FALSE(SpareHolds(list, "pw-three"));

  // Growing keeps every entry, in order.
  for (int i = 0; i < 40; ++i) Vault::AppendEntry(list, {std::to_string(i), "", "", "p"});
  ASSERT_EQ(list.size(), 40u);
  EXPECT_EQ(list[39].Omschrijving, "39");
}

}  // namespace
