// Merging two versions of the list. Entries are written short: "Mail.nann.p2" is the entry
// described "Mail" with user name "ann" and password "2" (u: web address); lists are
// separated by spaces.
#include "common/entry_merge.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using Vault::Entry;

Entry Parse(const std::string& text) {
  std::istringstream parts(text);
  Entry e;
  std::getline(parts, e.Omschrijving, '.');
  for (std::string part; std::getline(parts, part, '.');) {
    std::string& field = part[0] == 'u' ? e.Url : part[0] == 'n' ? e.Gebruiker : e.Wachtwoord;
    field = part.substr(1);
  }
  return e;
}

std::vector<Entry> List(const std::string& text) {
  std::istringstream words(text);
  std::vector<Entry> list;
  for (std::string word; words >> word;) list.push_back(Parse(word));
  return list;
}

std::string Show(const std::vector<Entry>& list) {
  std::string text;
  for (const Entry& e : list) {
    text += (text.empty() ? "" : " ") + e.Omschrijving;
    if (!e.Gebruiker.empty()) text += ".n" + e.Gebruiker;
    if (!e.Url.empty()) text += ".u" + e.Url;
    if (!e.Wachtwoord.empty()) text += ".p" + e.Wachtwoord;
  }
  return text;
}

// "a1 c0 r0", then each twin as " twin 1+2 password", then "=ours" / "=theirs".
std::string Show(const Common::MergeReport& r) {
  std::string text = "a" + std::to_string(r.added) + " c" + std::to_string(r.changed) + " r" +
                     std::to_string(r.removed);
  for (const Common::MergeReport::Twin& twin : r.twins) {
    text += " twin " + std::to_string(twin.first) + "+" + std::to_string(twin.second);
    for (size_t f : twin.fields) text += " " + std::string(Vault::kEntryFields[f].keyword);
  }
  if (r.sameAsOurs) text += " =ours";
  if (r.sameAsTheirs) text += " =theirs";
  return text;
}

struct Case {
  const char* what;
  const char* base;  // nullptr: no base known, a union
  const char* ours;
  const char* theirs;
  const char* merged;
  const char* report;
};

