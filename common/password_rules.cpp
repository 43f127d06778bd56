#include "common/password_rules.h"

#include "common/utf8.h"

namespace Commands {

PasswordProblem CheckMasterPassword(std::string_view typed, std::string_view repeat, bool confirm) {
  if (typed.empty()) return PasswordProblem::Empty;
  if (!confirm) return PasswordProblem::None;
  if (Common::Utf16Length(typed) < kMinMasterPasswordLength) return PasswordProblem::TooShort;
  if (typed != repeat) return PasswordProblem::Differs;
  return PasswordProblem::None;
}

}  // namespace Commands
