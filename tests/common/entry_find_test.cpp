// The find rule: case and accents do not count, every word must occur in the description,
// user name or web address, and the password is never searched.
#include "common/entry_find.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
  Vault::Entry entry;  // description, web address, user name, password
  std::string typed;
  bool matches;
  bool startsDescription;  // the description starts with the typed text
};

std::vector<int> Find(const std::vector<Vault::Entry>& list, const std::string& typed) {
  Common::FoldedEntries folded;
  Common::BuildFoldedEntries(list, folded);
  std::vector<int> found = Common::MatchingEntries(folded, Common::MakeSearchQuery(typed));
  Common::WipeFoldedEntries(folded);
  return found;
}

TEST(EntryFind, MatchesByTheRule) {
  const Vault::Entry work{"Work - GitHub", "https://github.com/login", "ann.smith", "hunter2"};
  const std::string big(1 << 20, 'x');
  const Case cases[] = {
      // where a word may occur, and where not
      {work, "git", true, false},
      {work, "smith", true, false},
      {work, "login", true, false},
      {work, "work - git", true, true},
      {work, "hunter", false, false},  // the password
      {work, "mlogin", false, false},  // a word never runs on from one field into the next
      // words: each somewhere, in any order
      {work, "hub smith", true, false},
      {work, "  github   ann ", true, false},
      {work, "github bob", false, false},
      // case, accents and compatibility forms
      {{"École", "", "", ""}, "ecole", true, true},
      {{"München", "", "", ""}, "MUNCHEN", true, true},
      {{"Mu\u0308nchen", "", "", ""}, "münchen", true, true},  // decomposed as typed
      {{"Straße", "", "", ""}, "STRASSE", true, true},
      {{"ＧＩＴＨＵＢ", "", "", ""}, "github", true, true},
      {{"ΟΔΥΣΣΕΑΣ", "", "", ""}, "οδυσσεας", true, true},
      {{"Bank\u00A0of Holland", "", "", ""}, "bank of", true, true},
      // hostile texts: no words, nothing that is UTF-8, a very long one
      {work, "", false, false},
      {work, "   ", false, false},
      {work, "\t\x01\x1b", false, false},
      {work, "git\xFF", false, false},
      {{"a\xFF", "", "", ""}, "\xFF", false, false},
      {work, std::string(10000, 'g'), false, false},
      // a lone surrogate shows as U+FFFD and is found as one
      {{"ab\xED\xA0\x80"
        "cd",
        "", "", ""},
       "cd",
       true,
       false},
      {{"ab\xED\xA0\x80"
        "cd",
        "", "", ""},
       "b\uFFFDc",
       true,
       false},
      {{big + "needle", "", "", ""}, "needle", true, false},
  };
  for (const Case& c : cases) {
    const std::string shown = c.typed.substr(0, 40);
    EXPECT_EQ(Find({c.entry}, c.typed).size() == 1, c.matches) << '"' << shown << '"';
    Common::FoldedEntries folded;
    Common::BuildFoldedEntries({c.entry}, folded);
    const Common::SearchQuery query = Common::MakeSearchQuery(c.typed);
    EXPECT_EQ(
        Common::FirstDescriptionStart(folded, query, Common::MatchingEntries(folded, query)) == 0,
        c.startsDescription)
        << '"' << shown << '"';
    EXPECT_EQ(folded.text.find(c.entry.Wachtwoord.empty() ? "\x02" : c.entry.Wachtwoord),
              std::string::npos);
    Common::WipeFoldedEntries(folded);
  }
}

// Typing on narrows the earlier matches; it must find what a fresh search finds.
TEST(EntryFind, NarrowingFindsWhatAFreshSearchFinds) {
  const std::vector<Vault::Entry> list = {{"Work - GitHub", "github.com", "ann", ""},
                                          {"Work - Mail", "mail.example", "ann.git", ""},
                                          {"Bank", "bank.example", "bob", ""},
                                          {"Gitea", "git.example", "carl", ""}};
  Common::FoldedEntries folded;
  Common::BuildFoldedEntries(list, folded);
  for (const std::string typed : {"git ann", "a b", "mail ex"}) {
    Common::SearchQuery earlier = Common::MakeSearchQuery("");
    std::vector<int> matches;
    for (size_t n = 1; n <= typed.size(); ++n) {
      const Common::SearchQuery query = Common::MakeSearchQuery(typed.substr(0, n));
      matches = Common::NarrowMatches(folded, query, earlier, matches);
      EXPECT_EQ(matches, Common::MatchingEntries(folded, query)) << typed.substr(0, n);
      earlier = query;
    }
  }
  EXPECT_EQ(Find(list, "git ann"), (std::vector<int>{0, 1}));
  Common::WipeFoldedEntries(folded);
}

}  // namespace