const Case kCases[] = {
    {"ours added", "A B", "A X B", "A B", "A X B", "a0 c0 r0 =ours"},
    {"theirs added", "A B", "A B", "A B Y", "A B Y", "a1 c0 r0 =theirs"},
    {"ours changed", "A B C", "A B.p2 C", "A B C", "A B.p2 C", "a0 c0 r0 =ours"},
    {"theirs changed", "A B C", "A B C", "A B.p2 C", "A B.p2 C", "a0 c1 r0 =theirs"},
    {"theirs deleted, ours untouched", "A B C", "A B C", "A C", "A C", "a0 c0 r1 =theirs"},
    {"ours deleted, theirs untouched", "A B C", "A C", "A B C", "A C", "a0 c0 r0 =ours"},
    {"theirs moved", "A B C", "A B C", "C A B", "C A B", "a0 c0 r0 =theirs"},
    {"ours moved", "A B C D", "B C A D", "A B C D", "B C A D", "a0 c0 r0 =ours"},
    {"ours moved, theirs changed another", "A B C D", "B C A D", "A B C D.p2", "B C A D.p2",
     "a0 c1 r0"},
    {"both the same change", "A B", "A B.p2", "A B.p2", "A B.p2", "a0 c0 r0 =ours =theirs"},
    {"both deleted the same", "A B C", "A C", "A C", "A C", "a0 c0 r0 =ours =theirs"},
    {"neighbours changed, one on each side", "A B", "A.p2 B", "A B.p3", "A.p2 B.p3", "a0 c1 r0"},
    {"different fields combined", "A M.nann.p1.uold", "A M.nann.p2.uold", "A M.nann.p1.unew",
     "A M.nann.p2.unew", "a0 c1 r0"},
    {"same field: a twin", "M.nann.p1", "M.nann.p2", "M.nann.p3", "M.nann.p2 M.nann.p3",
     "a0 c0 r0 twin 0+1 password"},
    {"same field a twin, the other field combined", "A M.nann.p1.uold", "A M.nann.p2.unew",
     "A M.nann.p3.uold", "A M.nann.unew.p2 M.nann.unew.p3", "a0 c0 r0 twin 1+2 password"},
    {"ours deleted, theirs changed: the change stays", "A B C", "A C", "A B.p2 C", "A B.p2 C",
     "a1 c0 r0 =theirs"},
    {"ours changed, theirs deleted: the change stays", "A B C", "A B.p2 C", "A C", "A B.p2 C",
     "a0 c0 r0 =ours"},
    {"both added at one place", "A B", "A X B", "A Y B", "A X Y B", "a1 c0 r0"},
    {"both added the same", "A B", "A X B", "A X B", "A X B", "a0 c0 r0 =ours =theirs"},
    {"both added one name, two passwords", "A", "A M.nann.p1", "A M.nann.p2",
     "A M.nann.p1 M.nann.p2", "a0 c0 r0 twin 1+2 password"},
    {"empty base", "", "A B", "A C", "A B C", "a1 c0 r0"},
    {"empty base, empty theirs", "", "A B", "", "A B", "a0 c0 r0 =ours"},
    {"renamed on one side, password changed on the other", "A M.nann.p1 C", "A Mail.nann.p1 C",
     "A M.nann.p2 C", "A Mail.nann.p2 C", "a0 c1 r0"},
    {"one side replaced what the other changed: no pairing by place", "A B.p1 C", "A X.nx.p9 C",
     "A B.p2 C", "A X.nx.p9 B.p2 C", "a1 c0 r0"},
    {"uneven run paired by name", "A M.nann.p1 C", "A M.nann.p1.unew C", "A N M.nann.p2 C",
     "A N M.nann.unew.p2 C", "a1 c1 r0"},
    {"uneven run, nothing to pair: both runs", "A B C", "A X Y C", "A Z C", "A X Y Z C",
     "a1 c0 r0"},
    {"ours added next to theirs' delete", "A B C", "A B X C", "A C", "A X C", "a0 c0 r1"},
    // Two versions of one name, kept after an earlier merge, then changed on one side.
    {"twins, theirs adds one", "A M.nann.p1 M.nann.p2", "A M.nann.p1 M.nann.p2",
     "A M.nann.p1 M.nann.p2 X", "A M.nann.p1 M.nann.p2 X", "a1 c0 r0 =theirs"},
    {"twins, theirs removes one", "A M.nann.p1 M.nann.p2", "A M.nann.p1 M.nann.p2", "A M.nann.p2",
     "A M.nann.p2", "a0 c0 r1 =theirs"},
    {"twins, theirs changes one", "M.nann.p1 M.nann.p2", "M.nann.p1 M.nann.p2",
     "M.nann.p1 M.nann.p3", "M.nann.p1 M.nann.p3", "a0 c1 r0 =theirs"},
    {"twins made here, theirs changed another", "A M.nann.p1", "A M.nann.p1 M.nann.p2",
     "A.p9 M.nann.p1", "A.p9 M.nann.p1 M.nann.p2", "a0 c1 r0"},
    {"union: equal entries once, the new one after its predecessor", nullptr, "A B", "B C A",
     "A B C", "a1 c0 r0"},
    {"union: a run of new ones stays together", nullptr, "A B", "A X Y B", "A X Y B",
     "a2 c0 r0 =theirs"},
    {"union: nothing before it in ours, so at the end", nullptr, "A", "X A", "A X", "a1 c0 r0"},
    {"union: only the password differs: a twin right after", nullptr, "A M.nann.p1 B",
     "M.nann.p2 B", "A M.nann.p1 M.nann.p2 B", "a0 c0 r0 twin 1+2 password"},
    {"union: same description, other user: no twin", nullptr, "M.nann", "M.nbob", "M.nann M.nbob",
     "a1 c0 r0"},
    {"union: the same list", nullptr, "A B", "A B", "A B", "a0 c0 r0 =ours =theirs"},
};

