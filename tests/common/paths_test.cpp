// Where the configuration directory is and what lives in it.
#include "common/paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace {

TEST(ConfigDir, FromTheFirstArgumentOrHome) {
  struct Case {
    std::vector<std::string> args;
    const char* home;
    std::string expected;
  };
  const Case cases[] = {
      {{"lockwell", "/tmp/x"}, "/home/ann", "/tmp/x/"},
      {{"lockwell", "/tmp/x/"}, "/home/ann", "/tmp/x/"},
      {{"lockwell", "/tmp/x", "/second"}, "/home/ann", "/tmp/x/"},
      {{"lockwell", ""}, "/home/ann", "/"},
      {{"lockwell", "relative"}, nullptr, "relative/"},
      {{"lockwell"}, "/home/ann", "/home/ann/.Lockwell/"},
      {{"lockwell"}, nullptr, "Lockwell/"},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv;
    for (const std::string& a : c.args) argv.push_back(const_cast<char*>(a.c_str()));
    EXPECT_EQ(Common::ConfigDirFor(static_cast<int>(argv.size()), argv.data(), c.home), c.expected);
  }
  TestFiles::TempDir dir;
  Common::SetConfigDir(dir.path + "new/");
  EXPECT_EQ(Common::VaultFilePath(), dir.path + "new/kluis.lwv");
  EXPECT_EQ(Common::SettingsPath(), dir.path + "new/instellingen.ini");
  Common::EnsureConfigDir();
  EXPECT_EQ(TestFiles::ModeOf(dir.path + "new"), 0700);
  // A file in the way: creating fails silently.
  TestFiles::WriteFile(dir.path + "file", "x");
  Common::SetConfigDir(dir.path + "file/");
  Common::EnsureConfigDir();
  EXPECT_EQ(TestFiles::ReadFile(dir.path + "file"), "x");
}

}  // namespace
