#include "features/web_address.h"

#include <sys/stat.h>

#include "common/ascii_case.h"
#include "common/blanks.h"

namespace Features {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return Common::EqualIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

AddressCheck PrepareWebAddress(const std::string& url, std::string& parameter) {
  // Spaces only: a tab is no blank here, and the address is refused with it.
  std::string address(Common::TrimBlanks(url, Common::Blanks::Spaces));
  if (address.empty()) return AddressCheck::Empty;
  if (address.find("://") == std::string::npos) address = "https://" + address;
  if (!StartsWithIgnoringCase(address, "http://") && !StartsWithIgnoringCase(address, "https://")) {
    return AddressCheck::Refused;
  }
  std::string encoded;
  for (const char c : address) {
    if (c == '"') {
      encoded += "%22";
    } else if (c == ' ') {
      encoded += "%20";
    } else {
      encoded += c;
    }
  }
  parameter = "\"" + encoded + "\"";
  return AddressCheck::Accepted;
}

std::string BrowserProgram(const std::string& browserSetting) {
  struct stat info {};
  if (!browserSetting.empty() && stat(browserSetting.c_str(), &info) == 0 &&
      !S_ISDIR(info.st_mode)) {
    return browserSetting;
  }
  return "xdg-open";
}

}  // namespace Features
