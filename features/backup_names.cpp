#include "features/backup_names.h"

#include <glib.h>

#include <cstdio>
#include <ctime>

namespace Features {
namespace {

constexpr char kVaultExtension[] = ".lwv";

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

std::string Lowered(const std::string& text) {
  gchar* lowered = g_utf8_strdown(text.c_str(), static_cast<gssize>(text.size()));
  std::string result = lowered != nullptr ? lowered : text;
  g_free(lowered);
  return result;
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
  return home + prefix + date + kVaultExtension;
}

std::string TodaysBackupPath(const std::string& home, const std::string& prefix) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DefaultBackupPath(home, prefix, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string WithBackupExtension(const std::string& path) {
  return HasExtension(path) ? path : path + kVaultExtension;
}

bool SamePathIgnoringCase(const std::string& a, const std::string& b) {
  return Lowered(a) == Lowered(b);
}

}  // namespace Features
