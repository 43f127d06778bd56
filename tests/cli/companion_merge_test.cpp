// The companion's merge: other vault files, and the copies beside the vault.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  EXPECT_EQ(r.status, 4);
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

// At a terminal the password is asked for and not echoed.

}  // namespace
