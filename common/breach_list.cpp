#include "common/breach_list.h"

#include <fcntl.h>
#include <nettle/sha1.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "texts/texts.h"
#include "vault/sodium.h"

namespace Common {
namespace {

constexpr size_t kHashDigits = 2 * kSha1Size;
constexpr size_t kRangeDigits = 5;  // of the hash, in the name of its range file
constexpr size_t kMaxCountDigits = 20;
constexpr char kFirstRangeFile[] = "00000.txt";
// One read at a step of the search: more than two of the longest lines, so that a line
// starting in it can be read whole.
constexpr size_t kProbeBytes = 128;
// Below this the rest of the search is one read, scanned line by line.
constexpr uint64_t kScanBytes = 256;
// A file from this size on is sampled every kSampleSpacing bytes, at most kMaxSamples times
// (256 KiB of samples, read in a few tens of milliseconds).
constexpr uint64_t kSampleSpacing = 64 * 1024;
constexpr uint64_t kMaxSamples = 16384;
// Once the search is down to this many bytes, they are read in one go and the rest of its
// steps read from memory. Copying from the page cache costs more than a read call, so both
// this block and the scan stay small.
constexpr uint64_t kBlockBytes = 4 * 1024;

struct Block {
  uint64_t at = 0;
  size_t size = 0;
  char bytes[kBlockBytes + kProbeBytes];
};

// A sorted file of lines that start with `digits` hex digits of the hash.
struct Region {
  BreachList& list;
  std::string file;
  int fd;
  uint64_t size;
  size_t digits;
  Block* block = nullptr;  // the search's block, once it is read
};

struct Line {
  uint64_t start = 0;
  char key[kHashDigits] = {};  // upper case
  uint64_t count = 0;
};

constexpr size_t LongestLine(size_t digits) { return digits + 1 + kMaxCountDigits + 2; }

BreachProblem Fail(const Region& r, BreachProblem problem, uint64_t offset) {
  r.list.problemFile = r.file;
  r.list.problemOffset = offset;
  return problem;
}

BreachProblem OpenProblem(int error) {
  if (error == ENOENT || error == ENOTDIR) return BreachProblem::NoSuchFile;
  return error == EACCES || error == EPERM ? BreachProblem::PermissionDenied
                                           : BreachProblem::CannotRead;
}

// Exactly n bytes at offset; a file that ends sooner was cut while it was read.
BreachProblem ReadAt(const Region& r, uint64_t offset, char* buffer, size_t n) {
  const Block* b = r.block;
  if (b != nullptr && b->size > 0 && offset >= b->at && offset + n <= b->at + b->size) {
    std::memcpy(buffer, b->bytes + (offset - b->at), n);
    return BreachProblem::None;
  }
  size_t done = 0;
  while (done < n) {
    const ssize_t got = pread(r.fd, buffer + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Fail(r, BreachProblem::CannotRead, offset + done);
    if (got == 0) return Fail(r, BreachProblem::Changed, offset + done);
    done += static_cast<size_t>(got);
  }
  return BreachProblem::None;
}

char UpperHex(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) return c;
  return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : 0;
}

// The line at text (available bytes, reaching the end of the file when last). A line the
// bytes do not hold whole is too long, since they hold more than the longest.
BreachProblem ParseLine(const Region& r, const char* text, size_t available, bool last,
                        Line& line) {
  const auto bad = [&](size_t at) {
    return Fail(r, at >= available && !last ? BreachProblem::LongLine : BreachProblem::BadLine,
                line.start);
  };
  size_t i = 0;
  for (; i < r.digits; ++i) {
    if (i >= available || (line.key[i] = UpperHex(text[i])) == 0) return bad(i);
  }
  if (i >= available || text[i++] != ':') return bad(i);
  const size_t first = i;
  line.count = 0;
  for (; i < available && text[i] >= '0' && text[i] <= '9'; ++i) {
    const uint64_t digit = static_cast<uint64_t>(text[i] - '0');
    line.count = line.count > (UINT64_MAX - digit) / 10 ? UINT64_MAX : line.count * 10 + digit;
  }
  if (i == first || i - first > kMaxCountDigits) return bad(i);
  if (i < available && text[i] == '\r') ++i;
  if (i >= available) return last ? BreachProblem::None : bad(i);
  return text[i] == '\n' ? BreachProblem::None : bad(i);
}

// The first line that starts at pos or after it; its start is the size when there is none.
BreachProblem LineAtOrAfter(const Region& r, uint64_t pos, Line& line) {
  char buffer[kProbeBytes];
  const uint64_t from = pos == 0 ? 0 : pos - 1;
  const size_t n = static_cast<size_t>(std::min<uint64_t>(kProbeBytes, r.size - from));
  if (const BreachProblem p = ReadAt(r, from, buffer, n); p != BreachProblem::None) return p;
  const bool last = from + n == r.size;
  size_t skip = 0;
  if (pos > 0) {
    const char* end = static_cast<const char*>(std::memchr(buffer, '\n', n));
    if (end == nullptr && !last) return Fail(r, BreachProblem::LongLine, from);
    skip = end == nullptr ? n : static_cast<size_t>(end - buffer) + 1;
    if (skip > LongestLine(r.digits) + 1) return Fail(r, BreachProblem::LongLine, from);
  }
  line.start = from + skip;
  if (line.start >= r.size) return BreachProblem::None;
  return ParseLine(r, buffer + skip, n - skip, last, line);
}

int Compare(const char* a, const char* b, size_t digits) { return std::memcmp(a, b, digits); }

// The first 64 bits of a key of upper-case hex digits.
uint64_t TopOf(const char* key) {
  uint64_t top = 0;
  for (size_t i = 0; i < 16; ++i)
    top = (top << 4) | (key[i] <= '9' ? key[i] - '0' : key[i] - 'A' + 10);
  return top;
}

// Samples a large file evenly; they must come in order, which catches most unsorted files
// at once.
BreachProblem Sample(const Region& r, std::vector<BreachSample>& samples) {
  samples.clear();
  const uint64_t count = std::min(kMaxSamples, r.size / kSampleSpacing);
  samples.reserve(static_cast<size_t>(count));
  for (uint64_t i = 1; i < count; ++i) {
    Line line;
    if (const BreachProblem p = LineAtOrAfter(r, r.size / count * i, line);
        p != BreachProblem::None)
      return p;
    if (line.start >= r.size) break;
    const uint64_t top = TopOf(line.key);
    if (!samples.empty() && top < samples.back().top) {
      return Fail(r, BreachProblem::NotSorted, line.start);
    }
    samples.push_back({line.start, top});
  }
  return BreachProblem::None;
}

// The part of the file between the samples around the key: after the last one whose hash
// begins lower, before the first one whose hash begins higher.
void Narrow(const std::vector<BreachSample>& samples, const char* key, uint64_t& lo, uint64_t& hi) {
  const uint64_t top = TopOf(key);
  const auto above = std::ranges::upper_bound(samples, top, {}, &BreachSample::top);
  if (above != samples.end()) hi = above->start;
  const auto below = std::ranges::lower_bound(samples, top, {}, &BreachSample::top);
  if (below != samples.begin()) lo = std::prev(below)->start;
}

// The lines that start in [lo, hi), read in one block: each must come after the one before
// it and before the line at hi (when known).
BreachProblem Scan(const Region& r, uint64_t lo, uint64_t hi, const char* hiKey, const char* key,
                   uint64_t& count) {
  const uint64_t end = std::min(r.size, hi + LongestLine(r.digits));
  char bytes[kScanBytes + 2 * LongestLine(kHashDigits)];
  const std::string_view block(bytes, static_cast<size_t>(end - lo));
  if (const BreachProblem p = ReadAt(r, lo, bytes, block.size()); p != BreachProblem::None)
    return p;
  Line line, previous;
  bool first = true;
  for (uint64_t pos = lo; pos < hi && pos < r.size;) {
    const size_t at = static_cast<size_t>(pos - lo);
    line.start = pos;
    const BreachProblem p = ParseLine(r, block.data() + at, block.size() - at, end == r.size, line);
    if (p != BreachProblem::None) return p;
    if ((!first && Compare(line.key, previous.key, r.digits) <= 0) ||
        (hiKey != nullptr && Compare(line.key, hiKey, r.digits) >= 0)) {
      return Fail(r, BreachProblem::NotSorted, pos);
    }
    const int c = Compare(line.key, key, r.digits);
    if (c == 0) count = line.count;
    if (c >= 0) break;
    const char* next =
        static_cast<const char*>(std::memchr(block.data() + at, '\n', block.size() - at));
    pos = next == nullptr ? r.size : lo + static_cast<uint64_t>(next - block.data()) + 1;
    previous = line;
    first = false;
  }
  return BreachProblem::None;
}

// Binary search by byte offset: every step reads one probe at the middle of the part where
// the key's line must start, and each line seen must lie between those seen around it.
BreachProblem Search(const Region& region, const char* key, uint64_t& count) {
  count = 0;
  Block block;
  Region r = region;
  r.block = &block;
  uint64_t lo = 0, hi = r.size;
  if (r.digits == kHashDigits) Narrow(r.list.samples, key, lo, hi);
  Line low, high;
  bool haveLow = false, haveHigh = false;
  while (hi - lo > kScanBytes) {
    if (block.size == 0 && hi - lo <= kBlockBytes) {
      const size_t n = static_cast<size_t>(std::min(r.size, hi + kProbeBytes) - lo);
      if (const BreachProblem p = ReadAt(r, lo, block.bytes, n); p != BreachProblem::None) return p;
      block.at = lo;
      block.size = n;
    }
    const uint64_t mid = lo + (hi - lo) / 2;
    Line line;
    if (const BreachProblem p = LineAtOrAfter(r, mid, line); p != BreachProblem::None) return p;
    if (line.start >= hi) {
      hi = mid;
      continue;
    }
    if ((haveLow && Compare(line.key, low.key, r.digits) <= 0) ||
        (haveHigh && Compare(line.key, high.key, r.digits) >= 0)) {
      return Fail(r, BreachProblem::NotSorted, line.start);
    }
    const int c = Compare(line.key, key, r.digits);
    if (c == 0) {
      count = line.count;
      return BreachProblem::None;
    }
    (c < 0 ? low : high) = line;
    (c < 0 ? haveLow : haveHigh) = true;
    (c < 0 ? lo : hi) = line.start;
  }
  return Scan(r, lo, hi, haveHigh ? high.key : nullptr, key, count);
}

// Opens a file of the list for reading: a regular file that is not empty.
BreachProblem OpenFile(BreachList& list, const std::string& path, int& fd, uint64_t& size) {
  fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  list.problemFile = path;
  list.problemOffset = 0;
  if (fd < 0) return OpenProblem(errno);
  struct stat info {};
  BreachProblem problem = BreachProblem::None;
  if (fstat(fd, &info) != 0)
    problem = BreachProblem::CannotRead;
  else if (!S_ISREG(info.st_mode))
    problem = BreachProblem::NotAFile;
  else if (info.st_size == 0)
    problem = BreachProblem::Empty;
  if (problem != BreachProblem::None) {
    close(fd);
    fd = -1;
  }
  size = static_cast<uint64_t>(info.st_size);
  return problem;
}

void ToHex(const Sha1& hash, char* hex) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (size_t i = 0; i < kSha1Size; ++i) {
    hex[2 * i] = kDigits[hash.bytes[i] >> 4];
    hex[2 * i + 1] = kDigits[hash.bytes[i] & 0x0F];
  }
}

// A folder: the range file the hash's first five digits name, searched for the rest.
BreachProblem CountInFolder(BreachList& list, const char* hex, uint64_t& count) {
  const std::string name = list.path + "/" + std::string(hex, kRangeDigits) + ".txt";
  int fd = -1;
  uint64_t size = 0;
  BreachProblem problem = OpenFile(list, name, fd, size);
  if (problem == BreachProblem::NoSuchFile) problem = BreachProblem::MissingRangeFile;
  if (problem != BreachProblem::None) return problem;
  const Region r{list, name, fd, size, kHashDigits - kRangeDigits};
  problem = Search(r, hex + kRangeDigits, count);
  close(fd);
  return problem;
}

}  // namespace

