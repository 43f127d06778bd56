// Every writer against failing writes: for each writer, each call kind and each N that the
// write reaches, the Nth call fails with ENOSPC or EIO. A failed write is reported (except
// the settings, silent by design), leaves the old file whole, and no temporary file. A
// failed folder sync comes after the rename: the new file is in place and counts as saved.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

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
      if (e->d_name[0] != '.') names.insert(e->d_name);
    }
    closedir(d);
  }
  return names;
}

struct Writer {
  std::string name;
  bool reports;      // tells the user when it fails
  int sourceCloses;  // the first closes are of a file it has read whole, not of what it writes
  const char* creates = "";  // a file that was not there before and is once the write took
};

// Add a row for each writer the harness knows.
const Writer kWriters[] = {
    {"save", true, 0},      {"change", true, 0},
    {"settings", false, 0}, {"replace", true, 0},
    {"backup", true, 1},    {"restore", true, 1},
    {"putback", true, 1},   {"import", true, 0, "kluis.lwv"},
    {"export", true, 0},
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

}  // namespace
