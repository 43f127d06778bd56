#include "common/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/paths.h"
#include "tests/support/test_files.h"

namespace {

using Common::ComposeSettings;
using Common::DefaultSettings;
using Common::ParseSettings;
using Common::Settings;

TEST(SettingsFile, DefaultsAreWrittenAs105Bytes) {
  const std::string text = ComposeSettings(DefaultSettings());
  EXPECT_EQ(text,
            "\xEF\xBB\xBF\nBrowser = \nAltijdBoven = 0\nGenCijfers = 1\nGenKlein = 1\n"
            "GenHoofd = 1\nGenLeestekens = 1\nGenLengte = 20\n");
  EXPECT_EQ(text.size(), 105u);
  Settings odd = DefaultSettings();
  odd.Browser = "/usr/bin/firefox esr";
  odd.GenLengte = -3;
  odd.AltijdBoven = 7;
  const std::string written = ComposeSettings(odd);
  EXPECT_NE(written.find("Browser = /usr/bin/firefox esr\n"), std::string::npos);
  EXPECT_NE(written.find("GenLengte = -3\n"), std::string::npos);
  const Settings back = ParseSettings(written);
  EXPECT_EQ(back.Browser, odd.Browser);
  EXPECT_EQ(back.GenLengte, -3);
  EXPECT_EQ(back.AltijdBoven, 7);
}

// A browser path with a control character is refused when chosen; the composer never
// writes a line break inside a value (such a path is written as the default browser), and
// keeps what a file may bring.
TEST(SettingsFile, BrowserPathsWithControlCharacters) {
  struct Case {
    std::string path;
    bool usable;
    bool written;
  };
  const Case cases[] = {
      {"/usr/bin/firefox esr", true, true},
      {"/opt/caf\xC3\xA9/\xC2\xA0"
       "br\xF0\x9F\x94\x91",
       true, true},  // NBSP, emoji
      {"/usr/bin/firefox\nGenLengte = 4", false, false},
      {"/usr/bin/firefox\rAltijdBoven = 1", false, false},
      {"/usr/bin/fire\tfox", false, true},
      {std::string("/usr/bin/a\0b", 12), false, true},
      {"/usr/bin/a\x7F", false, true},
      {"/usr/bin/a\xC2\x85", false, true},  // U+0085, the C1 next-line
      {"/usr/bin/a\xC2\x9F", false, true},  // the last C1 control
      {"/usr/bin/a\xC2"
       "A",
       true, true},  // a stray lead byte controls nothing
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Common::IsUsableBrowserPath(c.path), c.usable) << c.path;
    Settings s = DefaultSettings();
    s.Browser = c.path;
    s.GenLengte = 30;
    const std::string written = ComposeSettings(s);
    EXPECT_NE(written.find("\nBrowser = " + (c.written ? c.path : "") + "\nAltijdBoven = 0\n"),
              std::string::npos)
        << c.path;
    EXPECT_EQ(ParseSettings(written).GenLengte, 30) << c.path;
  }
}

TEST(SettingsFile, ReadingRules) {
  struct Case {
    std::string file;
    int64_t lengte, hoofd, boven;
    std::string browser;
  };
  const Case cases[] = {
      {"", 20, 1, 0, ""},
      {"GenLengte=12\r\nGenHoofd=0\r\n", 12, 0, 0, ""},  // no BOM, CR LF, no blanks
      {"genlengte = 12\nALTIJDBOVEN = 1\n", 12, 1, 1, ""},
      {"[Lockwell]\nGenLengte = 12\n", 20, 1, 0, ""},  // a group header ends the search
      {"GenLengte = 12\n[x]\nGenHoofd = 0\n", 12, 1, 0, ""},
      {"GenLengte = abc\n", 0, 1, 0, ""},  // not a number: 0, not the default
      {"GenLengte = 25 chars\n", 25, 1, 0, ""},
      {"GenLengte = 500\nGenLengte = 8\n", 500, 1, 0, ""},  // the first counts
      {"GenLengte = -3\nAltijdBoven = +7\n", -3, 1, 7, ""},
      {"  ; GenLengte = 9\n\tGenLengte\t=\t10\n", 10, 1, 0, ""},
      {"no equals sign here\nGenLengte = 11\n", 11, 1, 0, ""},
      {"Browser =  \t/usr/bin/browser --new \t \n", 20, 1, 0, "/usr/bin/browser --new"},
      {"Browser = caf\xE9\n", 20, 1, 0, "caf\xC3\xA9"},  // ISO-8859-1 without a BOM
      {"\xEF\xBB\xBF\nBrowser = caf\xC3\xA9\n", 20, 1, 0, "caf\xC3\xA9"},
      {"GenLengte = 99999999999999999999999\n", INT64_MAX, 1, 0, ""},
  };
  for (const Case& c : cases) {
    const Settings s = ParseSettings(c.file);
    EXPECT_EQ(s.GenLengte, c.lengte) << c.file;
    EXPECT_EQ(s.GenHoofd, c.hoofd) << c.file;
    EXPECT_EQ(s.AltijdBoven, c.boven) << c.file;
    EXPECT_EQ(s.Browser, c.browser) << c.file;
    EXPECT_EQ(s.GenKlein, 1) << c.file;
  }
}