Sha1 Sha1Of(std::string_view text) {
  sha1_ctx context;
  sha1_init(&context);
  sha1_update(&context, text.size(), reinterpret_cast<const uint8_t*>(text.data()));
  Sha1 hash;
  sha1_digest(&context, kSha1Size, hash.bytes);
  Vault::WipeMemory(&context, sizeof context);  // it held the last block of the text
  return hash;
}

BreachProblem OpenBreachList(const std::string& path, BreachList& list) {
  CloseBreachList(list);
  list.path = path;
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    list.folder = true;
    int fd = -1;
    uint64_t size = 0;
    const std::string first = path + "/" + kFirstRangeFile;
    BreachProblem problem = OpenFile(list, first, fd, size);
    if (problem == BreachProblem::NoSuchFile) {
      problem = BreachProblem::NoRangeFiles;
      list.problemFile = path;  // the folder is what is wrong
    }
    if (problem != BreachProblem::None) return problem;
    Line line;
    problem = LineAtOrAfter({list, first, fd, size, kHashDigits - kRangeDigits}, 0, line);
    close(fd);
    return problem;
  }
  BreachProblem problem = OpenFile(list, path, list.fd, list.size);
  if (problem != BreachProblem::None) return problem;
  const Region r{list, path, list.fd, list.size, kHashDigits};
  Line line;
  problem = LineAtOrAfter(r, 0, line);
  return problem == BreachProblem::None ? Sample(r, list.samples) : problem;
}

BreachProblem CountInBreachList(BreachList& list, const Sha1& hash, uint64_t& count) {
  count = 0;
  char hex[kHashDigits];
  ToHex(hash, hex);
  BreachProblem problem = BreachProblem::None;
  if (list.folder) {
    problem = CountInFolder(list, hex, count);
  } else {
    // A file cut while it is read shows as a read that finds its end too soon.
    problem = Search({list, list.path, list.fd, list.size, kHashDigits}, hex, count);
  }
  Vault::WipeMemory(hex, sizeof hex);
  return problem;
}

void CloseBreachList(BreachList& list) {
  if (list.fd >= 0) close(list.fd);
  list = BreachList{};
}

std::string BreachProblemText(const BreachList& list, BreachProblem problem) {
  const size_t index = static_cast<size_t>(problem) - 1;
  if (problem == BreachProblem::None || index >= std::size(Texts::kText.breachProblems)) return "";
  std::string reason = Texts::kText.breachProblems[index];
  if (const size_t at = reason.find("{}"); at != std::string::npos) {
    reason.replace(at, 2, std::to_string(list.problemOffset));
  }
  return list.problemFile + ": " + reason;
}

}  // namespace Common
