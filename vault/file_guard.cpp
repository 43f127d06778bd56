#include "vault/file_guard.h"

#include <sys/stat.h>

#include <cerrno>
#include <ctime>
#include <vector>

#include "texts/texts.h"

namespace Vault {
namespace {

constexpr int kMaxNameTries = 100;

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
  const std::string base = path + std::string(kKeptCopyInfix) + stamp;
  for (int n = 1; n <= kMaxNameTries; ++n) {
    const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
    struct stat info {};
    if (lstat(name.c_str(), &info) != 0 && errno == ENOENT) return name;
  }
  return "";
}

}  // namespace

void RememberVaultFile(const std::string& path, const FileIdentity& identity) {
  if (path != gPath) gKeptOf = {};
  gPath = path;
  gKnown = identity;
}

const std::string& GuardedPath() { return gPath; }
const FileIdentity& KnownVersion() { return gKnown; }

VaultError GuardBeforeWrite(const std::string& path) {
  const FileIdentity now = IdentityAt(path);
  if (!now.present) return Ok;  // deleted, or not made yet: nothing to keep
  if (path == gPath && (now == gKnown || now == gKeptOf)) return Ok;
  const std::string kept = KeptName(path);
  // The kept copy is private (0600) whatever bits the version had, beside the vault's name.
  struct stat copied {};
  if (kept.empty() ||
      !CopyWholeFile(path, kept, {.how = Replacing::Beside, .privateMode = true}, &copied)) {
    return FileError;
  }
  if (path != gPath) RememberVaultFile(path, {});
  gKeptOf = IdentityOf(copied);
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
    gReportKeptCopy(Texts::kText.keptCopyBefore + FileNameOf(kept) + Texts::kText.keptCopyAfter +
                    Texts::kText.keptCopyNextStep);
  }
}

void AdoptVaultFileOnDisk(const std::string& path) { RememberVaultFile(path, IdentityAt(path)); }

VaultError PutFileBackAsVault(const std::string& source, const std::string& path) {
  if (const VaultError kept = GuardBeforeWrite(path); kept != Ok) return kept;
  // Written like every save: private, through a link at path.
  struct stat written {};
  if (!CopyWholeFile(source, path, {.how = Replacing::ThroughLink, .privateMode = true}, nullptr,
                     &written)) {
    return FileError;
  }
  GuardAfterWrite(path, IdentityOf(written));
  return Ok;
}

void SetKeptCopyReporter(KeptCopyReporter reporter) { gReportKeptCopy = reporter; }
void SetKeptCopyClock(WallClock clock) { gClock = clock; }

}  // namespace Vault
