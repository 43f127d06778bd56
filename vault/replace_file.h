// Replacing a file whole: written beside its name, synced, then renamed over it, so that a
// crash or a full disk at any step leaves the old file as it was.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace Vault {

// A file being written under path + ".tmp", to be renamed over path.
struct ReplacingFile {
  std::string path;       // the final name
  std::string temporary;  // path + ".tmp"
  int fd = -1;
  struct stat finished {};  // the file as it was renamed over path
};

// Creates path + ".tmp" with exactly the given permission bits (no symlink followed,
// truncated, close-on-exec). False when it cannot be created.
[[nodiscard]] bool BeginReplacing(const std::string& path, mode_t mode, ReplacingFile& file);
// Appends bytes; false on any write error.
[[nodiscard]] bool AppendReplacing(ReplacingFile& file, const void* bytes, size_t length);
// Syncs and closes the temporary file, renames it over path and syncs the folder; finished
// then describes the new file. On any failure the temporary file is removed and path is
// left as it was.
[[nodiscard]] bool FinishReplacing(ReplacingFile& file);
// Closes and removes the temporary file; path is untouched. Safe to call twice.
void AbandonReplacing(ReplacingFile& file);
// Reads exactly length bytes from fd; false on a read error or a file that ends first.
[[nodiscard]] bool ReadFully(int fd, void* bytes, size_t length);
// All of bytes through the steps above; written, when given, receives finished.
[[nodiscard]] bool ReplaceFileWith(const std::string& path, const void* bytes, size_t length,
                                   mode_t mode, struct stat* written = nullptr);

}  // namespace Vault
