// The companion's import, run as a script would run it: other managers' exports and a user's
// own spreadsheet, the summary it prints, and the refusals that leave the vault as it was.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "tests/cli/companion_story.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/vault.h"

namespace {

using namespace CompanionStory;

// The rows of another manager's export: quoted commas, doubled quotes and a line break in a
// column that is not imported; a dry run first, then the import, then the same file again.
TEST_F(Companion, ImportIntoAnExistingVaultThenAgain) {
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "vault password", {{"Old", "", "", "x"}}),
            Vault::Ok);
  const std::string csv = scratch.path + "export.csv";
  WriteFile(csv,
            "\xEF\xBB\xBFname,url,username,password,notes,totp\r\n"
            "\"Bank, main\",https://bank.example.com,ann,\"p\"\"w,1\",\"first line\r\nsecond, "
            "line\",\r\n"
            ",https://mail.example.org/inbox,bob,secret2,,JBSWY3DP\r\n"
            "Old,,,x,,\r\n"
            ",,,,just a note,\r\n"
            "\r\n");
  const std::string before = ReadFile(vault);
  Outcome r = En({"import", "--dry-run", csv}, "vault password\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Would add:\n  Bank, main\n  mail.example.org\nWould import: 2\nAlready present: 1\n"
            "Empty rows skipped: 1\nEntries after the import: 3\n"
            "Columns not imported: notes, totp\nDry run: nothing was saved.\n");
  EXPECT_EQ(ReadFile(vault), before);

  r = En({"import", csv}, "vault password\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Imported: 2\nAlready present: 1\nEmpty rows skipped: 1\nEntries now: 3\n"
            "Columns not imported: notes, totp\n");
  const std::vector<Vault::Entry> expected = {
      {"Old", "", "", "x"},
      {"Bank, main", "https://bank.example.com", "ann", "p\"w,1"},
      {"mail.example.org", "https://mail.example.org/inbox", "bob", "secret2"}};
  EXPECT_EQ(EntriesOf(vault, "vault password"), expected);

  const std::string saved = ReadFile(vault);
  r = En({"import", csv}, "vault password\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Imported: 0\nAlready present: 3\n"), std::string::npos) << r.out;
  EXPECT_EQ(ReadFile(vault), saved) << "nothing new: the file is not written";
}

// A Dutch user's own spreadsheet: semicolons and Dutch column names, in both editions.
TEST_F(Companion, DutchSemicolonFileInBothEditions) {
  const std::string csv = scratch.path + "lijst.csv";
  WriteFile(csv,
            "Omschrijving;Gebruikersnaam;Wachtwoord;Webadres;Opmerking\n"
            "Bank;jan;\"geheim;1\";https://bank.example.nl;\n"
            "Mail;jan@example.nl;geheim2;;\"a; b\"\n");
  const std::vector<Vault::Entry> expected = {
      {"Bank", "https://bank.example.nl", "jan", "geheim;1"},
      {"Mail", "", "jan@example.nl", "geheim2"}};
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "wachtwoord", {}), Vault::Ok);
  Outcome r = Nl({"import", csv}, "wachtwoord\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Geïmporteerd: 2\nAl aanwezig: 0\nLege rijen overgeslagen: 0\nAantal items nu: 2\n"
            "Niet geïmporteerde kolommen: Opmerking\n");
  EXPECT_EQ(EntriesOf(vault, "wachtwoord"), expected);

  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "wachtwoord", {}), Vault::Ok);
  r = En({"import", csv}, "wachtwoord\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(EntriesOf(vault, "wachtwoord"), expected);
}

