// The vault file's size limit as the companion meets it: an import or a merge that would
// pass it is refused with the window's words, before any password for a new vault is asked
// for and without a folder left behind; a dry run tells the same. An import's memory grows
// with the rows it keeps, not with the lines of the file.
#include <string>
#include <vector>

#include "tests/cli/companion_story.h"

namespace {

using namespace CompanionStory;

constexpr size_t kFieldBytes = 65535;  // the longest field the editor holds
// Each byte of U+0001 takes six in the vault's JSON ("\u0001"): 43 rows of four such fields
// pass the 64 MiB limit, 42 stay below it.
constexpr int kRowsOverTheLimit = 43;
constexpr size_t kEmptyLineBytes = 20 << 20;
#ifdef LOCKWELL_SANITIZED
constexpr long kEmptyLinesPeakKb = 500 << 10;  // the sanitizers' shadow and quarantine come on top
#else
constexpr long kEmptyLinesPeakKb = 200 << 10;
#endif

std::string Filler(char tag) {
  std::string text(kFieldBytes, '\x01');
  text[0] = tag;
  return text;
}

std::string CsvOfRows(int rows) {
  std::string csv = "title,url,user,password\n";
  for (int i = 0; i < rows; ++i) {
    const std::string field = Filler(static_cast<char>('A' + i));
    csv += field + "," + field + "," + field + "," + field + "\n";
  }
  return csv;
}

TEST_F(Companion, AnImportOrMergePastTheSizeLimitIsRefusedBeforeAnyPassword) {
  const std::string tooLarge = "The vault would be too large to save.\n";
  const std::string over = scratch.path + "over.csv", under = scratch.path + "under.csv";
  WriteFile(over, CsvOfRows(kRowsOverTheLimit));
  WriteFile(under, CsvOfRows(kRowsOverTheLimit - 1));
  const std::string fresh = scratch.path + "fresh/", lines = scratch.path + "lines.csv";
  WriteFile(lines, "title,password\n" + std::string(kEmptyLineBytes, '\n') + "Mail,pw\n");
  const std::string wide = scratch.path + "wide.csv";
  WriteFile(wide, "title,password\n" + std::string(kEmptyLineBytes, ',') + "\n");
  const struct {
    const char* what;
    std::vector<std::string> arguments;
    std::string input;
    int status;
    std::string err;  // the whole of standard error
    long peakKb = 0;  // the most resident memory allowed; 0: not measured
  } cases[] = {
      {"into a new vault", {"--dir", fresh, "import", over}, "", 65, tooLarge},
      {"a dry run", {"--dir", dir, "import", "--dry-run", over}, "old\n", 65, tooLarge},
      {"into the vault", {"--dir", dir, "import", over}, "old\n", 65, tooLarge},
      {"a dry run just below", {"--dir", dir, "import", "--dry-run", under}, "old\n", 0, ""},
      {"20 MB of empty lines",
       {"--dir", dir, "import", "--dry-run", lines},
       "old\n",
       0,
       "",
       kEmptyLinesPeakKb},
      {"20 MB of separators on one line",
       {"--dir", dir, "import", "--dry-run", wide},
       "old\n",
       65,
       "Row 2: it has more than 1000 fields.\nNothing was imported.\n",
       kEmptyLinesPeakKb},
  };
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "old", {{"Old", "", "", "x"}}), Vault::Ok);
  const std::string before = ReadFile(vault);
  for (const auto& c : cases) {
    const Outcome r = RunProgram(LOCKWELL_CLI_EN, c.arguments, c.input, scratch.path);
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
    EXPECT_EQ(r.err, c.err) << c.what;
    if (c.peakKb > 0) {
      EXPECT_LT(r.peakKb, c.peakKb) << c.what;
    }
    EXPECT_EQ(ReadFile(vault), before) << c.what;
  }
  EXPECT_FALSE(TestFiles::Exists(fresh)) << "no folder is left behind";
  const Outcome below = RunProgram(LOCKWELL_CLI_EN, {"--dir", dir, "import", "--dry-run", under},
                                   "old\n", scratch.path);
  EXPECT_NE(below.out.find("Would import: 42\n"), std::string::npos) << below.out;

  // Two vaults that each fit, together too large; the Dutch edition in its own words.
  std::vector<Vault::Entry> mine, theirs;
  for (int i = 0; i < kRowsOverTheLimit; ++i) {
    const std::string field = Filler(static_cast<char>('A' + i));
    (i % 2 == 0 ? mine : theirs).push_back({field, field, field, field});
  }
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "mine", mine), Vault::Ok);
  const std::string other = scratch.path + "other.lwv", mineBefore = ReadFile(vault);
  ASSERT_EQ(TestVaults::WriteSmallVault(other, "theirs", theirs), Vault::Ok);
  Outcome r = En({"merge", other}, "mine\ntheirs\n");
  EXPECT_EQ(r.status, 65) << r.err;
  EXPECT_EQ(r.err, tooLarge);
  r = Nl({"merge", other}, "mine\ntheirs\n");
  EXPECT_EQ(r.status, 65) << r.err;
  EXPECT_EQ(r.err, "De kluis zou te groot worden om op te slaan.\n");
  EXPECT_EQ(ReadFile(vault), mineBefore);
}

}  // namespace
