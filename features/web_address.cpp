#include "features/web_address.h"

#include <sys/stat.h>

#include "common/blanks.h"

namespace Features {
namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (size_t i = 0; i < lowerPrefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerPrefix[i]) return false;
  }
  return true;
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
