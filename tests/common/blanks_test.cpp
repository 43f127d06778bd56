// The one trim: which characters count as blanks is the caller's choice, and nothing inside
// the text is touched.
#include "common/blanks.h"

#include <gtest/gtest.h>

namespace {

using Common::Blanks;

TEST(TrimBlanks, TrimsOnlyTheChosenBlanksAtTheEnds) {
  const struct {
    const char* text;
    Blanks blanks;
    const char* trimmed;
  } cases[] = {
      {"  a b  ", Blanks::Spaces, "a b"},
      {"\t a \t", Blanks::Spaces, "\t a \t"},
      {" \ta\t ", Blanks::SpacesAndTabs, "a"},
      {"\t \t", Blanks::SpacesAndTabs, ""},
      {"   ", Blanks::Spaces, ""},
      {"", Blanks::Spaces, ""},
      {"\na\n", Blanks::SpacesAndTabs, "\na\n"},
      {" \xC2\xA0x\xC2\xA0 ", Blanks::SpacesAndTabs, "\xC2\xA0x\xC2\xA0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Common::TrimBlanks(c.text, c.blanks), c.trimmed) << '"' << c.text << '"';
  }
}

}  // namespace
