// Copying a file whole with its owner and permission bits, through a fresh temporary file
// that is renamed over the target, so a failed copy never leaves a half-written target and
// no other file in the target's folder is touched.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "vault/replace_file.h"

namespace Features {

constexpr size_t kCopyBlockSize = 512000;

// Copies source to target in blocks; true only when every byte arrived and the target was
// renamed into place. On false the target is as it was. The temporary file has a fresh name
// (a folder the user chose), or target + ".tmp" in the program's own folder.
[[nodiscard]] bool CopyFileKeepingMode(const std::string& source, const std::string& target,
                                       Vault::Replacing how = Vault::Replacing::Unique);

// A whole file held in memory with what CopyFileKeepingMode carries over.
struct FileImage {
  std::vector<unsigned char> bytes;
  mode_t mode = 0600;
  uid_t owner = 0;
  gid_t group = 0;
};
// Reads a regular file whole; false on any read error.
[[nodiscard]] bool ReadFileImage(const std::string& path, FileImage& image);
// Replaces target with the image's bytes, owner (when allowed) and permission bits.
[[nodiscard]] bool WriteFileImage(const std::string& target, const FileImage& image);

}  // namespace Features
