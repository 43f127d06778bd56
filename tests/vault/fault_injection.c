/* Preloaded into the fault harness: makes the Nth write, fsync, close or rename after
 * lockwell_fault_arm() fail, or the Nth fsync of a folder ("dirsync").
 *   LOCKWELL_FAULT_CALL  write | fsync | close | rename | dirsync (unset: only count)
 *   LOCKWELL_FAULT_AT    N, counted from 1 per kind
 *   LOCKWELL_FAULT_ERRNO ENOSPC or EIO
 * Only files count: writes to the standard streams and closes of folders do not. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

enum { kWrite, kFsync, kClose, kRename, kDirSync, kKinds };
static const char* const kNames[kKinds] = {"write", "fsync", "close", "rename", "dirsync"};
static int gArmed = 0;
static int gCounts[kKinds];

void lockwell_fault_arm(void) {
  gArmed = 1;
  memset(gCounts, 0, sizeof gCounts);
}

int lockwell_fault_count(const char* kind) {
  for (int k = 0; k < kKinds; ++k) {
    if (strcmp(kind, kNames[k]) == 0) return gCounts[k];
  }
  return -1;
}

/* True when this call of the kind is the one to fail; errno is then set. */
static int Fails(int kind) {
  if (!gArmed) return 0;
  const int count = ++gCounts[kind];
  const char* call = getenv("LOCKWELL_FAULT_CALL");
  const char* at = getenv("LOCKWELL_FAULT_AT");
  if (call == NULL || at == NULL || strcmp(call, kNames[kind]) != 0 || atoi(at) != count) {
    return 0;
  }
  const char* code = getenv("LOCKWELL_FAULT_ERRNO");
  errno = code != NULL && strcmp(code, "EIO") == 0 ? EIO : ENOSPC;
  return 1;
}

static int IsFolder(int fd) {
  struct stat info;
  return fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

ssize_t write(int fd, const void* bytes, size_t length) {
  static ssize_t (*real)(int, const void*, size_t);
  if (real == NULL) real = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
  if (fd > 2 && Fails(kWrite)) return -1;
  return real(fd, bytes, length);
}

int fsync(int fd) {
  static int (*real)(int);
  if (real == NULL) real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
  if (Fails(IsFolder(fd) ? kDirSync : kFsync)) return -1;
  return real(fd);
}

int close(int fd) {
  static int (*real)(int);
  if (real == NULL) real = (int (*)(int))dlsym(RTLD_NEXT, "close");
  /* Like a deferred write error: the descriptor is closed all the same. */
  if (fd > 2 && !IsFolder(fd) && Fails(kClose)) {
    real(fd);
    return -1;
  }
  return real(fd);
}

int rename(const char* from, const char* to) {
  static int (*real)(const char*, const char*);
  if (real == NULL) real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
  if (Fails(kRename)) return -1;
  return real(from, to);
}