// Every refusal writes nothing: the vault keeps its bytes, no kept copy appears.
TEST_F(Companion, RefusalsLeaveTheVaultAsItWas) {
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "vault password", {{"A", "", "", "a"}}), Vault::Ok);
  const std::string before = ReadFile(vault);
  const std::string csv = scratch.path + "in.csv";
  const struct {
    std::string file;
    std::vector<std::string> options;
    std::string input;
    int status;
    std::string err;
    std::vector<std::string> environment = {};
  } cases[] = {
      {"Titel;Adres;Geheim;Notitie\nBank;https://b.example;pw;x\n",
       {},
       "vault password\n",
       65,
       "The header was not recognised: no column for description, url, username, password.\n"
       "No column name is known, so the first line may be data: the names are shortened. If "
       "the file has no header, use --no-header.\n"
       "Columns found:\n  1  Tit\xE2\x80\xA6\n  2  Adr\xE2\x80\xA6\n  3  Geh\xE2\x80\xA6\n"
       "  4  Not\xE2\x80\xA6\n"
       "Name the columns yourself; adapt this option and add it to the command:\n"
       "  --columns description=COL,url=COL,username=COL,password=COL\nNothing was imported.\n"},
      {"Account;Login Name;Secret;Notes\n",
       {},
       "",
       65,
       "The header was not recognised: no column for url, password.\nColumns found:\n"
       "  1  Account\n  2  Login Name\n  3  Secret\n  4  Notes\n"
       "Name the columns yourself; adapt this option and add it to the command:\n"
       "  --columns description=1,url=COL,username=2,password=COL\nNothing was imported.\n"},
      {"title,password\nok,pw\n\"two\nlines\",pw\n",
       {},
       "vault password\n",
       65,
       "Row 3: the description holds a line break.\nNothing was imported.\n"},
      {"title,password\nok,pw\n",
       {"--no-header"},
       "",
       64,
       "--no-header needs --columns with column numbers.\n"
       "Try 'lockwell-cli-en --help'.\n"},
      {"title,password\nok,pw\n",
       {"--columns", "password=Secret"},
       "",
       64,
       "--columns: the file has no column Secret.\nTry 'lockwell-cli-en --help'.\n"},
      {"title,password\nok,pw\n",
       {"--separator", "|"},
       "",
       64,
       "The separator must be ',', ';' or tab.\nTry 'lockwell-cli-en --help'.\n"},
      {"title,password\nnew,pw\n",
       {},
       "wrong password\n",
       4,
       dir + "kluis.lwv: Wrong password, or the file is damaged.\n"},
      {"title,password\nnew,pw\n", {}, "", 65, "No password was given.\n"},
      {"Bank,ann,pw,https://b.example\n",
       {"--no-header", "--columns", "description=1,password=5"},
       "",
       64,
       "--columns: the file has no column 5.\nTry 'lockwell-cli-en --help'.\n"},
      {"title,password\nnew,pw\n",
       {},
       "vault password\n",
       2,
       csv + ": the file changed while it was being read.\n",
       {"LD_PRELOAD=" LOCKWELL_INPUT_TRUNCATION, "LOCKWELL_TRUNCATE_AFTER_FSTAT=" + csv}},
  };
  for (const auto& c : cases) {
    WriteFile(csv, c.file);
    std::vector<std::string> arguments{"import"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(csv);
    arguments.insert(arguments.begin(), {"--dir", dir});
    const Outcome r = RunProgram(LOCKWELL_CLI_EN, arguments, c.input, scratch.path, c.environment);
    EXPECT_EQ(r.status, c.status) << c.file;
    EXPECT_EQ(r.err, c.err) << c.file;
    EXPECT_EQ(r.out, "") << c.file;
    EXPECT_EQ(ReadFile(vault), before) << c.file;
  }
  EXPECT_EQ(TestFiles::ReadFile(dir + "kluis.lwv.tmp"), "");
  WriteFile(dir + "broken.lwv", "not a vault at all, not even close to eighty bytes long");
  const Outcome r = En({"check", dir + "broken.lwv"}, "x\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, dir + "broken.lwv: This is not a valid vault file.\n");
}

// The text in an encoding that iconv knows, after its byte-order mark; UTF-8 as it is.
std::string Encoded(const std::string& utf8, const char* encoding) {
  if (std::string_view(encoding) == "UTF-8") return utf8;
  const iconv_t convert = iconv_open(encoding, "UTF-8");
  std::string in = "\xEF\xBB\xBF" + utf8, out(4 * in.size(), '\0');
  char *from = in.data(), *to = out.data();
  size_t left = in.size(), room = out.size();
  EXPECT_NE(iconv(convert, &from, &left, &to, &room), static_cast<size_t>(-1)) << encoding;
  iconv_close(convert);
  out.resize(out.size() - room);
  return out;
}

// Other managers' exports, each made here in the layout of its program's header: the rows
// that are no logins are left out and counted, a second web address is dropped and counted,
// rows twice in the file are told from entries already present, and UTF-16 reads as text.
// A dry run counts the same. A file of only a header makes no vault.
TEST_F(Companion, OtherManagersExportsImportTheirLoginsOnly) {
  const struct {
    const char* what;
    const char* encoding;  // with a byte-order mark, as Windows tools write it
    const char* program;
    std::string file;
    std::string out;
    std::vector<Vault::Entry> added;
  } cases[] = {
      {"KeePassXC, its recycle bin by either name",
       "UTF-16LE",
       LOCKWELL_CLI_EN,
       "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\","
       "\"Last Modified\",\"Created\"\n"
       "\"Root\",\"Caf\xC3\xA9 "
       "\xF0\x9F\x94\x91\",\"ann\",\"pw1\",\"https://cafe.example\",\"\",\"\","
       "\"0\",\"2024-05-01T10:00:00Z\",\"2024-05-01T10:00:00Z\"\n"
       "\"Root/Recycle Bin\",\"Old mail\",\"ann\",\"pw0\",\"\",\"\",\"\",\"0\",\"\",\"\"\n"
       "\"Root/Prullenbak/Winkels\",\"Old shop\",\"ann\",\"pw2\",\"\",\"\",\"\",\"0\",\"\",\"\"\n",
       "Imported: 1\nAlready present: 0\nEmpty rows skipped: 0\nLeft out: 2 in the recycle bin\n"
       "Entries now: 2\nColumns not imported: Group, Notes, TOTP, Icon, Last Modified, Created\n",
       {{"Caf\xC3\xA9 \xF0\x9F\x94\x91", "https://cafe.example", "ann", "pw1"}}},
      {"Bitwarden: notes, cards, identities, two addresses, a row twice",
       "UTF-8",
       LOCKWELL_CLI_NL,
       "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,"
       "login_totp\n"
       ",1,login,Mail,,,0,\"https://mail.example/in,https://webmail.example\",ann,pw1,\n"
       ",,login,Bank,,,0,\"https://bank.example/?a=1,2\",ann,pw2,\n"
       ",,login,Bank,,,0,\"https://bank.example/?a=1,2\",ann,pw2,\n"
       ",,login,Old,,,0,,,x,\n"
       "Home,,note,Alarm,1234,,0,,,,\n"
       ",,card,Visa,,,0,,,,\n"
       ",,identity,Me,,,0,,,,\n"
       ",,identity,Work,,,0,,,,\n"
       ",,,,,,,,,,\n",
       "Ge\xC3\xAFmporteerd: 2\nAl aanwezig: 1\nDubbele rijen in het bestand: 1\n"
       "Lege rijen overgeslagen: 1\n"
       "Weggelaten: 1 beveiligde notitie, 1 kaart, 2 identiteiten\n"
       "Rijen met meer dan \xC3\xA9\xC3\xA9n webadres (het eerste is bewaard): 1\n"
       "Aantal items nu: 3\nNiet ge\xC3\xAFmporteerde kolommen: folder, favorite, type, notes, "
       "fields, reprompt, login_totp\n",
       {{"Mail", "https://mail.example/in", "ann", "pw1"},
        {"Bank", "https://bank.example/?a=1,2", "ann", "pw2"}}},
      {"LastPass, its secure notes",
       "UTF-16BE",
       LOCKWELL_CLI_EN,
       "url,username,password,totp,extra,name,grouping,fav\r\n"
       "https://shop.example,ann,pw1,,,Shop,Shopping,0\r\n"
       "http://sn,,,,NoteType:Server,Router,,0\r\n"
       "http://sn,,,,alarm code 1234,Alarm,,0\r\n",
       "Imported: 1\nAlready present: 0\nEmpty rows skipped: 0\nLeft out: 2 secure notes\n"
       "Entries now: 2\nColumns not imported: totp, extra, grouping, fav\n",
       {{"Shop", "https://shop.example", "ann", "pw1"}}},
      {"1Password, its archive",
       "UTF-8",
       LOCKWELL_CLI_NL,
       "Title,Url,Username,Password,OTPAuth,Favorite,Archived,Tags,Notes\n"
       "Bank,https://bank.example,ann,pw1,,false,false,,\n"
       "Old bank,https://old.example,ann,pw0,,false,true,,\n",
       "Ge\xC3\xAFmporteerd: 1\nAl aanwezig: 0\nLege rijen overgeslagen: 0\n"
       "Weggelaten: 1 gearchiveerd\nAantal items nu: 2\n"
       "Niet ge\xC3\xAFmporteerde kolommen: OTPAuth, Favorite, Archived, Tags, Notes\n",
       {{"Bank", "https://bank.example", "ann", "pw1"}}},
  };
  const std::string csv = scratch.path + "export.csv";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(TestVaults::WriteSmallVault(vault, "pw", {{"Old", "", "", "x"}}), Vault::Ok);
    WriteFile(csv, Encoded(c.file, c.encoding));
    const Outcome dry = Run(c.program, {"import", "--dry-run", csv}, "pw\n");
    const Outcome r = Run(c.program, {"import", csv}, "pw\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
    std::vector<Vault::Entry> expected = {{"Old", "", "", "x"}};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(EntriesOf(vault, "pw"), expected);
    // Every count but the first and the last is the same line in the dry run.
    const size_t first = r.out.find('\n') + 1,
                 last = std::min(r.out.find("Entries now"), r.out.find("Aantal items nu"));
    for (size_t at = first; at < last; at = r.out.find('\n', at) + 1) {
      const std::string line = r.out.substr(at, r.out.find('\n', at) + 1 - at);
      EXPECT_NE(dry.out.find(line), std::string::npos) << line << dry.out;
    }
  }

  WriteFile(csv, "name,url,username,password\r\n");
  const std::string fresh = scratch.path + "fresh/";
  const Outcome r = RunProgram(LOCKWELL_CLI_EN, {"--dir", fresh, "import", csv}, "", scratch.path);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Imported: 0\nAlready present: 0\nEmpty rows skipped: 0\n"
            "Nothing to import, so no vault was made.\n");
  EXPECT_FALSE(TestFiles::Exists(fresh)) << "no folder is left behind";
}

}  // namespace
