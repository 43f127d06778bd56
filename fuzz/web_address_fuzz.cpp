// libFuzzer target for the web-address rules and the argument splitting: whatever an entry's
// address holds, an accepted one reaches the browser as exactly one argument, an http or
// https address without blanks or double quotes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "features/launcher.h"
#include "features/web_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  std::string parameter;
  if (Features::PrepareWebAddress(url, parameter) != Features::AddressCheck::Accepted) return 0;
  const std::vector<std::string> arguments = Features::SplitArguments(parameter);
  if (arguments.size() != 1) std::abort();
  const std::string& address = arguments[0];
  if (address.find_first_of("\" ") != std::string::npos) std::abort();
  std::string scheme = address.substr(0, 8);
  for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (scheme.rfind("http://", 0) != 0 && scheme.rfind("https://", 0) != 0) std::abort();
  return 0;
}
