#include "features/backup_names.h"

#include <dirent.h>
#include <glib.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "vault/replace_file.h"
#include "vault/vault.h"

namespace Features {
namespace {

bool HasExtension(const std::string& path) {
  for (size_t i = path.size(); i-- > 0;) {
    const char c = path[i];
    if (c == ' ' || c == '/') return false;
    if (c == '.') {
      const bool startsName = i == 0 || path[i - 1] == '/' || path[i - 1] == '\\';
      return !startsName && i + 1 < path.size();
    }
  }
  return false;
}

// Unicode's default case folding, which GLib applies the same under every locale: "I"
// folds to "i" also where the locale's own rules (Turkish) would make it a dotless "ı".
std::string Folded(const std::string& text) {
  gchar* folded = g_utf8_casefold(text.c_str(), static_cast<gssize>(text.size()));
  std::string result = folded != nullptr ? folded : text;
  g_free(folded);
  return result;
}

// What a companion file adds to the vault's name, folded for comparing.
std::string Companion(std::string_view suffix) { return Folded(std::string(suffix)); }

std::string FolderPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Where path leads once every link on the way is followed; for a file that does not
// exist yet, where it would be made.
std::string Resolved(const std::string& path) {
  const std::string followed = Vault::FollowLinks(path);
  if (followed.empty()) return path;
  char* folder = realpath(FolderPart(followed).c_str(), nullptr);
  if (folder == nullptr) return followed;
  const std::string real = folder;
  std::free(folder);
  return (real == "/" ? "" : real) + "/" + Vault::FileNameOf(followed);
}

bool SameFile(const struct stat& a, const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && info.st_dev == a.st_dev && info.st_ino == a.st_ino;
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

// The vault where the user sees it and where its link leads.
std::vector<std::string> VaultPlaces(const std::string& vaultPath) {
  std::vector<std::string> places{vaultPath};
  const std::string target = Resolved(vaultPath);
  if (target != vaultPath) places.push_back(target);
  return places;
}

// Whether path names the vault (or a companion) as text: as given or resolved, in any case.
bool NamesVault(const std::string& path, const std::string& vaultPath, bool companions) {
  const std::string named[] = {Folded(path), Folded(Resolved(path))};
  for (const std::string& place : VaultPlaces(vaultPath)) {
    const std::string vault = Folded(place);
    for (const std::string& name : named) {
      if (name == vault) return true;
      if (companions && (name == vault + Companion(Vault::kTemporarySuffix) ||
                         name == vault + Companion(Vault::kSafetyCopySuffix) ||
                         StartsWith(name, vault + Companion(Vault::kKeptCopyInfix)))) {
        return true;
      }
    }
  }
  return false;
}

// A kept copy of the vault in its folder that is the file described by info.
bool IsKeptCopy(const struct stat& info, const std::string& place) {
  DIR* folder = opendir(FolderPart(place).c_str());
  if (folder == nullptr) return false;
  const std::string prefix = Vault::FileNameOf(place).append(Vault::kKeptCopyInfix);
  bool found = false;
  while (const dirent* entry = readdir(folder)) {
    if (StartsWith(entry->d_name, prefix) &&
        SameFile(info, FolderPart(place) + "/" + entry->d_name)) {
      found = true;
      break;
    }
  }
  closedir(folder);
  return found;
}

// Whether the file at path is the vault (or a companion) itself, by device and inode.
bool IsVaultFile(const std::string& path, const std::string& vaultPath, bool companions) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  for (const std::string& place : VaultPlaces(vaultPath)) {
    if (SameFile(info, place)) return true;
    if (companions && (SameFile(info, place + std::string(Vault::kTemporarySuffix)) ||
                       SameFile(info, place + std::string(Vault::kSafetyCopySuffix)) ||
                       IsKeptCopy(info, place))) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string HomeFolder(const char* home) {
  if (home == nullptr) return "";
  std::string folder = home;
  if (folder.size() > 1 && folder.back() != '/') folder += '/';
  return folder;
}

std::string DefaultBackupPath(const std::string& home, const std::string& prefix, int year,
                              int month, int day) {
  char date[32];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
  return home + prefix + date + std::string(Vault::kVaultExtension);
}

std::string TodaysBackupPath(const std::string& home, const std::string& prefix) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DefaultBackupPath(home, prefix, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string WithBackupExtension(const std::string& path) {
  return HasExtension(path) ? path : path + std::string(Vault::kVaultExtension);
}

bool SamePathIgnoringCase(const std::string& a, const std::string& b) {
  return Folded(a) == Folded(b);
}

bool IsVaultItself(const std::string& path, const std::string& vaultPath) {
  return NamesVault(path, vaultPath, false) || IsVaultFile(path, vaultPath, false);
}

bool IsVaultOrCompanion(const std::string& path, const std::string& vaultPath) {
  return NamesVault(path, vaultPath, true) || IsVaultFile(path, vaultPath, true);
}

}  // namespace Features
