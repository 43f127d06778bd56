#include "features/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "vault/replace_file.h"
#include "vault/vault.h"

namespace Features {
namespace {

// Opens a regular file for reading; -1 for anything else (a FIFO must not hang the open).
int OpenSource(const std::string& path, struct stat& info) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Owner first: fchown clears set-id bits, so the mode is applied after it.
bool GiveOwnerAndMode(int fd, uid_t owner, gid_t group, mode_t mode) {
  if (fchown(fd, owner, group) != 0) {
    // An ordinary user may not give files away, and some file systems keep no owner: the
    // copy then stays the user's own, which is no reason to fail it.
  }
  return fchmod(fd, mode & 07777) == 0;
}

}  // namespace

bool CopyFileKeepingMode(const std::string& source, const std::string& target,
                         Vault::Replacing how) {
  struct stat info {};
  const int in = OpenSource(source, info);
  if (in < 0) return false;
  if (IsDirectory(target)) {
    close(in);
    return false;
  }
  const size_t size = static_cast<size_t>(info.st_size);
  const size_t bufferSize = size < kCopyBlockSize ? (size > 0 ? size : 1) : kCopyBlockSize;
  auto* buffer = static_cast<unsigned char*>(std::malloc(bufferSize));
  Vault::ReplacingFile out;
  if (buffer == nullptr || !Vault::BeginReplacing(target, info.st_mode, out, how)) {
    std::free(buffer);
    close(in);
    return false;
  }
  bool copied = true;
  for (size_t done = 0; copied && done < size;) {
    const size_t block = size - done < bufferSize ? size - done : bufferSize;
    copied = Vault::ReadFully(in, buffer, block) && Vault::AppendReplacing(out, buffer, block);
    done += block;
  }
  std::free(buffer);
  close(in);
  copied = copied && GiveOwnerAndMode(out.fd, info.st_uid, info.st_gid, info.st_mode);
  if (!copied) {
    Vault::AbandonReplacing(out);
    return false;
  }
  return Vault::FinishReplacing(out);
}

bool ReadFileImage(const std::string& path, FileImage& image) {
  struct stat info {};
  const int fd = OpenSource(path, info);
  if (fd < 0) return false;
  image.mode = info.st_mode & 07777;
  image.owner = info.st_uid;
  image.group = info.st_gid;
  // Only vault files are held in memory; anything larger cannot be one.
  if (info.st_size > static_cast<off_t>(Vault::kMaxFileSize)) {
    close(fd);
    return false;
  }
  image.bytes.assign(static_cast<size_t>(info.st_size), 0);
  const bool read = Vault::ReadFully(fd, image.bytes.data(), image.bytes.size());
  close(fd);
  return read;
}

bool WriteFileImage(const std::string& target, const FileImage& image) {
  if (IsDirectory(target)) return false;
  Vault::ReplacingFile out;
  if (!Vault::BeginReplacing(target, image.mode, out)) return false;
  if (!Vault::AppendReplacing(out, image.bytes.data(), image.bytes.size()) ||
      !GiveOwnerAndMode(out.fd, image.owner, image.group, image.mode)) {
    Vault::AbandonReplacing(out);
    return false;
  }
  return Vault::FinishReplacing(out);
}

}  // namespace Features
