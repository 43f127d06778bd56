// The user's own list of leaked passwords, looked up offline: SHA-1 hashes with the number of
// times each was seen, either one file of HASH:COUNT lines ordered by hash, or a folder of
// range files 00000.txt .. FFFFF.txt whose lines are SUFFIX:COUNT (the hash after the five
// hex digits of the file's name). Hex digits may be upper or lower case, lines end in LF or
// CR LF. A lookup reads a few small blocks by binary search; the list is never read whole.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Common {

constexpr size_t kSha1Size = 20;
struct Sha1 {
  unsigned char bytes[kSha1Size];
};
// The SHA-1 of a text. Secret: the caller wipes the hash (Vault::WipeMemory).
[[nodiscard]] Sha1 Sha1Of(std::string_view text);

// In the order of Texts::Table::breachProblems, after None.
enum class BreachProblem {
  None,
  NoSuchFile,
  PermissionDenied,
  CannotRead,
  NotAFile,          // a FIFO, a device or a socket
  Empty,             // the file, or a range file of the folder
  NoRangeFiles,      // a folder without 00000.txt
  MissingRangeFile,  // the range file a hash belongs in
  BadLine,           // a line that is no hash and count
  LongLine,          // a line longer than any hash and count
  NotSorted,
  Changed,  // the file was cut or grew while it was read
};

// A line of the sorted file: where it starts, and the first 64 bits of its hash.
struct BreachSample {
  uint64_t start;
  uint64_t top;
};

struct BreachList {
  std::string path;  // as chosen
  bool folder = false;
  int fd = -1;  // the sorted file; a folder's range files are opened one lookup at a time
  uint64_t size = 0;
  // Lines spread evenly over a large file, read when it is opened: a lookup starts its search
  // between two of them, which saves it the first steps.
  std::vector<BreachSample> samples;
  // Where the last problem was seen: the file (a range file of a folder) and the byte.
  std::string problemFile;
  uint64_t problemOffset = 0;
};

// Opens the file or folder at path and checks its first line.
[[nodiscard]] BreachProblem OpenBreachList(const std::string& path, BreachList& list);
// count: how often the hash was seen, 0 when it is not in the list.
[[nodiscard]] BreachProblem CountInBreachList(BreachList& list, const Sha1& hash, uint64_t& count);
void CloseBreachList(BreachList& list);
// "file: reason" in the edition's words.
[[nodiscard]] std::string BreachProblemText(const BreachList& list, BreachProblem problem);

}  // namespace Common
