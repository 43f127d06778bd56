// Two computers that share the vault's folder: two Syncthing instances (the Debian package)
// with homes of their own, talking only over 127.0.0.1. Discovery, relays, NAT traversal,
// STUN, usage and crash reports and upgrades are all off; each device is given the other's
// address. No GTK and no GoogleTest, so stories of the window and of the companion share it.
#pragma once

#include <sys/types.h>

#include <string>

namespace Syncthing {

struct Instance {
  std::string home;    // configuration, keys, database and log; ends in "/"
  std::string folder;  // the shared folder; ends in "/"
  std::string deviceId;
  std::string apiKey;
  int guiPort = 0;   // REST API, 127.0.0.1 only
  int syncPort = 0;  // sync protocol, 127.0.0.1 only
  pid_t pid = -1;
};

// Computers A and B. Stopped on destruction, so a failed test leaves no process behind.
struct Pair {
  Pair() = default;
  Pair(const Pair&) = delete;
  Pair& operator=(const Pair&) = delete;
  ~Pair();
  Instance a, b;
};

// Makes both instances under root (ending in "/"), starts them and waits until they are
// connected; false (with both stopped) when that does not happen in time.
[[nodiscard]] bool Start(Pair& pair, const std::string& root);
// Stops both instances (a no-op for one that is not running).
void Stop(Pair& pair);
// Apart: each device is paused on the other. Together: resumed, waiting until connected.
[[nodiscard]] bool Apart(Pair& pair);
[[nodiscard]] bool Together(Pair& pair);
// Asks an immediate scan of the shared folder; returns once Syncthing has scanned it.
[[nodiscard]] bool Rescan(const Instance& instance);
// Bounded waits, polling: the file has the same bytes in both folders; a file whose name
// is a Syncthing conflict copy of name exists in both folders (its name, or empty); the
// file is gone from both folders.
[[nodiscard]] bool WaitUntilEqual(const Pair& pair, const std::string& name);
[[nodiscard]] std::string WaitForConflictCopy(const Pair& pair, const std::string& name);
[[nodiscard]] bool WaitUntilGone(const Pair& pair, const std::string& name);
// The instance's log, for a failing test's message.
[[nodiscard]] std::string LogOf(const Instance& instance);

}  // namespace Syncthing
