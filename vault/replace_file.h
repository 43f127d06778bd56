// Replacing a file whole: written beside its name, synced, then renamed over it, so that a
// crash or a full disk at any step leaves the old file as it was.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace Vault {

// Where the temporary file is made, and what becomes of a symbolic link at path.
enum class Replacing {
  Beside,       // path + ".tmp"; a link at path is replaced by the new file
  ThroughLink,  // the link's target + ".tmp", renamed over the target: the link stays
  Unique,       // a fresh name in path's folder, for folders the user chose, where any
                // name a user could give a file might be taken
};

// A file being written under a temporary name, to be renamed over path.
struct ReplacingFile {
  std::string path;       // the final name (the link's target with ThroughLink)
  std::string temporary;  // the file being written
  int fd = -1;
  struct stat finished {};  // the file as it was renamed over path
};

// Creates the temporary file new, with exactly the given permission bits. Nothing that is
// already there is ever opened: a regular file of ours left at path + ".tmp" by a crash is
// removed first; anything else there (a FIFO, a folder, a device, a link, another's file)
// makes this fail and is left alone. False when no file could be created.
[[nodiscard]] bool BeginReplacing(const std::string& path, mode_t mode, ReplacingFile& file,
                                  Replacing how = Replacing::Beside);
// Appends bytes; false on any write error.
[[nodiscard]] bool AppendReplacing(ReplacingFile& file, const void* bytes, size_t length);
// Syncs and closes the temporary file, renames it over path and syncs the folder; finished
// then describes the new file. On any failure the temporary file is removed and path is
// left as it was.
[[nodiscard]] bool FinishReplacing(ReplacingFile& file);
// Closes and removes the temporary file; path is untouched. Safe to call twice.
void AbandonReplacing(ReplacingFile& file);
// path with the symbolic links at its last component followed (a relative one from the
// link's folder); path itself when it is no link, the last target when that is missing.
// Empty when the links go round in a loop.
[[nodiscard]] std::string FollowLinks(const std::string& path);
// All of bytes through the steps above (through a link at path unless told otherwise);
// written, when given, receives finished.
[[nodiscard]] bool WriteWholeFile(const std::string& path, const void* bytes, size_t length,
                                  mode_t mode, struct stat* written = nullptr,
                                  Replacing how = Replacing::ThroughLink);

}  // namespace Vault
