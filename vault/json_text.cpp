#include "vault/json_text.h"

#include <array>
#include <bit>
#include <cstring>

#include "vault/payload.h"

namespace Vault {
namespace {

// The characters a string holds only escaped, each with the letter after its backslash.
// Other control bytes are written as \u00xx; readers also take "\/" for "/".
struct ShortEscape {
  uint8_t byte;
  char letter;
};
constexpr ShortEscape kShortEscapes[] = {{'\b', 'b'}, {'\t', 't'}, {'\n', 'n'}, {'\f', 'f'},
                                         {'\r', 'r'}, {'"', '"'},  {'\\', '\\'}};
constexpr size_t kShortEscapeBytes = 2;
constexpr size_t kUnicodeEscapeBytes = 6;  // \uXXXX
constexpr int kHexDigits = 4;

// Per byte: the letter of its short escape, or 0.
constexpr std::array<char, 256> MakeEscapeLetters() {
  std::array<char, 256> letters{};
  for (const ShortEscape& e : kShortEscapes) letters[e.byte] = e.letter;
  return letters;
}
constexpr std::array<char, 256> kEscapeLetter = MakeEscapeLetters();

// Per letter after a backslash: the byte it stands for, or 0 for no short escape.
constexpr std::array<char, 256> MakeUnescapedBytes() {
  std::array<char, 256> bytes{};
  for (const ShortEscape& e : kShortEscapes) {
    bytes[static_cast<uint8_t>(e.letter)] = static_cast<char>(e.byte);
  }
  bytes['/'] = '/';
  return bytes;
}
constexpr std::array<char, 256> kUnescapedByte = MakeUnescapedBytes();

// Output length of each byte inside a string value.
constexpr std::array<unsigned char, 256> MakeEscapeLengths() {
  std::array<unsigned char, 256> lengths{};
  for (int c = 0; c < 256; ++c) {
    lengths[c] = kEscapeLetter[c] != 0 ? kShortEscapeBytes : c < 0x20 ? kUnicodeEscapeBytes : 1;
  }
  return lengths;
}
constexpr std::array<unsigned char, 256> kEscapeLength = MakeEscapeLengths();

// A lone UTF-16 surrogate is held as its generalised three-byte UTF-8 form: ED, then A0..BF,
// then a continuation byte. Well-formed UTF-8 never has ED followed by A0..BF.
constexpr unsigned char kSurrogateLead = 0xED;
constexpr unsigned char kSurrogateSecondMin = 0xA0;
constexpr size_t kSurrogateBytes = 3;
constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";  // U+FFFD, three bytes as well

bool SurrogateAt(std::string_view text, size_t i) {
  return static_cast<unsigned char>(text[i]) == kSurrogateLead && i + 2 < text.size() &&
         static_cast<unsigned char>(text[i + 1]) >= kSurrogateSecondMin &&
         static_cast<unsigned char>(text[i + 1]) <= 0xBF &&
         (static_cast<unsigned char>(text[i + 2]) & 0xC0) == 0x80;
}

// The high bit of each of the eight bytes at p that RunEnd stops at.
template <bool kStopAtSurrogateLead>
[[gnu::always_inline]] inline uint64_t SpecialMarks(const uint8_t* p) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHighs = 0x8080808080808080ull;
  uint64_t word;
  std::memcpy(&word, p, 8);
  const uint64_t quote = word ^ (kOnes * '"');
  const uint64_t backslash = word ^ (kOnes * '\\');
  // A byte's high bit is set where it is zero (or below 0x20); borrows only ever mark
  // bytes above the first true one, so the lowest mark is exact.
  uint64_t marks = ((quote - kOnes) & ~quote) | ((backslash - kOnes) & ~backslash) |
                   ((word - kOnes * 0x20) & ~word);
  if constexpr (kStopAtSurrogateLead) {
    const uint64_t lead = word ^ (kOnes * kSurrogateLead);
    marks |= (lead - kOnes) & ~lead;
  }
  return marks & kHighs;
}

// The same for sixteen bytes, as vector compares: the index of the first such byte, or 16.
using Vector16 = uint8_t __attribute__((vector_size(16)));
template <bool kStopAtSurrogateLead>
[[gnu::always_inline]] inline unsigned FirstSpecial16(const uint8_t* p) {
  Vector16 bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  auto hits = (bytes == '"') | (bytes == '\\') | (bytes < 0x20);
  if constexpr (kStopAtSurrogateLead) hits |= bytes == kSurrogateLead;
  uint64_t halves[2];
  std::memcpy(halves, &hits, sizeof halves);
  if (halves[0] != 0) return static_cast<unsigned>(std::countr_zero(halves[0])) / 8;
  if (halves[1] != 0) return 8 + static_cast<unsigned>(std::countr_zero(halves[1])) / 8;
  return 16;
}

// PlainRunEnd, stopping for the writer also at the lead byte of a kept lone surrogate.
// Strings are mostly plain, so whole words are looked at; the last, overlapping plain bytes
// already looked at, marks nothing there.
template <bool kStopAtSurrogateLead>
const uint8_t* RunEnd(const uint8_t* p, const uint8_t* end) {
  if (end - p >= 16) {
    for (; end - p >= 16; p += 16) {
      const unsigned first = FirstSpecial16<kStopAtSurrogateLead>(p);
      if (first < 16) return p + first;
    }
    return p == end ? end : end - 16 + FirstSpecial16<kStopAtSurrogateLead>(end - 16);
  }
  if (end - p >= 8) {
    for (const uint8_t* word : {p, end - 8}) {
      if (const uint64_t marks = SpecialMarks<kStopAtSurrogateLead>(word)) {
        return word + std::countr_zero(marks) / 8;
      }
    }
    return end;
  }
  while (p < end && *p != '"' && *p != '\\' && *p >= 0x20 &&
         (!kStopAtSurrogateLead || *p != kSurrogateLead)) {
    ++p;
  }
  return p;
}

const uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const uint8_t*>(text.data());
}

