// The health report against breach lists good and hostile: a usable list gives password1's
// count; any other says which file and what is wrong with it, and the rest of the report is
// made all the same.
#include "common/health_report.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "tests/support/breach_files.h"
#include "tests/support/test_files.h"

namespace {

using BreachFiles::kPassword1Hash;

const std::string kPassword1Line = std::string(kPassword1Hash) + ":12345";
const std::vector<Vault::Entry> kEntries = {{"Bank", "", "bob", "password1"},
                                            {"Mail", "", "ann", "Zq8#pL2!vN6@rT4$wX1"}};
// A line in the range file of Mail's password (its hash starts with 7FB40), not its own.
const std::string kMailRangeLine = "7FB40" + std::string(35, '0') + ":7";

// Called after the first entry: what happens to the list while it is read.
std::function<void()> gAfterFirst;

bool AfterEach(size_t done, size_t, void*) {
  if (done == 1 && gAfterFirst) gAfterFirst();
  return true;
}

struct Case {
  const char* what;
  std::function<std::string(const std::string& dir)> make;  // gives the list's path
  std::string file;    // where the problem is, below dir ("" for the path itself)
  std::string reason;  // "" for a usable list; else what the message says
};

std::string Made(const std::string& path, const std::string& bytes) {
  TestFiles::WriteFile(path, bytes);
  return path;
}

std::string Sorted(const std::string& path, uint64_t count, BreachFiles::Style style = {}) {
  BreachFiles::WriteBreachFile(path, count, {kPassword1Line}, style);
  return path;
}

std::string Folder(const std::string& path, const std::vector<std::string>& lines) {
  mkdir(path.c_str(), 0700);
  BreachFiles::WriteRangeFolder(path + "/", 300, lines);
  return path;
}

const std::string kHundredMegabytes(100 << 20, 'A');

const Case kCases[] = {
    {"sorted, LF", [](auto d) { return Sorted(d + "l", 50000); }, "", ""},
    {"CR LF, lower-case hex",
     [](auto d) {
       return Sorted(d + "l", 50000, {true, "\r\n"});
     },
     "", ""},
    {"folder of range files",
     [](auto d) {
       return Folder(d + "f", {kPassword1Line, kMailRangeLine});
     },
     "", ""},
    {"not sorted (two lines)",
     [](auto d) {
       return Made(d + "l",
                   std::string(40, '1') + ":1\n" + std::string(40, '0') + ":1\n" + kPassword1Line);
     },
     "l", "The lines are not sorted by hash (seen at byte 43)."},
    {"in descending order",
     [](auto d) {
       std::string text;
       for (int i = 899; i >= 0; --i)
         text += std::string(37, 'A') + std::to_string(100 + i) + ":1\n";
       return Made(d + "l", text);
     },
     "l", "not sorted"},
    {"range-file lines in one file",
     [](auto d) { return Made(d + "l", kPassword1Line.substr(5) + "\n"); }, "l",
     "The line at byte 0 is not a hash and a count."},
    {"empty", [](auto d) { return Made(d + "l", ""); }, "l", "The file is empty."},
    {"FIFO",
     [](auto d) {
       mkfifo((d + "l").c_str(), 0600);
       return d + "l";
     },
     "l", "It is a FIFO or a device, not a file."},
    {"/dev/zero", [](auto) { return std::string("/dev/zero"); }, "/dev/zero",
     "It is a FIFO or a device, not a file."},
    {"folder without range files",
     [](auto d) {
       mkdir((d + "f").c_str(), 0700);
       return d + "f";
     },
     "f", "The folder holds no range files (00000.txt to FFFFF.txt)."},
    {"folder without password1's range file", [](auto d) { return Folder(d + "f", {}); },
     "f/E38AD.txt", "This range file of the folder is missing."},
    {"a 100 MB line",
     [](auto d) {
       return Made(d + "l", std::string(40, '0') + ":1\n" + kHundredMegabytes + "\n" +
                                std::string(40, 'F') + ":1\n");
     },
     "l", "is too long for a hash and a count."},
    {"cut short while read",
     [](auto d) {
       const std::string path = Sorted(d + "l", 50000);
       gAfterFirst = [path] { (void)!truncate(path.c_str(), 1000); };
       return path;
     },
     "l", "The file changed while it was being read."},
    {"no such file", [](auto d) { return d + "none"; }, "none", "There is no such file or folder."},
};

TEST(HealthReport, BreachListsGoodAndHostile) {
  for (const Case& c : kCases) {
    TestFiles::TempDir dir;
    gAfterFirst = nullptr;
    const std::string path = c.make(dir.path);
    Common::HealthReport report;
    ASSERT_TRUE(Common::MakeHealthReport(kEntries, path, report, AfterEach)) << c.what;
    ASSERT_EQ(report.findings.size(), 1u) << c.what << ": the rest of the report is made";
    EXPECT_TRUE(report.findings[0].weak) << c.what;
    if (c.reason.empty()) {
      EXPECT_EQ(report.leakCheck, Common::LeakCheck::Made) << c.what << report.leakProblem;
      EXPECT_EQ(report.findings[0].leaked, 12345u) << c.what;
      continue;
    }
    const std::string file = c.file.starts_with("/") ? c.file : dir.path + c.file;
    EXPECT_EQ(report.leakCheck, Common::LeakCheck::Unusable) << c.what;
    EXPECT_EQ(report.findings[0].leaked, 0u) << c.what;
    EXPECT_TRUE(report.leakProblem.starts_with(file + ": "))
        << c.what << ": " << report.leakProblem;
    EXPECT_NE(report.leakProblem.find(c.reason), std::string::npos)
        << c.what << ": " << report.leakProblem;
  }
}

}  // namespace

namespace {

// A password equal to its user name or description in another case is found as such.
TEST(HealthReport, CaseFoldedComparison) {
  struct Case {
    std::string a, b;
    bool equal;
  };
  const Case cases[] = {
      {"Carol", "cAROL", true},
      {"\xC3\x89mile", "\xC3\xA9MILE", true},  // É, é
      {"ISTANBUL", "istanbul", true},          // the same under every locale
      {"stra\xC3\x9F"
       "e",
       "strasse", false},          // ß folds to itself, not to ss
      {"ab\xFF", "AB\xFF", true},  // a byte that is no UTF-8 stands for itself
      {"ab\xFF", "ab\xFE", false},
      {"abc", "ab", false},
  };
  for (const Case& c : cases) EXPECT_EQ(Common::EqualFolded(c.a, c.b), c.equal) << c.a;
}

}  // namespace
