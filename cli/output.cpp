#include "cli/output.h"

#include <unistd.h>

#include "vault/file_io.h"

namespace Cli {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the UTF-8 sequence at text[i], or 0 when it is not one.
size_t SequenceLength(std::string_view text, size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  }
  const auto second = static_cast<unsigned char>(text[i + 1]);
  if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second >= 0xA0) ||
      (c == 0xF0 && second < 0x90) || (c == 0xF4 && second >= 0x90)) {
    return 0;  // overlong, surrogate or beyond U+10FFFF
  }
  return length;
}

}  // namespace

bool WriteAll(int fd, std::string_view text) {
  return Vault::WriteFully(fd, text.data(), text.size());
}

void PrintLine(std::string_view text) { (void)WriteAll(STDOUT_FILENO, std::string(text) + "\n"); }

void PrintError(std::string_view text) { (void)WriteAll(STDERR_FILENO, std::string(text) + "\n"); }

std::string Format(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string out;
  auto value = values.begin();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '}' && value != values.end()) {
      out += *value++;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
      ++i;
    } else if (const size_t length = SequenceLength(text, i); length > 0) {
      // U+0080..U+009F: C1 controls, which some terminals take as escapes
      const bool control = c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
      out.append(control ? " " : text.substr(i, length));
      i += length;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

}  // namespace Cli
