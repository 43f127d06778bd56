// The built lockwell-cli-en and lockwell-cli-nl, run as a script would run them: master
// passwords on standard input, the outcome read from the exit status, the output and the
// files on disk. Existing vaults are written with small key costs; new ones get the real.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/cli/companion_story.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/vault.h"

namespace {

using namespace CompanionStory;

// Export, then import into a new vault: the identical list, and list never shows a password.
TEST_F(Companion, ExportThenImportIntoANewVaultGivesTheIdenticalList) {
  const std::vector<Vault::Entry> original = {
      {"Bank, main", "https://bank.example.com/login?a=1,2", "ann", "p\"w,1"},
      {"Caf\xC3\xA9 \xF0\x9F\x94\x91", "", " spaced user ", " pass word "},
      {"Mail", "https://mail.example.org", "", "\"quoted\""},
      {"Semi;colon\ttab", "x", "a\\b", ";"},
  };
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "old password", original), Vault::Ok);

  const std::string csv = scratch.path + "out.csv";
  Outcome r = En({"export", csv}, "old password\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Exported 4 entries to " + csv + ".\n");
  EXPECT_NE(r.err.find("holds your passwords unencrypted"), std::string::npos);
  EXPECT_EQ(TestFiles::ModeOf(csv), 0600);
  EXPECT_EQ(ReadFile(csv).substr(0, 35), "description,url,username,password\r\n");
  EXPECT_EQ(En({"export", csv}, "old password\n").status, 2) << "an existing file is kept";
  EXPECT_EQ(En({"export", "--force", csv}, "old password\n").status, 0);
  const Outcome toOutput = En({"export", "-"}, "old password\n");
  EXPECT_EQ(toOutput.out, ReadFile(csv));

  const std::string fresh = scratch.path + "fresh/";
  r = RunProgram(LOCKWELL_CLI_EN, {"--dir", fresh, "import", csv}, "new password\nnew password\n",
                 scratch.path);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(EntriesOf(fresh + "kluis.lwv", "new password"), original);

  r = En({"list"}, "old password\n");
  EXPECT_EQ(r.out,
            "Bank, main\tann\thttps://bank.example.com/login?a=1,2\n"
            "Caf\xC3\xA9 \xF0\x9F\x94\x91\t spaced user \t\n"
            "Mail\t\thttps://mail.example.org\n"
            "Semi;colon tab\ta\\b\tx\n");
  // With words: only the entries holding every one of them, case and accents aside.
  r = En({"list", "EXAMPLE"}, "old password\n");
  EXPECT_EQ(r.out,
            "Bank, main\tann\thttps://bank.example.com/login?a=1,2\n"
            "Mail\t\thttps://mail.example.org\n");
  r = En({"list", "cafe", "spaced"}, "old password\n");
  EXPECT_EQ(r.out, "Caf\xC3\xA9 \xF0\x9F\x94\x91\t spaced user \t\n");
}

// While a Lockwell holds the directory, import and merge refuse in its words and write
// nothing; reading commands go on.
TEST_F(Companion, TheDirectoryLockStopsWritersOnly) {
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "vault password", {{"A", "", "", "a"}}), Vault::Ok);
  const std::string before = ReadFile(vault);
  const std::string csv = scratch.path + "in.csv";
  WriteFile(csv, "title,password\nB,b\n");
  const int held = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
  Outcome r = En({"import", csv}, "vault password\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Lockwell is already running with this vault.\n");
  r = Nl({"merge", vault}, "vault password\nvault password\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "Lockwell draait al met deze kluis.\nSluit het venster en probeer het opnieuw, of laat "
            "het venster de kopie\xC3\xABn samenvoegen.\n");
  EXPECT_EQ(ReadFile(vault), before);
  r = En({"import", "--dry-run", csv}, "vault password\n");
  EXPECT_EQ(r.status, 0) << r.err;
  r = En({"list"}, "vault password\n");
  EXPECT_EQ(r.out, "A\t\t\n");
  close(held);
}

