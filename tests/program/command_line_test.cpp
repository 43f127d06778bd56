// The options that only print: both programs answer them and end before they make a
// directory, take a lock or open a window, with a display to open one on.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/test_files.h"
#include "tests/support/xvfb.h"

namespace {

struct Outcome {
  int status;
  std::string firstLine;
};

// Runs the program with the arguments (words split by the shell) in the working folder; a
// program that opens a window instead of ending is stopped after 20 s and fails the status.
Outcome RunIn(const std::string& folder, const std::string& home, const std::string& program,
              const std::string& arguments, bool display) {
  const std::string command = "cd '" + folder + "' && env " + (display ? "" : "-u DISPLAY ") +
                              "HOME='" + home + "' timeout 20 '" + program + "' " + arguments +
                              " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, ""};
  std::string out;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out.substr(0, out.find('\n'))};
}

TEST(InfoOptions, PrintAndEndWithoutMakingAnything) {
  ASSERT_TRUE(TestDisplay::Start()) << "Xvfb could not be started";
  const struct {
    const char* program;
    const char* arguments;
    bool display;
    int status;
    const char* firstLine;
  } cases[] = {
      {LOCKWELL_PROGRAM_EN, "--help", true, 0, "Usage: lockwell-en [DIRECTORY]"},
      {LOCKWELL_PROGRAM_EN, "-h", true, 0, "Usage: lockwell-en [DIRECTORY]"},
      {LOCKWELL_PROGRAM_EN, "--version", true, 0, "Lockwell 1.0"},
      {LOCKWELL_PROGRAM_NL, "--help", true, 0, "Gebruik: lockwell-nl [MAP]"},
      {LOCKWELL_PROGRAM_NL, "-h", true, 0, "Gebruik: lockwell-nl [MAP]"},
      {LOCKWELL_PROGRAM_NL, "--version", false, 0, "Lockwell 1.0"},
      // Behind GTK's own options the first argument left still counts.
      {LOCKWELL_PROGRAM_EN, "--class Lockwell --version", true, 0, "Lockwell 1.0"},
      // A folder really called so is a folder: without a display GTK stops the program.
      {LOCKWELL_PROGRAM_EN, "./--help", false, 1, ""},
  };
  for (const auto& c : cases) {
    // GTK keeps caches of its own in HOME, so HOME is a folder apart.
    TestFiles::TempDir scratch, home;
    const Outcome run = RunIn(scratch.path, home.path, c.program, c.arguments, c.display);
    SCOPED_TRACE(std::string(c.program) + " " + c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.firstLine, c.firstLine);
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path));
    EXPECT_FALSE(TestFiles::Exists(home.path + ".Lockwell"));
  }
}

}  // namespace
