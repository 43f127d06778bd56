// The companion's merge: other vault files, and the copies beside the vault.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/paths.h"
#include "common/sync_base.h"
#include "tests/cli/companion_story.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/vault.h"

namespace {

using namespace CompanionStory;

// A kept second vault brought back: what it has that the vault lacks is appended once.
TEST_F(Companion, MergeAppendsWhatIsMissing) {
  const Vault::Entry a{"A", "", "", "a"}, b{"B", "u", "n", "b"}, c{"C", "", "", "c"};
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "mine", {a, b}), Vault::Ok);
  const std::string other = dir + "kluis.lwv.extern-2026-12-08-120000";
  ASSERT_EQ(TestVaults::WriteSmallVault(other, "theirs", {b, c, a}), Vault::Ok);
  const std::string before = ReadFile(vault);
  Outcome r = En({"merge", other}, "mine\nwrong\n");
  EXPECT_EQ(r.status, 65);
  EXPECT_NE(r.err.find(other + ": Wrong password, or the file is damaged. It stays"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadFile(vault), before);
  r = En({"merge", other}, "mine\ntheirs\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Added from " + other + ": 1\n  C\nAlready present: 2\nEntries now: 3\n");
  EXPECT_EQ(EntriesOf(vault, "mine"), (std::vector<Vault::Entry>{a, b, c}));
  r = En({"check"}, "mine\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, vault +
                       ": the vault opens with this password.\nEntries: 3\n"
                       "Key derivation: Argon2id, 1 passes, 8192 bytes of memory\n"
                       "File size: " +
                       std::to_string(ReadFile(vault).size()) + " bytes\n");
}

// Without a file: every copy beside the vault, each with the vault's password or its own;
// both versions of a changed password named; the copies gone once they are in the vault.
TEST_F(Companion, MergeWithoutAFileTakesTheCopiesBesideTheVault) {
  const Vault::Entry a{"A", "", "", "a"}, b{"B", "", "", "b"}, c{"C", "", "", "c"};
  const Vault::Entry mail1{"Mail", "", "ann", "1"}, mail2{"Mail", "", "ann", "2"};
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "mine", {a, mail1}), Vault::Ok);
  const std::string kept = dir + "kluis.lwv.extern-2026-12-08-120000";
  const std::string conflict = dir + "kluis.sync-conflict-20261209-101500-ABCDEFG.lwv";
  const std::string elsewhere = scratch.path + "elsewhere.lwv";
  const std::string linked = dir + "kluis (conflicted copy 2026-12-09 101500).lwv";
  ASSERT_EQ(TestVaults::WriteSmallVault(kept, "other", {c}), Vault::Ok);
  ASSERT_EQ(TestVaults::WriteSmallVault(conflict, "mine", {a, mail2, b}), Vault::Ok);
  ASSERT_EQ(TestVaults::WriteSmallVault(elsewhere, "mine", {{"Elsewhere", "", "", "e"}}),
            Vault::Ok);
  ASSERT_EQ(symlink(elsewhere.c_str(), linked.c_str()), 0);

  Outcome r = En({"merge"}, "mine\nother\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Added from " + kept + ": 1\n  C\nAlready present: 0\n" + "Added from " +
                       conflict + ": 2\n  B\n" +
                       "Mail (ann): two versions kept; they differ in the password\n" +
                       "Already present: 1\nEntries now: 5\n" + "Removed " + kept +
                       ": all its entries are in the vault.\n" + "Removed " + conflict +
                       ": all its entries are in the vault.\n");
  EXPECT_EQ(EntriesOf(vault, "mine"), (std::vector<Vault::Entry>{a, mail1, mail2, b, c}));
  EXPECT_FALSE(TestFiles::Exists(kept));
  EXPECT_FALSE(TestFiles::Exists(conflict));
  EXPECT_TRUE(TestFiles::Exists(linked)) << "a link is never followed or removed";

  // In Dutch, a second copy whose Mail differs in two fields; named files stay.
  const Vault::Entry mail3{"Mail", "https://mail.example.org", "ann", "3"};
  ASSERT_EQ(TestVaults::WriteSmallVault(conflict, "mine", {mail3}), Vault::Ok);
  r = Nl({"merge", conflict}, "mine\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Toegevoegd uit " + conflict + ": 1\n" +
                       "Mail (ann): twee versies bewaard; ze verschillen in het webadres en het "
                       "wachtwoord\nAl aanwezig: 0\nAantal items nu: 6\n");
  EXPECT_TRUE(TestFiles::Exists(conflict));
  unlink(conflict.c_str());
  unlink(linked.c_str());
  r = Nl({"merge"}, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Er zijn geen kopie\xC3\xABn van de kluis gevonden in " + dir + ".\n");
}

