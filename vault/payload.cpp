#include "vault/payload.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#include "vault/format.h"
#include "vault/sodium.h"

namespace Vault {
namespace {

// Deeper nesting than any vault needs is refused rather than followed.
constexpr int kMaxDepth = 512;

constexpr std::string_view kRootOpen = "{\"entries\":[";
constexpr std::string_view kRootClose = "]}";
// Member order of the writer: the order of its hash-bucket walk ("Wachtwoord" in bucket 4,
// "Omschrijving" 5, "Url" 15, "Gebruiker" 22); readers of older files expect it.
constexpr std::string_view kBeforePassword = "{\"Wachtwoord\":\"";
constexpr std::string_view kBeforeDescription = "\",\"Omschrijving\":\"";
constexpr std::string_view kBeforeUrl = "\",\"Url\":\"";
constexpr std::string_view kBeforeUser = "\",\"Gebruiker\":\"";
constexpr std::string_view kAfterUser = "\"}";

// Output length of each byte inside a string value.
constexpr std::array<unsigned char, 256> MakeEscapeLengths() {
  std::array<unsigned char, 256> lengths{};
  for (int c = 0; c < 256; ++c) lengths[c] = 1;
  for (int c = 0; c < 0x20; ++c) lengths[c] = 6;
  for (int c : {'\b', '\t', '\n', '\f', '\r', '"', '\\'}) lengths[c] = 2;
  return lengths;
}
constexpr std::array<unsigned char, 256> kEscapeLength = MakeEscapeLengths();

// A lone UTF-16 surrogate is held as its generalised three-byte UTF-8 form: ED, then A0..BF,
// then a continuation byte. Well-formed UTF-8 never has ED followed by A0..BF.
constexpr unsigned char kSurrogateLead = 0xED;
constexpr unsigned char kSurrogateSecondMin = 0xA0;
constexpr size_t kSurrogateBytes = 3;
constexpr size_t kUnicodeEscapeBytes = 6;
constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";  // U+FFFD, three bytes as well

bool SurrogateAt(std::string_view text, size_t i) {
  return static_cast<unsigned char>(text[i]) == kSurrogateLead && i + 2 < text.size() &&
         static_cast<unsigned char>(text[i + 1]) >= kSurrogateSecondMin &&
         static_cast<unsigned char>(text[i + 1]) <= 0xBF &&
         (static_cast<unsigned char>(text[i + 2]) & 0xC0) == 0x80;
}

// The high bit of each of the eight bytes at p that PlainRunEnd stops at.
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

// The first byte at or after p that a string cannot hold as it is (a quote, a backslash or
// a control byte) or, for the writer, the lead byte of a kept lone surrogate; end when there
// is none. Strings are mostly plain, so whole words are looked at; the last, overlapping
// plain bytes already looked at, marks nothing there.
template <bool kStopAtSurrogateLead>
const uint8_t* PlainRunEnd(const uint8_t* p, const uint8_t* end) {
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

size_t EscapedLength(const std::string& text) {
  const uint8_t* const begin = Bytes(text);
  const uint8_t* const end = begin + text.size();
  size_t length = text.size();
  for (const uint8_t* p = PlainRunEnd<true>(begin, end); p < end; p = PlainRunEnd<true>(p, end)) {
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

char* Put(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

constexpr char kHex[] = "0123456789abcdef";

// A lone surrogate goes out as its escape, the only form a UTF-8 file can hold it in.
char* PutSurrogateEscape(char* out, const unsigned char* bytes) {
  const unsigned unit = 0xD000u | ((bytes[1] & 0x3Fu) << 6) | (bytes[2] & 0x3Fu);
  out = Put(out, "\\u");
  for (int shift = 12; shift >= 0; shift -= 4) *out++ = kHex[(unit >> shift) & 0xF];
  return out;
}

char* PutEscaped(char* out, const std::string& text) {
  const uint8_t* const begin = Bytes(text);
  const uint8_t* const end = begin + text.size();
  const uint8_t* p = begin;
  for (;;) {
    const uint8_t* run = p;
    p = PlainRunEnd<true>(p, end);
    std::memcpy(out, run, static_cast<size_t>(p - run));
    out += p - run;
    if (p == end) return out;
    const uint8_t c = *p;
    if (c == kSurrogateLead) {
      if (SurrogateAt(text, static_cast<size_t>(p - begin))) {
        out = PutSurrogateEscape(out, p);
        p += kSurrogateBytes;
      } else {
        *out++ = static_cast<char>(*p++);
      }
      continue;
    }
    ++p;
    *out++ = '\\';
    switch (c) {
      case '\b':
        *out++ = 'b';
        break;
      case '\t':
        *out++ = 't';
        break;
      case '\n':
        *out++ = 'n';
        break;
      case '\f':
        *out++ = 'f';
        break;
      case '\r':
        *out++ = 'r';
        break;
      case '"':
        *out++ = '"';
        break;
      case '\\':
        *out++ = '\\';
        break;
      default:
        out = Put(out, "u00");
        *out++ = kHex[c >> 4];
        *out++ = kHex[c & 0xF];
    }
  }
}

namespace od = simdjson::ondemand;
using simdjson::error_code;
using simdjson::SUCCESS;

// ---- reading strings ----
// simdjson refuses a lone surrogate escape, yet it is valid JSON and a valid text in the
// UTF-16 model the vault's texts follow; so strings are read here, from their raw JSON.

int HexDigit(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Four hex digits at p; p moves past them only when all four are there.
bool ReadUnit(const uint8_t*& p, uint32_t& unit) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    const int digit = HexDigit(p[i]);
    if (digit < 0) return false;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  unit = value;
  p += 4;
  return true;
}

bool IsHigh(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// UTF-8 of a code point; a lone surrogate takes the same three-byte shape.
void PutCodePoint(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Bytes of the raw string before its closing quote (the parser has found that quote).
size_t RawLength(const uint8_t* raw) {
  const uint8_t* p = raw;
  while (*p != '"') p += *p == '\\' ? 2 : 1;
  return static_cast<size_t>(p - raw);
}

// Reads the string whose raw text starts just after its opening quote into out, or only
// checks it when out is null. The unescaped text is never longer than the raw one.
error_code ReadString(const uint8_t* p, std::string* out) {
  for (;;) {
    const uint8_t* run = p;
    while (*p != '"' && *p != '\\' && *p >= 0x20) ++p;
    if (out != nullptr)
      out->append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
    if (*p == '"') return SUCCESS;
    if (*p < 0x20) return simdjson::UNESCAPED_CHARS;
    char c = static_cast<char>(p[1]);
    p += 2;
    switch (c) {
      case '"':
      case '\\':
      case '/':
        break;
      case 'b':
        c = '\b';
        break;
      case 'f':
        c = '\f';
        break;
      case 'n':
        c = '\n';
        break;
      case 'r':
        c = '\r';
        break;
      case 't':
        c = '\t';
        break;
      case 'u': {
        uint32_t unit = 0;
        if (!ReadUnit(p, unit)) return simdjson::STRING_ERROR;
        const uint8_t* next = p + 2;
        uint32_t low = 0;
        if (IsHigh(unit) && p[0] == '\\' && p[1] == 'u' && ReadUnit(next, low) && IsLow(low)) {
          unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
          p = next;
        }
        if (out != nullptr) PutCodePoint(*out, unit);
        continue;
      }
      default:
        return simdjson::STRING_ERROR;
    }
    if (out != nullptr) *out += c;
  }
}

error_code CheckString(od::value value) {
  od::raw_json_string raw;
  if (error_code e = value.get_raw_json_string().get(raw)) return e;
  return ReadString(reinterpret_cast<const uint8_t*>(raw.raw()), nullptr);
}

// A member's name, unescaped like any string.
error_code ReadName(od::field& field, std::string& name) {
  name.clear();
  return ReadString(reinterpret_cast<const uint8_t*>(field.key().raw()), &name);
}

// A field's text replaces what an earlier member of the same name left, in storage taken
// once, so that no partial copy of a password is left behind in freed memory.
error_code ReadField(od::value value, std::string& target) {
  od::raw_json_string raw;
  if (error_code e = value.get_raw_json_string().get(raw)) return e;
  const auto* bytes = reinterpret_cast<const uint8_t*>(raw.raw());
  WipeText(target);
  target.reserve(RawLength(bytes));
  return ReadString(bytes, &target);
}

// The parser visits every value, also those the vault ignores, so that a text that is not
// JSON is refused wherever the fault sits (On-Demand would otherwise skip unread values).
error_code CheckValue(od::value value, int depth);

error_code CheckArray(od::array array, int depth) {
  for (auto element : array) {
    od::value value;
    if (error_code e = std::move(element).get(value)) return e;
    if (error_code e = CheckValue(value, depth)) return e;
  }
  return SUCCESS;
}

error_code CheckObject(od::object object, int depth) {
  std::string name;
  for (auto member : object) {
    od::field field;
    if (error_code e = std::move(member).get(field)) return e;
    if (error_code e = ReadName(field, name)) return e;
    if (error_code e = CheckValue(field.value(), depth)) return e;
  }
  return SUCCESS;
}

error_code CheckValue(od::value value, int depth) {
  if (depth >= kMaxDepth) return simdjson::DEPTH_ERROR;
  od::json_type type;
  if (error_code e = value.type().get(type)) return e;
  switch (type) {
    case od::json_type::array: {
      od::array array;
      if (error_code e = value.get_array().get(array)) return e;
      return CheckArray(array, depth + 1);
    }
    case od::json_type::object: {
      od::object object;
      if (error_code e = value.get_object().get(object)) return e;
      return CheckObject(object, depth + 1);
    }
    case od::json_type::number:
      return value.get_double().error();  // also takes integers beyond 64 bits
    case od::json_type::string:
      return CheckString(value);
    case od::json_type::boolean:
      return value.get_bool().error();
    case od::json_type::null: {
      bool isNull = false;
      if (error_code e = value.is_null().get(isNull)) return e;
      return isNull ? SUCCESS : simdjson::N_ATOM_ERROR;
    }
  }
  return simdjson::INCORRECT_TYPE;
}

// One element of the "entries" array: an object yields its four fields, anything else an
// empty entry. A member that is not a string leaves its field empty; the last one counts.
error_code ReadEntry(od::value element, Entry& entry) {
  od::json_type type;
  if (error_code e = element.type().get(type)) return e;
  if (type != od::json_type::object) return CheckValue(element, 2);
  od::object object;
  if (error_code e = element.get_object().get(object)) return e;
  std::string name;
  for (auto member : object) {
    od::field field;
    if (error_code e = std::move(member).get(field)) return e;
    if (error_code e = ReadName(field, name)) return e;
    std::string* target = name == "Omschrijving" ? &entry.Omschrijving
                          : name == "Url"        ? &entry.Url
                          : name == "Gebruiker"  ? &entry.Gebruiker
                          : name == "Wachtwoord" ? &entry.Wachtwoord
                                                 : nullptr;
    od::value value = field.value();
    if (target != nullptr) {
      if (error_code e = value.type().get(type)) return e;
      if (type == od::json_type::string) {
        if (error_code e = ReadField(value, *target)) return e;
        continue;
      }
      target->clear();
    }
    if (error_code e = CheckValue(value, 3)) return e;
  }
  return SUCCESS;
}

// ---- the writer's own shape ----
// Nearly every payload read is one this writer made: fixed members in a fixed order, no
// white space. That shape is read here without the general parser; any departure from it,
// and any text this reader is unsure of, goes to the general reader below, which decides.

constexpr size_t kSmallestEntry = kBeforePassword.size() + kBeforeDescription.size() +
                                  kBeforeUrl.size() + kBeforeUser.size() + kAfterUser.size();

bool Literal(const uint8_t*& p, const uint8_t* end, std::string_view literal) {
  if (static_cast<size_t>(end - p) < literal.size() ||
      std::memcmp(p, literal.data(), literal.size()) != 0) {
    return false;
  }
  p += literal.size();
  return true;
}

// A string value from just past its opening quote; p ends on its closing quote.
bool CanonicalString(const uint8_t*& p, const uint8_t* end, std::string& target) {
  const uint8_t* start = p;
  p = PlainRunEnd<false>(p, end);
  if (p == end || *p < 0x20) return false;
  if (*p == '"') {
    const std::string_view text(reinterpret_cast<const char*>(start),
                                static_cast<size_t>(p - start));
    // A text too long to live inside the string is built in heap storage of its own and
    // handed over whole, which is cheaper than assign's general path.
    if (text.size() <= target.capacity()) {
      target.assign(text);
    } else {
      target = std::string(text);
    }
    return true;
  }
  // Escapes: the raw length bounds the text, so storage is taken once.
  while (p < end && *p != '"') {
    if (*p < 0x20) return false;
    p += *p == '\\' ? 2 : 1;
  }
  if (p >= end) return false;
  target.reserve(static_cast<size_t>(p - start));
  return ReadString(start, &target) == SUCCESS;
}

// True when the whole text has the writer's shape; the list then holds its entries.
bool ReadCanonical(const char* text, size_t length, std::vector<Entry>& list) {
  const auto* p = reinterpret_cast<const uint8_t*>(text);
  const uint8_t* end = p + length;
  if (!Literal(p, end, kRootOpen) || length < kRootOpen.size() + kRootClose.size() ||
      std::memcmp(end - kRootClose.size(), kRootClose.data(), kRootClose.size()) != 0 ||
      !simdjson::validate_utf8(text, length)) {
    return false;
  }
  // Every entry ends in a brace; taking the storage once leaves no moved copies behind.
  size_t braces = 0;
  for (const void* at = std::memchr(p, '}', static_cast<size_t>(end - p)); at != nullptr;
       at = std::memchr(static_cast<const uint8_t*>(at) + 1, '}',
                        static_cast<size_t>(end - static_cast<const uint8_t*>(at) - 1))) {
    ++braces;
  }
  list.reserve(std::min(braces, length / kSmallestEntry));
  end -= kRootClose.size();
  if (p == end) return true;
  for (;;) {
    Entry& entry = list.emplace_back();
    if (!Literal(p, end, kBeforePassword) || !CanonicalString(p, end, entry.Wachtwoord) ||
        !Literal(p, end, kBeforeDescription) || !CanonicalString(p, end, entry.Omschrijving) ||
        !Literal(p, end, kBeforeUrl) || !CanonicalString(p, end, entry.Url) ||
        !Literal(p, end, kBeforeUser) || !CanonicalString(p, end, entry.Gebruiker) ||
        !Literal(p, end, kAfterUser)) {
      return false;
    }
    if (p == end) return true;
    if (*p++ != ',') return false;
  }
}

// The same, for callers outside a try: running out of memory counts as not that shape.
bool ReadCanonicalSafely(const char* text, size_t length, std::vector<Entry>& list) {
  try {
    return ReadCanonical(text, length, list);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// Reads a padded text; true when it is an acceptable payload.
bool ReadPayload(const char* text, size_t length, size_t capacity, std::vector<Entry>& list) {
  od::parser parser(kMaxFileSize);
  od::document document;
  if (parser.iterate(text, length, capacity).get(document)) return false;
  od::object root;
  if (document.get_object().get(root)) return false;
  bool entriesIsArray = false;
  std::string name;
  for (auto member : root) {
    od::field field;
    if (std::move(member).get(field) || ReadName(field, name)) return false;
    od::value value = field.value();
    if (name != "entries") {
      if (CheckValue(value, 1)) return false;
      continue;
    }
    // A later "entries" replaces an earlier one.
    WipeEntries(list);
    od::json_type type;
    if (value.type().get(type)) return false;
    entriesIsArray = type == od::json_type::array;
    if (!entriesIsArray) {
      if (CheckValue(value, 1)) return false;
      continue;
    }
    od::array array;
    if (value.get_array().get(array)) return false;
    for (auto element : array) {
      od::value item;
      if (std::move(element).get(item) || ReadEntry(item, list.emplace_back())) return false;
    }
  }
  // Nothing may follow the root object.
  return entriesIsArray && document.current_location().error() == simdjson::OUT_OF_BOUNDS;
}

}  // namespace

size_t JsonLength(const std::vector<Entry>& list) {
  const size_t perEntry = kBeforePassword.size() + kBeforeDescription.size() + kBeforeUrl.size() +
                          kBeforeUser.size() + kAfterUser.size() + 1;  // the comma
  size_t length = kRootOpen.size() + kRootClose.size();
  for (const Entry& e : list) {
    length += perEntry + EscapedLength(e.Wachtwoord) + EscapedLength(e.Omschrijving) +
              EscapedLength(e.Url) + EscapedLength(e.Gebruiker);
  }
  if (!list.empty()) --length;  // no comma after the last entry
  return length;
}

void WriteJson(const std::vector<Entry>& list, char* out) {
  out = Put(out, kRootOpen);
  for (size_t i = 0; i < list.size(); ++i) {
    const Entry& e = list[i];
    if (i > 0) *out++ = ',';
    out = PutEscaped(Put(out, kBeforePassword), e.Wachtwoord);
    out = PutEscaped(Put(out, kBeforeDescription), e.Omschrijving);
    out = PutEscaped(Put(out, kBeforeUrl), e.Url);
    out = PutEscaped(Put(out, kBeforeUser), e.Gebruiker);
    out = Put(out, kAfterUser);
  }
  Put(out, kRootClose);
}

std::string EntriesToJson(const std::vector<Entry>& list) {
  std::string text(JsonLength(list), '\0');
  WriteJson(list, text.data());
  return text;
}

bool JsonToEntriesPadded(const char* text, size_t length, std::vector<Entry>& list) {
  static_assert(kPayloadPadding >= simdjson::SIMDJSON_PADDING);
  WipeEntries(list);
  // simdjson would read a leading byte-order mark as white space; JSON has none.
  if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) return false;
  if (length > kMaxFileSize) return false;
  bool accepted = false;
  if (ReadCanonicalSafely(text, length, list)) return true;
  WipeEntries(list);
  try {
    accepted = ReadPayload(text, length, length + kPayloadPadding, list);
  } catch (const std::bad_alloc&) {
    accepted = false;
  }
  if (!accepted) WipeEntries(list);
  return accepted;
}

bool JsonToEntries(std::string_view text, std::vector<Entry>& list) {
  // The writer's shape needs no padding, so only another writer's text is copied.
  WipeEntries(list);
  if (text.size() <= kMaxFileSize && ReadCanonicalSafely(text.data(), text.size(), list))
    return true;
  WipeEntries(list);
  // The padded copy is plaintext and is wiped like any other.
  const size_t capacity = text.size() + kPayloadPadding;
  auto* padded = static_cast<char*>(std::malloc(capacity));
  if (padded == nullptr) {
    WipeEntries(list);
    return false;
  }
  std::memcpy(padded, text.data(), text.size());
  std::memset(padded + text.size(), 0, kPayloadPadding);
  const bool accepted = JsonToEntriesPadded(padded, text.size(), list);
  WipeAndFree(padded, capacity);
  return accepted;
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