TEST_F(Companion, AtATerminalThePasswordIsNotShown) {
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "terminal password", {{"Mail", "", "ann", "x"}}),
            Vault::Ok);
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execl(LOCKWELL_CLI_EN, LOCKWELL_CLI_EN, "--dir", dir.c_str(), "list", nullptr);
    _exit(127);
  }
  std::string screen;
  char buffer[256];
  bool typed = false;
  for (;;) {
    pollfd ready{terminal, POLLIN, 0};
    if (poll(&ready, 1, kPatienceMs) <= 0) {
      kill(pid, SIGKILL);  // stuck: the story fails below instead of hanging
      break;
    }
    const ssize_t n = read(terminal, buffer, sizeof buffer);
    if (n <= 0) break;  // EIO once the program has ended
    screen.append(buffer, static_cast<size_t>(n));
    if (!typed && screen.find("Master password: ") != std::string::npos) {
      (void)!write(terminal, "terminal password\n", 18);
      typed = true;
    }
  }
  close(terminal);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << screen;
  EXPECT_NE(screen.find("Mail\tann\t"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("terminal password"), std::string::npos) << screen;
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (const dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    closedir(d);
  }
  return names;
}

// An export ended on its way leaves no file of passwords behind: killed or terminated while
// it writes; and where the filesystem has no unnamed files, terminated, interrupted or hung
// up while its named temporary file is written. Undisturbed, both ways write the file.
TEST_F(Companion, AnExportEndedOnItsWayLeavesNothingBehind) {
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "vault password", {{"Mail", "", "ann", "pw"}}),
            Vault::Ok);
  const struct {
    const char* what;
    int signal;  // 0: none
    bool unnamedFiles;
  } cases[] = {
      {"killed", SIGKILL, true},
      {"terminated", SIGTERM, true},
      {"terminated, no unnamed files", SIGTERM, false},
      {"interrupted, no unnamed files", SIGINT, false},
      {"hung up, no unnamed files", SIGHUP, false},
      {"undisturbed", 0, true},
      {"undisturbed, no unnamed files", 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestFiles::TempDir folder;
    std::vector<std::string> environment{"LD_PRELOAD=" LOCKWELL_EXPORT_INTERRUPTION};
    if (c.signal != 0)
      environment.push_back("LOCKWELL_SIGNAL_AT_WRITE=" + std::to_string(c.signal));
    if (!c.unnamedFiles) environment.push_back("LOCKWELL_NO_TMPFILE=1");
    const Outcome r = RunProgram(LOCKWELL_CLI_EN, {"--dir", dir, "export", folder.path + "out.csv"},
                                 "vault password\n", scratch.path, environment);
    if (c.signal != 0) {
      EXPECT_EQ(r.status, -1) << r.err;
      EXPECT_EQ(FilesIn(folder.path), std::set<std::string>{});
    } else {
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(FilesIn(folder.path), std::set<std::string>{"out.csv"});
      EXPECT_EQ(TestFiles::ModeOf(folder.path + "out.csv"), 0600);
      EXPECT_NE(ReadFile(folder.path + "out.csv").find("Mail,,ann,pw\r\n"), std::string::npos);
    }
  }
}

