// Built once per edition; LOCKWELL_DUTCH selects which texts are expected.
#include "texts/texts.h"

#include <gtest/gtest.h>

#include <cctype>

#include "tests/support/test_files.h"
#include "texts/fill.h"
#include "vault/vault.h"

namespace {

#ifdef LOCKWELL_DUTCH
constexpr bool kDutch = true;
#else
constexpr bool kDutch = false;
#endif

const char* Pick(const char* english, const char* dutch) { return kDutch ? dutch : english; }

TEST(EditionTexts, ErrorTexts) {
  const std::pair<int, std::string> cases[] = {
      {0, "OK"},
      {1, Pick("libsodium was not found or could not be loaded.",
               "libsodium is niet gevonden of kon niet worden geladen.")},
      {2, Pick("The file could not be read or written.",
               "Het bestand kon niet worden gelezen of geschreven.")},
      {3, Pick("This is not a valid vault file.", "Dit is geen geldig kluisbestand.")},
      {4, Pick("Wrong password, or the file is damaged.",
               "Onjuist wachtwoord, of het bestand is beschadigd.")},
      {5, Pick("The password must not be empty.", "Het wachtwoord mag niet leeg zijn.")},
      {6, Pick("Not enough memory.", "Onvoldoende geheugen.")},
      {7, Pick("No vault is open.", "Er is geen kluis geopend.")},
      {8, Pick("Unknown error (8)", "Onbekende fout (8)")},
      {-1, Pick("Unknown error (-1)", "Onbekende fout (-1)")},
      {-2147483647 - 1, Pick("Unknown error (-2147483648)", "Onbekende fout (-2147483648)")},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(Vault::ErrorText(code), text) << code;
}

TEST(EditionTexts, StartAndSaveMessages) {
  EXPECT_STREQ(Texts::kText.sodiumMissing,
               Pick("libsodium was not found.\nInstall the package libsodium23 or libsodium26.",
                    "libsodium is niet gevonden.\nInstalleer het pakket libsodium23 of "
                    "libsodium26."));
  EXPECT_STREQ(Texts::kText.savingFailed, Pick("Saving failed: ", "Opslaan mislukt: "));
  EXPECT_STREQ(Texts::kText.language, Pick("en", "nl"));
}

TEST(Fill, PutsEachValueInTheNextPlace) {
  struct Case {
    const char* text;
    std::initializer_list<std::string_view> values;
    const char* filled;
  };
  const Case cases[] = {
      {"Row {}: {} holds a zero byte.",
       {"3", "the password"},
       "Row 3: the password holds a zero byte."},
      {"{}{}", {"x"}, "x{}"},                  // places left over stay
      {"{}", {"a", "b"}, "a"},                 // values left over are dropped
      {"{} and {}", {"{}", "b"}, "{} and b"},  // a value is never filled itself
  };
  for (const Case& c : cases) EXPECT_EQ(Texts::Fill(c.text, c.values), c.filled) << c.text;
}

// The texts that name the fields one by one, the bash completion and the README name every
// row of the field table, in its order: a field added to the table and forgotten in one of
// them fails here.
TEST(EditionTexts, FieldTextsFollowTheFieldTable) {
  const Texts::Table& t = Texts::kText;
  std::string columns = "--columns ", listed, words;
  for (size_t f = 0; f < Vault::kEntryFieldCount; ++f) {
    const std::string keyword(Vault::kEntryFields[f].keyword);
    columns += (f == 0 ? "" : ",") + keyword + Pick("=COL", "=KOL");
    listed += (f == 0 ? "" : ", ") + keyword;
    words += (f == 0 ? "" : " ") + keyword + "=";
    ASSERT_NE(t.cliFieldsInSentence[f], nullptr) << keyword;
    EXPECT_STRNE(t.cliFieldsInSentence[f], "") << keyword;
  }
  EXPECT_NE(std::string(t.cliUsage).find(columns), std::string::npos) << columns;
  EXPECT_NE(std::string(t.cliBadColumns).find(listed + ";"), std::string::npos) << listed;
  const std::string completion =
      TestFiles::ReadFile(LOCKWELL_SOURCE_DIR "packaging/lockwell-cli.bash-completion");
  EXPECT_NE(completion.find("compgen -W \"" + words + "\""), std::string::npos) << words;
  // The README's example: "--columns " then keyword=number for every row, by commas.
  const std::string readme = TestFiles::ReadFile(LOCKWELL_SOURCE_DIR "README.md");
  auto exampleAt = [&](size_t at) {
    for (size_t f = 0; f < Vault::kEntryFieldCount; ++f) {
      const std::string field =
          (f == 0 ? "" : ",") + std::string(Vault::kEntryFields[f].keyword) + "=";
      if (readme.compare(at, field.size(), field) != 0) return false;
      at += field.size();
      if (at >= readme.size() || !std::isdigit(static_cast<unsigned char>(readme[at])))
        return false;
      while (at < readme.size() && std::isdigit(static_cast<unsigned char>(readme[at]))) ++at;
    }
    return true;
  };
  bool found = false;
  for (size_t at = readme.find("--columns "); !found && at != std::string::npos;
       at = readme.find("--columns ", at + 1)) {
    found = exampleAt(at + std::string("--columns ").size());
  }
  EXPECT_TRUE(found) << "the README's --columns example";
}

}  // namespace