// Copies that cannot be read are named with their reason and left; the others are merged, and
// the status says that some were left. With a base both computers had (kept in the state
// folder), what a copy deleted goes, and the copy with it.
TEST_F(Companion, MergeGoesPastCopiesItCannotReadAgainstTheCommonBase) {
  const Vault::Entry a{"A", "", "", "a"}, shop{"Shop", "", "", "s"},
      library{"Library", "", "", "l"};
  const Vault::Entry mail{"Mail", "", "ann", "old"}, newMail{"Mail", "", "ann", "new"};
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "mine", {a, mail, shop}), Vault::Ok);
  const std::string state = scratch.path + "state";
  ASSERT_EQ(setenv("XDG_STATE_HOME", state.c_str(), 1), 0);
  Common::SetConfigDir(dir);
  ASSERT_EQ(mkdir(state.c_str(), 0700), 0);
  ASSERT_EQ(mkdir((state + "/lockwell").c_str(), 0700), 0);
  WriteFile(Common::CommonBasePath(), ReadFile(vault));  // both computers had this one
  unsetenv("XDG_STATE_HOME");
  ASSERT_EQ(Vault::OpenVault(vault, "mine"), Vault::Ok);  // here, Mail got a new password
  Vault::Entries()[1] = newMail;
  ASSERT_EQ(Vault::SaveVaultQuietly(), Vault::Ok);
  Vault::CloseVault();
  const std::string wrong = dir + "kluis (conflicted copy 2026-12-09 101500).lwv";
  const std::string good = dir + "kluis.sync-conflict-20261209-101500-AAAAAAA.lwv";
  const std::string damaged = dir + "kluis.sync-conflict-20261209-101500-BBBBBBB.lwv";
  ASSERT_EQ(TestVaults::WriteSmallVault(wrong, "secret", {a}), Vault::Ok);
  ASSERT_EQ(TestVaults::WriteSmallVault(good, "mine", {a, mail, library}), Vault::Ok);
  WriteFile(damaged, std::string(100, 'x'));

  const Outcome r = RunProgram(LOCKWELL_CLI_EN, {"--dir", dir, "merge"}, "mine\nnope\nmine\n",
                               scratch.path, {"XDG_STATE_HOME=" + state});
  EXPECT_EQ(r.status, 65);
  EXPECT_EQ(r.out, "Added from " + good + ": 1\n  Library\nRemoved by " + good +
                       ": 1\n  Shop\nAlready present: 2\nEntries now: 3\nRemoved " + good +
                       ": all its entries are in the vault.\n");
  const std::string stays =
      " It stays where it is: move it aside, or run merge again and give its own master "
      "password.\n";
  EXPECT_NE(r.err.find(wrong + ": Wrong password, or the file is damaged." + stays),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find(damaged + ": This is not a valid vault file." + stays), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("Copies left beside the vault: 2\n"), std::string::npos) << r.err;
  EXPECT_EQ(EntriesOf(vault, "mine"), (std::vector<Vault::Entry>{a, newMail, library}));
  EXPECT_TRUE(TestFiles::Exists(wrong));
  EXPECT_TRUE(TestFiles::Exists(damaged));
}

}  // namespace
