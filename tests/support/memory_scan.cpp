#include "tests/support/memory_scan.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace MemoryScan {
namespace {

constexpr unsigned char kMask = 0x5A;
constexpr size_t kChunk = 1 << 20;

struct Region {
  uintptr_t start, end;
  std::string name;
};

std::vector<Region> ReadableRegions() {
  std::vector<Region> regions;
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    std::istringstream fields(line);
    std::string range, perms, offset, device, inode, name;
    fields >> range >> perms >> offset >> device >> inode;
    std::getline(fields >> std::ws, name);
    if (perms[0] != 'r' || name == "[vvar]" || name == "[vsyscall]") continue;
    const size_t dash = range.find('-');
    regions.push_back({std::stoull(range.substr(0, dash), nullptr, 16),
                       std::stoull(range.substr(dash + 1), nullptr, 16), name});
  }
  return regions;
}

bool MaskedTailAt(const unsigned char* bytes, const std::string& maskedTail) {
  for (size_t k = 0; k < maskedTail.size(); ++k) {
    if ((bytes[k] ^ kMask) != static_cast<unsigned char>(maskedTail[k])) return false;
  }
  return true;
}

// The markers that start among the first starts bytes of a chunk read at address at; the
// bytes after them only complete a marker begun there.
void FindInChunk(const unsigned char* buffer, size_t starts, size_t got, uintptr_t at,
                 const Region& region, const std::vector<Marker>& markers,
                 std::vector<std::string>& found) {
  for (const Marker& marker : markers) {
    const size_t length = marker.maskedTail.size();
    const unsigned char first = static_cast<unsigned char>(marker.maskedTail[0]) ^ kMask;
    for (const unsigned char* p = buffer;
         (p = static_cast<const unsigned char*>(memchr(p, first, buffer + starts - p))); ++p) {
      if (p + length > buffer + got || !MaskedTailAt(p, marker.maskedTail)) continue;
      char where[64];
      std::snprintf(where, sizeof where, " at %#lx in ",
                    static_cast<unsigned long>(at + static_cast<uintptr_t>(p - buffer)));
      found.push_back(marker.what + where + (region.name.empty() ? "[anon]" : region.name));
    }
  }
}

}  // namespace

Marker MarkerOf(const std::string& what, std::string_view secret) {
  Marker marker{what, std::string(secret.substr(kSkippedBytes))};
  for (char& c : marker.maskedTail) c = static_cast<char>(c ^ kMask);
  return marker;
}

void FillRandomLetters(std::mt19937_64& draw, std::string& text, size_t length) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  text.assign(length, ' ');
  for (char& c : text) c = kLetters[draw() % (sizeof kLetters - 1)];
}

std::vector<std::string> FindMarkers(const std::vector<Marker>& markers) {
  size_t overlap = 0;
  for (const Marker& marker : markers) overlap = std::max(overlap, marker.maskedTail.size());
  // Outside the heap, and skipped, so that what it copies is never counted.
  auto* buffer = static_cast<unsigned char*>(
      mmap(nullptr, kChunk + overlap, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  const auto bufferStart = reinterpret_cast<uintptr_t>(buffer);
  const int mem = open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
  std::vector<std::string> found;
  for (const Region& region : ReadableRegions()) {
    if (region.start <= bufferStart && bufferStart < region.end) continue;
    for (uintptr_t at = region.start; at < region.end; at += kChunk) {
      const size_t want = std::min<uintptr_t>(kChunk + overlap, region.end - at);
      const ssize_t got = pread(mem, buffer, want, static_cast<off_t>(at));
      if (got <= 0) continue;
      const size_t bytes = static_cast<size_t>(got);
      FindInChunk(buffer, std::min(kChunk, bytes), bytes, at, region, markers, found);
    }
  }
  close(mem);
  munmap(buffer, kChunk + overlap);
  return found;
}

}  // namespace MemoryScan
