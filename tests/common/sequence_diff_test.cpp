#include "common/sequence_diff.h"

#include <gtest/gtest.h>

namespace {

using Common::kUnmatched;
using Numbers = std::vector<uint32_t>;

Numbers Repeated(uint32_t id, size_t count) { return Numbers(count, id); }
Numbers Joined(Numbers a, const Numbers& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// What Myers gives a gap of n 1s and two 3s against two 3s and n 2s, which has no element
// found once on both sides: the 3s matched, or nothing past the edit bound.
std::vector<size_t> GapMatch(size_t n, bool matched) {
  std::vector<size_t> match(n + 2, kUnmatched);
  if (matched) {
    match[n] = 0;
    match[n + 1] = 1;
  }
  return match;
}

TEST(MatchSequences, MatchesAscendingInBoth) {
  const size_t u = kUnmatched;
  struct Case {
    const char* name;
    Numbers a, b;
    std::vector<size_t> match;
  };
  const Case cases[] = {
      {"equal", {1, 2, 3}, {1, 2, 3}, {0, 1, 2}},
      {"nothing in b", {1, 2}, {}, {u, u}},
      {"one inserted", {1, 3}, {1, 2, 3}, {0, 2}},
      {"one removed", {1, 2, 3}, {1, 3}, {0, u, 1}},
      {"one replaced", {1, 2, 3}, {1, 4, 3}, {0, u, 2}},
      {"moved: the longer run stays", {1, 2, 3, 4}, {4, 1, 2, 3}, {1, 2, 3, u}},
      {"repeated only: Myers", {5, 1, 5, 1}, {1, 5, 1, 5}, {u, 0, 1, 2}},
      {"1000 edits, within the bound", Joined(Repeated(1, 500), {3, 3}),
       Joined({3, 3}, Repeated(2, 500)), GapMatch(500, true)},
      {"2200 edits, past the bound", Joined(Repeated(1, 1100), {3, 3}),
       Joined({3, 3}, Repeated(2, 1100)), GapMatch(1100, false)},
  };
  for (const Case& c : cases) EXPECT_EQ(Common::MatchSequences(c.a, c.b, 6), c.match) << c.name;
}

}  // namespace
