#include "vault/replace_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "vault/file_io.h"
#include "vault/file_names.h"

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

constexpr int kMaxLinks = 40;  // as many as the kernel follows
constexpr int kMaxUniqueTries = 100;
constexpr size_t kUniqueLetters = 12;
constexpr char kUniqueAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// O_EXCL never opens what is there already, not even through a link; O_NOFOLLOW says so
// twice.
int CreateNew(const std::string& name, mode_t mode) {
  return open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

// What a crash of ours leaves: a plain file of this user that no other name shares.
bool IsLeftOverOfOurs(const std::string& name) {
  struct stat info {};
  return lstat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
         info.st_nlink == 1;
}

int CreateBeside(const std::string& name, mode_t mode) {
  int fd = CreateNew(name, mode);
  if (fd < 0 && errno == EEXIST && IsLeftOverOfOurs(name) && unlink(name.c_str()) == 0) {
    fd = CreateNew(name, mode);
  }
  return fd;
}

std::string UniqueLetters() {
  unsigned char random[kUniqueLetters];
  if (getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
    // Only needs to differ from names already there; O_EXCL guards the rest.
    static uint64_t counter = 0;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    uint64_t mix = (static_cast<uint64_t>(now.tv_nsec) << 20) ^ static_cast<uint64_t>(getpid()) ^
                   (++counter * 0x9E3779B97F4A7C15ull);
    for (unsigned char& byte : random) {
      byte = static_cast<unsigned char>(mix);
      mix = mix * 6364136223846793005ull + 1442695040888963407ull;
    }
  }
  std::string letters;
  for (const unsigned char byte : random) {
    letters += kUniqueAlphabet[byte % (sizeof kUniqueAlphabet - 1)];
  }
  return letters;
}

std::string UniqueName(const std::string& path) {
  return FolderOf(path).append(kAnonymousTemporaryPrefix) + UniqueLetters() +
         std::string(kTemporarySuffix);
}

int CreateUnique(const std::string& path, mode_t mode, std::string& name) {
  for (int tries = 0; tries < kMaxUniqueTries; ++tries) {
    name = UniqueName(path);
    const int fd = CreateNew(name, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

int CreateUnnamed(const std::string& path, mode_t mode) {
  const std::string folder = FolderOf(path);
  return open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

enum class Naming { AtPath, Temporary, Failed };

// Links the unnamed file in: at path when nothing is there, else under a fresh name.
// Linking an open file needs no privilege only through its /proc/self/fd entry.
Naming NameUnnamed(ReplacingFile& file) {
  const std::string self = "/proc/self/fd/" + std::to_string(file.fd);
  auto linkAs = [&](const std::string& name) {
    return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  };
  // Taken again once linked: the link count is what stat shows after.
  if (linkAs(file.path)) return fstat(file.fd, &file.finished), Naming::AtPath;
  if (errno != EEXIST) return Naming::Failed;
  for (int tries = 0; tries < kMaxUniqueTries; ++tries) {
    const std::string name = UniqueName(file.path);
    if (linkAs(name)) {
      file.temporary = name;
      (void)fstat(file.fd, &file.finished);
      return Naming::Temporary;
    }
    if (errno != EEXIST) return Naming::Failed;
  }
  return Naming::Failed;
}

}  // namespace

std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    struct stat info {};
    if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
    const ssize_t length = readlink(current.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<size_t>(length) >= target.size()) return "";
    target.resize(static_cast<size_t>(length));
    current = target[0] == '/' ? target : FolderOf(current) + target;
  }
  return "";
}

bool BeginReplacing(const std::string& path, mode_t mode, ReplacingFile& file, Replacing how) {
  file.path = how == Replacing::ThroughLink ? FollowLinks(path) : path;
  file.fd = -1;
  file.unnamed = false;
  if (!file.path.empty() && how == Replacing::Unnamed) {
    file.fd = CreateUnnamed(file.path, mode);
    file.unnamed = file.fd >= 0;
  }
  if (!file.path.empty() && !file.unnamed) {
    if (how == Replacing::Unique || how == Replacing::Unnamed) {
      file.fd = CreateUnique(file.path, mode, file.temporary);
    } else {
      file.temporary = file.path + std::string(kTemporarySuffix);
      file.fd = CreateBeside(file.temporary, mode);
    }
  }
  if (file.fd < 0) {
    file.temporary.clear();  // not ours to remove
    return false;
  }
  // A new file gets the mode minus the umask.
  if (fchmod(file.fd, mode) != 0) {
    AbandonReplacing(file);
    return false;
  }
  return true;
}

bool AppendReplacing(ReplacingFile& file, const void* bytes, size_t length) {
  if (file.fd < 0) return false;
  return WriteFully(file.fd, bytes, length);
}

bool FinishReplacing(ReplacingFile& file) {
  if (file.fd < 0) return false;
  const bool synced = fsync(file.fd) == 0 && fstat(file.fd, &file.finished) == 0;
  const Naming naming = !synced        ? Naming::Failed
                        : file.unnamed ? NameUnnamed(file)
                                       : Naming::Temporary;
  // close can report a write error that the writes themselves did not (NFS, quotas).
  const bool closed = close(file.fd) == 0;
  file.fd = -1;
  if (naming == Naming::AtPath) {
    // Nothing was at path before: a failed close takes the new name away again.
    if (!closed) {
      unlink(file.path.c_str());
      return false;
    }
    SyncDirectoryOf(file.path);
    return true;
  }
  if (naming == Naming::Failed || !closed ||
      rename(file.temporary.c_str(), file.path.c_str()) != 0) {
    AbandonReplacing(file);
    return false;
  }
  file.temporary.clear();
  // The rename set a new change time: read it from the name again, unless another writer
  // has already put another file there.
  struct stat renamed {};
  if (stat(file.path.c_str(), &renamed) == 0 && renamed.st_ino == file.finished.st_ino &&
      renamed.st_dev == file.finished.st_dev) {
    file.finished = renamed;
  }
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

bool WriteWholeFile(const std::string& path, const void* bytes, size_t length, mode_t mode,
                    struct stat* written, Replacing how) {
  ReplacingFile file;
  if (!BeginReplacing(path, mode, file, how)) return false;
  if (!AppendReplacing(file, bytes, length)) {
    AbandonReplacing(file);
    return false;
  }
  if (!FinishReplacing(file)) return false;
  if (written != nullptr) *written = file.finished;
  return true;
}

}  // namespace Vault
