// The names of backups: home folder, dated default, extension rule, the vault's own path.
#include "features/backup_names.h"

#include <gtest/gtest.h>

#include "app/file_requester.h"

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
