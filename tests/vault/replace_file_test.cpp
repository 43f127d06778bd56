// Replacing a file whole: the new bytes with exactly the asked mode, or the old file as it
// was.
#include "vault/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/test_files.h"

namespace {

TEST(ReplaceFile, WritesWithTheExactModeThroughTheTemporaryName) {
  TestFiles::TempDir dir;
  const std::string path = dir.path + "file";
  TestFiles::WriteFile(path, "old");
  const mode_t saved = umask(077);
  EXPECT_TRUE(Vault::ReplaceFileWith(path, "new", 3, 0644));  // the umask does not trim it
  umask(saved);
  EXPECT_EQ(TestFiles::ReadFile(path), "new");
  EXPECT_EQ(TestFiles::ModeOf(path), 0644);
  EXPECT_FALSE(TestFiles::Exists(path + ".tmp"));

  Vault::ReplacingFile file;
  ASSERT_TRUE(Vault::BeginReplacing(path, 0600, file));
  EXPECT_EQ(file.temporary, path + ".tmp");
  ASSERT_TRUE(Vault::AppendReplacing(file, "half", 4));
  EXPECT_EQ(TestFiles::ReadFile(path), "new");  // nothing shows under the name yet
  Vault::AbandonReplacing(file);
  Vault::AbandonReplacing(file);
  EXPECT_FALSE(TestFiles::Exists(path + ".tmp"));
  EXPECT_EQ(TestFiles::ReadFile(path), "new");
}

TEST(ReplaceFile, FailuresLeaveTheOldFile) {
  TestFiles::TempDir dir;
  const std::string path = dir.path + "file";
  TestFiles::WriteFile(path, "old");
  // A symbolic link planted at the temporary name is not followed.
  TestFiles::WriteFile(dir.path + "elsewhere", "theirs");
  ASSERT_EQ(symlink((dir.path + "elsewhere").c_str(), (path + ".tmp").c_str()), 0);
  EXPECT_FALSE(Vault::ReplaceFileWith(path, "new", 3, 0600));
  EXPECT_EQ(TestFiles::ReadFile(dir.path + "elsewhere"), "theirs");
  EXPECT_EQ(TestFiles::ReadFile(path), "old");
  unlink((path + ".tmp").c_str());
  // A directory at the name cannot be renamed over.
  mkdir((dir.path + "folder").c_str(), 0700);
  EXPECT_FALSE(Vault::ReplaceFileWith(dir.path + "folder", "new", 3, 0600));
  EXPECT_FALSE(TestFiles::Exists(dir.path + "folder.tmp"));
}

}  // namespace
