// The password generator, without a display. Run against the recording stand-in for
// libsodium, which counts the random draws.
#include "common/password_generator.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Common::GeneratePassword;

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kSymbols = "!@#$%^&*()-_=+[]{};:,.?/<>~";

class Generator : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Vault::LoadSodium());
    count_ = static_cast<int*>(dlsym(RTLD_DEFAULT, "lockwell_uniform_count"));
    bounds_ = static_cast<uint32_t*>(dlsym(RTLD_DEFAULT, "lockwell_uniform_bounds"));
    ASSERT_NE(count_, nullptr) << "run with the recording libsodium on LD_LIBRARY_PATH";
    ASSERT_NE(bounds_, nullptr);
  }
  // The bounds of the draws made by one call.
  std::vector<uint32_t> Draws(int length, bool d, bool l, bool u, bool s, std::string* out) {
    *count_ = 0;
    *out = GeneratePassword(length, d, l, u, s);
    return std::vector<uint32_t>(bounds_, bounds_ + *count_);
  }
  int* count_ = nullptr;
  uint32_t* bounds_ = nullptr;
};

size_t CountOf(const std::string& text, std::string_view set) {
  size_t n = 0;
  for (char c : text) n += set.find(c) != std::string_view::npos;
  return n;
}

TEST_F(Generator, KindsLengthsAndDraws) {
  struct Case {
    int length;
    bool digits, lower, upper, symbols;
    size_t expectedLength;
    std::vector<uint32_t> firstDraws;  // one per chosen kind, then the pool
  };
  const Case cases[] = {
      {4, true, true, true, true, 4, {10, 26, 26, 27}},
      {20, true, true, true, true, 20, {10, 26, 26, 27, 89}},
      {128, true, false, false, false, 128, {10, 10}},
      {200, false, true, false, false, 128, {26, 26}},  // above the limit: 128
      {1, false, false, true, false, 4, {26, 26}},      // below: 4
      {12, false, false, false, true, 12, {27, 27}},
      {9, true, false, false, true, 9, {10, 27, 37}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::string password;
    const std::vector<uint32_t> draws =
        Draws(c.length, c.digits, c.lower, c.upper, c.symbols, &password);
    ASSERT_EQ(password.size(), c.expectedLength);
    const bool chosen[] = {c.digits, c.lower, c.upper, c.symbols};
    const std::string_view sets[] = {kDigits, kLower, kUpper, kSymbols};
    size_t fromChosen = 0;
    for (int k = 0; k < 4; ++k) {
      const size_t n = CountOf(password, sets[k]);
      EXPECT_EQ(n > 0, chosen[k]) << sets[k];
      fromChosen += n;
    }
    EXPECT_EQ(fromChosen, password.size());  // nothing outside the chosen sets
    if (c.length == 4 && c.symbols && c.digits) {
      for (std::string_view set : sets) EXPECT_EQ(CountOf(password, set), 1u);
    }

    // 2 * length - 1 draws: the chosen sets, the pool, then the shuffle from the end.
    const size_t n = c.expectedLength;
    ASSERT_EQ(draws.size(), 2 * n - 1);
    const size_t kinds = c.firstDraws.size() - 1;
    for (size_t i = 0; i < n; ++i) {
      EXPECT_EQ(draws[i], i < kinds ? c.firstDraws[i] : c.firstDraws.back()) << i;
    }
    for (size_t i = n - 1; i > 0; --i) EXPECT_EQ(draws[n + (n - 1 - i)], i + 1);
  }
  std::string none;
  EXPECT_TRUE(Draws(20, false, false, false, false, &none).empty());
  EXPECT_EQ(none, "");
}

// Each character of a kind is equally likely, and the shuffle moves the guaranteed
// characters anywhere. With 8000 draws the counts have a standard deviation of about 39
// (positions) and 27 (digits); the bounds are ten standard deviations wide, so a correct
// generator fails them with a probability below 1e-20, while an unshuffled one (the digit
// always first) or a biased one misses them by far.
TEST_F(Generator, CharactersAndPositionsAreEvenlySpread) {
  constexpr int kRuns = 8000;
  int digitAt[4] = {};
  int digitCount[10] = {};
  for (int run = 0; run < kRuns; ++run) {
    const std::string password = GeneratePassword(4, true, true, true, true);
    for (int p = 0; p < 4; ++p) {
      if (kDigits.find(password[p]) != std::string_view::npos) {
        ++digitAt[p];
        ++digitCount[password[p] - '0'];
      }
    }
  }
  for (int count : digitAt) EXPECT_NEAR(count, kRuns / 4, 390);
  for (int count : digitCount) EXPECT_NEAR(count, kRuns / 10, 270);
}

}  // namespace
