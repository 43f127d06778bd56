#include "vault/payload_shape.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string_view>

#include "vault/json_text.h"

namespace Vault {
namespace {

constexpr std::string_view kRootOpen = "{\"entries\":[";
constexpr std::string_view kRootClose = "]}";
constexpr std::string_view kEntryClose = "\"}";

// The writer's member order: the order of its hash-bucket walk ("Wachtwoord" in bucket 4,
// "Omschrijving" 5, "Url" 15, "Gebruiker" 22). Readers of older files expect it, and the
// bytes of every saved vault follow from it.
constexpr std::string_view kWriterOrder[] = {"Wachtwoord", "Omschrijving", "Url", "Gebruiker"};
static_assert(std::size(kWriterOrder) == kEntryFieldCount);

// What comes before a member's value: `{"Name":"` for the first, `","Name":"` after that.
struct Member {
  std::string Entry::*field;
  std::array<char, 32> lead;
  size_t leadSize;
  constexpr std::string_view Lead() const { return {lead.data(), leadSize}; }
};

constexpr Member MakeMember(size_t position) {
  Member member{};
  for (const EntryField& field : kEntryFields) {
    if (field.jsonKey == kWriterOrder[position]) member.field = field.member;
  }
  for (std::string_view part : {position == 0 ? std::string_view("{\"") : "\",\"",
                                kWriterOrder[position], std::string_view("\":\"")}) {
    for (char c : part) member.lead[member.leadSize++] = c;
  }
  return member;
}

constexpr std::array<Member, kEntryFieldCount> MakeShape() {
  std::array<Member, kEntryFieldCount> shape{};
  for (size_t i = 0; i < kEntryFieldCount; ++i) shape[i] = MakeMember(i);
  return shape;
}
constexpr std::array<Member, kEntryFieldCount> kShape = MakeShape();

// Bytes of an entry without its texts.
constexpr size_t MakeFixedBytes() {
  size_t bytes = kEntryClose.size();
  for (const Member& member : kShape) bytes += member.leadSize;
  return bytes;
}
constexpr size_t kEntryFixedBytes = MakeFixedBytes();

// Every field is written once.
constexpr bool EveryFieldOnce() {
  for (const EntryField& field : kEntryFields) {
    if (std::count_if(kShape.begin(), kShape.end(),
                      [&](const Member& m) { return m.field == field.member; }) != 1) {
      return false;
    }
  }
  return true;
}
static_assert(EveryFieldOnce());

char* Put(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

bool Literal(const uint8_t*& p, const uint8_t* end, std::string_view literal) {
  if (static_cast<size_t>(end - p) < literal.size() ||
      std::memcmp(p, literal.data(), literal.size()) != 0) {
    return false;
  }
  p += literal.size();
  return true;
}

// A string value from just past its opening quote; p ends on its closing quote.
bool ShapedString(const uint8_t*& p, const uint8_t* end, std::string& target) {
  const uint8_t* start = p;
  p = PlainRunEnd(p, end);
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
  return Unescape(start, &target);
}

bool ShapedEntry(const uint8_t*& p, const uint8_t* end, Entry& entry) {
  for (const Member& member : kShape) {
    if (!Literal(p, end, member.Lead()) || !ShapedString(p, end, entry.*member.field)) {
      return false;
    }
  }
  return Literal(p, end, kEntryClose);
}

// Every entry ends in a brace; taking the storage once leaves no moved copies behind.
size_t EntriesAtMost(const uint8_t* p, const uint8_t* end) {
  size_t braces = 0;
  for (const void* at = std::memchr(p, '}', static_cast<size_t>(end - p)); at != nullptr;
       at = std::memchr(static_cast<const uint8_t*>(at) + 1, '}',
                        static_cast<size_t>(end - static_cast<const uint8_t*>(at) - 1))) {
    ++braces;
  }
  return std::min(braces, static_cast<size_t>(end - p) / kEntryFixedBytes);
}

bool ReadShape(const char* text, size_t length, std::vector<Entry>& list) {
  const auto* p = reinterpret_cast<const uint8_t*>(text);
  const uint8_t* end = p + length;
  if (!Literal(p, end, kRootOpen) || length < kRootOpen.size() + kRootClose.size() ||
      std::memcmp(end - kRootClose.size(), kRootClose.data(), kRootClose.size()) != 0 ||
      !simdjson::validate_utf8(text, length)) {
    return false;
  }
  list.reserve(EntriesAtMost(p, end));
  end -= kRootClose.size();
  if (p == end) return true;
  for (;;) {
    if (!ShapedEntry(p, end, list.emplace_back())) return false;
    if (p == end) return true;
    if (*p++ != ',') return false;
  }
}

}  // namespace

size_t JsonLength(const std::vector<Entry>& list) {
  size_t length = kRootOpen.size() + kRootClose.size();
  for (const Entry& e : list) {
    length += kEntryFixedBytes + 1;  // and the comma
    for (const Member& member : kShape) length += EscapedLength(e.*member.field);
  }
  if (!list.empty()) --length;  // no comma after the last entry
  return length;
}

void WriteJson(const std::vector<Entry>& list, char* out) {
  out = Put(out, kRootOpen);
  for (size_t i = 0; i < list.size(); ++i) {
    if (i > 0) *out++ = ',';
    for (const Member& member : kShape) {
      out = PutEscaped(Put(out, member.Lead()), list[i].*member.field);
    }
    out = Put(out, kEntryClose);
  }
  Put(out, kRootClose);
}

std::string EntriesToJson(const std::vector<Entry>& list) {
  std::string text(JsonLength(list), '\0');
  WriteJson(list, text.data());
  return text;
}

bool ReadWriterShape(const char* text, size_t length, std::vector<Entry>& list) {
  WipeEntries(list);
  bool shaped = false;
  try {
    shaped = ReadShape(text, length, list);
  } catch (const std::bad_alloc&) {
    shaped = false;  // running out of memory counts as not that shape
  }
  if (!shaped) WipeEntries(list);
  return shaped;
}

}  // namespace Vault
