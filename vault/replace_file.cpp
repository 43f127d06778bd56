#include "vault/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace Vault {
namespace {

void SyncFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // The rename has happened; a folder that cannot be synced does not undo it.
  (void)fsync(fd);
  close(fd);
}

}  // namespace

bool BeginReplacing(const std::string& path, mode_t mode, ReplacingFile& file) {
  file.path = path;
  file.temporary = path + ".tmp";
  file.fd = open(file.temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW,
                 mode & 07777);
  if (file.fd < 0) return false;
  // A left-over temporary file keeps its old mode through O_TRUNC, and the umask trims ours.
  if (fchmod(file.fd, mode & 07777) != 0) {
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
  const bool synced = fsync(file.fd) == 0;
  const int fd = file.fd;
  file.fd = -1;
  // close reports write-back errors of some file systems (NFS, a full quota).
  const bool closed = close(fd) == 0;
  if (!synced || !closed || rename(file.temporary.c_str(), file.path.c_str()) != 0) {
    AbandonReplacing(file);
    return false;
  }
  SyncFolderOf(file.path);
  return true;
}

void AbandonReplacing(ReplacingFile& file) {
  if (file.fd >= 0) close(file.fd);
  file.fd = -1;
  if (!file.temporary.empty()) unlink(file.temporary.c_str());
  file.temporary.clear();
}

bool ReplaceFileWith(const std::string& path, const void* bytes, size_t length, mode_t mode) {
  ReplacingFile file;
  if (!BeginReplacing(path, mode, file)) return false;
  if (!AppendReplacing(file, bytes, length)) {
    AbandonReplacing(file);
    return false;
  }
  return FinishReplacing(file);
}

}  // namespace Vault
