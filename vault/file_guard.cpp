#include "vault/file_guard.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <vector>

#include "texts/texts.h"
#include "vault/replace_file.h"

namespace Vault {
namespace {

constexpr size_t kCopyBlock = 64 * 1024;
constexpr int kMaxNameTries = 100;
constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kVaultMode = 0600;

std::string gPath;
FileIdentity gKnown;  // the version of gPath this process last read or wrote
// A copy kept before a write that then failed: the next write need not keep it again.
FileIdentity gKeptOf;
std::vector<std::string> gUntold;  // kept files the user has not been told of yet
KeptCopyReporter gReportKeptCopy = nullptr;
WallClock gClock = nullptr;

int64_t Now() { return gClock != nullptr ? gClock() : static_cast<int64_t>(time(nullptr)); }

// path + ".extern-YYYY-MM-DD-HHMMSS"; a second kept copy within the same second gets "-2",
// "-3", ... so that no kept version is ever overwritten. Empty when all are taken.
std::string KeptName(const std::string& path) {
  const time_t now = static_cast<time_t>(Now());
  struct tm local {};
  char stamp[32] = "";
  if (localtime_r(&now, &local) == nullptr ||
      strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local) == 0) {
    return "";
  }
  const std::string base = path + kKeptCopyInfix + stamp;
  for (int n = 1; n <= kMaxNameTries; ++n) {
    const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
    struct stat info {};
    if (lstat(name.c_str(), &info) != 0 && errno == ENOENT) return name;
  }
  return "";
}

bool ReadSome(int fd, unsigned char* bytes, size_t room, size_t& got) {
  for (;;) {
    const ssize_t n = read(fd, bytes, room);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    got = static_cast<size_t>(n);
    return true;
  }
}

// Copies the regular file at source whole to target through a temporary file; read and
// written are the identities of the two files. A kept copy has the source's permission
// bits; a copy that becomes the vault is written like every save (0600, through a link).
bool CopyWhole(const std::string& source, const std::string& target, bool asVault,
               FileIdentity& read, FileIdentity& written) {
  const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (in < 0) return false;
  struct stat info {};
  ReplacingFile out;
  bool ok = fstat(in, &info) == 0 && S_ISREG(info.st_mode) &&
            BeginReplacing(target, asVault ? kVaultMode : info.st_mode & kPermissionBits, out,
                           asVault ? Replacing::ThroughLink : Replacing::Beside);
  std::vector<unsigned char> block(ok ? kCopyBlock : 0);
  for (size_t got = 0; ok;) {
    ok = ReadSome(in, block.data(), block.size(), got);
    if (!ok || got == 0) break;
    ok = AppendReplacing(out, block.data(), got);
  }
  close(in);
  if (!ok || !FinishReplacing(out)) {
    AbandonReplacing(out);
    return false;
  }
  read = IdentityOf(info);
  written = IdentityOf(out.finished);
  return true;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
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

void RememberVaultFile(const std::string& path, const FileIdentity& identity) {
  if (path != gPath) gKeptOf = {};
  gPath = path;
  gKnown = identity;
}

const std::string& GuardedPath() { return gPath; }

VaultError GuardBeforeWrite(const std::string& path) {
  const FileIdentity now = IdentityAt(path);
  if (!now.present) return Ok;  // deleted, or not made yet: nothing to keep
  if (path == gPath && (now == gKnown || now == gKeptOf)) return Ok;
  const std::string kept = KeptName(path);
  FileIdentity copied, copy;
  if (kept.empty() || !CopyWhole(path, kept, false, copied, copy)) return FileError;
  if (path != gPath) RememberVaultFile(path, {});
  gKeptOf = copied;
  gUntold.push_back(kept);
  return Ok;
}

void GuardAfterWrite(const std::string& path, const FileIdentity& written) {
  RememberVaultFile(path, written);
  gKeptOf = {};
  const std::vector<std::string> untold = std::move(gUntold);
  gUntold.clear();
  if (gReportKeptCopy == nullptr) return;
  for (const std::string& kept : untold) {
    gReportKeptCopy(Texts::kText.keptCopyBefore + FileNameOf(kept) + Texts::kText.keptCopyAfter);
  }
}

void AdoptVaultFileOnDisk(const std::string& path) { RememberVaultFile(path, IdentityAt(path)); }

VaultError PutFileBackAsVault(const std::string& source, const std::string& path) {
  if (const VaultError kept = GuardBeforeWrite(path); kept != Ok) return kept;
  FileIdentity read, written;
  if (!CopyWhole(source, path, true, read, written)) return FileError;
  GuardAfterWrite(path, written);
  return Ok;
}

void SetKeptCopyReporter(KeptCopyReporter reporter) { gReportKeptCopy = reporter; }
void SetKeptCopyClock(WallClock clock) { gClock = clock; }

}  // namespace Vault
