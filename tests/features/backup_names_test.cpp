// The names of backups: home folder, dated default, extension rule, the vault and its
// companions however they are named.
#include "features/backup_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <string>

#include "app/file_requester.h"
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

// A configuration folder with the vault and its companions, and the ways a chosen path can
// lead back to them.
TEST(BackupNames, TheVaultAndItsCompanionsAreRefusedHoweverTheyAreReached) {
  TestFiles::TempDir dir;
  const std::string conf = dir.path + "conf/", vault = conf + "kluis.lwv";
  const std::string kept = vault + ".extern-2026-01-01-120000";
  ASSERT_EQ(mkdir(conf.c_str(), 0700), 0);
  for (const std::string& file : {vault, vault + ".voor-terugzetten", kept, conf + "other.lwv"}) {
    TestFiles::WriteFile(file, "x");
  }
  ASSERT_EQ(symlink(vault.c_str(), (dir.path + "link.lwv").c_str()), 0);
  ASSERT_EQ(symlink("conf", (dir.path + "linked").c_str()), 0);
  ASSERT_EQ(link(vault.c_str(), (dir.path + "hard.lwv").c_str()), 0);
  ASSERT_EQ(link(kept.c_str(), (dir.path + "hardkept.lwv").c_str()), 0);
  // A second vault kept in a synced folder and linked into its configuration folder.
  const std::string sync = dir.path + "sync/", conf2 = dir.path + "conf2/";
  ASSERT_EQ(mkdir(sync.c_str(), 0700), 0);
  ASSERT_EQ(mkdir(conf2.c_str(), 0700), 0);
  TestFiles::WriteFile(sync + "kluis.lwv", "y");
  ASSERT_EQ(symlink("../sync/kluis.lwv", (conf2 + "kluis.lwv").c_str()), 0);

  struct Row {
    std::string chosen;
    std::string vault;
    bool itself;     // the vault itself (restore ends, backup warns)
    bool companion;  // the vault or a companion (backup warns)
  };
  const Row rows[] = {
      {vault, vault, true, true},
      {conf + "KLUIS.LWV", vault, true, true},
      {conf + "kluis.lwv.tmp", vault, false, true},
      {conf + "Kluis.lwv.Voor-Terugzetten", vault, false, true},
      {kept, vault, false, true},
      {conf + "kluis.lwv.extern-2030-05-05-101010-2", vault, false, true},
      {dir.path + "link.lwv", vault, true, true},
      {dir.path + "linked/kluis.lwv", vault, true, true},
      {dir.path + "linked/../conf/kluis.lwv", vault, true, true},
      {dir.path + "linked/kluis.lwv.tmp", vault, false, true},
      {dir.path + "hard.lwv", vault, true, true},
      {dir.path + "hardkept.lwv", vault, false, true},
      {sync + "kluis.lwv", conf2 + "kluis.lwv", true, true},
      {sync + "kluis.lwv.tmp", conf2 + "kluis.lwv", false, true},
      // Other files, also with the vault's name elsewhere.
      {conf + "other.lwv", vault, false, false},
      {conf + "kluis.lwv.bak", vault, false, false},
      {dir.path + "kluis.lwv", vault, false, false},
      {conf + "kluis.lwv.tmp.lwv", vault, false, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Features::IsVaultItself(row.chosen, row.vault), row.itself) << row.chosen;
    EXPECT_EQ(Features::IsVaultOrCompanion(row.chosen, row.vault), row.companion) << row.chosen;
  }
}

// Under Turkish rules a capital I lowers to a dotless i; file names fold the same under
// every locale.
TEST(BackupNames, LetterCaseFoldsTheSameUnderATurkishLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "tr_TR.UTF-8") == nullptr) {
    GTEST_SKIP() << "the locale tr_TR.UTF-8 is not generated here (scripts/bootstrap.sh "
                    "generates it)";
  }
  const std::string vault = "/home/ann/.Lockwell/kluis.lwv";
  const std::pair<const char*, bool> rows[] = {
      {"/home/ann/.Lockwell/KLUIS.LWV", true},
      {"/HOME/ANN/.LOCKWELL/KLUIS.LWV.TMP", true},
      {"/home/ann/.Lockwell/kluİs.lwv", false},  // capital I with a dot: another name
      {"/home/ann/.Lockwell/kluıs.lwv", false},  // dotless i: another name
  };
  for (const auto& [chosen, refused] : rows) {
    EXPECT_EQ(Features::IsVaultOrCompanion(chosen, vault), refused) << chosen;
  }
  EXPECT_TRUE(Features::SamePathIgnoringCase("KLUIS.LWV", "kluis.lwv"));
  EXPECT_FALSE(Features::SamePathIgnoringCase("kluİs.lwv", "kluis.lwv"));
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(FileRequester, FilterStrings) {
  const auto filters = App::ParseFilters("Vault (*.lwv)|*.lwv|All files (*.*)|*.*");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].name, "Vault (*.lwv)");
  EXPECT_EQ(filters[0].patterns, std::vector<std::string>{"*.lwv"});
  EXPECT_EQ(filters[1].name, "All files (*.*)");
  EXPECT_EQ(filters[1].patterns, std::vector<std::string>{"*"});
  const auto several = App::ParseFilters("Pictures|*.png;*.jpg|Odd");
  ASSERT_EQ(several.size(), 1u);  // a name without patterns is dropped
  EXPECT_EQ(several[0].patterns, (std::vector<std::string>{"*.png", "*.jpg"}));
  EXPECT_TRUE(App::ParseFilters("").empty());
}

}  // namespace
