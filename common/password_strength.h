// How quickly a password can be guessed, as libzxcvbn estimates it.
#pragma once

#include <string>

namespace Common {

// How long guessing takes at the pace of an offline attack on a slowly hashed password.
enum class GuessTime { Seconds, Minutes, Hours, Days, Longer };

struct Strength {
  double guesses;  // the estimated number of guesses
  bool weak;       // fewer than kWeakGuesses
  GuessTime time;
};

// Below this many guesses a password counts as weak.
constexpr double kWeakGuesses = 1e10;

// The estimate for a password; the words in hints (the entry's user name and description)
// count as guessed first. Secret: password and hints stay the caller's.
[[nodiscard]] Strength EstimateStrength(const std::string& password, const std::string& userName,
                                        const std::string& description);

}  // namespace Common
