// Breach lists made for tests and benchmarks: sorted HASH:COUNT files of random hashes, or
// folders of range files, holding the lines a test needs among them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace BreachFiles {

// password1, as the published lists hold it.
constexpr char kPassword1Hash[] = "E38AD214943DAAD1D64C102FAEC29DE4AFE9DA3D";

struct Style {
  bool lowerCase = false;
  const char* lineEnd = "\n";
};

// Writes `count` random hashes and the given lines ("HASH:COUNT", upper-case hex), ordered
// by hash, to path; about 47 bytes a line.
void WriteBreachFile(const std::string& path, uint64_t count, const std::vector<std::string>& lines,
                     Style style = {});
// Writes 00000.txt and the range file of each given line into the folder (which exists),
// each with `count` random suffixes around the given ones.
void WriteRangeFolder(const std::string& folder, uint64_t count,
                      const std::vector<std::string>& lines);

}  // namespace BreachFiles
