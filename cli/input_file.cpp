#include "cli/input_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string_view>
#include <utility>

#include "vault/file_io.h"
#include "vault/sodium.h"

namespace Cli {
namespace {

constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";
// A UTF-16 code unit becomes at most three bytes of UTF-8 (a pair of them, four).
constexpr size_t kUtf8BytesPerUnit = 3;

// Reads what the file holds at most size bytes of; changed when it ends early or goes on.
bool ReadAll(int fd, size_t size, InputFile& file) {
  if (!ReserveSecret(file.text, size + 1)) return false;
  while (file.text.size < size) {
    const ssize_t got = Vault::ReadSome(fd, file.text.data + file.text.size, size - file.text.size);
    if (got < 0) return false;
    if (got == 0) break;
    file.text.size += static_cast<size_t>(got);
  }
  char more = 0;
  const ssize_t beyond = Vault::ReadSome(fd, &more, 1);
  Vault::WipeMemory(&more, sizeof more);  // a byte of the file's text
  file.text.data[file.text.size] = '\0';
  file.changed = file.text.size != size || beyond != 0;
  return !file.changed;
}

void AppendUtf8(char32_t c, char* out, size_t& used) {
  if (c < 0x80) {
    out[used++] = static_cast<char>(c);
  } else if (c < 0x800) {
    out[used++] = static_cast<char>(0xC0 | (c >> 6));
    out[used++] = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out[used++] = static_cast<char>(0xE0 | (c >> 12));
    out[used++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[used++] = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out[used++] = static_cast<char>(0xF0 | (c >> 18));
    out[used++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[used++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[used++] = static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16 after its byte-order mark, as UTF-8. A lone surrogate keeps its three bytes and an
// odd last byte becomes 0xFF: neither is UTF-8, so the row that holds it is refused as
// any other text that is not.
void FromUtf16(std::string_view bytes, bool bigEndian, char* out, size_t& used) {
  const auto unitAt = [&](size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
  };
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t c = unitAt(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
      const char32_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(c, out, used);
  }
  if (i < bytes.size()) out[used++] = '\xFF';
}

// Replaces a UTF-16 text by its UTF-8; false when memory runs out.
bool ConvertUtf16(InputFile& file) {
  const std::string_view text = View(file.text);
  const bool little = text.substr(0, 2) == kLittleEndianMark;
  if (!little && text.substr(0, 2) != kBigEndianMark) return true;
  SecretBuffer converted;
  if (!ReserveSecret(converted, (text.size() / 2 + 1) * kUtf8BytesPerUnit + 1)) return false;
  FromUtf16(text.substr(2), !little, converted.data, converted.size);
  converted.data[converted.size] = '\0';
  std::swap(file.text.data, converted.data);
  std::swap(file.text.size, converted.size);
  std::swap(file.text.capacity, converted.capacity);
  return true;  // the UTF-16 text goes with converted
}

}  // namespace

bool OpenInputFile(const std::string& path, InputFile& file) {
  CloseInputFile(file);
  struct stat info {};
  const int fd = Vault::OpenRegularFile(path, info);
  if (fd < 0) return false;
  const bool read = ReadAll(fd, static_cast<size_t>(info.st_size), file);
  close(fd);
  if (read && ConvertUtf16(file)) return true;
  ReleaseSecret(file.text);
  return false;
}

void CloseInputFile(InputFile& file) {
  ReleaseSecret(file.text);
  file.changed = false;
}

}  // namespace Cli
