// The built lockwell-cli-en and lockwell-cli-nl, run as a script would run them: master
// passwords on standard input, the outcome read from the exit status, the output and the
// files on disk. Existing vaults are written with small key costs; new ones get the real.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/vault.h"

namespace {

using TestFiles::ReadFile;

constexpr int kPatienceMs = 20000;
using TestFiles::WriteFile;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// Runs a program with input on standard input; HOME points into the scratch folder.
Outcome RunProgram(const char* program, const std::vector<std::string>& arguments,
                   const std::string& input, const std::string& scratch) {
  int in[2];
  if (pipe(in) != 0) return {-1, "", "pipe"};
  const std::string out = scratch + "out.txt", err = scratch + "err.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], STDIN_FILENO);
    close(in[1]);
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    setenv("HOME", scratch.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program, argv.data());
    _exit(127);
  }
  close(in[0]);
  (void)!write(in[1], input.data(), input.size());
  close(in[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

std::vector<Vault::Entry> EntriesOf(const std::string& path, const std::string& password) {
  EXPECT_EQ(Vault::OpenVault(path, password), Vault::Ok) << path;
  std::vector<Vault::Entry> list = Vault::Entries();
  Vault::CloseVault();
  return list;
}

class Companion : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Vault::LoadSodium());
    dir = scratch.path + "vault/";
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    vault = dir + "kluis.lwv";
  }
  // One edition on the vault directory of the story.
  Outcome Run(const char* program, std::vector<std::string> arguments, const std::string& input) {
    arguments.insert(arguments.begin(), {"--dir", dir});
    return RunProgram(program, arguments, input, scratch.path);
  }
  Outcome En(const std::vector<std::string>& arguments, const std::string& input) {
    return Run(LOCKWELL_CLI_EN, arguments, input);
  }
  Outcome Nl(const std::vector<std::string>& arguments, const std::string& input) {
    return Run(LOCKWELL_CLI_NL, arguments, input);
  }
  TestFiles::TempDir scratch;
  std::string dir, vault;
};

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
}

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
  };
  for (const auto& c : cases) {
    WriteFile(csv, c.file);
    std::vector<std::string> arguments{"import"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(csv);
    const Outcome r = En(arguments, c.input);
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

// A kept second vault brought back: what it has that the vault lacks is appended once.
TEST_F(Companion, MergeAppendsWhatIsMissing) {
  const Vault::Entry a{"A", "", "", "a"}, b{"B", "u", "n", "b"}, c{"C", "", "", "c"};
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "mine", {a, b}), Vault::Ok);
  const std::string other = dir + "kluis.lwv.extern-2026-12-08-120000";
  ASSERT_EQ(TestVaults::WriteSmallVault(other, "theirs", {b, c, a}), Vault::Ok);
  const std::string before = ReadFile(vault);
  Outcome r = En({"merge", other}, "mine\nwrong\n");
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(ReadFile(vault), before);
  r = En({"merge", other}, "mine\ntheirs\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Added from " + other + ": 1\n  C\nAlready present: 2\nEntries now: 3\n");
  EXPECT_EQ(EntriesOf(vault, "mine"), (std::vector<Vault::Entry>{a, b, c}));
  r = En({"check"}, "mine\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, vault +
                       ": the vault opens with this password.\nEntries: 3\n"
                       "Key derivation: Argon2id, 1 passes, 8192 bytes of memory\n"
                       "File size: " +
                       std::to_string(ReadFile(vault).size()) + " bytes\n");
}

// Without a file: every copy beside the vault, each with the vault's password or its own;
// both versions of a changed password named; the copies gone once they are in the vault.
TEST_F(Companion, MergeWithoutAFileTakesTheCopiesBesideTheVault) {
  const Vault::Entry a{"A", "", "", "a"}, b{"B", "", "", "b"}, c{"C", "", "", "c"};
  const Vault::Entry mail1{"Mail", "", "ann", "1"}, mail2{"Mail", "", "ann", "2"};
  ASSERT_EQ(TestVaults::WriteSmallVault(vault, "mine", {a, mail1}), Vault::Ok);
  const std::string kept = dir + "kluis.lwv.extern-2026-12-08-120000";
  const std::string conflict = dir + "kluis.sync-conflict-20261209-101500-ABCDEFG.lwv";
  const std::string elsewhere = scratch.path + "elsewhere.lwv";
  const std::string linked = dir + "kluis (conflicted copy 2026-12-09 101500).lwv";
  ASSERT_EQ(TestVaults::WriteSmallVault(kept, "other", {c}), Vault::Ok);
  ASSERT_EQ(TestVaults::WriteSmallVault(conflict, "mine", {a, mail2, b}), Vault::Ok);
  ASSERT_EQ(TestVaults::WriteSmallVault(elsewhere, "mine", {{"Elsewhere", "", "", "e"}}),
            Vault::Ok);
  ASSERT_EQ(symlink(elsewhere.c_str(), linked.c_str()), 0);

  Outcome r = En({"merge"}, "mine\nother\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Added from " + kept + ": 1\n  C\nAlready present: 0\n" + "Added from " +
                       conflict + ": 2\n  B\n" +
                       "Mail (ann): two versions kept; they differ in the password\n" +
                       "Already present: 1\nEntries now: 5\n" + "Removed " + kept +
                       ": all its entries are in the vault.\n" + "Removed " + conflict +
                       ": all its entries are in the vault.\n");
  EXPECT_EQ(EntriesOf(vault, "mine"), (std::vector<Vault::Entry>{a, mail1, mail2, b, c}));
  EXPECT_FALSE(TestFiles::Exists(kept));
  EXPECT_FALSE(TestFiles::Exists(conflict));
  EXPECT_TRUE(TestFiles::Exists(linked)) << "a link is never followed or removed";

  // In Dutch, a second copy whose Mail differs in two fields; named files stay.
  const Vault::Entry mail3{"Mail", "https://mail.example.org", "ann", "3"};
  ASSERT_EQ(TestVaults::WriteSmallVault(conflict, "mine", {mail3}), Vault::Ok);
  r = Nl({"merge", conflict}, "mine\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Toegevoegd uit " + conflict + ": 1\n" +
                       "Mail (ann): twee versies bewaard; ze verschillen in het webadres en het "
                       "wachtwoord\nAl aanwezig: 0\nAantal items nu: 6\n");
  EXPECT_TRUE(TestFiles::Exists(conflict));
  unlink(conflict.c_str());
  unlink(linked.c_str());
  r = Nl({"merge"}, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Er zijn geen kopie\xC3\xABn van de kluis gevonden in " + dir + ".\n");
}

// At a terminal the password is asked for and not echoed.
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

}  // namespace