// A new master password the window could never type is refused, and no vault is made: a
// control character (NUL, tab, escape, DEL, a C1 control) or bytes that are not UTF-8.
TEST_F(Companion, ANewMasterPasswordMustBeTypableInTheWindow) {
  const std::string csv = scratch.path + "rows.csv";
  WriteFile(csv, "title,password\nMail,pw\n");
  const std::string refused =
      "This master password holds a control character or bytes that are not UTF-8 text; "
      "Lockwell could never open the vault with it.\n";
  const struct {
    std::string password;
    bool made;
  } cases[] = {
      {std::string("nul\0inside", 10), false},
      {"tab\tinside", false},
      {"escape\x1B[31m", false},
      {"delete\x7Fkey", false},
      {"next line\xC2\x85", false},
      {"latin-1 caf\xE9s", false},
      {"overlong \xC0\xAF slash", false},
      {"cut short \xE2\x82", false},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x94\x91 \xC2\xA0ok", true},
  };
  for (const auto& c : cases) {
    const std::string fresh = scratch.path + "fresh/";
    const Outcome r = RunProgram(LOCKWELL_CLI_EN, {"--dir", fresh, "import", csv},
                                 c.password + "\n" + c.password + "\n", scratch.path);
    EXPECT_EQ(r.status, c.made ? 0 : 65) << r.err;
    EXPECT_EQ(TestFiles::Exists(fresh + "kluis.lwv"), c.made) << r.err;
    if (c.made) {
      EXPECT_EQ(EntriesOf(fresh + "kluis.lwv", c.password).size(), 1u);
    } else {
      EXPECT_NE(r.err.find(refused), std::string::npos) << r.err;
    }
    std::filesystem::remove_all(fresh);
  }
  const Outcome nl = RunProgram(LOCKWELL_CLI_NL, {"--dir", scratch.path + "nl/", "import", csv},
                                "tab\tinside\ntab\tinside\n", scratch.path);
  EXPECT_EQ(nl.status, 65);
  EXPECT_NE(nl.err.find("Dit hoofdwachtwoord bevat een stuurteken of bytes die geen "
                        "UTF-8-tekst zijn; Lockwell kan de kluis er nooit mee openen.\n"),
            std::string::npos)
      << nl.err;
}

