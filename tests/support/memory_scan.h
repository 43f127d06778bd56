// Searching this very process's readable memory for secrets a test planted. A marker is
// kept only masked and without its first bytes: the test's own copy is never what is found,
// and a text emptied with clear() in place of a wipe (one NUL over its first byte) still is.
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace MemoryScan {

constexpr size_t kSkippedBytes = 4;

struct Marker {
  std::string what;
  std::string maskedTail;
};

// The marker of a secret longer than kSkippedBytes.
[[nodiscard]] Marker MarkerOf(const std::string& what, std::string_view secret);
// Fills text in place with length random letters, so that no other copy is made; the caller
// wipes it.
void FillRandomLetters(std::mt19937_64& draw, std::string& text, size_t length);
// Every place in readable memory that holds a marker, as "what at ADDRESS in REGION".
[[nodiscard]] std::vector<std::string> FindMarkers(const std::vector<Marker>& markers);

}  // namespace MemoryScan
