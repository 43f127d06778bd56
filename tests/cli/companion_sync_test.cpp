// Two computers keep the vault's folder equal with Syncthing. Apart, both change the vault;
// together again, Syncthing keeps one version as a conflict copy, and the companion's merge
// without a file brings it in and removes it, on both computers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/syncthing.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/vault.h"

namespace {

using Vault::Entry;

constexpr char kVaultName[] = "kluis.lwv";
constexpr char kPassword[] = "shared password";

struct Outcome {
  int status;
  std::string out;
};

// The English companion on a directory, the password on standard input.
Outcome Companion(const std::string& dir, const std::string& command, const std::string& scratch) {
  int in[2];
  if (pipe(in) != 0) return {-1, ""};
  const std::string out = scratch + "out.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], STDIN_FILENO);
    close(in[1]);
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
    execl(LOCKWELL_CLI_EN, LOCKWELL_CLI_EN, "--dir", dir.c_str(), command.c_str(), nullptr);
    _exit(127);
  }
  close(in[0]);
  const std::string input = std::string(kPassword) + "\n";
  (void)!write(in[1], input.data(), input.size());
  close(in[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TestFiles::ReadFile(out)};
}

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

  // On A, the companion merges the copy: every entry of both, the two Mails named.
  const Outcome merged = Companion(pair.a.folder, "merge", root.path);
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
