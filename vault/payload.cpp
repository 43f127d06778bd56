#include <simdjson.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

#include "vault/vault.h"

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

size_t EscapedLength(const std::string& text) {
  size_t length = 0;
  for (unsigned char c : text) length += kEscapeLength[c];
  // Lead bytes are rare outside a few scripts; find looks for them quickly.
  const char lead = static_cast<char>(kSurrogateLead);
  for (size_t i = text.find(lead); i != std::string::npos; i = text.find(lead, i + 1)) {
    if (SurrogateAt(text, i)) length += kUnicodeEscapeBytes - kSurrogateBytes;
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

// Bytes that may need more than a copy: those with an escape, and a surrogate's lead.
constexpr std::array<bool, 256> MakeLookTwice() {
  std::array<bool, 256> look{};
  for (int c = 0; c < 256; ++c) look[c] = kEscapeLength[c] != 1 || c == kSurrogateLead;
  return look;
}
constexpr std::array<bool, 256> kLookTwice = MakeLookTwice();

char* PutEscaped(char* out, const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t run = i;
    while (i < text.size() && !kLookTwice[static_cast<unsigned char>(text[i])]) ++i;
    std::memcpy(out, text.data() + run, i - run);
    out += i - run;
    if (i == text.size()) break;
    const auto c = static_cast<unsigned char>(text[i]);
    if (kEscapeLength[c] == 1) {
      if (SurrogateAt(text, i)) {
        out = PutSurrogateEscape(out, reinterpret_cast<const unsigned char*>(text.data() + i));
        i += kSurrogateBytes - 1;
      } else {
        *out++ = static_cast<char>(c);
      }
      continue;
    }
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
  return out;
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

// Eight bytes at a time while none is a quote, a backslash or a control byte: most texts
// have no escape at all. The document's padding lets the last word run past its end.
constexpr uint64_t kEachByte = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

bool HasSpecialByte(uint64_t word) {
  const auto zeroAt = [](uint64_t v) { return (v - kEachByte) & ~v & kHighBits; };
  const uint64_t below20 = (word - kEachByte * 0x20) & ~word & kHighBits;
  return (zeroAt(word ^ (kEachByte * '"')) | zeroAt(word ^ (kEachByte * '\\')) | below20) != 0;
}

const uint8_t* PlainRunEnd(const uint8_t* p) {
  for (uint64_t word = 0;; p += sizeof word) {
    std::memcpy(&word, p, sizeof word);
    if (HasSpecialByte(word)) break;
  }
  while (*p != '"' && *p != '\\' && *p >= 0x20) ++p;
  return p;
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
    p = PlainRunEnd(p);
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

// A member's name, unescaped like any string: in the document itself when it holds no
// escape, else in spare.
error_code ReadName(od::field& field, std::string& spare, std::string_view& name) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(field.key().raw());
  const uint8_t* plainEnd = PlainRunEnd(bytes);
  if (*plainEnd == '"') {
    name = {reinterpret_cast<const char*>(bytes), static_cast<size_t>(plainEnd - bytes)};
    return SUCCESS;
  }
  spare.clear();
  if (error_code e = ReadString(bytes, &spare)) return e;
  name = spare;
  return SUCCESS;
}

// A field's text replaces what an earlier member of the same name left, in storage taken
// once, so that no partial copy of a password is left behind in freed memory.
error_code ReadField(od::value value, std::string& target) {
  od::raw_json_string raw;
  if (error_code e = value.get_raw_json_string().get(raw)) return e;
  const auto* bytes = reinterpret_cast<const uint8_t*>(raw.raw());
  const uint8_t* plainEnd = PlainRunEnd(bytes);
  WipeText(target);
  if (*plainEnd == '"') {
    target.assign(reinterpret_cast<const char*>(bytes), static_cast<size_t>(plainEnd - bytes));
    return SUCCESS;
  }
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
  std::string spare;
  std::string_view name;
  for (auto member : object) {
    od::field field;
    if (error_code e = std::move(member).get(field)) return e;
    if (error_code e = ReadName(field, spare, name)) return e;
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
  std::string spare;
  std::string_view name;
  for (auto member : object) {
    od::field field;
    if (error_code e = std::move(member).get(field)) return e;
    if (error_code e = ReadName(field, spare, name)) return e;
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

// Reads a padded text; true when it is an acceptable payload.
bool ReadPayload(const char* text, size_t length, size_t capacity, std::vector<Entry>& list) {
  od::parser parser(kMaxFileSize);
  od::document document;
  if (parser.iterate(text, length, capacity).get(document)) return false;
  od::object root;
  if (document.get_object().get(root)) return false;
  bool entriesIsArray = false;
  std::string spare;
  std::string_view name;
  for (auto member : root) {
    od::field field;
    if (std::move(member).get(field) || ReadName(field, spare, name)) return false;
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
  try {
    accepted = ReadPayload(text, length, length + kPayloadPadding, list);
  } catch (const std::bad_alloc&) {
    accepted = false;
  }
  if (!accepted) WipeEntries(list);
  return accepted;
}

bool JsonToEntries(std::string_view text, std::vector<Entry>& list) {
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
