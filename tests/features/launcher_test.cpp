// Starting a browser detached: the program lookup, the argument splitting and the double
// fork, observed through a fake browser that writes down what it was given.
#include "features/launcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "tests/support/test_files.h"

namespace {

using Features::ResolveProgram;
using Features::SplitArguments;
using Features::StartDetached;

void WriteProgram(const std::string& path, const std::string& text, mode_t mode) {
  TestFiles::WriteFile(path, text);
  chmod(path.c_str(), mode);
}

// A browser that records its argument count, its parent, its folder and its arguments.
std::string FakeBrowser(const std::string& dir, const std::string& out) {
  const std::string path = dir + "fake-browser";
  WriteProgram(path,
               "#!/bin/sh\n{ echo \"$#\"; echo \"$PPID\"; pwd; for a in \"$@\"; do printf "
               "'%s\\n' \"$a\"; done; } > '" +
                   out + ".part' && mv '" + out + ".part' '" + out + "'\n",
               0755);
  return path;
}

// The lines the fake browser wrote, once it has written them (the test gives up after a
// generous wait, which only a broken start reaches).
std::vector<std::string> WaitForRecord(const std::string& out) {
  for (int i = 0; i < 1000 && !TestFiles::Exists(out); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::vector<std::string> lines;
  std::istringstream in(TestFiles::ReadFile(out));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(Launcher, ArgumentSplitting) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"", {}},
      {"  \t\n ", {}},
      {"\"https://a%20b\"", {"https://a%20b"}},
      {"one two\tthree\nfour", {"one", "two", "three", "four"}},
      {"\"a b\" c", {"a b", "c"}},
      {"\"\"", {""}},
      {"\"open", {"open"}},                // an unclosed quote runs to the end
      {"ab\"c d\"e", {"ab", "c d", "e"}},  // a quote inside a word starts a new argument
      {"'single quotes' stay", {"'single", "quotes'", "stay"}},
  };
  for (const auto& [parameters, expected] : cases) {
    EXPECT_EQ(SplitArguments(parameters), expected) << parameters;
  }
}

TEST(Launcher, ProgramLookup) {
  TestFiles::TempDir dir;
  WriteProgram(dir.path + "tool", "#!/bin/sh\n", 0755);
  WriteProgram(dir.path + "plain", "#!/bin/sh\n", 0644);
  WriteProgram(dir.path + "empty", "", 0755);
  mkdir((dir.path + "folder").c_str(), 0755);
  mkdir((dir.path + "sub").c_str(), 0755);
  WriteProgram(dir.path + "sub/tool2", "#!/bin/sh\n", 0755);
  const std::string d = dir.path;
  const std::string bare = d.substr(0, d.size() - 1);  // without the trailing "/"
  const std::string withEmpties = "::/nonexistent:" + bare;
  const struct {
    std::string name;
    const char* path;
    bool found;
  } cases[] = {
      {d + "tool", nullptr, true},
      {d + "plain", d.c_str(), false},   // not executable
      {d + "empty", d.c_str(), false},   // nothing in it
      {d + "folder", d.c_str(), false},  // a directory
      {d + "missing", d.c_str(), false},
      {"tool", d.c_str(), true},
      {"tool", bare.c_str(), true},
      {"tool", withEmpties.c_str(), true},
      {"tool", "", false},
      {"tool", nullptr, false},  // PATH unset
      {"plain", d.c_str(), false},
      {"empty", d.c_str(), false},
      {"folder", d.c_str(), false},
      {"./tool", d.c_str(), false},    // relative to the folder we happen to be in: never
      {"sub/tool2", d.c_str(), true},  // a name with "/" not found as given is searched for
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveProgram(c.name, c.path), c.found)
        << c.name << " on " << (c.path ? c.path : "(unset)");
  }
}

TEST(Launcher, TheBrowserGetsOneArgumentAndIsNotOurChild) {
  TestFiles::TempDir dir;
  const std::string out = dir.path + "record";
  const std::string browser = FakeBrowser(dir.path, out);
  ASSERT_TRUE(StartDetached(browser, "\"https://example.org/a%20b?x=<y>&z\"", dir.path));
  const std::vector<std::string> lines = WaitForRecord(out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "1");
  EXPECT_NE(lines[1], std::to_string(getpid()));
  EXPECT_EQ(lines[2] + "/", dir.path);
  EXPECT_EQ(lines[3], "https://example.org/a%20b?x=<y>&z");
  // The go-between was reaped and the browser is not ours: no child, no zombie.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(Launcher, TheBrowserOutlivesTheProgramThatStartedIt) {
  TestFiles::TempDir dir;
  const std::string out = dir.path + "record";
  const std::string browser = dir.path + "slow-browser";
  WriteProgram(browser, "#!/bin/sh\nsleep 1\necho \"$1\" > '" + out + "'\n", 0755);
  const pid_t program = fork();
  ASSERT_GE(program, 0);
  if (program == 0) _exit(StartDetached(browser, "\"https://late.example\"", "") ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(program, &status, 0), program);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(TestFiles::Exists(out));  // still sleeping when its starter is gone
  EXPECT_EQ(WaitForRecord(out), std::vector<std::string>{"https://late.example"});
}

TEST(Launcher, NothingStartsWithoutAStartableProgram) {
  TestFiles::TempDir dir;
  WriteProgram(dir.path + "plain", "#!/bin/sh\ntouch '" + dir.path + "ran'\n", 0644);
  EXPECT_FALSE(StartDetached(dir.path + "plain", "x", ""));
  const char* saved = std::getenv("PATH");
  const std::string path = saved != nullptr ? saved : "";
  unsetenv("PATH");
  EXPECT_FALSE(StartDetached("sh", "-c true", ""));
  setenv("PATH", path.c_str(), 1);
  EXPECT_FALSE(TestFiles::Exists(dir.path + "ran"));
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

}  // namespace
