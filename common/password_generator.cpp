#include "common/password_generator.h"

#include <utility>

namespace Common {
namespace {

// In this order: the order decides which set the first characters come from.
constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kSymbols = "!@#$%^&*()-_=+[]{};:,.?/<>~";

char Draw(std::string_view set) {
  return set[static_cast<size_t>(Vault::RandomUniform(static_cast<int32_t>(set.size())))];
}

}  // namespace

std::string GeneratePassword(int length, bool digits, bool lower, bool upper, bool symbols) {
  std::string_view chosen[4];
  size_t kinds = 0;
  std::string pool;
  const std::pair<bool, std::string_view> sets[] = {
      {digits, kDigits}, {lower, kLower}, {upper, kUpper}, {symbols, kSymbols}};
  for (const auto& [on, set] : sets) {
    if (!on) continue;
    chosen[kinds++] = set;
    pool += set;
  }
  if (kinds == 0) return {};
  if (length < kMinGeneratedLength) length = kMinGeneratedLength;
  if (length > kMaxGeneratedLength) length = kMaxGeneratedLength;

  const size_t size = static_cast<size_t>(length);
  std::string password(size, '\0');  // sized once: no reallocation leaves a copy behind
  for (size_t i = 0; i < size; ++i) password[i] = Draw(i < kinds ? chosen[i] : pool);
  for (size_t i = size - 1; i > 0; --i) {
    const size_t j = static_cast<size_t>(Vault::RandomUniform(static_cast<int32_t>(i + 1)));
    std::swap(password[i], password[j]);
  }
  return password;
}

}  // namespace Common
