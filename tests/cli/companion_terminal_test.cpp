// The companion at a real terminal: the prompt's quiet mode, and the user's terminal back on
// every way out, a stop and continue from the shell included.
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <cstdlib>

#include "tests/cli/companion_story.h"

namespace {

using namespace CompanionStory;

// What the terminal reads back: everything until the pattern has appeared count times, or
// until patience runs out (the story then fails on what it saw).
bool ReadUntil(int terminal, std::string& screen, std::string_view pattern, size_t count = 1) {
  auto seen = [&] {
    size_t found = 0;
    for (size_t at = screen.find(pattern); at != std::string::npos;
         at = screen.find(pattern, at + 1)) {
      ++found;
    }
    return found >= count;
  };
  char buffer[256];
  while (!seen()) {
    pollfd ready{terminal, POLLIN, 0};
    if (poll(&ready, 1, kPatienceMs) <= 0) return false;
    const ssize_t n = read(terminal, buffer, sizeof buffer);
    if (n <= 0) return false;
    screen.append(buffer, static_cast<size_t>(n));
  }
  return true;
}

bool EchoOn(int terminal) {
  termios mode{};
  return tcgetattr(terminal, &mode) == 0 && (mode.c_lflag & ECHO) != 0;
}

// The prompt's quiet terminal, and the user's terminal back on every way out: signals that
// end the program, and a stop during which the shell turns echo on, then a continue.
TEST_F(Companion, AtATerminalEveryWayOutOfThePromptLeavesTheTerminalRight) {
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "terminal password", {{"Mail", "", "ann", "x"}}),
            Vault::Ok);
  const struct {
    const char* what;
    int signal;  // SIGSTOP: stopped, echo turned on meanwhile, then continued
  } cases[] = {
      {"Ctrl+C", SIGINT},
      {"kill", SIGTERM},
      {"hang-up", SIGHUP},
      {"Ctrl+\\", SIGQUIT},
      {"stop and continue", SIGSTOP},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    int terminal = -1, user = -1;  // the test keeps the user's side open: its mode outlives
    ASSERT_EQ(openpty(&terminal, &user, nullptr, nullptr, nullptr), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      setsid();
      ioctl(user, TIOCSCTTY, 0);
      for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(user, fd);
      execl(LOCKWELL_CLI_EN, LOCKWELL_CLI_EN, "--dir", dir.c_str(), "list", nullptr);
      _exit(127);
    }
    std::string screen;
    EXPECT_TRUE(ReadUntil(terminal, screen, "Master password: ")) << screen;
    EXPECT_FALSE(EchoOn(terminal)) << "at the prompt";
    int status = 0;
    if (c.signal == SIGSTOP) {
      kill(pid, SIGSTOP);
      waitpid(pid, &status, WUNTRACED);
      termios shell{};
      tcgetattr(terminal, &shell);
      shell.c_lflag |= ECHO;  // what a shell does when its job stops
      tcsetattr(terminal, TCSANOW, &shell);
      kill(pid, SIGCONT);
      EXPECT_TRUE(ReadUntil(terminal, screen, "Master password: ", 2)) << "shown again";
      EXPECT_FALSE(EchoOn(terminal)) << "after the continue";
      (void)!write(terminal, "terminal password\n", 18);
      EXPECT_TRUE(ReadUntil(terminal, screen, "Mail\tann\t")) << screen;
      waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << screen;
      EXPECT_EQ(screen.find("terminal password"), std::string::npos) << screen;
    } else {
      kill(pid, c.signal);
      waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
    }
    EXPECT_TRUE(EchoOn(terminal)) << "after the program";
    close(terminal);
    close(user);
  }
}

