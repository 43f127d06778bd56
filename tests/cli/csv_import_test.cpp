// From CSV text to the entries an import adds: header names, separators, --columns, the
// entry editor's rules for each row, and the refusals.
#include "cli/csv_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/csv_reader.h"
#include "cli/new_entries.h"
#include "common/entry_merge.h"

namespace {

using Cli::ImportFailure;

Cli::ImportReport Import(const std::string& text, const std::string& columns = "",
                         bool noHeader = false, char separator = 0) {
  Cli::ImportOptions options;
  options.noHeader = noHeader;
  options.separator = separator;
  if (!columns.empty()) {
    EXPECT_TRUE(Cli::ParseColumns(columns, options.columns)) << columns;
  }
  Cli::ImportReport report;
  Cli::ReadImport(text, options, report);
  return report;
}

// "d=1 u=- n=3 p=2": where each field comes from, 1-based; then the columns left out.
std::string Placed(const Cli::ImportReport& r) {
  std::string out;
  const char* keys[] = {"d", "u", "n", "p"};
  for (int f = 0; f < Cli::kFieldCount; ++f) {
    out += std::string(f ? " " : "") + keys[f] + "=" +
           (r.column[f] == Cli::kNoColumn ? "-" : std::to_string(r.column[f] + 1));
  }
  for (int c : r.unused) out += " !" + std::to_string(c + 1);
  return out;
}

TEST(CsvImport, HeaderSpellings) {
  const struct {
    int field;
    std::vector<const char*> names;
  } cases[] = {
      {Cli::Description, {"description", "Title", "NAME", "Account", "Omschrijving"}},
      {Cli::Url, {"url", "login_uri", "Website", "Web Site", "hostname", "Webadres"}},
      {Cli::Username,
       {"username", "login_username", "User", "login", "Login Name", "gebruiker",
        "Gebruikersnaam"}},
      {Cli::Password, {"Password", "login_password", "WACHTWOORD", "  password\t"}},
      {-1, {"web-site", "pass", "notes", "login  name", "", "passwords"}},  // near misses
  };
  for (const auto& c : cases) {
    for (const char* name : c.names) EXPECT_EQ(Cli::FieldOfHeaderName(name), c.field) << name;
  }
}

TEST(CsvImport, SeparatorsAndHeaders) {
  const struct {
    std::string text;
    char separator;
    std::string placed;
  } cases[] = {
      {"description,url,username,password\n", ',', "d=1 u=2 n=3 p=4"},
      {"Omschrijving;Gebruikersnaam;Wachtwoord;Webadres\n", ';', "d=1 u=4 n=2 p=3"},
      {"title\turl\tusername\tpassword\tnotes\n", '\t', "d=1 u=2 n=3 p=4 !5"},
      {"\"Account\",\"Login Name\",\"Password\",\"Web Site\",\"Comments\"\r\n", ',',
       "d=1 u=4 n=2 p=3 !5"},
      {"name;pass,word;url\n", ';', "d=1 u=3 n=- p=- !2"},  // comma finds no name at all
      {"\"a,b\";title;password\n", ';', "d=2 u=- n=- p=3 !1"},
      {"\n\n hostname ; login ; wachtwoord \n", ';', "d=- u=1 n=2 p=3"},
      {"title,name,password,login_uri,website\n", ',', "d=1 u=4 n=- p=3 !2 !5"},
      {"x;y;z\n", ';', "d=- u=- n=- p=- !1 !2 !3"},  // nothing known: the most columns
      {"x,y;z\n", ',', "d=- u=- n=- p=- !1 !2"},     // a tie goes to the comma
  };
  for (const auto& c : cases) {
    const Cli::ImportReport r = Import(c.text);
    EXPECT_EQ(r.separator, c.separator) << c.text;
    EXPECT_EQ(Placed(r), c.placed) << c.text;
  }
  // The first of two columns for one field is used, and the summary can say so.
  const Cli::ImportReport two = Import("title,name,password,login_uri,website\n");
  ASSERT_EQ(two.seconds.size(), 2u);
  EXPECT_EQ(two.seconds[0].field, Cli::Description);
  EXPECT_EQ(two.seconds[0].used, 0);
  EXPECT_EQ(two.seconds[0].ignored, 1);
  EXPECT_EQ(two.seconds[1].field, Cli::Url);
  // --separator overrides the detection.
  EXPECT_EQ(Placed(Import("title;password\n", "", false, ',')), "d=- u=- n=- p=- !1");
}

TEST(CsvImport, ColumnsOption) {
  const struct {
    std::string text;
    std::string columns;
    bool noHeader;
    std::string placed;  // or the failure and its culprit
  } cases[] = {
      {"Account,Login Name,Secret,Web Site\n", "password=Secret", false, "d=1 u=4 n=2 p=3"},
      {"Account,Login Name,Secret,Web Site\n", "password=3", false, "d=1 u=4 n=2 p=3"},
      {"Account,Login Name,Secret,Web Site\n", " PASSWORD = secret ", false, "d=1 u=4 n=2 p=3"},
      {"a;b;c;d\n", "description=1,url=2,username=3,password=4", false, "d=1 u=2 n=3 p=4"},
      {"title,url,user,password\n", "description=url", false, "d=2 u=- n=3 p=4 !1"},
      {"x,y\n1,2\n", "description=2,password=1", true, "d=2 u=- n=- p=1"},
      {"a,b\n", "password=Secret", false, "no-such:Secret"},
      {"a,b\n", "description=1,password=9", false, "no-such:9"},
      {"a,b\n", "description=a,password=2", true, "numbers"},
      {"a,b\n", "", true, "numbers"},
      {"a,b\n", "username=1", true, "incomplete"},
      {"a,b,c\n1,2\n", "description=1,password=3", true, "short@2"},  // shorter than the first
  };
  for (const auto& c : cases) {
    const Cli::ImportReport r = Import(c.text, c.columns, c.noHeader);
    const std::string got = r.failure == ImportFailure::NoSuchColumn        ? "no-such:" + r.culprit
                            : r.failure == ImportFailure::NumbersNeeded     ? "numbers"
                            : r.failure == ImportFailure::ColumnsIncomplete ? "incomplete"
                            : r.failure == ImportFailure::ShortRow
                                ? "short@" + std::to_string(r.row)
                                : Placed(r);
    EXPECT_EQ(got, c.placed) << c.text << " / " << c.columns;
  }
  // With --no-header the first line is a row.
  EXPECT_EQ(Import("Bank,pw1\nMail,pw2\n", "description=1,password=2", true).rows.list.size(), 2u);
}

TEST(CsvImport, ColumnsSyntax) {
  for (const char* valid :
       {"description=1", "password=Secret,url=2", "url=Web Site,password=3", "password=1,"}) {
    Cli::ColumnRequest request;
    EXPECT_TRUE(Cli::ParseColumns(valid, request)) << valid;
  }
  for (const char* invalid :
       {"", "foo=1", "password", "password=", "password=1,password=2", "password=0"}) {
    Cli::ColumnRequest request;
    EXPECT_FALSE(Cli::ParseColumns(invalid, request)) << invalid;
  }
}

TEST(CsvImport, Refusals) {
  const std::string longText(Cli::kMaxFieldUnits + 1, 'a');
  const struct {
    std::string text;
    ImportFailure failure;
    size_t row;
    Cli::Field field;
  } cases[] = {
      {"title,password\nok,pw\n,pw\n", ImportFailure::NoDescription, 3, Cli::Description},
      {"title,password\n\"a\nb\",pw\n", ImportFailure::LineBreak, 2, Cli::Description},
      {"title,user,password\nok,x,\"p\rw\"\n", ImportFailure::LineBreak, 2, Cli::Password},
      {"title,password\nok,\xFF\n", ImportFailure::InvalidUtf8, 2, Cli::Password},
      {"title,password\n\xC0\xAF,pw\n", ImportFailure::InvalidUtf8, 2, Cli::Description},
      {"title,url,password\nok,\xED\xA0\x80,pw\n", ImportFailure::InvalidUtf8, 2, Cli::Url},
      {"title,user,password\nok,\xF0\x9F\x94,pw\n", ImportFailure::InvalidUtf8, 2, Cli::Username},
      {std::string("title,password\nok,p\0w\n", 22), ImportFailure::ZeroByte, 2, Cli::Password},
      {"title,password\nok," + longText + "\n", ImportFailure::TooLong, 2, Cli::Password},
      {"title,password\n\n\"x,pw\n", ImportFailure::UnclosedQuote, 3, Cli::Description},
      {"title,password\n\"x\"!,pw\n", ImportFailure::TextAfterQuote, 2, Cli::Description},
      {"", ImportFailure::NoRows, 0, Cli::Description},
      {"\n,,\n", ImportFailure::NoRows, 2, Cli::Description},
      {"title,url,user\nok,x,y\n", ImportFailure::HeaderNotRecognised, 0, Cli::Description},
      {"notes,password\n", ImportFailure::HeaderNotRecognised, 0, Cli::Description},
      {"title,url,username,password\nok,,,pw\nShort,,\n", ImportFailure::ShortRow, 3,
       Cli::Description},  // never filled with empties
      {"title,password\nok,pw\n" + std::string(Cli::kMaxCsvFields, ','),
       ImportFailure::TooManyFields, 3, Cli::Description},
  };
  for (const auto& c : cases) {
    const Cli::ImportReport r = Import(c.text);
    EXPECT_EQ(r.failure, c.failure) << c.text;
    EXPECT_EQ(r.row, c.row) << c.text;
    if (c.row > 0) {
      EXPECT_EQ(r.field, c.field) << c.text;
    }
    EXPECT_TRUE(r.rows.list.empty()) << c.text << ": nothing is kept";
  }
  const std::string longest(Cli::kMaxFieldUnits, 'a');
  EXPECT_EQ(Import("title,password\nok," + longest + "\n").failure, ImportFailure::None);
}

TEST(CsvImport, RowsObeyTheEditorsRules) {
  const Cli::ImportReport r = Import(
      "title,url,username,password,notes\r\n"
      " Bank ,  https://b.example  , ann , pw ,\r\n"  // description and address trimmed
      ",,,,only a note\r\n"                           // empty in all four: skipped, counted
      ",https://user@Mail.Example.org:8443/x?y,bob,pw2,\r\n"
      "Short,,,,\r\n"  // the empty fields written out
      ",,,,\r\n"       // separators only: an empty row
      "\r\n");         // a blank line is no row
  ASSERT_EQ(r.failure, ImportFailure::None);
  EXPECT_EQ(r.emptyRows, 2u);
  const std::vector<Vault::Entry> expected = {
      {"Bank", "https://b.example", " ann ", " pw "},
      {"Mail.Example.org", "https://user@Mail.Example.org:8443/x?y", "bob", "pw2"},  // host name
      {"Short", "", "", ""}};
  EXPECT_EQ(r.rows.list, expected);
}

TEST(CsvImport, HostNames) {
  const struct {
    const char* url;
    const char* host;
  } cases[] = {
      {"https://www.example.com/login", "www.example.com"},
      {"https://user:pw@www.example.com:8080/x", "www.example.com"},
      {"example.com/login?x=1", "example.com"},
      {"http://[::1]:8080/", "[::1]"},
      {"android://key@com.example.app/", "com.example.app"},
      {"ftp://files.example.net#top", "files.example.net"},
      {"https:///path", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Cli::HostOf(c.url), c.host) << c.url;
}

TEST(NewEntries, NotYetPresentInOrder) {
  const Vault::Entry a{"A", "u", "n", "p"}, b{"B", "u", "n", "p"}, c{"A", "u", "n", "P"};
  const struct {
    std::vector<Vault::Entry> present;
    std::vector<Vault::Entry> candidates;
    std::vector<size_t> missing;
  } cases[] = {
      {{}, {a, b, c}, {0, 1, 2}},
      {{a}, {a, b, c}, {1, 2}},          // equal in all four fields: present
      {{}, {b, a, b, a, c}, {0, 1, 4}},  // an earlier row counts too
      {{a, b, c}, {c, b, a}, {}},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(Common::MissingEntries(t.present, t.candidates), t.missing);
    std::vector<Vault::Entry> kept = t.candidates;
    Cli::KeepEntries(kept, t.missing);
    std::vector<Vault::Entry> expected;
    for (size_t i : t.missing) expected.push_back(t.candidates[i]);
    EXPECT_EQ(kept, expected);
  }
}

}  // namespace
