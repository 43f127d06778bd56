#include "common/password_rules.h"

#include "common/utf8.h"
#include "texts/texts.h"

namespace Common {

PasswordProblem CheckMasterPassword(std::string_view typed, std::string_view repeat, bool confirm) {
  if (typed.empty()) return PasswordProblem::Empty;
  if (!confirm) return PasswordProblem::None;
  if (Common::Utf16Length(typed) < kMinMasterPasswordLength) return PasswordProblem::TooShort;
  if (typed != repeat) return PasswordProblem::Differs;
  return PasswordProblem::None;
}

const char* PasswordProblemText(PasswordProblem problem) {
  const Texts::Table& t = Texts::kText;
  switch (problem) {
    case PasswordProblem::Empty:
      return t.enterPassword;
    case PasswordProblem::TooShort:
      return t.passwordTooShort;
    case PasswordProblem::Differs:
      return t.passwordsDiffer;
    case PasswordProblem::None:
      break;
  }
  return nullptr;
}

}  // namespace Common