TEST(EntryMerge, CasesOverSmallLists) {
  for (const Case& c : kCases) {
    std::vector<Entry> merged = List("Stale");  // what the merge must replace
    Common::MergeReport report;
    if (c.base != nullptr) {
      Common::MergeThreeWay(List(c.base), List(c.ours), List(c.theirs), merged, report);
    } else {
      Common::MergeUnion(List(c.ours), List(c.theirs), merged, report);
    }
    EXPECT_EQ(Show(merged), Show(List(c.merged))) << c.what;
    EXPECT_EQ(Show(report), c.report) << c.what;
  }
}

// A long list, changed all over on both sides in different places: the merge must equal the
// base with both sets of changes applied, through anchors, duplicates and long gaps.
TEST(EntryMerge, LongListsChangedOnBothSides) {
  constexpr int kCount = 3000;
  auto entry = [](int i) {
    // Every tenth entry has the description and user name of an earlier one.
    const int n = i % 10 == 9 ? i - 5 : i;
    return Entry{"E" + std::to_string(n), "", "u" + std::to_string(n), i == n ? "p" : "q"};
  };
  std::vector<Entry> base, ours, theirs, expected;
  for (int i = 0; i < kCount; ++i) {
    const Entry e = entry(i);
    base.push_back(e);
    const bool oursDeletes = i % 13 == 3, theirsDeletes = i % 29 == 7;
    // Theirs adds nowhere next to a delete, so the order there is not in question.
    const bool theirsAdds = i % 17 == 2 && i % 29 != 6 && i % 13 != 2 && !theirsDeletes;
    Entry mine = e, other = e;
    if (i % 7 == 0) mine.Wachtwoord = "ours";
    if (i % 5 == 1) other.Url = "theirs";
    if (i % 400 < 40 && i % 7 != 0) other.Wachtwoord = "block";  // a long changed run
    if (!oursDeletes) ours.push_back(mine);
    if (!theirsDeletes) theirs.push_back(other);
    if (theirsAdds) theirs.push_back({"T" + std::to_string(i), "", "", "new"});
    if (i % 19 == 4) ours.push_back({"O" + std::to_string(i), "", "", "new"});
    // A deleted entry stays deleted unless the other side changed it.
    Entry kept = e;
    kept.Wachtwoord = mine.Wachtwoord != e.Wachtwoord ? mine.Wachtwoord : other.Wachtwoord;
    kept.Url = other.Url;
    bool gone = oursDeletes && theirsDeletes;
    if (oursDeletes != theirsDeletes) {
      kept = oursDeletes ? other : mine;
      gone = kept == e;
    }
    // Where ours replaced an entry that theirs changed, ours' comes first.
    const bool oursFirst = oursDeletes && !gone;
    if (i % 19 == 4 && oursFirst) expected.push_back({"O" + std::to_string(i), "", "", "new"});
    if (!gone) expected.push_back(kept);
    if (i % 19 == 4 && !oursFirst) expected.push_back({"O" + std::to_string(i), "", "", "new"});
    if (theirsAdds) expected.push_back({"T" + std::to_string(i), "", "", "new"});
  }
  std::vector<Entry> merged;
  Common::MergeReport report;
  Common::MergeThreeWay(base, ours, theirs, merged, report);
  size_t same = 0;
  while (same < merged.size() && same < expected.size() && merged[same] == expected[same]) ++same;
  EXPECT_EQ(merged.size(), expected.size());
  if (same < merged.size() || same < expected.size()) {
    const size_t from = same < 3 ? 0 : same - 3;
    auto near = [&](const std::vector<Entry>& list) {
      const size_t to = std::min(list.size(), same + 4);
      return Show(std::vector<Entry>(list.begin() + from, list.begin() + std::max(from, to)));
    };
    ADD_FAILURE() << "first difference at " << same << ": " << near(merged) << " instead of "
                  << near(expected);
  }
  EXPECT_TRUE(report.twins.empty());
}

}  // namespace
