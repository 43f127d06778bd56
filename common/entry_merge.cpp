#include "common/entry_merge.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>

#include "common/sequence_diff.h"

namespace Common {
namespace {

using Vault::Entry;
using Vault::kEntryFields;

// Numbers for entries, so that each entry is hashed once and the diff compares integers:
// equal entries (with byName, equal description and user name) share a number.
struct Numbering {
  bool byName = false;
  std::vector<uint32_t> slots;      // number + 1, or 0 where free
  std::vector<const Entry*> first;  // an entry of each number
};

void Prepare(Numbering& numbering, bool byName, size_t most) {
  size_t capacity = 16;
  while (capacity < 2 * most) capacity *= 2;
  numbering.byName = byName;
  numbering.slots.assign(capacity, 0);
  numbering.first.clear();
  numbering.first.reserve(most);
}

size_t HashOf(const Entry& entry, bool byName) {
  const std::hash<std::string_view> hash;
  size_t h = 0;
  for (const Vault::EntryField& field : kEntryFields) {
    if (!byName || field.names) h = (h * 1099511628211u) ^ hash(entry.*field.member);
  }
  return h;
}

// The entry must outlive the numbering, which keeps a pointer to it.
uint32_t NumberOf(Numbering& numbering, const Entry& entry) {
  const size_t mask = numbering.slots.size() - 1;
  for (size_t slot = HashOf(entry, numbering.byName) & mask;; slot = (slot + 1) & mask) {
    uint32_t& held = numbering.slots[slot];
    if (held == 0) {
      numbering.first.push_back(&entry);
      held = static_cast<uint32_t>(numbering.first.size());
      return held - 1;
    }
    const Entry& other = *numbering.first[held - 1];
    if (numbering.byName ? Vault::SameName(other, entry) : other == entry) return held - 1;
  }
}

std::vector<uint32_t> NumbersOf(Numbering& numbering, const Entry* begin, const Entry* end) {
  std::vector<uint32_t> numbers;
  numbers.reserve(static_cast<size_t>(end - begin));
  for (const Entry* e = begin; e != end; ++e) numbers.push_back(NumberOf(numbering, *e));
  return numbers;
}

// The rows of kEntryFields in which a and b differ.
std::vector<size_t> DifferingFields(const Entry& a, const Entry& b) {
  std::vector<size_t> fields;
  for (size_t f = 0; f < Vault::kEntryFieldCount; ++f) {
    if (a.*kEntryFields[f].member != b.*kEntryFields[f].member) fields.push_back(f);
  }
  return fields;
}

struct ThreeWay {
  const std::vector<Entry>& base;
  const std::vector<Entry>& ours;
  const std::vector<Entry>& theirs;
  std::vector<Entry>& merged;  // room reserved for ours and theirs together: never regrown
  std::vector<MergeReport::Twin>& twins;
  Numbering numbering;
  std::vector<uint32_t> b, o, t;
  std::vector<uint8_t> inChunkBase;  // per number, while a conflicting chunk is resolved
};

// A chunk between two entries that all three versions share: base[b0, b1) became
// ours[o0, o1) on one side and theirs[t0, t1) on the other.
struct Chunk {
  size_t b0, b1, o0, o1, t0, t1;
};

bool SameRun(const std::vector<uint32_t>& x, size_t x0, size_t x1, const std::vector<uint32_t>& y,
             size_t y0, size_t y1) {
  return x1 - x0 == y1 - y0 && std::equal(x.begin() + x0, x.begin() + x1, y.begin() + y0);
}

// Field by field: what one side changed and the other did not; where both changed a field
// differently, chosen's value.
void AppendCombined(ThreeWay& m, const Entry& base, const Entry& ours, const Entry& theirs,
                    const Entry& chosen) {
  Entry& entry = m.merged.emplace_back();  // filled in place: no copy of a password to wipe
  for (const Vault::EntryField& field : kEntryFields) {
    const std::string &was = base.*field.member, &mine = ours.*field.member,
                      &other = theirs.*field.member;
    const bool clash = mine != was && other != was && mine != other;
    entry.*field.member = clash ? chosen.*field.member : mine != was ? mine : other;
  }
}

// One entry of ours and its counterpart of theirs, with the base entry both came from when
// one is known: combined, or kept twice (ours first) where they clash.
void AppendPair(ThreeWay& m, const Entry& ours, const Entry& theirs, const Entry* base) {
  if (ours == theirs) {
    m.merged.push_back(ours);
    return;
  }
  MergeReport::Twin twin{m.merged.size(), m.merged.size() + 1, {}};
  if (base == nullptr) {
    twin.fields = DifferingFields(ours, theirs);
    m.merged.push_back(ours);
    m.merged.push_back(theirs);
    m.twins.push_back(std::move(twin));
    return;
  }
  for (size_t f = 0; f < Vault::kEntryFieldCount; ++f) {
    const std::string Entry::*member = kEntryFields[f].member;
    const std::string &was = base->*member, &mine = ours.*member, &other = theirs.*member;
    if (mine != was && other != was && mine != other) twin.fields.push_back(f);
  }
  AppendCombined(m, *base, ours, theirs, ours);
  if (twin.fields.empty()) return;
  AppendCombined(m, *base, ours, theirs, theirs);
  m.twins.push_back(std::move(twin));
}

// Whether an entry may be a changed version of another: the same description and user
// name, or at least half of the fields alike (a rename keeps the rest).
bool Related(const Entry& a, const Entry& b) {
  return Vault::SameName(a, b) ||
         2 * (Vault::kEntryFieldCount - DifferingFields(a, b).size()) >= Vault::kEntryFieldCount;
}

// Pairs each entry of ours in the chunk with one of theirs and one of base: by place when
// the three runs are equally long and each place holds related entries, else by
// description and user name.
void PairChunk(ThreeWay& m, const Chunk& c, std::vector<size_t>& partner,
               std::vector<size_t>& baseOf) {
  const size_t nb = c.b1 - c.b0, no = c.o1 - c.o0, nt = c.t1 - c.t0;
  partner.assign(no, kUnmatched);
  baseOf.assign(no, kUnmatched);
  bool byPlace = nb == no && no == nt;
  for (size_t k = 0; byPlace && k < no; ++k) {
    byPlace = Related(m.ours[c.o0 + k], m.base[c.b0 + k]) &&
              Related(m.theirs[c.t0 + k], m.base[c.b0 + k]);
  }
  if (byPlace) {
    for (size_t k = 0; k < no; ++k) {
      partner[k] = c.t0 + k;
      baseOf[k] = c.b0 + k;
    }
    return;
  }
  Numbering names;
  Prepare(names, true, nb + no + nt);
  const std::vector<uint32_t> ko = NumbersOf(names, m.ours.data() + c.o0, m.ours.data() + c.o1);
  const std::vector<uint32_t> kt = NumbersOf(names, m.theirs.data() + c.t0, m.theirs.data() + c.t1);
  const std::vector<uint32_t> kb = NumbersOf(names, m.base.data() + c.b0, m.base.data() + c.b1);
  const std::vector<size_t> toTheirs = MatchSequences(ko, kt, names.first.size());
  const std::vector<size_t> toBase = MatchSequences(ko, kb, names.first.size());
  for (size_t k = 0; k < no; ++k) {
    if (toTheirs[k] != kUnmatched) partner[k] = c.t0 + toTheirs[k];
    if (toBase[k] != kUnmatched) baseOf[k] = c.b0 + toBase[k];
  }
}

// Both sides changed the chunk differently. An unpaired entry that is still as in base was
// deleted by the other side and goes; every other unpaired entry stays, ours first.
void ResolveConflict(ThreeWay& m, const Chunk& c) {
  std::vector<size_t> partner, baseOf;
  PairChunk(m, c, partner, baseOf);
  for (size_t i = c.b0; i < c.b1; ++i) m.inChunkBase[m.b[i]] = 1;
  size_t next = c.t0;
  auto keepTheirsUpTo = [&](size_t end) {
    for (; next < end; ++next) {
      if (!m.inChunkBase[m.t[next]]) m.merged.push_back(m.theirs[next]);
    }
  };
  for (size_t k = 0; k < partner.size(); ++k) {
    const size_t i = c.o0 + k;
    if (partner[k] == kUnmatched) {
      if (!m.inChunkBase[m.o[i]]) m.merged.push_back(m.ours[i]);
      continue;
    }
    keepTheirsUpTo(partner[k]);
    AppendPair(m, m.ours[i], m.theirs[partner[k]],
               baseOf[k] == kUnmatched ? nullptr : &m.base[baseOf[k]]);
    next = partner[k] + 1;
  }
  keepTheirsUpTo(c.t1);
  for (size_t i = c.b0; i < c.b1; ++i) m.inChunkBase[m.b[i]] = 0;
}

void Resolve(ThreeWay& m, const Chunk& c) {
  if (SameRun(m.o, c.o0, c.o1, m.b, c.b0, c.b1)) {
    for (size_t j = c.t0; j < c.t1; ++j) m.merged.push_back(m.theirs[j]);
  } else if (SameRun(m.t, c.t0, c.t1, m.b, c.b0, c.b1) ||
             SameRun(m.o, c.o0, c.o1, m.t, c.t0, c.t1)) {
    for (size_t i = c.o0; i < c.o1; ++i) m.merged.push_back(m.ours[i]);
  } else {
    ResolveConflict(m, c);
  }
}

// diff3: the entries of base that both sides kept in place divide the lists into chunks.
void WalkChunks(ThreeWay& m) {
  const size_t count = m.numbering.first.size();
  const std::vector<size_t> toOurs = MatchSequences(m.b, m.o, count);
  const std::vector<size_t> toTheirs = MatchSequences(m.b, m.t, count);
  Chunk c{0, 0, 0, 0, 0, 0};
  for (size_t k = 0; k <= m.b.size(); ++k) {
    const bool end = k == m.b.size();
    if (!end && (toOurs[k] == kUnmatched || toTheirs[k] == kUnmatched)) continue;
    c.b1 = k;
    c.o1 = end ? m.o.size() : toOurs[k];
    c.t1 = end ? m.t.size() : toTheirs[k];
    if (c.b0 != c.b1 || c.o0 != c.o1 || c.t0 != c.t1) Resolve(m, c);
    if (end) break;
    m.merged.push_back(m.ours[toOurs[k]]);
    c = {k + 1, 0, toOurs[k] + 1, 0, toTheirs[k] + 1, 0};
  }
}

// Of the entries new to ours and those of ours gone, one of each with the same name is one
// change; the rest were added or removed.
void PairNewWithGone(ThreeWay& m, const std::vector<const Entry*>& fresh,
                     const std::vector<const Entry*>& gone,
                     const std::vector<const Entry*>& twinFirsts, MergeReport& report) {
  Numbering names;
  Prepare(names, true, fresh.size() + gone.size() + twinFirsts.size());
  std::vector<size_t> goneByName(fresh.size() + gone.size() + twinFirsts.size(), 0);
  for (const Entry* e : gone) ++goneByName[NumberOf(names, *e)];
  auto consume = [&](const Entry& e) {
    size_t& n = goneByName[NumberOf(names, e)];
    if (n == 0) return false;
    --n;
    return true;
  };
  for (const Entry* e : twinFirsts) (void)consume(*e);
  for (const Entry* e : fresh) {
    if (consume(*e)) {
      ++report.changed;
    } else {
      report.addedAt.push_back(static_cast<size_t>(e - m.merged.data()));
    }
  }
  report.added = report.addedAt.size();
  // What no change accounts for was removed: as many of each name as are left, first first.
  for (const Entry* e : gone) {
    if (consume(*e)) report.removedAt.push_back(static_cast<size_t>(e - m.ours.data()));
  }
  report.removed = report.removedAt.size();
}

// The report's counts, from the merged list against ours: entries new to ours (minus
// twins) and entries of ours gone.
void CountChanges(ThreeWay& m, MergeReport& report) {
  const std::vector<uint32_t> merged =
      NumbersOf(m.numbering, m.merged.data(), m.merged.data() + m.merged.size());
  std::vector<uint32_t> left(m.numbering.first.size(), 0);
  for (uint32_t n : m.o) ++left[n];
  std::vector<uint8_t> twinned(merged.size(), 0);
  std::vector<const Entry*> fresh, gone, twinFirsts;
  for (const MergeReport::Twin& twin : report.twins) {
    twinned[twin.first] = twinned[twin.second] = 1;
    if (left[merged[twin.first]] > 0) {
      --left[merged[twin.first]];
    } else {
      twinFirsts.push_back(&m.merged[twin.first]);  // ours' version combined: consumes one
    }
  }
  for (size_t i = 0; i < merged.size(); ++i) {
    if (twinned[i]) continue;
    if (left[merged[i]] > 0) {
      --left[merged[i]];
    } else {
      fresh.push_back(&m.merged[i]);
    }
  }
  for (size_t i = 0; i < m.o.size(); ++i) {
    if (left[m.o[i]] == 0) continue;
    --left[m.o[i]];
    gone.push_back(&m.ours[i]);
  }
  PairNewWithGone(m, fresh, gone, twinFirsts, report);
}

// Where the union puts each entry of theirs that ours lacks: after an entry of ours (its
// group: the entry of ours it follows in theirs, or the one whose name it shares, a twin), or
// at the end (group ours.size()). In the order of their groups.
struct Placed {
  size_t group, index;
  bool twin;
};

std::vector<Placed> PlaceNewOnes(const std::vector<Entry>& ours, const std::vector<Entry>& theirs) {
  Numbering numbering, names;
  Prepare(numbering, false, ours.size() + theirs.size());
  Prepare(names, true, ours.size() + theirs.size());
  // Ours is numbered first, so a number below oursAt.size() is an entry of ours.
  std::vector<size_t> oursAt, nameAt;
  for (size_t k = 0; k < ours.size(); ++k) {
    if (NumberOf(numbering, ours[k]) == oursAt.size()) oursAt.push_back(k);
    if (NumberOf(names, ours[k]) == nameAt.size()) nameAt.push_back(k);
  }
  std::vector<Placed> placed;
  std::vector<size_t> groupOfNew;  // by number - oursAt.size()
  size_t group = ours.size();
  for (size_t j = 0; j < theirs.size(); ++j) {
    const uint32_t n = NumberOf(numbering, theirs[j]);
    if (n < oursAt.size()) {
      group = oursAt[n];
    } else if (n - oursAt.size() < groupOfNew.size()) {
      group = groupOfNew[n - oursAt.size()];  // an equal one of theirs is placed already
    } else {
      const uint32_t name = NumberOf(names, theirs[j]);
      const bool twin = name < nameAt.size();
      if (twin) group = nameAt[name];
      placed.push_back({group, j, twin});
      groupOfNew.push_back(group);
    }
  }
  std::stable_sort(placed.begin(), placed.end(),
                   [](const Placed& x, const Placed& y) { return x.group < y.group; });
  return placed;
}

}  // namespace

void MergeThreeWay(const std::vector<Vault::Entry>& base, const std::vector<Vault::Entry>& ours,
                   const std::vector<Vault::Entry>& theirs, std::vector<Vault::Entry>& merged,
                   MergeReport& report) {
  Vault::WipeEntries(merged);
  report = {};
  merged.reserve(ours.size() + theirs.size());
  ThreeWay m{base, ours, theirs, merged, report.twins, {}, {}, {}, {}, {}};
  const size_t all = base.size() + ours.size() + theirs.size();
  Prepare(m.numbering, false, all + merged.capacity());
  m.b = NumbersOf(m.numbering, base.data(), base.data() + base.size());
  m.o = NumbersOf(m.numbering, ours.data(), ours.data() + ours.size());
  m.t = NumbersOf(m.numbering, theirs.data(), theirs.data() + theirs.size());
  m.inChunkBase.assign(m.numbering.first.size(), 0);
  WalkChunks(m);
  CountChanges(m, report);
  report.sameAsOurs = merged == ours;
  report.sameAsTheirs = merged == theirs;
}

void MergeUnion(const std::vector<Vault::Entry>& ours, const std::vector<Vault::Entry>& theirs,
                std::vector<Vault::Entry>& merged, MergeReport& report) {
  Vault::WipeEntries(merged);
  report = {};
  merged.reserve(ours.size() + theirs.size());
  std::vector<Placed> placed = PlaceNewOnes(ours, theirs);
  size_t p = 0, oursIndex = 0;
  for (size_t k = 0; k <= ours.size(); ++k) {
    if (k < ours.size()) {
      oursIndex = merged.size();
      merged.push_back(ours[k]);
    }
    for (; p < placed.size() && placed[p].group == k; ++p) {
      const Entry& entry = theirs[placed[p].index];
      if (placed[p].twin) {
        report.twins.push_back({oursIndex, merged.size(), DifferingFields(ours[k], entry)});
      } else {
        report.addedAt.push_back(merged.size());
      }
      merged.push_back(entry);
    }
  }
  report.added = report.addedAt.size();
  report.sameAsOurs = placed.empty();
  report.sameAsTheirs = merged == theirs;
}

std::vector<size_t> MissingEntries(const std::vector<Vault::Entry>& present,
                                   const std::vector<Vault::Entry>& candidates) {
  Numbering numbering;
  Prepare(numbering, false, present.size() + candidates.size());
  for (const Entry& e : present) (void)NumberOf(numbering, e);
  std::vector<size_t> missing;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const size_t known = numbering.first.size();
    if (NumberOf(numbering, candidates[i]) == known) missing.push_back(i);
  }
  return missing;
}

}  // namespace Common
