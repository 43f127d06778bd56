// The rules that decide which addresses reach a browser, and in what form.
#include "features/web_address.h"

#include <gtest/gtest.h>

#include "tests/support/test_files.h"
#include "vault/file_io.h"

namespace {

using Features::AddressCheck;

TEST(WebAddress, AddressRules) {
  struct Case {
    const char* url;
    AddressCheck check;
    const char* parameter;  // what the browser is handed when accepted
  };
  const Case cases[] = {
      {"", AddressCheck::Empty, ""},
      {"    ", AddressCheck::Empty, ""},
      {"  https://example.org/  ", AddressCheck::Accepted, "\"https://example.org/\""},
      {"example.org", AddressCheck::Accepted, "\"https://example.org\""},
      {"mailto:someone", AddressCheck::Accepted, "\"https://mailto:someone\""},
      {"http://a.b", AddressCheck::Accepted, "\"http://a.b\""},
      {"HTTP://Example.ORG/Path", AddressCheck::Accepted, "\"HTTP://Example.ORG/Path\""},
      {"HtTpS://x", AddressCheck::Accepted, "\"HtTpS://x\""},
      {"ftp://files.example", AddressCheck::Refused, ""},
      {"file:///etc/passwd", AddressCheck::Refused, ""},
      {"javascript://alert", AddressCheck::Refused, ""},
      {"httpx://a", AddressCheck::Refused, ""},
      {"\thttp://tab", AddressCheck::Refused, ""},  // tabs are not trimmed
      {"http://a b", AddressCheck::Accepted, "\"http://a%20b\""},
      {"http://a\"b\" c", AddressCheck::Accepted, "\"http://a%22b%22%20c\""},
      {"http://x/?a=<b>&c=%20\té", AddressCheck::Accepted, "\"http://x/?a=<b>&c=%20\té\""},
      {"a://b", AddressCheck::Refused, ""},  // has "://", so nothing is put in front
  };
  for (const Case& c : cases) {
    std::string parameter;
    EXPECT_EQ(Features::PrepareWebAddress(c.url, parameter), c.check) << c.url;
    if (c.check == AddressCheck::Accepted) {
      EXPECT_EQ(parameter, c.parameter) << c.url;
    }
  }
}

TEST(WebAddress, TheChosenBrowserIsUsedOnlyWhenItIsAFile) {
  TestFiles::TempDir dir;
  TestFiles::WriteFile(dir.path + "browser", "#!/bin/sh\n");
  EXPECT_EQ(Features::BrowserProgram(dir.path + "browser"), dir.path + "browser");
  EXPECT_EQ(Features::BrowserProgram(""), "xdg-open");
  EXPECT_EQ(Features::BrowserProgram(dir.path), "xdg-open");
  EXPECT_EQ(Features::BrowserProgram(dir.path + "gone"), "xdg-open");
  EXPECT_EQ(Vault::FileNameOf("/usr/bin/firefox"), "firefox");
  EXPECT_EQ(Vault::FileNameOf("firefox"), "firefox");
  EXPECT_EQ(Vault::FileNameOf("dir/"), "");
}

}  // namespace
