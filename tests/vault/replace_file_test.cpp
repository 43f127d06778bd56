#include "vault/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/test_files.h"

namespace {

using TestFiles::Exists;
using TestFiles::ModeOf;
using TestFiles::ReadFile;
using TestFiles::TempDir;
using TestFiles::WriteFile;

struct Case {
  const char* what;
  const char* name;  // below the test folder
  void (*given)(const std::string& dir, const std::string& temporary);
  bool abandon;  // begin and append, then give up instead of finishing
  mode_t mode;
  bool replaced;
};

void Nothing(const std::string&, const std::string&) {}
void LeftOverTemporary(const std::string&, const std::string& temporary) {
  WriteFile(temporary, "left over by a crash, longer than the new text");
  chmod(temporary.c_str(), 0644);
}
void SymlinkAtTemporary(const std::string& dir, const std::string& temporary) {
  WriteFile(dir + "target", "target");
  ASSERT_EQ(symlink((dir + "target").c_str(), temporary.c_str()), 0);
}

TEST(ReplaceFile, OldFileStaysUntilTheNewOneIsComplete) {
  const Case cases[] = {
      {"nothing in the way", "file", Nothing, false, 0600, true},
      {"a left-over temporary gets the requested mode", "file", LeftOverTemporary, false, 0640,
       true},
      {"a symlink at the temporary name is not followed", "file", SymlinkAtTemporary, false, 0600,
       false},
      {"abandoned half-way", "file", Nothing, true, 0600, false},
      {"the folder is missing", "no/such/file", Nothing, false, 0600, false},
  };
  // Whatever the umask, the file gets exactly the mode asked for.
  const mode_t savedMask = umask(077);
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.path + c.name, temporary = path + ".tmp";
    const bool folderExists = std::string(c.name).find('/') == std::string::npos;
    if (folderExists) WriteFile(path, "old");
    c.given(dir.path, temporary);

    Vault::ReplacingFile file;
    bool done = false;
    if (c.abandon) {
      ASSERT_TRUE(Vault::BeginReplacing(path, c.mode, file)) << c.what;
      ASSERT_TRUE(Vault::AppendReplacing(file, "new", 3)) << c.what;
      Vault::AbandonReplacing(file);
      Vault::AbandonReplacing(file);
    } else {
      done = Vault::WriteWholeFile(path, "new", 3, c.mode);
    }

    EXPECT_EQ(done, c.replaced) << c.what;
    if (c.replaced) {
      EXPECT_EQ(ReadFile(path), "new") << c.what;
      EXPECT_EQ(ModeOf(path), static_cast<int>(c.mode)) << c.what;
    } else if (folderExists) {
      EXPECT_EQ(ReadFile(path), "old") << c.what;
    } else {
      EXPECT_FALSE(Exists(dir.path + "no")) << c.what;
    }
    if (c.given == SymlinkAtTemporary) {
      EXPECT_EQ(ReadFile(dir.path + "target"), "target") << c.what;
    } else {
      EXPECT_FALSE(Exists(temporary)) << c.what;
    }
  }
  umask(savedMask);
}

}  // namespace
