// What a row of the entry list shows of a description.
#include "app/entry_model.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using App::RowText;

// A row shows at most the first 1,000 characters of a description, then "…".
TEST(EntryRows, ALongDescriptionIsShortenedInItsRow) {
  const std::string e = "\xC3\xA9";  // é: two bytes, one character
  std::string thousand, thousandE;
  for (int i = 0; i < 1000; ++i) thousand += static_cast<char>('a' + i % 26), thousandE += e;
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {thousand, thousand},
      {thousand + "z", thousand + "\u2026"},
      {thousandE, thousandE},  // 2,000 bytes, but no more characters than a row shows
      {thousandE + e + e, thousandE + "\u2026"},
      {std::string(1 << 20, 'x'), std::string(1000, 'x') + "\u2026"},
      {"lone \xED\xA0\x80", "lone \xEF\xBF\xBD"},  // shown as U+FFFD, as everywhere
  };
  for (const auto& [description, row] : cases) {
    EXPECT_EQ(RowText(description), row) << description.size() << " bytes";
  }
}

}  // namespace
