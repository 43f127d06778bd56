#include "tests/support/breach_files.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

namespace BreachFiles {
namespace {

constexpr size_t kRangeDigits = 5;
constexpr int kRangeShift = 64 - 4 * kRangeDigits;  // the range's digits in a hash's first 64 bits

// Random hashes in increasing order without sorting them: the i-th of count has its first 64
// bits in the i-th of count equal slices of [base, base + span]. Each line is written without
// its first `skip` digits.
void WriteLines(std::FILE* file, uint64_t count, std::vector<std::string> lines, uint64_t base,
                uint64_t span, size_t skip, Style style) {
  std::sort(lines.begin(), lines.end());
  std::mt19937_64 random(count ^ base);
  const uint64_t slice = count == 0 ? 1 : std::max<uint64_t>(span / count, 1);
  size_t next = 0;
  const auto put = [&](std::string line) {
    if (style.lowerCase) std::transform(line.begin(), line.end(), line.begin(), ::tolower);
    std::fputs(line.c_str() + skip, file);
    std::fputs(style.lineEnd, file);
  };
  char line[64];
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t top = base + i * slice + random() % slice;
    std::snprintf(line, sizeof line, "%016llX%016llX%08X:%u", static_cast<unsigned long long>(top),
                  static_cast<unsigned long long>(random()), static_cast<unsigned>(random()),
                  static_cast<unsigned>(random() % 1000 + 1));
    while (next < lines.size() && lines[next] < line) put(lines[next++]);
    put(line);
  }
  while (next < lines.size()) put(lines[next++]);
}

}  // namespace

void WriteBreachFile(const std::string& path, uint64_t count, const std::vector<std::string>& lines,
                     Style style) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  WriteLines(file, count, lines, 0, UINT64_MAX, 0, style);
  std::fclose(file);
}

void WriteRangeFolder(const std::string& folder, uint64_t count,
                      const std::vector<std::string>& lines) {
  std::map<std::string, std::vector<std::string>> ranges{{"00000", {}}};
  for (const std::string& line : lines) ranges[line.substr(0, kRangeDigits)].push_back(line);
  for (const auto& [prefix, own] : ranges) {
    std::FILE* file = std::fopen((folder + prefix + ".txt").c_str(), "wb");
    if (file == nullptr) continue;
    const uint64_t range = std::stoull(prefix, nullptr, 16);
    WriteLines(file, count, own, range << kRangeShift, (uint64_t{1} << kRangeShift) - 1,
               kRangeDigits, {});
    std::fclose(file);
  }
}

}  // namespace BreachFiles
