#include "cli/output.h"

#include <unistd.h>

#include "common/utf8.h"
#include "vault/file_io.h"

namespace Cli {

bool WriteAll(int fd, std::string_view text) {
  return Vault::WriteFully(fd, text.data(), text.size());
}

void PrintLine(std::string_view text) { (void)WriteAll(STDOUT_FILENO, std::string(text) + "\n"); }

void PrintError(std::string_view text) { (void)WriteAll(STDERR_FILENO, std::string(text) + "\n"); }

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
      ++i;
    } else if (const size_t length = Common::SequenceLength(text, i); length > 0) {
      out.append(Common::IsC1Control(text, i) ? " " : text.substr(i, length));
      i += length;
    } else {
      out += Common::kReplacementCharacter;
      ++i;
    }
  }
  return out;
}

}  // namespace Cli
