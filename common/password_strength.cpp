#include "common/password_strength.h"

#include <zxcvbn.h>

#include <cmath>

namespace Common {
namespace {

// Guesses per second of an attacker who holds a slowly hashed copy of the password.
constexpr double kGuessesPerSecond = 1e4;

GuessTime TimeFor(double guesses) {
  const double seconds = guesses / kGuessesPerSecond;
  if (seconds < 60) return GuessTime::Seconds;
  if (seconds < 3600) return GuessTime::Minutes;
  if (seconds < 86400) return GuessTime::Hours;
  return guesses < kWeakGuesses ? GuessTime::Days : GuessTime::Longer;
}

}  // namespace

Strength EstimateStrength(const std::string& password, const std::string& userName,
                          const std::string& description) {
  const char* hints[] = {userName.c_str(), description.c_str(), nullptr};
  // The estimate is in bits: the binary logarithm of the number of guesses.
  const double bits = ZxcvbnMatch(password.c_str(), hints, nullptr);
  const double guesses = std::exp2(bits);
  return {.guesses = guesses, .weak = guesses < kWeakGuesses, .time = TimeFor(guesses)};
}

}  // namespace Common
