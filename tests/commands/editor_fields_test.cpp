#include "commands/editor_fields.h"

#include <gtest/gtest.h>

namespace {

// A field whose box still holds what it was given keeps its stored text, untrimmed; a
// changed field takes the box's text, trimmed only where the editor trims.
TEST(EditorFields, UnchangedFieldsKeepTheirStoredText) {
  const Vault::Entry stored{" mail ", " x.example ", std::string("ann\0bob", 7), "long"};
  const Vault::Entry given{" mail ", " x.example ", "ann", "lo"};
  struct Case {
    Vault::Entry now;
    Vault::Entry expected;
  };
  const Case cases[] = {
      {given, stored},
      {{" post ", " x.example ", "ann", "lo"}, {"post", " x.example ", stored.Gebruiker, "long"}},
      {{" mail ", "", " bob ", "lo "}, {" mail ", "", " bob ", "lo "}},
  };
  for (const Case& c : cases) {
    const Vault::Entry e = Commands::EntryOnOk(stored, given, c.now);
    EXPECT_EQ(e.Omschrijving, c.expected.Omschrijving);
    EXPECT_EQ(e.Url, c.expected.Url);
    EXPECT_EQ(e.Gebruiker, c.expected.Gebruiker);
    EXPECT_EQ(e.Wachtwoord, c.expected.Wachtwoord);
  }
}

}  // namespace
