// What names an entry: the field table's name column, as the merge and its messages use it.
#include "vault/entries.h"

#include <gtest/gtest.h>

namespace {

std::string Marked(std::string_view text) { return "<" + std::string(text) + ">"; }

// Each entry beside Mail of ann: whether it has the same name, and the name it is shown by,
// each part through the display step.
TEST(EntryName, IsTheDescriptionAndTheUserName) {
  const Vault::Entry mail{"Mail", "https://mail.example", "ann", "pw"};
  const struct {
    Vault::Entry entry;
    bool same;
    const char* name;
  } cases[] = {
      {{"Mail", "https://other.example", "ann", "new"}, true, "<Mail> (<ann>)"},
      {{"Mail", "https://mail.example", "", "pw"}, false, "<Mail>"},
      {{"mail", "https://mail.example", "ann", "pw"}, false, "<mail> (<ann>)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Vault::SameName(mail, c.entry), c.same) << c.name;
    EXPECT_EQ(Vault::EntryName(c.entry, Marked), c.name) << c.name;
  }
}

}  // namespace
