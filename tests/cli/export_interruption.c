/* Preloaded into the companion by its export stories:
 *   LOCKWELL_SIGNAL_AT_WRITE  N: the first write to a file (not a standard stream) raises
 *                             signal N before anything is written, as a kill would
 *   LOCKWELL_NO_TMPFILE       set: opening an unnamed file fails as on a filesystem
 *                             without them (EOPNOTSUPP)
 *   LOCKWELL_WRITE_ERROR      N: every write to a file fails with errno N, as on a full
 *                             disk (28) or a file system turned read-only (30) */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdlib.h>
#include <unistd.h>

static int Refused(int flags) {
  if ((flags & O_TMPFILE) != O_TMPFILE || getenv("LOCKWELL_NO_TMPFILE") == NULL) return 0;
  errno = EOPNOTSUPP;
  return 1;
}

static mode_t ModeOf(int flags, va_list arguments) {
  return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? (mode_t)va_arg(arguments, int)
                                                                    : 0;
}

// Both entry points end here; the real one is looked up by name each time.
static int OpenThrough(const char* symbol, const char* path, int flags, va_list arguments) {
  int (*real)(const char*, int, ...) = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, symbol);
  const mode_t mode = ModeOf(flags, arguments);
  return Refused(flags) ? -1 : real(path, flags, mode);
}

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const int fd = OpenThrough("open", path, flags, arguments);
  va_end(arguments);
  return fd;
}

int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const int fd = OpenThrough("open64", path, flags, arguments);
  va_end(arguments);
  return fd;
}

ssize_t write(int fd, const void* bytes, size_t length) {
  static ssize_t (*real)(int, const void*, size_t);
  if (real == NULL) real = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
  const char* signal = getenv("LOCKWELL_SIGNAL_AT_WRITE");
  if (fd > 2 && signal != NULL) {
    unsetenv("LOCKWELL_SIGNAL_AT_WRITE");
    raise(atoi(signal));
  }
  const char* error = getenv("LOCKWELL_WRITE_ERROR");
  if (fd > 2 && error != NULL) {
    errno = atoi(error);
    return -1;
  }
  return real(fd, bytes, length);
}
