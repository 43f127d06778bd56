// The one UTF-8 reader: which sequences are text, where a C1 control starts, and how many
// UTF-16 code units a text takes.
#include "common/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_view_literals;

TEST(Utf8, SequencesAtTheStartOfAText) {
  const struct {
    std::string_view text;
    size_t length;  // of the sequence at 0; 0 when none starts there
    bool valid;     // the whole text
    const char* why;
  } cases[] = {
      {"a"sv, 1, true, "ASCII"},
      {"\0"sv, 1, true, "a zero byte is ASCII"},
      {"\x7F"sv, 1, true, "DEL"},
      {"\xC2\x80"sv, 2, true, "lowest two-byte, a C1 control"},
      {"\xDF\xBF"sv, 2, true, "highest two-byte"},
      {"\xC0\x80"sv, 0, false, "overlong NUL"},
      {"\xC1\xBF"sv, 0, false, "overlong two-byte"},
      {"\xE0\xA0\x80"sv, 3, true, "lowest three-byte"},
      {"\xE0\x9F\xBF"sv, 0, false, "overlong three-byte"},
      {"\xED\x9F\xBF"sv, 3, true, "just below the surrogates"},
      {"\xED\xA0\x80"sv, 0, false, "high surrogate"},
      {"\xED\xBF\xBF"sv, 0, false, "low surrogate"},
      {"\xEE\x80\x80"sv, 3, true, "just above the surrogates"},
      {"\xEF\xBF\xBD"sv, 3, true, "U+FFFD"},
      {"\xF0\x90\x80\x80"sv, 4, true, "lowest four-byte"},
      {"\xF0\x8F\xBF\xBF"sv, 0, false, "overlong four-byte"},
      {"\xF4\x8F\xBF\xBF"sv, 4, true, "U+10FFFF"},
      {"\xF4\x90\x80\x80"sv, 0, false, "beyond U+10FFFF"},
      {"\xF5\x80\x80\x80"sv, 0, false, "lead byte beyond U+10FFFF"},
      {"\xFF"sv, 0, false, "never in UTF-8"},
      {"\x80"sv, 0, false, "stray continuation"},
      {"\xC3"sv, 0, false, "two-byte cut short"},
      {"\xE2\x82"sv, 0, false, "three-byte cut short"},
      {"\xF0\x9F\x98"sv, 0, false, "four-byte cut short"},
      {"\xC3\x41"sv, 0, false, "continuation missing"},
      {"\xE2\x82\x41"sv, 0, false, "last continuation missing"},
      {"\xC3\xA9t\xC3"sv, 2, false, "valid start, cut short at the end"},
      {"caf\xC3\xA9 \xF0\x9F\x98\x80"sv, 1, true, "mixed"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Common::SequenceLength(c.text, 0), c.length) << c.why;
    EXPECT_EQ(Common::IsValidUtf8(c.text), c.valid) << c.why;
  }
  EXPECT_TRUE(Common::IsValidUtf8(""));
  EXPECT_TRUE(Common::IsValidUtf8(Common::kReplacementCharacter));
}

TEST(Utf8, SequencesInsideATextAreReadFromTheirOwnStart) {
  const std::string_view text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xC3"sv;
  const size_t expected[] = {1, 2, 0, 3, 0, 0, 4, 0, 0, 0, 0};
  for (size_t i = 0; i < text.size(); ++i) {
    EXPECT_EQ(Common::SequenceLength(text, i), expected[i]) << "at " << i;
  }
}

TEST(Utf8, C1ControlsAreU0080ToU009FOnly) {
  const struct {
    std::string_view text;
    size_t at;
    bool control;
  } cases[] = {
      {"\xC2\x80"sv, 0, true},      {"\xC2\x9F"sv, 0, true},  {"x\xC2\x85y"sv, 1, true},
      {"\xC2\xA0"sv, 0, false},     {"\xC2\x41"sv, 0, false}, {"\xC2"sv, 0, false},
      {"\x1B"sv, 0, false},         {"\xC3\x80"sv, 0, false}, {"x\xC2\x85"sv, 0, false},
      {"\xE2\x80\x8B"sv, 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Common::IsC1Control(c.text, c.at), c.control)
        << testing::PrintToString(std::string(c.text)) << " at " << c.at;
  }
}

TEST(Utf8, Utf16LengthsCountTwoBeyondTheBasicPlane) {
  const struct {
    std::string_view text;
    size_t units;
  } cases[] = {
      {""sv, 0},
      {"abc"sv, 3},
      {"caf\xC3\xA9"sv, 4},
      {"\xE2\x82\xAC"sv, 1},
      {"\xF0\x9F\x98\x80"sv, 2},
      {"a\xF0\x9F\x98\x80"
       "b\xF4\x8F\xBF\xBF"sv,
       6},
      {"\xEF\xBF\xBD\xEF\xBF\xBD"sv, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Common::Utf16Length(c.text), c.units) << testing::PrintToString(std::string(c.text));
  }
  for (size_t length = 1; length <= 4; ++length) {
    EXPECT_EQ(Common::Utf16Units(length), length == 4 ? 2u : 1u) << length;
  }
}

}  // namespace
