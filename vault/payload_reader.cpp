#include "vault/payload_reader.h"

#include <simdjson.h>

#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "vault/format.h"
#include "vault/json_text.h"
#include "vault/sodium.h"

namespace Vault {
namespace {

// Deeper nesting than any vault needs is refused rather than followed.
constexpr int kMaxDepth = 512;

namespace od = simdjson::ondemand;
using simdjson::error_code;
using simdjson::SUCCESS;

// simdjson refuses a lone surrogate escape, yet it is valid JSON and a valid text in the
// UTF-16 model the vault's texts follow; so strings are read from their raw JSON.
error_code ReadString(const uint8_t* raw, std::string* out) {
  return Unescape(raw, out) ? SUCCESS : simdjson::STRING_ERROR;
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

// The field a member's name stands for, or null.
std::string* FieldNamed(Entry& entry, std::string_view name) {
  for (const EntryField& field : kEntryFields) {
    if (name == field.jsonKey) return &(entry.*field.member);
  }
  return nullptr;
}

// One element of the "entries" array: an object yields its fields, anything else an empty
// entry. A member that is not a string leaves its field empty; the last one counts.
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
    std::string* target = FieldNamed(entry, name);
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

// The "entries" member: an array replaces the list read so far; true when it is an array.
bool ReadEntries(od::value value, std::vector<Entry>& list, bool& isArray) {
  WipeEntries(list);
  od::json_type type;
  if (value.type().get(type)) return false;
  isArray = type == od::json_type::array;
  if (!isArray) return CheckValue(value, 1) == SUCCESS;
  od::array array;
  if (value.get_array().get(array)) return false;
  for (auto element : array) {
    od::value item;
    if (std::move(element).get(item) || ReadEntry(item, list.emplace_back())) return false;
  }
  return true;
}

// Reads a padded text; true when it is an acceptable payload.
bool ReadPayload(const char* text, size_t length, std::vector<Entry>& list) {
  od::parser parser(kMaxFileSize);
  od::document document;
  if (parser.iterate(text, length, length + kPayloadPadding).get(document)) return false;
  od::object root;
  if (document.get_object().get(root)) return false;
  bool entriesIsArray = false;
  std::string name;
  for (auto member : root) {
    od::field field;
    if (std::move(member).get(field) || ReadName(field, name)) return false;
    od::value value = field.value();
    // A later "entries" replaces an earlier one.
    const bool read = name == "entries" ? ReadEntries(value, list, entriesIsArray)
                                        : CheckValue(value, 1) == SUCCESS;
    if (!read) return false;
  }
  // Nothing may follow the root object.
  return entriesIsArray && document.current_location().error() == simdjson::OUT_OF_BOUNDS;
}

}  // namespace

bool ReadGeneralPayload(const char* text, size_t length, std::vector<Entry>& list) {
  static_assert(kPayloadPadding >= simdjson::SIMDJSON_PADDING);
  WipeEntries(list);
  // simdjson would read a leading byte-order mark as white space; JSON has none.
  if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) return false;
  if (length > kMaxFileSize) return false;
  bool accepted = false;
  try {
    accepted = ReadPayload(text, length, list);
  } catch (const std::bad_alloc&) {
    accepted = false;
  }
  if (!accepted) WipeEntries(list);
  return accepted;
}

}  // namespace Vault
