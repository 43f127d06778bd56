// What names an entry: the table's name column, as the merge and the messages use it.
#include "vault/entries.h"

#include <gtest/gtest.h>

namespace {

using Vault::Entry;

std::string Marked(std::string_view text) { return "<" + std::string(text) + ">"; }

TEST(EntryName, IsTheDescriptionWithTheUserNameInBrackets) {
  struct Case {
    Entry entry;
    const char* name;
  };
  const Case cases[] = {
      {{"Mail", "https://mail.example", "ann", "pw"}, "<Mail> (<ann>)"},
      {{"Mail", "https://mail.example", "", "pw"}, "<Mail>"},
      {{"", "", "ann", ""}, "<> (<ann>)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Vault::EntryName(c.entry, Marked), c.name) << c.name;
}

TEST(SameName, ComparesTheDescriptionAndTheUserNameOnly) {
  const Entry mail{"Mail", "https://mail.example", "ann", "pw"};
  struct Case {
    Entry other;
    bool same;
  };
  const Case cases[] = {
      {{"Mail", "https://other.example", "ann", "new"}, true},
      {{"mail", "https://mail.example", "ann", "pw"}, false},
      {{"Mail", "https://mail.example", "bob", "pw"}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Vault::SameName(mail, c.other), c.same) << c.other.Omschrijving << c.other.Gebruiker;
  }
}

}  // namespace
