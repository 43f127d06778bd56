// The companion, run inside this process on every way a command can end, leaves no secret
// behind: master passwords, the passwords of the vaults and of the CSV file, and the vault
// keys are long unique markers, and after each command every readable region of the
// process is searched for them. Like the programs, this runs on the wiping free, so what
// the search finds was never released: a buffer, a mapping or a key without its owner.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "cli/companion.h"
#include "tests/support/memory_scan.h"
#include "tests/support/test_files.h"
#include "tests/support/test_vaults.h"
#include "vault/vault.h"

namespace {

constexpr size_t kMarkerLength = 40;
constexpr size_t kShortMarkerLength = 15;  // lives inside a std::string itself

using MemoryScan::FindMarkers;
using MemoryScan::Marker;

enum Typed { kMaster, kOther, kWrong };

struct Row {
  const char* what;
  bool ownVault;                       // the directory holds a vault already
  std::vector<std::string> arguments;  // "CSV", "BAD", "OTHER" and "OUT" stand for the files
  std::vector<Typed> typed;            // the lines on standard input
  int status;
};

class CompanionMemory : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef LOCKWELL_SANITIZED
    GTEST_SKIP() << "the sanitizers' free keeps freed blocks unwiped in quarantine";
#endif
    ASSERT_TRUE(Vault::LoadSodium());
    Vault::SetNewKeyCostsForTests(TestVaults::kSmallOpsLimit, TestVaults::kSmallMemLimit);
  }

  // A fresh text of random letters, its masked tail kept as a marker; the caller wipes it.
  std::string NewMarker(const std::string& what, size_t length = kMarkerLength) {
    std::string text;
    MemoryScan::FillRandomLetters(draw, text, length);
    AddMarker(what, text);
    return text;
  }
  void AddMarker(const std::string& what, std::string_view secret) {
    markers.push_back(MemoryScan::MarkerOf(what, secret));
  }

  // A vault of two entries whose passwords are markers, one short and one long.
  void WriteMarkerVault(const std::string& path, const std::string& password,
                        const std::string& name) {
    std::vector<Vault::Entry> entries = {
        {name + " short", "", "", NewMarker(name + " short password", kShortMarkerLength)},
        {name + " long", "", "", NewMarker(name + " long password")}};
    ASSERT_EQ(TestVaults::WriteSmallVault(path, password, entries), Vault::Ok);
    Vault::WipeEntries(entries);
  }

  // Rows with marker passwords: one plain, one short, one with doubled quotes (copied
  // into the reader's own buffer); bad ends in a row with neither description nor address.
  // wide writes it as UTF-16, which is read through a UTF-8 copy.
  void WriteCsv(const std::string& path, bool bad, bool wide = false) {
    std::string plain = NewMarker("CSV password"), shortOne = NewMarker("short CSV password", 15),
                quoted = NewMarker("quoted CSV password");
    std::string text = "title,password\nplain," + plain + "\nshort," + shortOne +
                       "\nquoted,\"\"\"" + quoted + "\"\"\"\n";
    if (bad) text += ",refused\n";
    if (wide) {
      std::string utf16 = "\xFF\xFE";
      for (char c : text) utf16 += {c, '\0'};  // the text is ASCII
      TestFiles::WriteFile(path, utf16);
      Vault::WipeText(utf16);
    } else {
      TestFiles::WriteFile(path, text);
    }
    for (std::string* s : {&plain, &shortOne, &quoted, &text}) Vault::WipeText(*s);
  }

  // The key a vault file's password gives, as a marker.
  void AddKeyMarker(const std::string& path, const std::string& password, const char* what) {
    if (!TestFiles::Exists(path)) return;
    Vault::KeyState keys{};
    std::vector<Vault::Entry> list;
    ASSERT_EQ(Vault::ReadVaultFile(path, password, keys, list), Vault::Ok) << what;
    AddMarker(what, {reinterpret_cast<const char*>(keys.key), Vault::kKeySize});
    Vault::WipeAndFree(keys.key, Vault::kKeySize);
    Vault::WipeEntries(list);
  }

  // Runs the companion with standard input holding the typed lines, standard
  // output and error set aside; the exit status.
  int Run(const std::vector<std::string>& arguments, std::string& input) {
    int in[2];
    EXPECT_EQ(pipe(in), 0);
    EXPECT_EQ(write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(in[1]);
    Vault::WipeText(input);
    const int savedIn = dup(STDIN_FILENO), savedOut = dup(STDOUT_FILENO),
              savedErr = dup(STDERR_FILENO), null = open("/dev/null", O_WRONLY);
    dup2(in[0], STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>("lockwell-cli-en")};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int status = Cli::RunCompanion(static_cast<int>(argv.size() - 1), argv.data());
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
      dup2(fd == STDIN_FILENO ? savedIn : fd == STDOUT_FILENO ? savedOut : savedErr, fd);
    }
    for (int fd : {in[0], savedIn, savedOut, savedErr, null}) close(fd);
    // The companion makes the process undumpable, which closes /proc/self/mem to the search.
    prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
    return status;
  }

  std::mt19937_64 draw{std::random_device{}()};
  std::vector<Marker> markers;
};