TEST(SettingsFile, SavingReplacesTheFileWholeAndLoadingReadsIt) {
  TestFiles::TempDir dir;
  Common::SetConfigDir(dir.path);
  Common::ResetSettings();
  Common::LoadSettings();  // no file: the defaults stay
  EXPECT_EQ(Common::CurrentSettings().GenLengte, 20);

  TestFiles::WriteFile(Common::SettingsPath(), "; comment\nGenLengte = 31\nOther = 1\n");
  Common::LoadSettings();
  EXPECT_EQ(Common::CurrentSettings().GenLengte, 31);
  Common::SaveSettings();
  const std::string saved = TestFiles::ReadFile(Common::SettingsPath());
  EXPECT_EQ(saved, ComposeSettings(Common::CurrentSettings()));
  EXPECT_EQ(saved.find("comment"), std::string::npos);
  EXPECT_FALSE(TestFiles::Exists(Common::SettingsPath() + ".tmp"));

  // A folder that is gone: nothing is written, nothing is reported.
  Common::SetConfigDir(dir.path + "gone/");
  Common::SaveSettings();
  EXPECT_FALSE(TestFiles::Exists(dir.path + "gone"));
}

// Every change of the record goes through a setter that writes the file at once, and
// changes what it names and nothing else.
TEST(SettingsFile, EachSetterSavesTheRecordAtOnce) {
  struct Case {
    const char* what;
    void (*change)();
    Settings expected;
  };
  Settings onTop = DefaultSettings(), browser = DefaultSettings(), choices = DefaultSettings();
  onTop.AltijdBoven = 1;
  browser.Browser = "/opt/web browser";
  choices.GenLengte = 12;
  choices.GenHoofd = 0;
  choices.GenLeestekens = 0;
  const Case cases[] = {
      {"always on top", [] { Common::SaveAlwaysOnTop(true); }, onTop},
      {"browser", [] { Common::SaveBrowser("/opt/web browser"); }, browser},
      {"generator",
       [] {
         Common::SaveGeneratorChoices(
             {.length = 12, .upper = false, .lower = true, .digits = true, .symbols = false});
       },
       choices},
  };
  for (const Case& c : cases) {
    TestFiles::TempDir dir;
    Common::SetConfigDir(dir.path);
    Common::ResetSettings();
    c.change();
    EXPECT_EQ(ComposeSettings(Common::CurrentSettings()), ComposeSettings(c.expected)) << c.what;
    EXPECT_EQ(TestFiles::ReadFile(Common::SettingsPath()), ComposeSettings(c.expected)) << c.what;
  }
  Common::ResetSettings();
  EXPECT_EQ(ComposeSettings(Common::CurrentSettings()), ComposeSettings(DefaultSettings()));
}

TEST(SettingsFile, AFailedSaveLeavesTheOldFile) {
  TestFiles::TempDir dir;
  Common::SetConfigDir(dir.path);
  TestFiles::WriteFile(Common::SettingsPath(), "GenLengte = 31\n");
  ASSERT_EQ(mkdir((Common::SettingsPath() + ".tmp").c_str(), 0700), 0);
  Common::ResetSettings();
  Common::SaveSettings();
  EXPECT_EQ(TestFiles::ReadFile(Common::SettingsPath()), "GenLengte = 31\n");
}

// Reading never hangs: what is not a regular file reads as a missing one, and a file is
// read no further than 64 KiB.
TEST(SettingsFile, OnlyTheFirst64KiBOfARegularFileAreRead) {
  struct Case {
    const char* what;
    void (*given)(const std::string& path);
    int64_t lengte, hoofd;
  };
  const Case cases[] = {
      {"a FIFO without a writer",
       [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }, 7, 7},
      {"a directory", [](const std::string& path) { ASSERT_EQ(mkdir(path.c_str(), 0700), 0); }, 7,
       7},
      {"an endless device",
       [](const std::string& path) { ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0); }, 7, 7},
      {"a key just after 64 KiB",
       [](const std::string& path) {
         TestFiles::WriteFile(
             path, "GenLengte = 31\n" + std::string(64 * 1024 - 15, '\n') + "GenHoofd = 0\n");
       },
       31, 1},
      {"a key just inside 64 KiB",
       [](const std::string& path) {
         TestFiles::WriteFile(
             path, "GenLengte = 31\n" + std::string(64 * 1024 - 29, '\n') + "GenHoofd = 0\n");
       },
       31, 0},
  };
  for (const Case& c : cases) {
    TestFiles::TempDir before, dir;
    Common::SetConfigDir(before.path);  // the record holds 7s, read from a file elsewhere
    TestFiles::WriteFile(Common::SettingsPath(), "GenLengte = 7\nGenHoofd = 7\n");
    Common::LoadSettings();
    Common::SetConfigDir(dir.path);
    c.given(Common::SettingsPath());
    Common::LoadSettings();
    EXPECT_EQ(Common::CurrentSettings().GenLengte, c.lengte) << c.what;
    EXPECT_EQ(Common::CurrentSettings().GenHoofd, c.hoofd) << c.what;
  }
}

}  // namespace

namespace {

// The breach list's key is written only while one is chosen, after the others, so that the
// file of everyone else stays as it was.
TEST(SettingsFile, BreachListKeyOnlyWhileChosen) {
  Settings s = DefaultSettings();
  s.GelekteWachtwoorden = "/data/breaches.txt";
  const std::string written = ComposeSettings(s);
  EXPECT_EQ(written,
            ComposeSettings(DefaultSettings()) + "GelekteWachtwoorden = /data/breaches.txt\n");
  EXPECT_EQ(ParseSettings(written).GelekteWachtwoorden, s.GelekteWachtwoorden);
  s.GelekteWachtwoorden = "/data/a\nGenLengte = 4";
  EXPECT_EQ(ComposeSettings(s), ComposeSettings(DefaultSettings()));
}

}  // namespace
