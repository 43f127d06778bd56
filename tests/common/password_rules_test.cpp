// The rules of a typed master password, without a dialog.
#include "common/password_rules.h"

#include <gtest/gtest.h>

namespace {

using Common::CheckMasterPassword;
using Common::PasswordProblem;

TEST(PasswordRules, Table) {
  const std::string fourKeys = "\xF0\x9F\x94\x91\xF0\x9F\x94\x91\xF0\x9F\x94\x91\xF0\x9F\x94\x91";
  struct Case {
    std::string typed, repeat;
    bool confirm;
    PasswordProblem expected;
    const char* why;
  };
  const Case cases[] = {
      {"", "", false, PasswordProblem::Empty, "a login needs something typed"},
      {"x", "", false, PasswordProblem::None, "a login takes any length and no repeat"},
      {"", "", true, PasswordProblem::Empty, "emptiness is named before length"},
      {"seven77", "seven77", true, PasswordProblem::TooShort, "7 units"},
      {"exactly8", "exactly8", true, PasswordProblem::None, "8 units"},
      {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "", true,
       PasswordProblem::TooShort, "7 accented letters: 14 bytes but 7 units"},
      {fourKeys, fourKeys, true, PasswordProblem::None, "4 emoji are 8 units"},
      {"long enough", "long enough ", true, PasswordProblem::Differs, "a trailing space counts"},
      {"long enough", "", true, PasswordProblem::Differs, "the repeat left empty"},
      {"Long enough", "long enough", true, PasswordProblem::Differs, "case counts"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckMasterPassword(c.typed, c.repeat, c.confirm), c.expected) << c.why;
  }
}

}  // namespace
