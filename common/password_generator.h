// Random passwords from the chosen kinds of characters. No GTK here, so the generator is
// testable without a display.
#pragma once

#include <string>
#include <string_view>

#include "vault/vault.h"

namespace Common {

constexpr int kMinGeneratedLength = 4;
constexpr int kMaxGeneratedLength = 128;

// A password of length (clamped into 4..128) holding at least one character of every
// chosen kind; empty when no kind is chosen. Draws exactly 2 * length - 1 random numbers.
// Secret: the caller owns the text and wipes it (Vault::WipeText) when done.
[[nodiscard]] std::string GeneratePassword(int length, bool digits, bool lower, bool upper,
                                           bool symbols);

}  // namespace Common
