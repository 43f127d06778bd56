#include "cli/password_input.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "vault/file_io.h"

namespace Cli {
namespace {

constexpr size_t kFirstCapacity = 128;

// The user's terminal settings and the prompt's, without echo. While a prompt waits, a
// signal that ends the program puts the user's back first. A stop (Ctrl+Z) puts them back
// for the shell, and the continue (fg) turns echo off again: the shell turned it on.
struct termios gSaved {};
struct termios gQuiet {};
volatile sig_atomic_t gEchoOff = 0;
std::string_view gPrompt;  // shown again on continuing

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int kStopSignals[] = {SIGTSTP, SIGCONT};

void RestoreTerminal() {
  if (gEchoOff) tcsetattr(STDIN_FILENO, TCSANOW, &gSaved);
  gEchoOff = 0;
}

void OnInterrupt(int signal) {
  RestoreTerminal();
  ::signal(signal, SIG_DFL);
  raise(signal);
}

void OnContinue(int) {
  const int saved = errno;
  if (gEchoOff && tcsetattr(STDIN_FILENO, TCSANOW, &gQuiet) == 0) {
    (void)Vault::WriteFully(STDERR_FILENO, gPrompt.data(), gPrompt.size());
  }
  errno = saved;
}

// Stops as the default action would, from inside the handler: the continue resumes here.
void OnStop(int signal) {
  const int saved = errno;
  if (gEchoOff) tcsetattr(STDIN_FILENO, TCSANOW, &gSaved);
  struct sigaction stop {
  }, own{};
  stop.sa_handler = SIG_DFL;
  sigaction(signal, &stop, &own);
  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, signal);
  raise(signal);
  sigprocmask(SIG_UNBLOCK, &blocked, nullptr);
  sigaction(signal, &own, nullptr);
  errno = saved;
}

// Installs the prompt's handlers, keeping the ones they replace in old.
void CatchSignals(struct sigaction (&old)[std::size(kEndingSignals) + std::size(kStopSignals)]) {
  size_t next = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  for (int s : kEndingSignals) sigaction(s, &action, &old[next++]);
  for (int s : kStopSignals) {
    action.sa_handler = s == SIGCONT ? OnContinue : OnStop;
    sigaction(s, &action, &old[next++]);
  }
}

void RestoreSignals(
    const struct sigaction (&old)[std::size(kEndingSignals) + std::size(kStopSignals)]) {
  size_t next = 0;
  for (int s : kEndingSignals) sigaction(s, &old[next++], nullptr);
  for (int s : kStopSignals) sigaction(s, &old[next++], nullptr);
}

bool Append(SecretBuffer& line, char c) {
  if (line.size + 1 >= line.capacity &&
      !ReserveSecret(line, line.capacity == 0 ? kFirstCapacity : 2 * line.capacity)) {
    return false;
  }
  line.data[line.size++] = c;
  line.data[line.size] = '\0';
  return true;
}

// One byte at a time, so that nothing past the line is taken from standard input and no
// stdio buffer keeps a copy.
bool ReadLine(SecretBuffer& line) {
  bool any = false;
  for (;;) {
    char c;
    const ssize_t n = Vault::ReadSome(STDIN_FILENO, &c, 1);
    if (n < 0) return false;
    if (n == 0) return any;
    any = true;
    if (c == '\n') break;
    if (!Append(line, c)) return false;
  }
  if (line.size > 0 && line.data[line.size - 1] == '\r') line.data[--line.size] = '\0';
  return true;
}

void WriteError(std::string_view text) {
  (void)Vault::WriteFully(STDERR_FILENO, text.data(), text.size());
}

}  // namespace

bool ReadPassword(std::string_view prompt, SecretBuffer& line) {
  ReleaseSecret(line);
  const bool terminal = isatty(STDIN_FILENO);
  struct sigaction old[std::size(kEndingSignals) + std::size(kStopSignals)] = {};
  const bool caught = terminal && tcgetattr(STDIN_FILENO, &gSaved) == 0;
  if (caught) {
    gQuiet = gSaved;
    gQuiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    gQuiet.c_lflag |= ECHONL;  // the user's Return still moves to a new line
    gPrompt = prompt;
    CatchSignals(old);
    // Never a flush, here or when the user's mode comes back: lines typed or pasted ahead
    // stay queued for the prompts that follow.
    gEchoOff = tcsetattr(STDIN_FILENO, TCSANOW, &gQuiet) == 0;
  }
  if (terminal) {
    // A line typed ahead had its line end shown already: the prompt ends its own line.
    int waiting = 0;
    const bool typedAhead = ioctl(STDIN_FILENO, FIONREAD, &waiting) == 0 && waiting > 0;
    WriteError(typedAhead ? std::string(prompt) + "\n" : std::string(prompt));
  }
  const bool read = ReadLine(line);
  RestoreTerminal();
  if (caught) RestoreSignals(old);
  return read;
}

}  // namespace Cli
