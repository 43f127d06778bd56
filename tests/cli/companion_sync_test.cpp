// Two computers keep the vault's folder equal with Syncthing. Apart, both change the vault;
// together again, Syncthing keeps one version as a conflict copy, and the companion's merge
// without a file brings it in and removes it, on both computers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/cli/companion_story.h"
#include "tests/support/syncthing.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/vault.h"

namespace {

using Vault::Entry;

constexpr char kVaultName[] = "kluis.lwv";
constexpr char kPassword[] = "shared password";

std::vector<Entry> Sorted(std::vector<Entry> list) {
  std::sort(list.begin(), list.end(), [](const Entry& x, const Entry& y) {
    return std::tie(x.Omschrijving, x.Gebruiker, x.Wachtwoord) <
           std::tie(y.Omschrijving, y.Gebruiker, y.Wachtwoord);
  });
  return list;
}

std::vector<Entry> EntriesOf(const std::string& path) {
  EXPECT_EQ(Vault::OpenVault(path, kPassword), Vault::Ok) << path;
  std::vector<Entry> list = Vault::Entries();
  Vault::CloseVault();
  return list;
}

TEST(CompanionSync, MergeWithoutAFileAfterARealConflict) {
  ASSERT_TRUE(Vault::LoadSodium());
  TestFiles::TempDir root;
  Syncthing::Pair pair;
  ASSERT_TRUE(Syncthing::Start(pair, root.path))
      << Syncthing::LogOf(pair.a) << Syncthing::LogOf(pair.b);
  const std::string onA = pair.a.folder + kVaultName, onB = pair.b.folder + kVaultName;
  const Entry bank{"Bank", "https://bank.example.com", "ann", "b1"};
  const Entry mail{"Mail", "https://mail.example.org", "ann", "first"};
  ASSERT_EQ(TestVaults::WriteSmallVault(onA, kPassword, {bank, mail}), Vault::Ok);
  ASSERT_TRUE(Syncthing::WaitUntilEqual(pair, kVaultName)) << Syncthing::LogOf(pair.b);

  // Apart, A changes Mail's password and adds Club; B changes it otherwise and adds Shop.
  ASSERT_TRUE(Syncthing::Apart(pair));
  Entry mailOnA = mail, mailOnB = mail;
  mailOnA.Wachtwoord = "changed on A";
  mailOnB.Wachtwoord = "changed on B";
  const Entry club{"Club", "", "ann", "c"}, shop{"Shop", "", "bob", "s"};
  ASSERT_EQ(TestVaults::WriteSmallVault(onA, kPassword, {bank, mailOnA, club}), Vault::Ok);
  ASSERT_EQ(TestVaults::WriteSmallVault(onB, kPassword, {bank, mailOnB, shop}), Vault::Ok);
  ASSERT_TRUE(Syncthing::Rescan(pair.a) && Syncthing::Rescan(pair.b));
  ASSERT_TRUE(Syncthing::Together(pair));
  const std::string conflict = Syncthing::WaitForConflictCopy(pair, kVaultName);
  ASSERT_FALSE(conflict.empty()) << Syncthing::LogOf(pair.a) << Syncthing::LogOf(pair.b);
  ASSERT_TRUE(Syncthing::WaitUntilEqual(pair, kVaultName));

  // On A, whose configuration folder holds only a link into the shared folder, the companion
  // merges the copy beside the link's target: every entry of both, the two Mails named.
  const std::string config = root.path + "config/";
  ASSERT_EQ(mkdir(config.c_str(), 0700), 0);
  ASSERT_EQ(symlink(onA.c_str(), (config + kVaultName).c_str()), 0);
  const CompanionStory::Outcome merged = CompanionStory::RunProgram(
      LOCKWELL_CLI_EN, {"--dir", config, "merge"}, std::string(kPassword) + "\n", root.path);
  ASSERT_EQ(merged.status, 0) << merged.out;
  EXPECT_NE(merged.out.find("Mail (ann): two versions kept; they differ in the password\n"),
            std::string::npos)
      << merged.out;
  EXPECT_NE(merged.out.find("Removed " + pair.a.folder + conflict), std::string::npos)
      << merged.out;
  const std::vector<Entry> everything = Sorted({bank, mailOnA, mailOnB, club, shop});
  EXPECT_EQ(Sorted(EntriesOf(onA)), everything);

  // After the next sync the copy is gone on both computers, and B has the merged vault.
  ASSERT_TRUE(Syncthing::Rescan(pair.a));
  EXPECT_TRUE(Syncthing::WaitUntilGone(pair, conflict)) << Syncthing::LogOf(pair.b);
  ASSERT_TRUE(Syncthing::WaitUntilEqual(pair, kVaultName));
  EXPECT_EQ(Sorted(EntriesOf(onB)), everything);
}

}  // namespace
