#include "common/sequence_diff.h"

#include <algorithm>

namespace Common {
namespace {

// Myers keeps one row per edit; past this many edits in one gap the rows would cost more
// memory than the answer is worth (about a million numbers at the bound).
constexpr size_t kMaxEdits = 1024;

struct Range {
  size_t alo, ahi, blo, bhi;
};

struct Work {
  const std::vector<uint32_t>& a;
  const std::vector<uint32_t>& b;
  std::vector<size_t>& match;
  // Per id, reset after each use: counts in the a and b parts of a range, and where in b.
  std::vector<uint32_t> countA, countB;
  std::vector<size_t> whereB;
};

void Trim(Work& w, Range& r) {
  while (r.alo < r.ahi && r.blo < r.bhi && w.a[r.alo] == w.b[r.blo]) w.match[r.alo++] = r.blo++;
  while (r.alo < r.ahi && r.blo < r.bhi && w.a[r.ahi - 1] == w.b[r.bhi - 1]) {
    w.match[--r.ahi] = --r.bhi;
  }
}

// The pairs (i, j) of elements found once in each part, longest run ascending in both.
// Sets common when the parts share any element at all.
std::vector<std::pair<size_t, size_t>> UniqueAnchors(Work& w, const Range& r, bool& common) {
  for (size_t i = r.alo; i < r.ahi; ++i) ++w.countA[w.a[i]];
  for (size_t j = r.blo; j < r.bhi; ++j) {
    ++w.countB[w.b[j]];
    w.whereB[w.b[j]] = j;
  }
  std::vector<std::pair<size_t, size_t>> unique;
  common = false;
  for (size_t i = r.alo; i < r.ahi; ++i) {
    const uint32_t id = w.a[i];
    common = common || w.countB[id] > 0;
    if (w.countA[id] == 1 && w.countB[id] == 1) unique.emplace_back(i, w.whereB[id]);
  }
  for (size_t i = r.alo; i < r.ahi; ++i) w.countA[w.a[i]] = 0;
  for (size_t j = r.blo; j < r.bhi; ++j) w.countB[w.b[j]] = 0;
  // Longest increasing run of the b positions (patience sorting with back links).
  std::vector<size_t> tails, before(unique.size(), kUnmatched);
  for (size_t k = 0; k < unique.size(); ++k) {
    const auto at = std::lower_bound(tails.begin(), tails.end(), unique[k].second,
                                     [&](size_t t, size_t j) { return unique[t].second < j; });
    if (at != tails.begin()) before[k] = *(at - 1);
    if (at == tails.end()) {
      tails.push_back(k);
    } else {
      *at = k;
    }
  }
  std::vector<std::pair<size_t, size_t>> anchors(tails.size());
  size_t k = tails.empty() ? kUnmatched : tails.back();
  for (size_t n = anchors.size(); n-- > 0; k = before[k]) anchors[n] = unique[k];
  return anchors;
}

// Myers' greedy diff with its rows kept for the way back; false past kMaxEdits.
bool Myers(Work& w, const Range& r) {
  const long n = static_cast<long>(r.ahi - r.alo), m = static_cast<long>(r.bhi - r.blo);
  const long most = std::min<long>(n + m, static_cast<long>(kMaxEdits));
  std::vector<long> v(static_cast<size_t>(2 * most + 3), 0);
  const long mid = most + 1;
  std::vector<std::vector<long>> rows;  // v[mid - d .. mid + d] before step d
  auto same = [&](long x, long y) { return w.a[r.alo + x] == w.b[r.blo + y]; };
  for (long d = 0; d <= most; ++d) {
    rows.emplace_back(v.begin() + (mid - d), v.begin() + (mid + d + 1));
    for (long k = -d; k <= d; k += 2) {
      long x = (k == -d || (k != d && v[mid + k - 1] < v[mid + k + 1])) ? v[mid + k + 1]
                                                                        : v[mid + k - 1] + 1;
      long y = x - k;
      while (x < n && y < m && same(x, y)) ++x, ++y;
      v[mid + k] = x;
      if (x < n || y < m) continue;
      for (long e = d; e > 0; --e) {  // the way back, marking the diagonals
        const std::vector<long>& row = rows[static_cast<size_t>(e)];
        auto at = [&](long kk) { return row[static_cast<size_t>(kk + e)]; };
        const long kk = x - y;
        const long prev = (kk == -e || (kk != e && at(kk - 1) < at(kk + 1))) ? kk + 1 : kk - 1;
        const long px = at(prev), py = px - prev;
        for (; x > px && y > py; --x, --y) {
          w.match[r.alo + static_cast<size_t>(x - 1)] = r.blo + static_cast<size_t>(y - 1);
        }
        x = px;
        y = py;
      }
      for (; x > 0 && y > 0; --x, --y) {
        w.match[r.alo + static_cast<size_t>(x - 1)] = r.blo + static_cast<size_t>(y - 1);
      }
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<size_t> MatchSequences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b,
                                   size_t idCount) {
  std::vector<size_t> match(a.size(), kUnmatched);
  Work w{a,
         b,
         match,
         std::vector<uint32_t>(idCount, 0),
         std::vector<uint32_t>(idCount, 0),
         std::vector<size_t>(idCount, 0)};
  std::vector<Range> todo{{0, a.size(), 0, b.size()}};
  while (!todo.empty()) {
    Range r = todo.back();
    todo.pop_back();
    Trim(w, r);
    if (r.alo == r.ahi || r.blo == r.bhi) continue;
    bool common = false;
    const std::vector<std::pair<size_t, size_t>> anchors = UniqueAnchors(w, r, common);
    if (anchors.empty()) {
      if (common) (void)Myers(w, r);  // past its bound the gap stays unmatched
      continue;
    }
    size_t alo = r.alo, blo = r.blo;
    for (const auto& [i, j] : anchors) {
      match[i] = j;
      todo.push_back({alo, i, blo, j});
      alo = i + 1;
      blo = j + 1;
    }
    todo.push_back({alo, r.ahi, blo, r.bhi});
  }
  return match;
}

}  // namespace Common
