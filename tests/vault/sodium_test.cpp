// Runs sodium_probe in a child process against fake libraries, one folder per scenario,
// and reads what the loader did.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

namespace {

std::map<std::string, std::string> Probe(const std::string& folder) {
  const std::string command =
      "LD_LIBRARY_PATH='" + std::string(LOCKWELL_FAKES_DIR) + folder + "' '" + LOCKWELL_PROBE + "'";
  FILE* pipe = popen(command.c_str(), "r");
  std::map<std::string, std::string> values;
  if (pipe == nullptr) return values;
  char line[256];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
      const size_t eq = word.find('=');
      if (eq != std::string::npos) values[word.substr(0, eq)] = word.substr(eq + 1);
    }
  }
  EXPECT_EQ(pclose(pipe), 0);
  return values;
}

// Nothing loaded and no handle kept; closed again, so its symbols are gone from the process.
void ExpectRefused(std::map<std::string, std::string>& result) {
  EXPECT_EQ(result["loaded"], "0");
  EXPECT_EQ(result["handle"], "0");
  EXPECT_EQ(result["id"], "none");
}

TEST(SodiumLoader, TakesTheFirstNameThatOpens) {
  auto only23 = Probe("only23");
  EXPECT_EQ(only23["loaded"], "1");
  EXPECT_EQ(only23["id"], "only23");
  auto both = Probe("both");
  EXPECT_EQ(both["loaded"], "1");
  EXPECT_EQ(both["id"], "both26");
}

TEST(SodiumLoader, ALibraryMissingOneFunctionIsRefusedAndClosed) {
  auto result = Probe("no_uniform");
  ExpectRefused(result);
  EXPECT_EQ(result["init_calls"], "-1");  // sodium_init never ran
}

TEST(SodiumLoader, InitialisationResults) {
  auto already = Probe("init_one");  // 1: already initialised, still a success
  EXPECT_EQ(already["loaded"], "1");
  EXPECT_EQ(already["init_calls"], "1");
  auto fails = Probe("init_fails");
  ExpectRefused(fails);
}

TEST(SodiumLoader, LoadsOnceAndGuardsRandomUniform) {
  auto result = Probe("only23");
  EXPECT_EQ(result["uniform_before_load"], "0");
  EXPECT_EQ(result["second"], "1");
  EXPECT_EQ(result["init_calls_after_second"], "1");
  EXPECT_EQ(result["uniform_0"], "0");
  EXPECT_EQ(result["uniform_-5"], "0");
  EXPECT_EQ(result["uniform_calls"], "0");  // bounds <= 0 never reach the library
  EXPECT_EQ(result["uniform_10"], "9");     // the fake answers bound - 1
  EXPECT_EQ(result["uniform_calls_after"], "1");
}

TEST(SodiumLoader, StoreOperationsWithoutTheLibraryFailWithNoSodium) {
  auto result = Probe("no_uniform");
  EXPECT_EQ(result["open"], "1");
  EXPECT_EQ(result["create"], "1");
  EXPECT_EQ(result["check"], "1");
  EXPECT_EQ(result["change"], "7");
}

}  // namespace
