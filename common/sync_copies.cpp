#include "common/sync_copies.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "vault/file_guard.h"
#include "vault/replace_file.h"

namespace Common {
namespace {

// Reads the expected pieces off the front of a name, one at a time.
struct Reader {
  std::string_view rest;
  bool ok = true;
};

void Text(Reader& r, std::string_view text) {
  r.ok = r.ok && r.rest.substr(0, text.size()) == text;
  if (r.ok) r.rest.remove_prefix(text.size());
}

void Digits(Reader& r, size_t count) {
  r.ok = r.ok && r.rest.size() >= count &&
         std::all_of(r.rest.begin(), r.rest.begin() + static_cast<long>(count),
                     [](char c) { return c >= '0' && c <= '9'; });
  if (r.ok) r.rest.remove_prefix(count);
}

// YYYY-MM-DD
void Date(Reader& r) {
  Digits(r, 4);
  Text(r, "-");
  Digits(r, 2);
  Text(r, "-");
  Digits(r, 2);
}

// One or more digits: the number of a second copy.
void Number(Reader& r) {
  const size_t length = std::min(r.rest.find_first_not_of("0123456789"), r.rest.size());
  r.ok = r.ok && length > 0;
  if (r.ok) r.rest.remove_prefix(length);
}

bool Ends(const Reader& r, std::string_view tail) { return r.ok && r.rest == tail; }

// kluis.sync-conflict-20261209-101500-ABCDEFG.lwv (the device's short ID)
bool IsSyncthingCopy(std::string_view stem, std::string_view extension, std::string_view name) {
  Reader r{name};
  Text(r, stem);
  Text(r, ".sync-conflict-");
  Digits(r, 8);
  Text(r, "-");
  Digits(r, 6);
  Text(r, "-");
  const size_t device = r.rest.size() - std::min(extension.size(), r.rest.size());
  r.ok = r.ok && device > 0 &&
         std::all_of(r.rest.begin(), r.rest.begin() + static_cast<long>(device),
                     [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
  if (r.ok) r.rest.remove_prefix(device);
  return Ends(r, extension);
}

// kluis (conflicted copy 2026-12-09 101500).lwv
bool IsNextcloudCopy(std::string_view stem, std::string_view extension, std::string_view name) {
  Reader r{name};
  Text(r, stem);
  Text(r, " (conflicted copy ");
  Date(r);
  Text(r, " ");
  Digits(r, 6);
  Text(r, ")");
  return Ends(r, extension);
}

// kluis (Ann's conflicted copy 2026-12-09).lwv, with " (1)" after the date for a second
// copy of the same day; the apostrophe may be typographic.
bool IsDropboxCopy(std::string_view stem, std::string_view extension, std::string_view name) {
  Reader r{name};
  Text(r, stem);
  Text(r, " (");
  const size_t owner = r.rest.find(" conflicted copy ");
  const std::string_view who = r.rest.substr(0, owner);
  r.ok = r.ok && owner != std::string_view::npos &&
         who.find_first_of("()") == std::string_view::npos &&
         ((who.size() > 2 && who.ends_with("'s")) ||
          (who.size() > 4 && who.ends_with("\xE2\x80\x99s")));
  if (r.ok) r.rest.remove_prefix(owner + std::string_view(" conflicted copy ").size());
  Date(r);
  if (r.ok && r.rest.starts_with(" (")) {
    Text(r, " (");
    Number(r);
    Text(r, ")");
  }
  Text(r, ")");
  return Ends(r, extension);
}

// kluis.lwv.extern-2026-12-09-101500, or -2, -3, ... for more in the same second
bool IsKeptCopy(std::string_view vaultName, std::string_view name) {
  Reader r{name};
  Text(r, vaultName);
  Text(r, Vault::kKeptCopyInfix);
  Date(r);
  Text(r, "-");
  Digits(r, 6);
  if (r.ok && r.rest.starts_with("-")) {
    Text(r, "-");
    Number(r);
  }
  return Ends(r, "");
}

}  // namespace

bool IsVaultCopyName(std::string_view vaultName, std::string_view fileName) {
  if (vaultName.empty() || fileName.find('/') != std::string_view::npos) return false;
  const size_t dot = vaultName.rfind('.');
  const std::string_view stem =
      dot == std::string_view::npos ? vaultName : vaultName.substr(0, dot);
  const std::string_view extension =
      dot == std::string_view::npos ? std::string_view() : vaultName.substr(dot);
  return IsSyncthingCopy(stem, extension, fileName) || IsNextcloudCopy(stem, extension, fileName) ||
         IsDropboxCopy(stem, extension, fileName) || IsKeptCopy(vaultName, fileName);
}

std::string SyncedVaultPath(const std::string& vaultPath) {
  const std::string followed = Vault::FollowLinks(vaultPath);
  return followed.empty() ? vaultPath : followed;
}

std::vector<std::string> FindVaultCopies(const std::string& linkedPath) {
  const std::string vaultPath = SyncedVaultPath(linkedPath);
  const size_t slash = vaultPath.rfind('/');
  const std::string folder = slash == std::string::npos ? "./" : vaultPath.substr(0, slash + 1);
  const std::string vaultName =
      slash == std::string::npos ? vaultPath : vaultPath.substr(slash + 1);
  std::vector<std::string> copies;
  DIR* listing = opendir(folder.c_str());
  if (listing == nullptr) return copies;
  while (const dirent* item = readdir(listing)) {
    if (!IsVaultCopyName(vaultName, item->d_name)) continue;
    // A link is never followed: only a regular file of the folder itself is a copy.
    const std::string path = folder + item->d_name;
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) copies.push_back(path);
  }
  closedir(listing);
  std::sort(copies.begin(), copies.end());
  return copies;
}

}  // namespace Common
