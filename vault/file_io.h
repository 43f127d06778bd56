// Reading and writing files: a regular file opened without blocking, reads and writes that
// go on after a signal, a whole file copied through the replace-file steps, and the identity
// that tells one version of a file from another.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "vault/replace_file.h"

namespace Vault {

// Tells one version of a file from another; present is false when nothing is there.
struct FileIdentity {
  bool present = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modifiedSeconds = 0;
  int64_t modifiedNanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};
[[nodiscard]] FileIdentity IdentityOf(const struct stat& info);
// What is at path now (following a symbolic link, as reading does).
[[nodiscard]] FileIdentity IdentityAt(const std::string& path);

// A descriptor for reading the regular file at path, info filled from it; -1 for anything
// else. A FIFO, a device or a folder is refused without the open ever waiting.
[[nodiscard]] int OpenRegularFile(const std::string& path, struct stat& info);
// One read, repeated when a signal interrupts it: the bytes read, 0 at the end, -1 on error.
[[nodiscard]] ssize_t ReadSome(int fd, void* bytes, size_t room);
// Reads exactly length bytes from fd; false on a read error or a file that ends first.
[[nodiscard]] bool ReadFully(int fd, void* bytes, size_t length);
// Writes all length bytes to fd; false on any write error.
[[nodiscard]] bool WriteFully(int fd, const void* bytes, size_t length);

// What reading does with a file larger than its limit.
enum class Beyond {
  Refused,  // false: the file cannot be what the caller wants
  Ignored,  // its first limit bytes are read
};
// The bytes of the regular file at path, at most limit of them; false on a read error or
// for anything but a regular file.
[[nodiscard]] bool ReadRegularFile(const std::string& path, size_t limit, Beyond beyond,
                                   std::string& bytes);

constexpr size_t kCopyBlockSize = 512000;

// How a copy is written: where its temporary file is made, and what it takes from the source.
struct CopyWay {
  Replacing how = Replacing::Unique;
  bool privateMode = false;  // 0600 instead of the source's permission bits
  bool keepOwner = false;    // the source's owner and group, where this user may give them
};
// Copies the regular file at source whole over target through the replace-file steps: true
// only when every byte arrived and the copy was renamed into place; on false target is as it
// was. read and written, when given, receive the source as read and the copy as renamed.
[[nodiscard]] bool CopyWholeFile(const std::string& source, const std::string& target,
                                 const CopyWay& way, struct stat* read = nullptr,
                                 struct stat* written = nullptr);

// The text after the last "/" (all of path when it has none).
[[nodiscard]] std::string FileNameOf(const std::string& path);

}  // namespace Vault