// Where tmux is found on PATH; empty when it is not.
std::string TmuxPath() {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin";
  for (size_t start = 0; start <= dirs.size();) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string candidate = dirs.substr(start, end - start) + "/tmux";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

// A user at a shell in a real terminal: at the prompt Ctrl+Z, then fg, then the password.
// The shell turns echo on when the job stops; what is typed after fg must stay hidden. Then
// a new vault, its password pasted twice at the first prompt: the second line waits for the
// second prompt. Then a window program that makes and locks the new folder while the
// password is asked: it keeps the folder, and the import ends with status 1.
TEST_F(Companion, CtrlZAtThePromptThenFgKeepsThePasswordHidden) {
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "terminal password", {{"Mail", "", "ann", "x"}}),
            Vault::Ok);
  const std::string tmux = TmuxPath();
  ASSERT_FALSE(tmux.empty()) << "tmux is needed (scripts/bootstrap.sh installs it)";
  const std::string socket = scratch.path + "tmux.socket";
  auto run = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"-S", socket, "-f", "/dev/null"});
    return RunProgram(tmux.c_str(), arguments, "", scratch.path);
  };
  // capture-pane drops the blanks at the ends of lines: texts are looked for without them.
  auto screen = [&] { return run({"capture-pane", "-p", "-t", "story"}).out; };
  // Waits until the screen shows the text count times; the screen as it then is.
  auto waitFor = [&](const std::string& text, size_t count = 1) {
    std::string shown;
    for (int waited = 0; waited < kPatienceMs; waited += 50) {
      shown = screen();
      size_t found = 0;
      for (size_t at = shown.find(text); at != std::string::npos; at = shown.find(text, at + 1))
        ++found;
      if (found >= count) break;
      usleep(50 * 1000);
    }
    return shown;
  };
  ASSERT_EQ(run({"new-session", "-d", "-s", "story", "-x", "120", "-y", "30", "env", "PS1=$ ",
                 "bash", "--norc", "--noprofile"})
                .status,
            0);
  run({"send-keys", "-t", "story", "-l", std::string(LOCKWELL_CLI_EN) + " --dir " + dir + " list"});
  run({"send-keys", "-t", "story", "Enter"});
  EXPECT_NE(waitFor("Master password:").find("Master password:"), std::string::npos);
  run({"send-keys", "-t", "story", "C-z"});
  EXPECT_NE(waitFor("Stopped").find("Stopped"), std::string::npos) << screen();
  run({"send-keys", "-t", "story", "-l", "fg"});
  run({"send-keys", "-t", "story", "Enter"});
  (void)waitFor("Master password:", 2);  // shown again
  run({"send-keys", "-t", "story", "-l", "terminal password"});
  run({"send-keys", "-t", "story", "Enter"});
  const std::string shown = waitFor("Mail");
  EXPECT_NE(shown.find("Mail"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("terminal password"), std::string::npos) << shown;

  const std::string csv = scratch.path + "rows.csv", pasted = scratch.path + "pasted/";
  WriteFile(csv, "title,password\nMail,pw\n");
  auto import = [&](const std::string& folder) {
    run({"send-keys", "-t", "story", "-l",
         std::string(LOCKWELL_CLI_EN) + " --dir " + folder + " import " + csv +
             "; echo status=$?"});
    run({"send-keys", "-t", "story", "Enter"});
  };
  import(pasted);
  (void)waitFor("Password:");
  run({"send-keys", "-t", "story", "-l", "new password\nnew password\n"});
  const std::string made = waitFor("status=0");
  EXPECT_NE(made.find("A new vault was made: " + pasted + "kluis.lwv"), std::string::npos) << made;
  EXPECT_EQ(EntriesOf(pasted + "kluis.lwv", "new password").size(), 1u);

  const std::string taken = scratch.path + "taken/";
  import(taken);
  (void)waitFor("Password:", 2);
  ASSERT_EQ(mkdir(taken.c_str(), 0700), 0);  // the window program, started meanwhile
  const int window = open(taken.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(window, LOCK_EX | LOCK_NB), 0);
  run({"send-keys", "-t", "story", "-l", "new password\nnew password\n"});
  const std::string refused = waitFor("status=1");
  close(window);
  run({"kill-server"});
  EXPECT_NE(refused.find("Lockwell is already running with this vault.\nstatus=1"),
            std::string::npos)
      << refused;
  EXPECT_FALSE(TestFiles::Exists(taken + "kluis.lwv"));
}

}  // namespace
