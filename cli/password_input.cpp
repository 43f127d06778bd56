#include "cli/password_input.h"

#include <termios.h>
#include <unistd.h>

#include <csignal>

#include "vault/file_io.h"

namespace Cli {
namespace {

constexpr size_t kFirstCapacity = 128;

// The terminal's settings while echo is off, put back by the handler if the user
// interrupts the prompt.
struct termios gSaved {};
volatile sig_atomic_t gEchoOff = 0;

void RestoreTerminal() {
  if (gEchoOff) tcsetattr(STDIN_FILENO, TCSAFLUSH, &gSaved);
  gEchoOff = 0;
}

void OnInterrupt(int signal) {
  RestoreTerminal();
  ::signal(signal, SIG_DFL);
  raise(signal);
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
  struct termios quiet {};
  if (terminal && tcgetattr(STDIN_FILENO, &gSaved) == 0) {
    quiet = gSaved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;  // the user's Return still moves to a new line
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(s, &action, nullptr);
    gEchoOff = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  // Only now: what is typed after the prompt must not be flushed with what came before.
  if (terminal) WriteError(prompt);
  const bool read = ReadLine(line);
  RestoreTerminal();
  return read;
}

}  // namespace Cli
