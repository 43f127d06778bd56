// Copying a file with its mode, and failing cleanly: the target is either the whole copy
// or what it was before, and no temporary file is left behind.
#include "features/file_copy.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "tests/support/test_files.h"

namespace {

using Features::CopyFileKeepingMode;
using TestFiles::Exists;
using TestFiles::ReadFile;

// More than two blocks, with a tail that is not a whole block.
std::string LargeContent() {
  std::string bytes(2 * Features::kCopyBlockSize + 12345, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 % 251);
  return bytes;
}

TEST(FileCopy, CopiesEveryBlockAndKeepsTheMode) {
  TestFiles::TempDir dir;
  const std::string source = dir.path + "kluis.lwv", target = dir.path + "backup.lwv";
  for (const std::string& content : {LargeContent(), std::string(), std::string("x")}) {
    for (const mode_t mode : {0600, 0640, 0444}) {
      TestFiles::WriteFile(source, content);
      chmod(source.c_str(), mode);
      ASSERT_TRUE(CopyFileKeepingMode(source, target)) << content.size() << " " << mode;
      EXPECT_EQ(ReadFile(target), content);
      EXPECT_EQ(TestFiles::ModeOf(target), static_cast<int>(mode));
      EXPECT_FALSE(Exists(target + ".tmp"));
      chmod(source.c_str(), 0600);
    }
  }
}

TEST(FileCopy, FailsCleanly) {
  TestFiles::TempDir dir;
  const std::string source = dir.path + "kluis.lwv", target = dir.path + "backup.lwv";
  TestFiles::WriteFile(source, "vault bytes");
  TestFiles::WriteFile(target, "older backup");

  // A directory chosen as the target.
  mkdir((dir.path + "folder").c_str(), 0700);
  EXPECT_FALSE(CopyFileKeepingMode(source, dir.path + "folder"));
  struct stat info {};
  EXPECT_TRUE(stat((dir.path + "folder").c_str(), &info) == 0 && S_ISDIR(info.st_mode));
  EXPECT_FALSE(Exists(dir.path + "folder.tmp"));

  // A source that has gone, or is no file.
  EXPECT_FALSE(CopyFileKeepingMode(dir.path + "gone.lwv", target));
  EXPECT_FALSE(CopyFileKeepingMode(dir.path + "folder", target));
  EXPECT_EQ(ReadFile(target), "older backup");

  // A folder that takes no new files.
  mkdir((dir.path + "locked").c_str(), 0500);
  if (geteuid() != 0) {
    EXPECT_FALSE(CopyFileKeepingMode(source, dir.path + "locked/backup.lwv"));
    EXPECT_FALSE(Exists(dir.path + "locked/backup.lwv"));
  }
  EXPECT_FALSE(Exists(target + ".tmp"));
}

TEST(FileCopy, AFullDiskLeavesTheOldTargetWhole) {
  TestFiles::TempDir dir;
  const std::string source = dir.path + "kluis.lwv", target = dir.path + "backup.lwv";
  TestFiles::WriteFile(source, LargeContent());
  TestFiles::WriteFile(target, "older backup");
  // The disk "fills" after 100 000 bytes, in a child so that the limit stays there.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit small = {100000, 100000};
    setrlimit(RLIMIT_FSIZE, &small);
    _exit(CopyFileKeepingMode(source, target) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the copy claimed success";
  EXPECT_EQ(ReadFile(target), "older backup");
  EXPECT_FALSE(Exists(target + ".tmp"));
}

TEST(FileCopy, ImagesCarryBytesAndMode) {
  TestFiles::TempDir dir;
  const std::string source = dir.path + "a", target = dir.path + "b";
  TestFiles::WriteFile(source, "abc");
  chmod(source.c_str(), 0640);
  Features::FileImage image;
  ASSERT_TRUE(Features::ReadFileImage(source, image));
  unlink(source.c_str());  // the image no longer needs the file
  ASSERT_TRUE(Features::WriteFileImage(target, image));
  EXPECT_EQ(ReadFile(target), "abc");
  EXPECT_EQ(TestFiles::ModeOf(target), 0640);
  EXPECT_FALSE(Features::ReadFileImage(source, image));
  EXPECT_FALSE(Features::WriteFileImage(dir.path, image));
}

}  // namespace