TEST_F(Companion, GenerateFollowsOptionsOrTheSettings) {
  WriteFile(dir + "instellingen.ini",
            "\xEF\xBB\xBF\nGenCijfers = 0\nGenKlein = 1\nGenHoofd = 0\nGenLeestekens = 0\n"
            "GenLengte = 6\n");
  const struct {
    std::vector<std::string> options;
    int status;
    size_t length;
    std::string allowed;
  } cases[] = {
      {{}, 0, 6, "abcdefghijklmnopqrstuvwxyz"},
      {{"--length", "12", "--digits"}, 0, 12, "0123456789"},
      {{"--length=4", "--upper", "--symbols"},
       0,
       4,
       "ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^&*()-_=+[]{};:,.?/<>~"},
      {{"--length", "129"}, 64, 0, ""},
      {{"--length", "3"}, 64, 0, ""},
      {{"--length", "x"}, 64, 0, ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments{"generate"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const Outcome r = En(arguments, "");
    EXPECT_EQ(r.status, c.status);
    if (c.status != 0) continue;
    ASSERT_EQ(r.out.size(), c.length + 1) << r.out;
    EXPECT_EQ(r.out.substr(0, c.length).find_first_not_of(c.allowed), std::string::npos) << r.out;
  }
}

// The words of text, split at blanks.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find(' ', at), text.size());
    words.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

// Each failure has its own exit status and says what failed, in the edition's words; a
// refused export asks for no password.
TEST_F(Companion, EachFailureSaysWhatFailedWithItsOwnStatus) {
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "pw", {{"Mail", "", "ann", "x"}}), Vault::Ok);
  const std::string& s = scratch.path;
  WriteFile(s + "there.csv", "kept");
  ASSERT_EQ(symlink((s + "there.csv").c_str(), (s + "link.csv").c_str()), 0);
  ASSERT_EQ(mkfifo((s + "fifo.csv").c_str(), 0600), 0);
  WriteFile(s + "new.csv", "title,password\nNew,pw\n");
  WriteFile(s + "url.csv", "title,url,password\nA,,a\nB,\"https://b\n\",b\n");
  WriteFile(s + "pw.csv", "title,password\nA,\"a\nb\"\n");
  WriteFile(s + "head.csv", "Account;Login Name;Secret\n");
  WriteFile(s + "to_full.sh", "exec \"$@\" > /dev/full\n");
  WriteFile(dir + "instellingen.ini",
            "\xEF\xBB\xBF\nGenCijfers = 0\nGenKlein = 0\nGenHoofd = 0\nGenLeestekens = 0\n");
  const std::string noSodium = "LD_LIBRARY_PATH=" LOCKWELL_FAKES_DIR "no_uniform";
  const std::string failing = "LD_PRELOAD=" LOCKWELL_EXPORT_INTERRUPTION " LOCKWELL_WRITE_ERROR=";
  // Each edition on the story's directory; a second --dir takes its place.
  const std::string en = LOCKWELL_CLI_EN " --dir " + dir + " ";
  const std::string nl = LOCKWELL_CLI_NL " --dir " + dir + " ";
  const std::string sh = "/bin/sh " + s + "to_full.sh ";
  const struct {
    std::string command;      // program and arguments, split at blanks
    std::string environment;  // the same
    std::string input;        // the password only where it is asked for
    int status;
    std::string err;  // found in standard error
  } cases[] = {
      {en + "list", noSodium, "", 69,
       "libsodium was not found.\nInstall the package libsodium23 or libsodium26.\n"},
      {nl + "list", noSodium, "", 69,
       "libsodium is niet gevonden.\nInstalleer het pakket libsodium23 of libsodium26.\n"},
      {en + "--dir= list", "", "", 64,
       "--dir needs the name of a directory; it cannot be empty.\n"},
      {nl + "--dir= list", "", "", 64,
       "--dir vraagt de naam van een map; die mag niet leeg zijn.\n"},
      {sh + en + "export -", "", "pw\n", 2,
       "Standard output could not be written. The disk is full.\n"},
      {sh + nl + "export -", "", "pw\n", 2,
       "De standaarduitvoer kon niet worden geschreven. De schijf is vol.\n"},
      {en + "export " + s + "out.csv", failing + "28", "pw\n", 2,
       "out.csv: The file could not be read or written. The disk is full.\n"},
      {nl + "import " + s + "new.csv", failing + "30", "pw\n", 2,
       "Opslaan mislukt: Het bestand kon niet worden gelezen of geschreven. Het "
       "bestandssysteem is alleen-lezen.\n"},
      {en + "check " + s + "gone.lwv", "", "pw\n", 2,
       "gone.lwv: The file could not be read or written. There is no such file.\n"},
      {nl + "check " + s, "", "pw\n", 2,
       ": Het bestand kon niet worden gelezen of geschreven. Het is een map.\n"},
      {en + "import " + s + "fifo.csv", "", "", 2,
       "fifo.csv: the file could not be read. It is a FIFO or a device, not a file.\n"},
      {en + "export " + s + "there.csv", "", "", 2,
       "there.csv already exists; give --force to replace it.\n"},
      {nl + "export --force " + s + "link.csv", "", "", 2,
       "link.csv is een symbolische koppeling; er is niets geschreven.\n"},
      {en + "export --force " + s, "", "", 2, s + " is not a regular file; nothing was written.\n"},
      {nl + "export " + s + "missing/out.csv", "", "", 2,
       "De map van " + s + "missing/out.csv bestaat niet; er is niets geschreven.\n"},
      {en + "list x", "", "pw\n", 0, "No entries match.\n"},  // only the password holds it
      {nl + "list \xFF", "", "pw\n", 0, "Geen items gevonden.\n"},
      {en + "generate", "", "", 65,
       "The settings switch every kind of character off. Choose at least one with --upper, "
       "--lower, --digits or --symbols, or in the window's generator.\n"},
      {nl + "generate", "", "", 65,
       "De instellingen zetten elke soort tekens uit. Kies er minstens een met --upper, "
       "--lower, --digits of --symbols, of in de generator van het venster.\n"},
      {nl + "import " + s + "url.csv", "", "", 65,
       "Rij 3: het webadres bevat een regelovergang.\n"},
      {nl + "import " + s + "pw.csv", "", "", 65,
       "Rij 2: het wachtwoord bevat een regelovergang.\n"},
      {nl + "import " + s + "head.csv", "", "", 65,
       "  --columns description=1,url=KOL,username=2,password=KOL\n"},
  };
  const std::string before = ReadFile(vault);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    std::vector<std::string> words = Words(c.command);
    const std::string program = words[0];
    words.erase(words.begin());
    const Outcome r = RunProgram(program.c_str(), words, c.input, s, Words(c.environment));
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(vault), before);
  }
  EXPECT_EQ(ReadFile(s + "there.csv"), "kept");
  EXPECT_FALSE(TestFiles::Exists(s + "out.csv"));
}

}  // namespace
