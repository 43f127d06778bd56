// The real programs, started as a user would under a private X server and driven with
// xdotool. Nothing inside the process is touched.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
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

std::vector<std::string> Lines(const std::string& text);

std::vector<std::string> VisibleWindowsOf(pid_t pid) {
  return Lines(Shell("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null"));
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

// Waits until a file exists with the given size.
bool WaitForFile(const std::string& path, size_t size, int seconds) {
  for (int i = 0; i < seconds * 20; ++i) {
    if (TestFiles::Exists(path) && TestFiles::ReadFile(path).size() == size) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
    lines.push_back(text.substr(start, nl - start));
  }
  return lines;
}

std::vector<std::string> WindowsNamed(const std::string& title) {
  return Lines(Shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
}

// Focuses the window with this title once it shows (within 20 s); false when it does not.
// xdotool's search gives up on an X error when another window vanishes while it walks the
// tree, as a closing message box does, so the search is repeated rather than left to --sync.
bool FocusWindow(const std::string& title) {
  for (int i = 0; i < 200; ++i) {
    const std::vector<std::string> ids = WindowsNamed(title);
    if (!ids.empty()) {
      Shell("xdotool windowfocus --sync " + ids.front());
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

// Types the new master password into both fields of the first run's dialog and accepts it.
void TypeNewVaultPassword(const std::string& password) {
  // "type" takes every word after it, so each typing is a command of its own.
  Shell("xdotool type --delay 10 '" + password + "'");
  Shell("xdotool key Tab");
  Shell("xdotool type --delay 10 '" + password + "'");
  Shell("xdotool key Return");
}

// File > Exit from the keyboard: F10 opens the first menu, Up wraps to its last item.
void ChooseExit() {
  FocusWindow("Lockwell");
  Shell("xdotool key F10 sleep 0.3 key Up sleep 0.2 key Return");
}

// A copy whose name holds bytes that are no UTF-8 (Dropbox writes the user's name into it) is
// offered under a readable name while the desktop's accessibility bus listens to every label,
// and answering it ends nothing.
TEST_F(Program, ACopyNamedInBytesThatAreNoUtf8IsOfferedWithTheAccessibilityBusRunning) {
  TestFiles::TempDir home;
  const std::string dir = home.path + ".Lockwell/", vault = dir + "kluis.lwv";
  const std::string copy = dir + "kluis (\xff\xfe's conflicted copy 2026-12-09).lwv";
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  ASSERT_TRUE(Vault::LoadSodium());
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "correct horse", {{"Mail", "", "ann", "m"}}),
            Vault::Ok);
  Vault::KeyState keys{};
  std::vector<Vault::Entry> read;
  ASSERT_EQ(Vault::ReadVaultFile(vault, "correct horse", keys, read), Vault::Ok);
  read.push_back({"Bank", "", "", "b"});
  const Vault::VaultError sealed = Vault::SealToFile(copy, keys, read);
  Vault::WipeAndFree(keys.key, Vault::kKeySize);
  ASSERT_EQ(sealed, Vault::Ok);

  // A listener makes the toolkit send every label's text over the bus, as with a screen reader.
  const pid_t pid = Launch("/usr/bin/dbus-run-session", {"HOME=" + home.path},
                           {"--", "/bin/sh", "-c",
                            std::string(LOCKWELL_ATSPI_LISTENER) + " & sleep 1; exec " +
                                LOCKWELL_PROGRAM_EN + " " + dir});
  ASSERT_TRUE(FocusWindow("Log in"));
  Shell("xdotool type --delay 10 'correct horse'");
  Shell("xdotool key Return");
  for (int i = 0; i < 100 && WindowsNamed("Lockwell").size() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(WindowsNamed("Lockwell").size(), 2u) << "the main window and the question";
  EXPECT_NE(Shell("ps -eo args").find("at-spi-bus-launcher"), std::string::npos)
      << "the accessibility bus is not running, so the test proves nothing";
  std::this_thread::sleep_for(std::chrono::seconds(4));  // the bus reads the labels meanwhile
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the program ended while the box was open";
  Shell("xdotool key Escape");  // closing the box answers No
  for (int i = 0; i < 50 && WindowsNamed("Lockwell").size() > 1; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ChooseExit();
  EXPECT_EQ(WaitExit(pid, 20), 0);
  EXPECT_TRUE(TestFiles::Exists(copy)) << "a copy turned down stays";
}

TEST_F(Program, FirstRunCreatesAVaultAndTheNextRunLogsIn) {
  TestFiles::TempDir home;
  const std::string dir = home.path + ".Lockwell/";
  const pid_t first = Launch(LOCKWELL_PROGRAM_EN, {"HOME=" + home.path}, {});
  ASSERT_TRUE(FocusWindow("New vault"));
  TypeNewVaultPassword("correct horse");
  ASSERT_TRUE(WaitForFile(dir + "kluis.lwv", 94, 30)) << "no empty vault was written";
  ChooseExit();
  EXPECT_EQ(WaitExit(first, 20), 0);
  EXPECT_EQ(TestFiles::ModeOf(dir), 0700);
  EXPECT_EQ(TestFiles::ModeOf(dir + "kluis.lwv"), 0600);
  EXPECT_EQ(TestFiles::ReadFile(dir + "instellingen.ini").size(), 105u);
  EXPECT_FALSE(TestFiles::Exists(dir + "kluis.lwv.tmp"));
  const std::string vault = TestFiles::ReadFile(dir + "kluis.lwv");
  EXPECT_EQ(vault.substr(0, 4), "LWV1");

  // The second run finds the vault and asks for its password.
  const pid_t second = Launch(LOCKWELL_PROGRAM_EN, {"HOME=" + home.path}, {});
  ASSERT_TRUE(FocusWindow("Log in"));
  const std::vector<std::string> before = WindowsNamed("Lockwell");  // the main window
  Shell("xdotool type --delay 10 'wrong horse'");
  Shell("xdotool key Return");
  // The warning box is titled "Lockwell" too: it is the one that was not there before.
  std::string box;
  for (int i = 0; i < 200 && box.empty(); ++i) {
    for (const std::string& id : WindowsNamed("Lockwell")) {
      if (std::find(before.begin(), before.end(), id) == before.end()) box = id;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_FALSE(box.empty()) << "no warning after a wrong password";
  Shell("xdotool windowfocus --sync " + box + " key Return");
  ASSERT_TRUE(FocusWindow("Log in"));
  Shell("xdotool type --delay 10 'correct horse'");
  Shell("xdotool key Return");
  for (int i = 0; i < 100 && !Shell("xdotool search --onlyvisible --name '^Log in$'").empty();
       ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(Shell("xdotool search --onlyvisible --name '^Log in$'").empty()) << "still asking";
  ChooseExit();
  EXPECT_EQ(WaitExit(second, 20), 0);
  EXPECT_EQ(TestFiles::ReadFile(dir + "kluis.lwv"), vault) << "logging in never rewrites";

  // A third run whose main window another program destroys ends as after Exit: status 0,
  // the settings written, the folder free for the next start, which asks for the password.
  std::remove((dir + "instellingen.ini").c_str());
  const pid_t third = Launch(LOCKWELL_PROGRAM_EN, {"HOME=" + home.path}, {});
  ASSERT_TRUE(FocusWindow("Log in"));
  Shell("xdotool type --delay 10 'correct horse'");
  Shell("xdotool key Return");
  for (int i = 0; i < 100 && !WindowsNamed("Log in").empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  const std::vector<std::string> main = WindowsNamed("Lockwell");
  ASSERT_EQ(main.size(), 1u);
  Shell("xdotool windowclose " + main[0]);
  EXPECT_EQ(WaitExit(third, 20), 0) << "the process outlived its window";
  EXPECT_EQ(TestFiles::ReadFile(dir + "instellingen.ini").size(), 105u);
  const pid_t fourth = Launch(LOCKWELL_PROGRAM_EN, {"HOME=" + home.path}, {});
  ASSERT_TRUE(FocusWindow("Log in")) << "the folder is still locked";
  Shell("xdotool key Escape");
  EXPECT_EQ(WaitExit(fourth, 20), 0);
}

// The visible windows of a process once it shows any; empty when none appears in time.
std::vector<std::string> WaitWindowsOf(pid_t pid, int seconds) {
  std::vector<std::string> windows;
  for (int i = 0; i < seconds * 10 && windows.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    windows = VisibleWindowsOf(pid);
  }
  return windows;
}

TEST_F(Program, ASecondStartOnTheSameFolderStopsWhileTheFirstWorksOn) {
  TestFiles::TempDir home;
  const std::string dir = home.path + ".Lockwell/";
  const pid_t first = Launch(LOCKWELL_PROGRAM_EN, {"HOME=" + home.path}, {});
  ASSERT_TRUE(FocusWindow("New vault"));

  const pid_t second = Launch(LOCKWELL_PROGRAM_EN, {"HOME=" + home.path}, {});
  const std::vector<std::string> boxes = WaitWindowsOf(second, 20);
  ASSERT_EQ(boxes.size(), 1u) << "the second start shows its message and nothing else";
  EXPECT_EQ(Shell("xdotool getwindowname " + boxes[0]), "Lockwell\n");
  Shell("xdotool windowfocus --sync " + boxes[0] + " key Return");
  EXPECT_EQ(WaitExit(second, 20), 1);
  EXPECT_FALSE(TestFiles::Exists(dir + "instellingen.ini"));

  // The first one was not disturbed: it creates the vault and ends as usual.
  ASSERT_TRUE(FocusWindow("New vault"));
  TypeNewVaultPassword("correct horse");
  ASSERT_TRUE(WaitForFile(dir + "kluis.lwv", 94, 30)) << "the first start did not work on";
  ChooseExit();
  EXPECT_EQ(WaitExit(first, 20), 0);

  // With the first one gone, a new start asks for the password; Escape gives up.
  const pid_t third = Launch(LOCKWELL_PROGRAM_EN, {"HOME=" + home.path}, {});
  ASSERT_TRUE(FocusWindow("Log in"));
  Shell("xdotool key Escape");
  EXPECT_EQ(WaitExit(third, 20), 0);
}

// The dynamic linker's own account of where every library's malloc and free went: malloc
// to mimalloc, free to the program's own, which wipes each block before mimalloc gets it.
TEST(ProgramAllocator, MimallocServesEveryMallocAndTheProgramWipesEveryFree) {
#ifdef LOCKWELL_SANITIZED
  GTEST_SKIP() << "the sanitizers replace malloc and free";
#endif
  for (const char* edition : {LOCKWELL_PROGRAM_EN, LOCKWELL_PROGRAM_NL}) {
    // An unusable display ends the program right after start-up; that is enough to see it.
    const std::string log =
        Shell("LD_DEBUG=bindings DISPLAY=:65000 '" + std::string(edition) + "' 2>&1 >/dev/null");
    const std::string program = std::string(edition).substr(std::string(edition).rfind('/') + 1);
    int toMimalloc = 0, toProgram = 0, elsewhere = 0;
    size_t start = 0;
    for (size_t nl; (nl = log.find('\n', start)) != std::string::npos; start = nl + 1) {
      const std::string line = log.substr(start, nl - start);
      const bool isMalloc = line.find("symbol `malloc'") != std::string::npos;
      const bool isFree = line.find("symbol `free'") != std::string::npos ||
                          line.find("symbol `realloc'") != std::string::npos;
      if (!isMalloc && !isFree) continue;
      const size_t to = line.find(" to ");
      const std::string target = to == std::string::npos ? "" : line.substr(to);
      if (isMalloc && target.find("libmimalloc.so") != std::string::npos) {
        ++toMimalloc;
      } else if (isFree && target.find("/" + program + " ") != std::string::npos) {
        ++toProgram;
      } else {
        ++elsewhere;
        ADD_FAILURE() << edition << ": " << line;
      }
    }
    EXPECT_GT(toMimalloc, 10) << edition;
    EXPECT_GT(toProgram, 10) << edition;
    EXPECT_EQ(elsewhere, 0) << edition;
  }
}

// How the programs were built: position-independent, relocations read-only and bound at
// start, stack canaries and checked string functions; control-flow marks in their objects.
TEST(ProgramBuild, BothProgramsAreHardened) {
  for (const char* edition : {LOCKWELL_PROGRAM_EN, LOCKWELL_PROGRAM_NL}) {
    const std::string file = std::string("'") + edition + "'";
    EXPECT_NE(Shell("readelf -hW " + file).find("DYN (Position-Independent"), std::string::npos)
        << edition;
    const std::string dynamic = Shell("readelf -dW " + file);
    EXPECT_NE(dynamic.find("(FLAGS)              BIND_NOW"), std::string::npos) << edition;
    EXPECT_NE(dynamic.find("Flags: NOW PIE"), std::string::npos) << edition;
    EXPECT_NE(Shell("readelf -lW " + file).find("GNU_RELRO"), std::string::npos) << edition;
    const std::string symbols = Shell("readelf --dyn-syms -W " + file);
    EXPECT_NE(symbols.find("__stack_chk_fail"), std::string::npos) << edition;
#ifndef LOCKWELL_SANITIZED  // the sanitizers check string calls themselves, unfortified
    EXPECT_NE(Shell("readelf --dyn-syms -W " + file + " | grep -E ' __[a-z_]+_chk(@|$)'"), "")
        << edition << ": no fortified call";
#endif
  }
  // Debian's C start files carry no such mark, so the linker drops it from the programs;
  // the program's own objects must have it.
  EXPECT_NE(Shell("readelf -nW '" LOCKWELL_HARDENED_OBJECT "'").find("IBT, SHSTK"),
            std::string::npos);
}

TEST_F(Program, RunsWithoutCoreDumps) {
  TestFiles::TempDir home;
  const pid_t pid = Launch(LOCKWELL_PROGRAM_EN, {"HOME=" + home.path}, {});
  ASSERT_TRUE(FocusWindow("New vault"));
  const std::string limits = TestFiles::ReadFile("/proc/" + std::to_string(pid) + "/limits");
  const size_t line = limits.find("Max core file size");
  ASSERT_NE(line, std::string::npos);
  std::istringstream fields(limits.substr(line + 18, limits.find('\n', line) - line - 18));
  std::string soft, hard;
  fields >> soft >> hard;
  EXPECT_EQ(soft, "0");
  EXPECT_EQ(hard, "0");
  kill(pid, SIGTERM);
  WaitExit(pid, 20);
}

}  // namespace
