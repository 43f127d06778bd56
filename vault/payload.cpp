#include <array>
#include <cstring>
#include <new>
#include <nlohmann/json.hpp>

#include "vault/vault.h"

namespace Vault {
namespace {

// Deeper nesting than any vault needs is refused rather than followed.
constexpr int kMaxDepth = 512;

constexpr std::string_view kRootOpen = "{\"entries\":[";
constexpr std::string_view kRootClose = "]}";
// Member order of the writer: the order of its hash-bucket walk ("Wachtwoord" in bucket 4,
// "Omschrijving" 5, "Url" 15, "Gebruiker" 22); readers of older files expect it.
constexpr std::string_view kPart1 = "{\"Wachtwoord\":\"";
constexpr std::string_view kPart2 = "\",\"Omschrijving\":\"";
constexpr std::string_view kPart3 = "\",\"Url\":\"";
constexpr std::string_view kPart4 = "\",\"Gebruiker\":\"";
constexpr std::string_view kPart5 = "\"}";

// Output length of each byte inside a string value.
constexpr std::array<unsigned char, 256> MakeEscapeLengths() {
  std::array<unsigned char, 256> lengths{};
  for (int c = 0; c < 256; ++c) lengths[c] = 1;
  for (int c = 0; c < 0x20; ++c) lengths[c] = 6;
  for (int c : {'\b', '\t', '\n', '\f', '\r', '"', '\\'}) lengths[c] = 2;
  return lengths;
}
constexpr std::array<unsigned char, 256> kEscapeLength = MakeEscapeLengths();

size_t EscapedLength(const std::string& text) {
  size_t length = 0;
  for (unsigned char c : text) length += kEscapeLength[c];
  return length;
}

char* Put(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

char* PutEscaped(char* out, const std::string& text) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (unsigned char c : text) {
    if (kEscapeLength[c] == 1) {
      *out++ = static_cast<char>(c);
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

// Fills the list while the parser walks the text, without building a document tree.
// depth counts the open containers; a value at depth 1 belongs to the root object, at
// depth 2 to the "entries" array (when inEntries), at depth 3 to an entry object.
struct EntriesBuilder {
  std::vector<Entry>& list;
  int depth = 0;
  bool rootKeyIsEntries = false;
  bool entriesIsArray = false;  // the last "entries" member seen held an array
  bool inEntries = false;
  bool inEntry = false;
  std::string* field = nullptr;  // the entry field named by the current key, if any

  // Any value (scalar or container start) at the current depth. False rejects the text.
  bool Value(std::string* text) {
    if (depth == 0) return false;  // the root must be an object, handled in StartObject
    if (depth == 1 && rootKeyIsEntries) {
      entriesIsArray = false;  // a later "entries" replaces an earlier one
      WipeEntries(list);
    } else if (depth == 2 && inEntries) {
      list.emplace_back();
    } else if (depth == 3 && inEntry && field != nullptr) {
      if (text != nullptr) {
        *field = std::move(*text);
      } else {
        field->clear();  // a non-string value leaves the field empty
      }
      field = nullptr;
    }
    return true;
  }

  bool null() { return Value(nullptr); }
  bool boolean(bool) { return Value(nullptr); }
  bool number_integer(int64_t) { return Value(nullptr); }
  bool number_unsigned(uint64_t) { return Value(nullptr); }
  bool number_float(double, const std::string&) { return Value(nullptr); }
  bool string(std::string& text) { return Value(&text); }
  bool binary(std::vector<uint8_t>&) { return false; }

  bool start_object(size_t) {
    if (depth >= kMaxDepth) return false;
    if (depth > 0 && !Value(nullptr)) return false;
    const bool entryObject = depth == 2 && inEntries;
    ++depth;
    if (entryObject) inEntry = true;
    return true;
  }
  bool end_object() {
    --depth;
    if (depth == 2 && inEntry) inEntry = false;
    return true;
  }
  bool start_array(size_t) {
    if (depth >= kMaxDepth) return false;
    const bool isEntries = depth == 1 && rootKeyIsEntries;
    if (!Value(nullptr)) return false;
    ++depth;
    if (isEntries) {
      entriesIsArray = true;
      inEntries = true;
    }
    return true;
  }
  bool end_array() {
    --depth;
    if (depth == 1 && inEntries) inEntries = false;
    return true;
  }
  bool key(std::string& name) {
    if (depth == 1) {
      rootKeyIsEntries = name == "entries";
    } else if (depth == 3 && inEntry) {
      Entry& e = list.back();
      field = name == "Omschrijving" ? &e.Omschrijving
              : name == "Url"        ? &e.Url
              : name == "Gebruiker"  ? &e.Gebruiker
              : name == "Wachtwoord" ? &e.Wachtwoord
                                     : nullptr;
    }
    return true;
  }
  bool parse_error(size_t, const std::string&, const nlohmann::detail::exception&) { return false; }
};

}  // namespace

size_t JsonLength(const std::vector<Entry>& list) {
  const size_t perEntry = kPart1.size() + kPart2.size() + kPart3.size() + kPart4.size() +
                          kPart5.size() + 1;  // the comma
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
    out = PutEscaped(Put(out, kPart1), e.Wachtwoord);
    out = PutEscaped(Put(out, kPart2), e.Omschrijving);
    out = PutEscaped(Put(out, kPart3), e.Url);
    out = PutEscaped(Put(out, kPart4), e.Gebruiker);
    out = Put(out, kPart5);
  }
  Put(out, kRootClose);
}

std::string EntriesToJson(const std::vector<Entry>& list) {
  std::string text(JsonLength(list), '\0');
  WriteJson(list, text.data());
  return text;
}

std::string EntriesToJson() { return EntriesToJson(Entries()); }

bool JsonToEntries(std::string_view text, std::vector<Entry>& list) {
  WipeEntries(list);
  // The parser would skip a byte-order mark; only white space may surround the value.
  if (text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0) return false;
  // The parser ends its input at a NUL byte; JSON allows none outside escapes.
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) return false;
  EntriesBuilder builder{list};
  bool accepted = false;
  try {
    accepted = nlohmann::json::sax_parse(text.data(), text.data() + text.size(), &builder,
                                         nlohmann::json::input_format_t::json, true, false) &&
               builder.entriesIsArray;
  } catch (const std::exception&) {
    accepted = false;  // out of memory while filling the list
  }
  if (!accepted) WipeEntries(list);
  return accepted;
}

}  // namespace Vault
