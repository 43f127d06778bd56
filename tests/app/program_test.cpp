// The real programs, started as a user would under a private X server and driven with
// xdotool. Nothing inside the process is touched.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/test_files.h"
#include "tests/support/xvfb.h"

namespace {

std::string Shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  pclose(pipe);
  return out;
}

// Starts a program with extra environment settings; returns its pid.
pid_t Launch(const std::string& program, const std::vector<std::string>& environment,
             const std::vector<std::string>& arguments) {
  const pid_t pid = fork();
  if (pid == 0) {
    for (const std::string& setting : environment) putenv(strdup(setting.c_str()));
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

// Waits for the process to end; -1 when it is still running after the time given.
int WaitExit(pid_t pid, int seconds) {
  for (int i = 0; i < seconds * 20; ++i) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

std::vector<std::string> VisibleWindowsOf(pid_t pid) {
  const std::string out =
      Shell("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null");
  std::vector<std::string> ids;
  size_t start = 0;
  for (size_t nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1) {
    ids.push_back(out.substr(start, nl - start));
  }
  return ids;
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TestDisplay::Start()) << "Xvfb could not be started"; }
};

TEST_F(Program, WithoutLibsodiumShowsOneMessageAndEndsWithStatus1) {
  for (const char* edition : {LOCKWELL_PROGRAM_EN, LOCKWELL_PROGRAM_NL}) {
    TestFiles::TempDir home;
    const pid_t pid = Launch(
        edition, {"HOME=" + home.path, "LD_LIBRARY_PATH=" LOCKWELL_FAKES_DIR "no_uniform"}, {});
    const std::string box =
        Shell("timeout 20 xdotool search --sync --onlyvisible --name '^Lockwell$'");
    ASSERT_FALSE(box.empty()) << edition << ": no message box appeared";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(VisibleWindowsOf(pid).size(), 1u) << edition << ": the box is the only window";
    const std::string id = box.substr(0, box.find('\n'));
    Shell("xdotool windowfocus --sync " + id + " key Return");
    EXPECT_EQ(WaitExit(pid, 20), 1) << edition;
    EXPECT_FALSE(TestFiles::Exists(home.path + ".Lockwell")) << edition;
  }
}

// The dynamic linker's own account of where every library's malloc and free went.
TEST(ProgramAllocator, MimallocServesEveryMallocOfTheProcess) {
  for (const char* edition : {LOCKWELL_PROGRAM_EN, LOCKWELL_PROGRAM_NL}) {
    // An unusable display ends the program right after start-up; that is enough to see it.
    const std::string log =
        Shell("LD_DEBUG=bindings DISPLAY=:65000 '" + std::string(edition) + "' 2>&1 >/dev/null");
    int toMimalloc = 0, elsewhere = 0;
    size_t start = 0;
    for (size_t nl; (nl = log.find('\n', start)) != std::string::npos; start = nl + 1) {
      const std::string line = log.substr(start, nl - start);
      if (line.find("symbol `malloc'") == std::string::npos &&
          line.find("symbol `free'") == std::string::npos) {
        continue;
      }
      const size_t to = line.find(" to ");
      if (to != std::string::npos && line.find("libmimalloc.so", to) != std::string::npos) {
        ++toMimalloc;
      } else {
        ++elsewhere;
        ADD_FAILURE() << edition << ": " << line;
      }
    }
    EXPECT_GT(toMimalloc, 20) << edition;
    EXPECT_EQ(elsewhere, 0) << edition;
  }
}

}  // namespace
