#include "common/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace Common {
namespace {

int gLockFd = -1;  // kept open for the run: closing it would let go of the lock

}  // namespace

bool LockConfigDir(const std::string& dir) {
  UnlockConfigDir();
  // Close-on-exec, so that a browser started from Lockwell does not hold the lock on.
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  int locked;
  do {
    locked = flock(fd, LOCK_EX | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    const bool heldElsewhere = errno == EWOULDBLOCK;
    close(fd);
    return !heldElsewhere;
  }
  gLockFd = fd;
  return true;
}

bool ConfigDirLocked() { return gLockFd >= 0; }

void UnlockConfigDir() {
  if (gLockFd < 0) return;
  close(gLockFd);
  gLockFd = -1;
}

}  // namespace Common
