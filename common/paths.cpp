#include "common/paths.h"

#include <sys/stat.h>

#include "vault/file_names.h"

namespace Common {
namespace {

std::string gConfigDir;
std::string gVaultFilePath;
std::string gSettingsPath;

}  // namespace

std::string ConfigDirFor(int argc, char** argv, const char* home) {
  std::string dir;
  if (argc > 1) {
    dir = argv[1];
  } else {
    dir = home != nullptr ? std::string(home) + "/.Lockwell/" : "Lockwell/";
  }
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

void SetConfigDir(const std::string& dir) {
  gConfigDir = dir;
  gVaultFilePath = dir + std::string(Vault::kVaultFileName);
  gSettingsPath = dir + std::string(Vault::kSettingsFileName);
}

void EnsureConfigDir() {
  struct stat info {};
  if (stat(gConfigDir.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return;
  // A failure shows later, when the vault cannot be created or opened.
  (void)MakeConfigDir();
}

bool MakeConfigDir() { return mkdir(gConfigDir.c_str(), 0700) == 0; }

bool VaultFileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

const std::string& ConfigDir() { return gConfigDir; }
const std::string& VaultFilePath() { return gVaultFilePath; }
const std::string& SettingsPath() { return gSettingsPath; }

}  // namespace Common
