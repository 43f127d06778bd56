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

namespace od = simdjson::ondemand;
using simdjson::error_code;
using simdjson::SUCCESS;

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
  for (auto member : object) {
    od::field field;
    std::string_view name;
    if (error_code e = std::move(member).get(field)) return e;
    if (error_code e = field.unescaped_key().get(name)) return e;
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
      return value.get_string().error();
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
  for (auto member : object) {
    od::field field;
    std::string_view name;
    if (error_code e = std::move(member).get(field)) return e;
    if (error_code e = field.unescaped_key().get(name)) return e;
    std::string* target = name == "Omschrijving" ? &entry.Omschrijving
                          : name == "Url"        ? &entry.Url
                          : name == "Gebruiker"  ? &entry.Gebruiker
                          : name == "Wachtwoord" ? &entry.Wachtwoord
                                                 : nullptr;
    od::value value = field.value();
    if (target != nullptr) {
      if (error_code e = value.type().get(type)) return e;
      if (type == od::json_type::string) {
        std::string_view text;
        if (error_code e = value.get_string().get(text)) return e;
        target->assign(text);
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
  for (auto member : root) {
    od::field field;
    std::string_view name;
    if (std::move(member).get(field) || field.unescaped_key().get(name)) return false;
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

}  // namespace Vault
