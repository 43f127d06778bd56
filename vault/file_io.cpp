#include "vault/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace Vault {
namespace {

constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kPrivateMode = 0600;

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Owner first: fchown clears set-id bits, so the mode is applied after it.
bool GiveOwnerAndMode(int fd, const struct stat& source, mode_t mode) {
  if (fchown(fd, source.st_uid, source.st_gid) != 0) {
    // An ordinary user may not give files away, and some file systems keep no owner: the
    // copy then stays the user's own, which is no reason to fail it.
  }
  return fchmod(fd, mode) == 0;
}

bool CopyBlocks(int in, size_t size, ReplacingFile& out) {
  const size_t bufferSize = size < kCopyBlockSize ? (size > 0 ? size : 1) : kCopyBlockSize;
  auto* buffer = static_cast<unsigned char*>(std::malloc(bufferSize));
  bool copied = buffer != nullptr;
  for (size_t done = 0; copied && done < size;) {
    const size_t block = size - done < bufferSize ? size - done : bufferSize;
    copied = ReadFully(in, buffer, block) && AppendReplacing(out, buffer, block);
    done += block;
  }
  std::free(buffer);
  return copied;
}

}  // namespace

FileIdentity IdentityOf(const struct stat& info) {
  return {.present = true,
          .device = static_cast<uint64_t>(info.st_dev),
          .inode = static_cast<uint64_t>(info.st_ino),
          .size = static_cast<int64_t>(info.st_size),
          .modifiedSeconds = static_cast<int64_t>(info.st_mtim.tv_sec),
          .modifiedNanoseconds = static_cast<int64_t>(info.st_mtim.tv_nsec)};
}

FileIdentity IdentityAt(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return {};
  return IdentityOf(info);
}

int OpenRegularFile(const std::string& path, struct stat& info) {
  // O_NONBLOCK keeps a FIFO from hanging the open; it is refused just below.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

ssize_t ReadSome(int fd, void* bytes, size_t room) {
  for (;;) {
    const ssize_t got = read(fd, bytes, room);
    if (got >= 0 || errno != EINTR) return got;
  }
}

bool ReadFully(int fd, void* bytes, size_t length) {
  auto* next = static_cast<unsigned char*>(bytes);
  while (length > 0) {
    const ssize_t got = ReadSome(fd, next, length);
    if (got <= 0) return false;
    next += got;
    length -= static_cast<size_t>(got);
  }
  return true;
}

bool WriteFully(int fd, const void* bytes, size_t length) {
  const auto* next = static_cast<const unsigned char*>(bytes);
  while (length > 0) {
    const ssize_t written = write(fd, next, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    next += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

bool ReadRegularFile(const std::string& path, size_t limit, Beyond beyond, std::string& bytes) {
  struct stat info {};
  const int fd = OpenRegularFile(path, info);
  if (fd < 0) return false;
  const auto size = static_cast<size_t>(info.st_size);
  bool read = beyond == Beyond::Ignored || size <= limit;
  if (read && beyond == Beyond::Refused) {
    bytes.assign(size, '\0');
    read = ReadFully(fd, bytes.data(), size);
  } else if (read) {
    bytes.resize(limit);
    size_t got = 0;
    while (got < limit) {
      const ssize_t n = ReadSome(fd, bytes.data() + got, limit - got);
      if (n <= 0) {
        read = n == 0;
        break;
      }
      got += static_cast<size_t>(n);
    }
    bytes.resize(got);
  }
  close(fd);
  return read;
}

bool CopyWholeFile(const std::string& source, const std::string& target, const CopyWay& way,
                   struct stat* read, struct stat* written) {
  struct stat info {};
  const int in = OpenRegularFile(source, info);
  if (in < 0) return false;
  const mode_t mode = way.privateMode ? kPrivateMode : info.st_mode & kPermissionBits;
  ReplacingFile out;
  if (IsDirectory(target) || !BeginReplacing(target, mode, out, way.how)) {
    close(in);
    return false;
  }
  bool copied = CopyBlocks(in, static_cast<size_t>(info.st_size), out);
  close(in);
  if (copied && way.keepOwner) copied = GiveOwnerAndMode(out.fd, info, mode);
  if (!copied) {
    AbandonReplacing(out);
    return false;
  }
  if (!FinishReplacing(out)) return false;
  if (read != nullptr) *read = info;
  if (written != nullptr) *written = out.finished;
  return true;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace Vault