TEST_F(CompanionMemory, EveryWayOutOfEveryCommandLeavesNoSecret) {
  const Row rows[] = {
      {"import into the open vault", true, {"import", "CSV"}, {kMaster}, 0},
      {"import with the wrong master password", true, {"import", "CSV"}, {kWrong}, 4},
      {"import, a dry run", true, {"import", "--dry-run", "CSV"}, {kMaster}, 0},
      {"import of a UTF-16 file", true, {"import", "WIDE"}, {kMaster}, 0},
      {"import refused at a row", true, {"import", "BAD"}, {kMaster}, 65},
      {"import into a new vault", false, {"import", "CSV"}, {kMaster, kMaster}, 0},
      {"import into a new vault, the repeat differs",
       false,
       {"import", "CSV"},
       {kMaster, kWrong},
       65},
      {"import into a new vault, no repeat", false, {"import", "CSV"}, {kMaster}, 65},
      {"export to a file", true, {"export", "OUT"}, {kMaster}, 0},
      {"export refused: the file is there", true, {"export", "CSV"}, {kMaster}, 2},
      {"merge", true, {"merge", "OTHER"}, {kMaster, kOther}, 0},
      {"merge with the other's password wrong", true, {"merge", "OTHER"}, {kMaster, kWrong}, 65},
      {"check", true, {"check"}, {kMaster}, 0},
      {"check another vault", true, {"check", "OTHER"}, {kOther}, 0},
      {"check with the wrong password", true, {"check", "OTHER"}, {kWrong}, 4},
      {"list", true, {"list"}, {kMaster}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    markers.clear();
    TestFiles::TempDir scratch;
    const std::string dir = scratch.path + "vault/", vault = dir + "kluis.lwv";
    const std::string csv = scratch.path + "rows.csv", bad = scratch.path + "bad.csv",
                      wide = scratch.path + "wide.csv", other = scratch.path + "other.lwv",
                      out = scratch.path + "out.csv";
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    std::string master = NewMarker("master password"),
                otherPassword = NewMarker("other's password");
    if (row.ownVault) WriteMarkerVault(vault, master, "own");
    WriteMarkerVault(other, otherPassword, "other");
    WriteCsv(csv, false);
    WriteCsv(bad, true);
    WriteCsv(wide, false, true);
    std::vector<std::string> arguments{"--dir", dir};
    for (const std::string& a : row.arguments) {
      arguments.push_back(a == "CSV"     ? csv
                          : a == "WIDE"  ? wide
                          : a == "BAD"   ? bad
                          : a == "OTHER" ? other
                          : a == "OUT"   ? out
                                         : a);
    }
    std::string input;
    for (Typed t : row.typed) {
      input += (t == kMaster ? master : t == kOther ? otherPassword : "wrong password") + "\n";
    }
    EXPECT_EQ(Run(arguments, input), row.status);
    AddKeyMarker(vault, master, "own key");
    AddKeyMarker(other, otherPassword, "other's key");
    Vault::WipeText(master);
    Vault::WipeText(otherPassword);
    EXPECT_EQ(FindMarkers(markers), std::vector<std::string>{});
  }
}

}  // namespace
