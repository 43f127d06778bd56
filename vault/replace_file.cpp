#include "vault/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace Vault {
namespace {

// Makes a finished rename survive a power cut.
void SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

}  // namespace

bool ReadFully(int fd, void* bytes, size_t length) {
  auto* next = static_cast<unsigned char*>(bytes);
  while (length > 0) {
    const ssize_t got = read(fd, next, length);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    next += got;
    length -= static_cast<size_t>(got);
  }
  return true;
}

bool BeginReplacing(const std::string& path, mode_t mode, ReplacingFile& file) {
  file.path = path;
  file.temporary = path + ".tmp";
  file.fd =
      open(file.temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode);
  if (file.fd < 0) {
    file.temporary.clear();  // not ours to remove
    return false;
  }
  // A left-over temporary file keeps its old mode through O_TRUNC, and a new one gets the
  // mode minus the umask.
  if (fchmod(file.fd, mode) != 0) {
    AbandonReplacing(file);
    return false;
  }
  return true;
}

bool AppendReplacing(ReplacingFile& file, const void* bytes, size_t length) {
  if (file.fd < 0) return false;
  const auto* next = static_cast<const unsigned char*>(bytes);
  while (length > 0) {
    const ssize_t written = write(file.fd, next, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    next += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

bool FinishReplacing(ReplacingFile& file) {
  if (file.fd < 0) return false;
  // Taken after the last write, so that it matches what stat shows after the rename.
  const bool synced = fsync(file.fd) == 0 && fstat(file.fd, &file.finished) == 0;
  // close can report a write error that the writes themselves did not (NFS, quotas).
  const bool closed = close(file.fd) == 0;
  file.fd = -1;
  if (!synced || !closed || rename(file.temporary.c_str(), file.path.c_str()) != 0) {
    AbandonReplacing(file);
    return false;
  }
  file.temporary.clear();
  SyncDirectoryOf(file.path);
  return true;
}

void AbandonReplacing(ReplacingFile& file) {
  if (file.fd >= 0) {
    close(file.fd);
    file.fd = -1;
  }
  if (!file.temporary.empty()) {
    unlink(file.temporary.c_str());
    file.temporary.clear();
  }
}

bool ReplaceFileWith(const std::string& path, const void* bytes, size_t length, mode_t mode,
                     struct stat* written) {
  ReplacingFile file;
  if (!BeginReplacing(path, mode, file)) return false;
  if (!AppendReplacing(file, bytes, length)) {
    AbandonReplacing(file);
    return false;
  }
  if (!FinishReplacing(file)) return false;
  if (written != nullptr) *written = file.finished;
  return true;
}

}  // namespace Vault