char* Put(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

constexpr char kHex[] = "0123456789abcdef";

// \u and the unit's four hex digits in lower case.
char* PutUnitEscape(char* out, unsigned unit) {
  out = Put(out, "\\u");
  for (int shift = 4 * (kHexDigits - 1); shift >= 0; shift -= 4) {
    *out++ = kHex[(unit >> shift) & 0xF];
  }
  return out;
}

// A lone surrogate goes out as its escape, the only form a UTF-8 file can hold it in.
char* PutSurrogateEscape(char* out, const unsigned char* bytes) {
  return PutUnitEscape(out, 0xD000u | ((bytes[1] & 0x3Fu) << 6) | (bytes[2] & 0x3Fu));
}

int HexDigit(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Four hex digits at p; p moves past them only when all four are there.
bool ReadUnit(const uint8_t*& p, uint32_t& unit) {
  uint32_t value = 0;
  for (int i = 0; i < kHexDigits; ++i) {
    const int digit = HexDigit(p[i]);
    if (digit < 0) return false;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  unit = value;
  p += kHexDigits;
  return true;
}

bool IsHigh(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// A \u escape from just past its "u"; a high surrogate followed by the escape of a low one
// makes one code point, any other surrogate stays alone.
bool UnescapeUnit(const uint8_t*& p, std::string* out) {
  uint32_t unit = 0;
  if (!ReadUnit(p, unit)) return false;
  const uint8_t* next = p + 2;
  uint32_t low = 0;
  if (IsHigh(unit) && p[0] == '\\' && p[1] == 'u' && ReadUnit(next, low) && IsLow(low)) {
    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    p = next;
  }
  if (out != nullptr) {
    char bytes[kMaxCodePointBytes];
    out->append(bytes, PutCodePoint(unit, bytes));
  }
  return true;
}

}  // namespace

char* PutCodePoint(uint32_t cp, char* out) {
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | (cp >> 6));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (cp >> 18));
    *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

size_t EscapedLength(const std::string& text) {
  const uint8_t* const begin = Bytes(text);
  const uint8_t* const end = begin + text.size();
  size_t length = text.size();
  for (const uint8_t* p = RunEnd<true>(begin, end); p < end; p = RunEnd<true>(p, end)) {
    if (*p != kSurrogateLead) {
      length += kEscapeLength[*p] - 1;
      ++p;
    } else if (SurrogateAt(text, static_cast<size_t>(p - begin))) {
      length += kUnicodeEscapeBytes - kSurrogateBytes;
      p += kSurrogateBytes;
    } else {
      ++p;
    }
  }
  return length;
}

char* PutEscaped(char* out, const std::string& text) {
  const uint8_t* const begin = Bytes(text);
  const uint8_t* const end = begin + text.size();
  const uint8_t* p = begin;
  for (;;) {
    const uint8_t* run = p;
    p = RunEnd<true>(p, end);
    std::memcpy(out, run, static_cast<size_t>(p - run));
    out += p - run;
    if (p == end) return out;
    const uint8_t c = *p;
    if (c != kSurrogateLead) {
      ++p;
      if (kEscapeLetter[c] != 0) {
        *out++ = '\\';
        *out++ = kEscapeLetter[c];
      } else {
        out = PutUnitEscape(out, c);
      }
    } else if (SurrogateAt(text, static_cast<size_t>(p - begin))) {
      out = PutSurrogateEscape(out, p);
      p += kSurrogateBytes;
    } else {
      *out++ = static_cast<char>(*p++);
    }
  }
}

const uint8_t* PlainRunEnd(const uint8_t* p, const uint8_t* end) { return RunEnd<false>(p, end); }

size_t RawLength(const uint8_t* raw) {
  const uint8_t* p = raw;
  while (*p != '"') p += *p == '\\' ? 2 : 1;
  return static_cast<size_t>(p - raw);
}

bool Unescape(const uint8_t* p, std::string* out) {
  for (;;) {
    const uint8_t* run = p;
    while (*p != '"' && *p != '\\' && *p >= 0x20) ++p;
    if (out != nullptr) {
      out->append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
    }
    if (*p == '"') return true;
    if (*p < 0x20) return false;
    const uint8_t letter = p[1];
    p += 2;
    if (letter == 'u') {
      if (!UnescapeUnit(p, out)) return false;
      continue;
    }
    const char c = kUnescapedByte[letter];
    if (c == 0) return false;
    if (out != nullptr) *out += c;
  }
}

bool HasLoneSurrogate(std::string_view text) {
  for (size_t i = text.find(static_cast<char>(kSurrogateLead)); i != std::string_view::npos;
       i = text.find(static_cast<char>(kSurrogateLead), i + 1)) {
    if (SurrogateAt(text, i)) return true;
  }
  return false;
}

std::string ShownText(std::string_view text) {
  std::string shown(text);
  for (size_t i = shown.find(static_cast<char>(kSurrogateLead)); i != std::string::npos;
       i = shown.find(static_cast<char>(kSurrogateLead), i + 1)) {
    if (SurrogateAt(shown, i)) shown.replace(i, kSurrogateBytes, kReplacementCharacter);
  }
  return shown;
}

}  // namespace Vault
