// Every writer against failing writes: for each writer, each call kind and each N that the
// write reaches, the Nth call fails with ENOSPC or EIO. A failed write is reported (except
// the settings, silent by design), leaves the old file whole, and no temporary file. A
// failed folder sync comes after the rename: the new file is in place and counts as saved.
// Then every writer against what others leave at its names: a FIFO, a folder, a link or a
// device at its temporary name, and a symbolic link at the file it writes.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "tests/support/test_files.h"

namespace {

struct Outcome {
  int status;
  std::string output;
};

Outcome Harness(const std::string& writer, const std::string& mode, const std::string& dir,
                const std::string& environment = "") {
  const std::string command =
      environment + " '" LOCKWELL_FAULT_HARNESS "' " + writer + " " + mode + " '" + dir + "'";
  Outcome outcome{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) outcome.output += buffer;
  const int status = pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

std::string Preload() { return "LD_PRELOAD='" LOCKWELL_FAULT_LIBRARY "'"; }

std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    closedir(d);
  }
  return names;
}

struct Writer {
  std::string name;
  bool reports;      // tells the user when it fails
  int sourceCloses;  // the first closes are of a file it has read whole, not of what it writes
  const char* file;  // what it writes
  bool ownFolder;    // its temporary file is file + ".tmp", and a link at file is written
                     // through; a copy into a folder the user chose does neither
  const char* creates = "";  // a file that was not there before and is once the write took
};

// Add a row for each writer the harness knows.
const Writer kWriters[] = {
    {"save", true, 0, "kluis.lwv", true},
    {"change", true, 0, "kluis.lwv", true},
    {"settings", false, 0, "instellingen.ini", true},
    {"replace", true, 0, "file", true},
    {"backup", true, 1, "backup.lwv", false},
    {"restore", true, 1, "kluis.lwv", true},
    {"putback", true, 1, "kluis.lwv", true},
    {"import", true, 0, "kluis.lwv", true, "kluis.lwv"},
    {"export", true, 0, "export.csv", false},
};

const char* const kKinds[] = {"write", "fsync", "close", "rename", "dirsync"};

TEST(EveryWriter, SurvivesEveryFailingCall) {
  int survived = 0;
  for (const Writer& writer : kWriters) {
    // A clean run counts the calls of each kind that the write makes.
    std::map<std::string, int> calls;
    {
      TestFiles::TempDir dir;
      ASSERT_EQ(Harness(writer.name, "prepare", dir.path).status, 0) << writer.name;
      const Outcome clean = Harness(writer.name, "run", dir.path, Preload());
      ASSERT_EQ(clean.status, 0) << writer.name << "\n" << clean.output;
      EXPECT_EQ(Harness(writer.name, "check", dir.path).output, "new\n") << writer.name;
      for (const char* kind : kKinds) {
        const size_t at = clean.output.find(std::string(kind) + " ");
        ASSERT_NE(at, std::string::npos) << writer.name;
        calls[kind] = std::stoi(clean.output.substr(at + std::string(kind).size() + 1));
      }
      EXPECT_GE(calls["write"], 1) << writer.name;
      EXPECT_EQ(calls["rename"], 1) << writer.name;
      EXPECT_EQ(calls["dirsync"], 1) << writer.name;
    }
    for (const char* kind : kKinds) {
      for (int n = 1; n <= calls[kind]; ++n) {
        for (const char* code : {"ENOSPC", "EIO"}) {
          const std::string what =
              writer.name + ": " + kind + " #" + std::to_string(n) + " " + code;
          TestFiles::TempDir dir;
          ASSERT_EQ(Harness(writer.name, "prepare", dir.path).status, 0) << what;
          const std::set<std::string> before = FilesIn(dir.path);
          const Outcome run = Harness(writer.name, "run", dir.path,
                                      Preload() + " LOCKWELL_FAULT_CALL=" + kind +
                                          " LOCKWELL_FAULT_AT=" + std::to_string(n) +
                                          " LOCKWELL_FAULT_ERRNO=" + code);
          const std::string state = Harness(writer.name, "check", dir.path).output;
          std::set<std::string> expected = before;
          if (*writer.creates != '\0' && state == "new\n") expected.insert(writer.creates);
          EXPECT_EQ(FilesIn(dir.path), expected) << what << ": something was left beside it";
          if (std::string(kind) == "close" && n <= writer.sourceCloses) {
            // Everything was read: going on or giving up are both sound, if said truly.
            EXPECT_EQ(state, run.status == 0 ? "new\n" : "old\n") << what;
          } else if (std::string(kind) == "dirsync") {
            // The rename happened: the old file is gone and the new one is whole.
            EXPECT_EQ(run.status, 0) << what;
            EXPECT_EQ(state, "new\n") << what;
          } else {
            EXPECT_EQ(run.status, writer.reports ? 1 : 0) << what << "\n" << run.output;
            EXPECT_EQ(state, "old\n") << what;
            if (writer.name == "save") {
              EXPECT_NE(run.output.find("reported: Saving failed: "), std::string::npos) << what;
            }
          }
          if (!::testing::Test::HasFailure()) ++survived;
        }
      }
    }
  }
  std::printf("%d injected faults survived\n", survived);
  RecordProperty("faults", survived);
  EXPECT_GT(survived, 0);
}

