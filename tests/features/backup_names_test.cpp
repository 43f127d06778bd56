// The names of backups: home folder, dated default, extension rule, the vault and its
// companions however they are named.
#include "features/backup_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <string>

#include "tests/support/test_files.h"

namespace {

TEST(BackupNames, HomeFolderAndDefaultName) {
  EXPECT_EQ(Features::HomeFolder(nullptr), "");
  EXPECT_EQ(Features::HomeFolder("/"), "/");
  EXPECT_EQ(Features::HomeFolder("/home/ann"), "/home/ann/");
  EXPECT_EQ(Features::HomeFolder("/home/ann/"), "/home/ann/");
  EXPECT_EQ(Features::DefaultBackupPath("/home/ann/", "vault_backup_", 2026, 3, 7),
            "/home/ann/vault_backup_2026-03-07.lwv");
  EXPECT_EQ(Features::DefaultBackupPath("", "kluis_backup_", 987, 12, 31),
            "kluis_backup_0987-12-31.lwv");
}

TEST(BackupNames, ExtensionRule) {
  const std::pair<const char*, const char*> cases[] = {
      {"mybackup", "mybackup.lwv"},
      {"/home/ann/mybackup.bak", "/home/ann/mybackup.bak"},
      {"/home/ann/mybackup.lwv", "/home/ann/mybackup.lwv"},
      {"my.backup old", "my.backup old.lwv"},  // blank after the dot
      {"mybackup.", "mybackup..lwv"},          // an empty extension counts as none
      {".hidden", ".hidden.lwv"},
      {"/home/ann/.hidden", "/home/ann/.hidden.lwv"},
      {"C:\\dir\\.x", "C:\\dir\\.x.lwv"},
      {"/home/a.b/file", "/home/a.b/file.lwv"},  // a dot in a folder name is no extension
      {"a.b\\c", "a.b\\c"},                      // a backslash does not end the search
      {"x.tar.gz", "x.tar.gz"},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(Features::WithBackupExtension(path), expected) << path;
  }
}

TEST(BackupNames, VaultPathComparedIgnoringCase) {
  EXPECT_TRUE(Features::SamePathIgnoringCase("/home/ann/.Lockwell/kluis.lwv",
                                             "/home/ann/.lockwell/KLUIS.LWV"));
  EXPECT_TRUE(Features::SamePathIgnoringCase("/tmp/ÉÉ/kluis.lwv", "/tmp/éé/kluis.lwv"));
  EXPECT_FALSE(Features::SamePathIgnoringCase("/home/ann//kluis.lwv", "/home/ann/kluis.lwv"));
}

// The vault, its companions, and the ways a chosen path can lead back to them; conf2 holds
// a link to a vault in a synced folder.
TEST(BackupNames, TheVaultAndItsCompanionsAreRefusedHoweverTheyAreReached) {
  TestFiles::TempDir dir;
  const std::string conf = dir.path + "conf/", vault = conf + "kluis.lwv", d = dir.path;
  const std::string kept = vault + ".extern-2026-01-01-120000", linked = d + "conf2/kluis.lwv";
  ASSERT_EQ(mkdir(conf.c_str(), 0700) | mkdir((d + "sync").c_str(), 0700) |
                mkdir((d + "conf2").c_str(), 0700),
            0);
  for (const std::string& file : {vault, kept, conf + "other.lwv", d + "sync/kluis.lwv"}) {
    TestFiles::WriteFile(file, "x");
  }
  ASSERT_EQ(symlink(vault.c_str(), (d + "link.lwv").c_str()) | symlink("conf", (d + "to").c_str()) |
                link(vault.c_str(), (d + "hard.lwv").c_str()) |
                link(kept.c_str(), (d + "hardkept.lwv").c_str()) |
                symlink("../sync/kluis.lwv", linked.c_str()),
            0);
  struct Row {
    std::string chosen, vault;
    bool itself, companion;  // restore ends / backup warns
  } const rows[] = {
      {vault, vault, true, true},
      {conf + "KLUIS.LWV", vault, true, true},
      {conf + "kluis.lwv.tmp", vault, false, true},
      {conf + "Kluis.lwv.Voor-Terugzetten", vault, false, true},
      {conf + "kluis.lwv.extern-2030-05-05-101010-2", vault, false, true},
      {d + "link.lwv", vault, true, true},
      {d + "to/kluis.lwv", vault, true, true},
      {d + "to/kluis.lwv.tmp", vault, false, true},
      {d + "hard.lwv", vault, true, true},
      {d + "hardkept.lwv", vault, false, true},
      {d + "sync/kluis.lwv", linked, true, true},
      {d + "sync/kluis.lwv.tmp", linked, false, true},
      {conf + "other.lwv", vault, false, false},
      {conf + "kluis.lwv.bak", vault, false, false},
      {d + "kluis.lwv", vault, false, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Features::IsVaultItself(row.chosen, row.vault), row.itself) << row.chosen;
    EXPECT_EQ(Features::IsVaultOrCompanion(row.chosen, row.vault), row.companion) << row.chosen;
  }
}

// Turkish rules lower a capital I to a dotless i; file names fold alike under every locale.
TEST(BackupNames, LetterCaseFoldsTheSameUnderATurkishLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "tr_TR.UTF-8") == nullptr) {
    GTEST_SKIP() << "tr_TR.UTF-8 is not generated here (scripts/bootstrap.sh does that)";
  }
  const std::pair<const char*, bool> rows[] = {
      {"/home/ann/.Lockwell/KLUIS.LWV", true},
      {"/HOME/ANN/.LOCKWELL/KLUIS.LWV.TMP", true},
      {"/home/ann/.Lockwell/kluİs.lwv", false},  // another name: capital I with a dot
      {"/home/ann/.Lockwell/kluıs.lwv", false},  // and dotless i
  };
  for (const auto& [chosen, refused] : rows) {
    EXPECT_EQ(Features::IsVaultOrCompanion(chosen, "/home/ann/.Lockwell/kluis.lwv"), refused)
        << chosen;
  }
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
