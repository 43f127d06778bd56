#include "common/sync_base.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "common/paths.h"

namespace Common {
namespace {

constexpr size_t kMostDeclined = 500;  // the oldest are forgotten beyond this
constexpr size_t kStampHexLength = 2 * Vault::kNonceSize;

// The same configuration folder under any spelling gives the same name; FNV-1a keeps names
// of different folders apart well enough for the few folders one user has.
std::string VaultStatePrefix() {
  const std::string dir = StateDir();
  if (dir.empty()) return "";
  std::string folder = ConfigDir();
  if (char* real = realpath(folder.c_str(), nullptr)) {
    folder = real;
    free(real);
  }
  uint64_t hash = 14695981039346656037u;
  for (const unsigned char c : folder) hash = (hash ^ c) * 1099511628211u;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name = "kluis-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 15];
  return dir + name;
}

// Makes the state folder and the folders above it that are missing, each 0700.
bool EnsureStateDir() {
  const std::string dir = StateDir();
  for (size_t slash = dir.find('/', 1); slash != std::string::npos;
       slash = dir.find('/', slash + 1)) {
    (void)mkdir(dir.substr(0, slash).c_str(), 0700);
  }
  struct stat info {};
  return !dir.empty() && stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string StampHex(const std::string& path) {
  Vault::VersionStamp stamp{};
  if (!Vault::VersionStampAt(path, stamp)) return "";
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char byte : stamp) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 15];
  }
  return hex;
}

std::string DeclinedPath() {
  const std::string prefix = VaultStatePrefix();
  return prefix.empty() ? "" : prefix + std::string(Vault::kDeclinedSuffix);
}

}  // namespace

std::string StateDir() {
  const char* state = getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') {
    return std::string(state) + "/" + std::string(Vault::kStateFolderName) + "/";
  }
  const char* home = getenv("HOME");
  if (home == nullptr || home[0] == '\0') return "";
  return std::string(home) + "/.local/state/" + std::string(Vault::kStateFolderName) + "/";
}

std::string CommonBasePath() {
  const std::string prefix = VaultStatePrefix();
  return prefix.empty() ? "" : prefix + std::string(Vault::kCommonBaseSuffix);
}

void KeepCommonBase(const std::string& sealed) {
  if (!EnsureStateDir()) return;
  // The bytes as they came: a later failure of this write leaves the older base, which both
  // computers had as well.
  (void)Vault::WriteWholeFile(CommonBasePath(), sealed.data(), sealed.size(), Vault::kVaultFileMode,
                              nullptr, Vault::Replacing::Beside);
}

bool ReadCommonBase(std::vector<Vault::Entry>& list) {
  const std::string path = CommonBasePath();
  struct stat info {};
  if (path.empty() || lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  Vault::FileIdentity seen;
  bool otherKey = false;
  if (Vault::ReadWithHeldKey(path, list, seen, otherKey) == Vault::Ok) return true;
  Vault::WipeEntries(list);
  return false;
}

void ResealCommonBase(const std::vector<Vault::Entry>& list) {
  if (EnsureStateDir()) (void)Vault::SealWithHeldKey(CommonBasePath(), list);
}

void ForgetCommonBase() {
  const std::string base = CommonBasePath();
  if (base.empty()) return;
  (void)unlink(base.c_str());
  (void)unlink(DeclinedPath().c_str());
}

void DeclineCopy(const std::string& path) {
  const std::string stamp = StampHex(path);
  if (stamp.empty() || IsDeclinedCopy(path) || !EnsureStateDir()) return;
  std::string known;
  (void)Vault::ReadRegularFile(DeclinedPath(), kMostDeclined * (kStampHexLength + 1),
                               Vault::Beyond::Ignored, known);
  known += stamp + "\n";
  if (known.size() > kMostDeclined * (kStampHexLength + 1)) {
    known.erase(0, known.size() - kMostDeclined * (kStampHexLength + 1));
  }
  (void)Vault::WriteWholeFile(DeclinedPath(), known.data(), known.size(), 0600, nullptr,
                              Vault::Replacing::Beside);
}

bool IsDeclinedCopy(const std::string& path) {
  const std::string stamp = StampHex(path);
  std::string known;
  if (stamp.empty() || DeclinedPath().empty() ||
      !Vault::ReadRegularFile(DeclinedPath(), kMostDeclined * (kStampHexLength + 1),
                              Vault::Beyond::Ignored, known)) {
    return false;
  }
  for (size_t at = 0; at + kStampHexLength <= known.size(); at += kStampHexLength + 1) {
    if (known.compare(at, kStampHexLength, stamp) == 0) return true;
  }
  return false;
}

}  // namespace Common
