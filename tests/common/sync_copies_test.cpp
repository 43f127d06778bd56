// Which files beside the vault are copies of it that sync tools or Lockwell left.
#include "common/sync_copies.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace {

TEST(SyncCopies, NamesOfCopiesAndNearMisses) {
  const struct {
    const char* name;
    bool copy;
  } cases[] = {
      {"kluis.sync-conflict-20261209-101500-ABCDEFG.lwv", true},
      {"kluis.sync-conflict-20261209-101500-7ZQ2X.lwv", true},
      {"kluis (conflicted copy 2026-12-09 101500).lwv", true},
      {"kluis (Ann's conflicted copy 2026-12-09).lwv", true},
      {"kluis (Ann\xE2\x80\x99s conflicted copy 2026-12-09).lwv", true},
      {"kluis (Ann's conflicted copy 2026-12-09 (1)).lwv", true},
      {"kluis.lwv.extern-2026-12-09-101500", true},
      {"kluis.lwv.extern-2026-12-09-101500-2", true},
      {"kluis.lwv", false},
      {"kluis.lwv.tmp", false},
      {"kluis.lwv.voor-terugzetten", false},
      {"kluis.sync-conflict-20261209-101500-ABCDEFG.lwv.tmp", false},
      {".syncthing.kluis.lwv.tmp", false},
      {"~syncthing~kluis.sync-conflict-20261209-101500-ABCDEFG.lwv.tmp", false},
      {"kluis2.sync-conflict-20261209-101500-ABCDEFG.lwv", false},
      {"kluis.sync-conflict-2026129-101500-ABCDEFG.lwv", false},
      {"kluis.sync-conflict-20261209-101500-.lwv", false},
      {"kluis.sync-conflict-20261209-101500-abc.lwv", false},
      {"kluis.sync-conflict-20261209-101500-ABCDEFG.txt", false},
      {"kluis (conflicted copy 2026-12-09).lwv", false},
      {"kluis (conflicted copy 2026-12-09 101500).lwv.part", false},
      {"other (conflicted copy 2026-12-09 101500).lwv", false},
      {"kluis (Ann conflicted copy 2026-12-09).lwv", false},
      {"kluis ('s conflicted copy 2026-12-09).lwv", false},
      {"kluis (Ann's conflicted copy 2026-12-09 (x)).lwv", false},
      {"kluis.lwv.extern-", false},
      {"kluis.lwv.extern-2026-12-09-1015", false},
      {"kluis.lwv.extern-2026-12-09-101500-", false},
      {"kluis.lwv.extern-2026-12-09-101500.tmp", false},
      {"instellingen.ini", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Common::IsVaultCopyName("kluis.lwv", c.name), c.copy) << c.name;
}

// Only regular files of the folder itself count: a link or a folder with a copy's name is
// never followed or read.
TEST(SyncCopies, FoundBesideTheVaultByName) {
  TestFiles::TempDir dir;
  const std::string syncthing = "kluis.sync-conflict-20261209-101500-ABCDEFG.lwv";
  const std::string kept = "kluis.lwv.extern-2026-12-09-101500";
  for (const std::string& name :
       {std::string("kluis.lwv"), syncthing, kept, std::string("kluis.lwv.tmp")}) {
    TestFiles::WriteFile(dir.path + name, "x");
  }
  ASSERT_EQ(symlink((dir.path + syncthing).c_str(),
                    (dir.path + "kluis (conflicted copy 2026-12-09 101500).lwv").c_str()),
            0);
  ASSERT_EQ(mkdir((dir.path + "kluis (Ann's conflicted copy 2026-12-09).lwv").c_str(), 0700), 0);
  EXPECT_EQ(Common::FindVaultCopies(dir.path + "kluis.lwv"),
            (std::vector<std::string>{dir.path + kept, dir.path + syncthing}));
  EXPECT_TRUE(Common::FindVaultCopies(dir.path + "missing/kluis.lwv").empty());
}

}  // namespace
