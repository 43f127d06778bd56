// The longest common subsequence of two sequences of numbers, as the entry merge needs it:
// entries are numbered first (equal entries, equal numbers), so the diff compares integers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Common {

constexpr size_t kUnmatched = static_cast<size_t>(-1);

// For each element of a, the index of the element of b it is matched with, or kUnmatched;
// the matches ascend in both. Every element is below idCount. Common head and tail are
// trimmed, elements that occur once on both sides anchor the rest (longest increasing
// run), and what lies between anchors is diffed with Myers' algorithm up to a bound; a gap
// past that bound stays unmatched, which a merge reads as replaced.
[[nodiscard]] std::vector<size_t> MatchSequences(const std::vector<uint32_t>& a,
                                                 const std::vector<uint32_t>& b, size_t idCount);

}  // namespace Common
