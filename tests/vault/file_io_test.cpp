// Copying a file with its mode, and failing cleanly: the target is either the whole copy
// or what it was before, and no temporary file is left behind. Reading a regular file whole.
#include "vault/file_io.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "tests/support/test_files.h"

namespace {

size_t FilesIn(const std::string& dir) {
  size_t count = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d)) count += e->d_name[0] != '.';
    closedir(d);
  }
  return count;
}

// The backup's way: a fresh temporary name, the source's owner and mode.
bool CopyFileKeepingMode(const std::string& source, const std::string& target) {
  return Vault::CopyWholeFile(source, target, {.keepOwner = true});
}
using TestFiles::Exists;
using TestFiles::ReadFile;

// More than two blocks, with a tail that is not a whole block.
std::string LargeContent() {
  std::string bytes(2 * Vault::kCopyBlockSize + 12345, '\0');
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

TEST(FileCopy, EachWayGivesItsModeAndTemporaryName) {
  TestFiles::TempDir dir;
  const std::string source = dir.path + "a", target = dir.path + "b";
  TestFiles::WriteFile(source, "abc");
  chmod(source.c_str(), 0640);
  const struct {
    Vault::CopyWay way;
    int mode;
  } cases[] = {
      {{.how = Vault::Replacing::Beside}, 0640},
      {{.how = Vault::Replacing::ThroughLink, .privateMode = true}, 0600},
      {{.how = Vault::Replacing::Unique, .keepOwner = true}, 0640},
  };
  for (const auto& c : cases) {
    struct stat read {};
    struct stat written {};
    ASSERT_TRUE(Vault::CopyWholeFile(source, target, c.way, &read, &written));
    EXPECT_EQ(ReadFile(target), "abc");
    EXPECT_EQ(TestFiles::ModeOf(target), c.mode);
    EXPECT_EQ(Vault::IdentityOf(read), Vault::IdentityAt(source));
    EXPECT_EQ(Vault::IdentityOf(written), Vault::IdentityAt(target));
    EXPECT_EQ(FilesIn(dir.path), 2u) << "a temporary file was left";
  }
}

TEST(FileRead, ReadsRegularFilesUpToTheLimit) {
  TestFiles::TempDir dir;
  const std::string file = dir.path + "a", fifo = dir.path + "fifo";
  TestFiles::WriteFile(file, "abcdef");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
    size_t limit;
    Vault::Beyond beyond;
    bool read;
    std::string bytes;
  } cases[] = {
      {file, 6, Vault::Beyond::Refused, true, "abcdef"},
      {file, 5, Vault::Beyond::Refused, false, ""},
      {file, 4, Vault::Beyond::Ignored, true, "abcd"},
      {file, 100, Vault::Beyond::Ignored, true, "abcdef"},
      {fifo, 100, Vault::Beyond::Ignored, false, ""},
      {dir.path, 100, Vault::Beyond::Ignored, false, ""},
      {dir.path + "gone", 100, Vault::Beyond::Refused, false, ""},
  };
  for (const auto& c : cases) {
    std::string bytes;
    EXPECT_EQ(Vault::ReadRegularFile(c.path, c.limit, c.beyond, bytes), c.read) << c.path;
    if (c.read) {
      EXPECT_EQ(bytes, c.bytes) << c.path << " " << c.limit;
    }
  }
}

}  // namespace
