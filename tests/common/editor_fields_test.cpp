#include "common/editor_fields.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryFields, OnlySpacesAreTrimmedAndOnlyFromDescriptionAndAddress) {
  struct Case {
    const char* description;
    const char* url;
    const char* user;
    const char* password;
    Vault::Entry stored;
  };
  const Case cases[] = {
      {"  mail  ",
       " https://x.example ",
       "  ann ",
       " pw ",
       {"mail", "https://x.example", "  ann ", " pw "}},
      {"\tmail\t", "\t", "\t", "\t", {"\tmail\t", "\t", "\t", "\t"}},
      {"   ", "  ", "", "", {"", "", "", ""}},
      {"a b", "", "", "", {"a b", "", "", ""}},
      {" \xC3\xA9t\xC3\xA9 ", "", "", "", {"\xC3\xA9t\xC3\xA9", "", "", ""}},
  };
  for (const Case& c : cases) {
    const Vault::Entry e = Common::EntryFromFields({c.description, c.url, c.user, c.password});
    EXPECT_EQ(e.Omschrijving, c.stored.Omschrijving) << c.description;
    EXPECT_EQ(e.Url, c.stored.Url) << c.url;
    EXPECT_EQ(e.Gebruiker, c.stored.Gebruiker) << c.user;
    EXPECT_EQ(e.Wachtwoord, c.stored.Wachtwoord) << c.password;
  }
}

// A box still holding what it was given keeps the stored text, which it may not show whole;
// a changed box gives its text, trimmed only where the field is.
TEST(EntryFields, OkKeepsWhatNoBoxChanged) {
  const Vault::Entry stored = {" d ", " u ", std::string("g\0", 2), "\xED\xA0\x80"};
  const Vault::Entry given = {" d ", " u ", "g", "\xEF\xBF\xBD"};
  struct Case {
    Vault::Entry now;
    Vault::Entry expected;
  };
  const Case cases[] = {
      {given, stored},
      {{" d2 ", " u ", "g", "\xEF\xBF\xBD"}, {"d2", " u ", std::string("g\0", 2), "\xED\xA0\x80"}},
      {{" d ", " u2 ", " g ", " w "}, {" d ", "u2", " g ", " w "}},
      {{"", "", "", ""}, {"", "", "", ""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Common::EntryOnOk(stored, given, c.now), c.expected) << c.now.Omschrijving;
  }
}

}  // namespace
