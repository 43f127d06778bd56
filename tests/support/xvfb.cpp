#include "tests/support/xvfb.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace TestDisplay {
namespace {

pid_t gServer = -1;
std::string gName;

void StopServer() {
  if (gServer > 0) {
    // A session bus that GIO started for this display goes with it, and GDBus answers a
    // lost session bus with SIGTERM: the exiting test program must not die of it.
    signal(SIGTERM, SIG_IGN);
    kill(gServer, SIGTERM);
    waitpid(gServer, nullptr, 0);
    gServer = -1;
  }
}

}  // namespace

bool Start() {
  if (gServer > 0) return true;
  int fds[2];
  if (pipe(fds) != 0) return false;
  gServer = fork();
  if (gServer == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (gServer < 0) {
    close(fds[0]);
    return false;
  }
  // Xvfb writes the display number it chose once it accepts connections.
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    StopServer();
    return false;
  }
  gName = ":" + number;
  setenv("DISPLAY", gName.c_str(), 1);
  std::atexit(StopServer);
  return true;
}

void Stop() { StopServer(); }

const std::string& Name() { return gName; }

}  // namespace TestDisplay
