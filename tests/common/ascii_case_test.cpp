// Names in any letter case: only A-Z fold, so bytes of other scripts never match by accident.
#include "common/ascii_case.h"

#include <gtest/gtest.h>

namespace {

TEST(EqualIgnoringAsciiCase, FoldsOnlyAToZ) {
  const struct {
    const char* a;
    const char* b;
    bool equal;
  } cases[] = {
      {"Password", "password", true},
      {"LOGIN_URI", "login_uri", true},
      {"", "", true},
      {"web site", "Web Site", true},
      {"user", "username", false},
      {"username", "user", false},
      {"@", "`", false},  // 0x40 and 0x60: one bit apart, but not letters
      {"[", "{", false},
      {"\xC3\x89", "\xC3\xA9", false},  // É and é: not ASCII
      {"wachtwoord ", "wachtwoord", false},
      {"Z", "z", true},
      {"A", "a", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Common::EqualIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(Common::EqualIgnoringAsciiCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
  }
}

}  // namespace
