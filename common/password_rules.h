// The rules a typed master password must meet, apart from any dialog.
#pragma once

#include <cstddef>
#include <string_view>

namespace Common {

constexpr size_t kMinMasterPasswordLength = 8;  // UTF-16 code units

enum class PasswordProblem { None, Empty, TooShort, Differs };

// What is wrong with a typed password; with confirm, a new one typed twice, which must
// also be long enough and repeated exactly.
[[nodiscard]] PasswordProblem CheckMasterPassword(std::string_view typed, std::string_view repeat,
                                                  bool confirm);
// The message that tells the user what is wrong, in the edition's words; null for None.
[[nodiscard]] const char* PasswordProblemText(PasswordProblem problem);

}  // namespace Common