// What others may leave at a writer's temporary name; a device is a twin of /dev/null where
// one can be made (root), else a link to it.
void Place(const std::string& kind, const std::string& path, const std::string& dir) {
  TestFiles::WriteFile(dir + "elsewhere", "elsewhere");
  const bool placed = kind == "FIFO"     ? mkfifo(path.c_str(), 0600) == 0
                      : kind == "folder" ? mkdir(path.c_str(), 0700) == 0
                      : kind == "link"   ? symlink((dir + "elsewhere").c_str(), path.c_str()) == 0
                                       : mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 ||
                                             symlink("/dev/null", path.c_str()) == 0;
  ASSERT_TRUE(placed) << kind;
}

TEST(EveryWriter, NeverOpensWhatIsAtItsTemporaryName) {
  for (const Writer& writer : kWriters) {
    for (const std::string kind : {"FIFO", "folder", "link", "device"}) {
      const std::string what = writer.name + " with a " + kind + " at its .tmp";
      TestFiles::TempDir dir;
      const std::string temporary = dir.path + writer.file + ".tmp";
      ASSERT_EQ(Harness(writer.name, "prepare", dir.path).status, 0) << what;
      Place(kind, temporary, dir.path);
      struct stat placed {};
      struct stat after {};
      ASSERT_EQ(lstat(temporary.c_str(), &placed), 0) << what;
      // With a reader waiting, a writer that opened the FIFO would neither fail nor hang: it
      // would hand the reader its bytes.
      const int reader = kind == "FIFO" ? open(temporary.c_str(), O_RDONLY | O_NONBLOCK) : -1;
      const std::set<std::string> before = FilesIn(dir.path);

      const Outcome run = Harness(writer.name, "run", dir.path, Preload());
      const bool fails = writer.ownFolder;  // elsewhere the temporary name is a fresh one
      EXPECT_EQ(run.status, fails && writer.reports ? 1 : 0) << what << "\n" << run.output;
      EXPECT_EQ(Harness(writer.name, "check", dir.path).output, fails ? "old\n" : "new\n") << what;
      EXPECT_TRUE(writer.name != "save" ||
                  run.output.find("reported: Saving failed: ") != std::string::npos)
          << what;
      EXPECT_EQ(lstat(temporary.c_str(), &after), 0) << what;
      EXPECT_EQ(after.st_ino, placed.st_ino) << what;
      char byte;
      EXPECT_TRUE(reader < 0 || read(reader, &byte, 1) <= 0) << what << ": the FIFO got bytes";
      if (reader >= 0) close(reader);
      EXPECT_EQ(TestFiles::ReadFile(dir.path + "elsewhere"), "elsewhere") << what;
      EXPECT_EQ(FilesIn(dir.path), before) << what;
    }
  }
}

// A file in a synced folder, linked into place, stays linked and its target is written
// (0600, also from a 0644 backup); a backup's link is replaced and its target left alone.
TEST(EveryWriter, WritesThroughALinkAtItsFile) {
  for (const Writer& writer : kWriters) {
    if (*writer.creates != '\0') continue;  // nothing is there yet to be linked
    for (const bool relative : {false, true}) {
      const std::string what = writer.name + (relative ? " via a relative link" : " via a link");
      TestFiles::TempDir dir;
      const std::string file = dir.path + writer.file, synced = dir.path + "sync/" + writer.file;
      ASSERT_EQ(Harness(writer.name, "prepare", dir.path).status, 0) << what;
      ASSERT_EQ(mkdir((dir.path + "sync").c_str(), 0700), 0);
      ASSERT_EQ(rename(file.c_str(), synced.c_str()), 0) << what;
      ASSERT_EQ(
          symlink((relative ? "sync/" + std::string(writer.file) : synced).c_str(), file.c_str()),
          0);
      const std::string old = TestFiles::ReadFile(synced);

      const Outcome run = Harness(writer.name, "run", dir.path, Preload());
      EXPECT_EQ(run.status, 0) << what << "\n" << run.output;
      EXPECT_EQ(Harness(writer.name, "check", dir.path).output, "new\n") << what;
      struct stat info {};
      EXPECT_TRUE(lstat(file.c_str(), &info) == 0 && S_ISLNK(info.st_mode) == writer.ownFolder)
          << what;
      EXPECT_EQ(TestFiles::ReadFile(synced) != old, writer.ownFolder) << what;
      EXPECT_TRUE(!writer.ownFolder || TestFiles::ModeOf(synced) == 0600) << what;
    }
  }
}

}  // namespace
