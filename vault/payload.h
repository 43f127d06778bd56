// The JSON payload inside a vault file: the entry list as text and back, and the texts it
// holds as a window shows them. Its parts (the JSON text, the writer's shape and the general
// reader) have headers of their own, for the vault core only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vault/entries.h"

namespace Vault {

// Bytes the readers may look at past the end of the text.
constexpr size_t kPayloadPadding = 64;

// True when text is an acceptable payload; list then holds its entries, else it is empty.
// The writer's own shape is read by its fast reader, anything else by the general one.
[[nodiscard]] bool JsonToEntries(std::string_view text, std::vector<Entry>& list);
// The same, reading a buffer that has kPayloadPadding readable bytes after the text, so
// that no copy of the plaintext is made.
[[nodiscard]] bool JsonToEntriesPadded(const char* text, size_t length, std::vector<Entry>& list);

// The compact payload text of a list; it holds the passwords in clear (wipe: WipeText).
[[nodiscard]] std::string EntriesToJson(const std::vector<Entry>& list);
// Byte length of the payload of a list.
[[nodiscard]] size_t JsonLength(const std::vector<Entry>& list);

// Texts are UTF-8, except that a lone UTF-16 surrogate read from a payload (valid JSON) is
// kept in its three-byte generalised UTF-8 form, and written back as its \u escape.
[[nodiscard]] bool HasLoneSurrogate(std::string_view text);
// The text as a window shows it: every lone surrogate becomes U+FFFD (same byte length).
// Secret: a copy of a password belongs to the caller, who wipes it (WipeText).
[[nodiscard]] std::string ShownText(std::string_view text);

// Bytes of UTF-8 that one code point takes at most.
constexpr size_t kMaxCodePointBytes = 4;
// Writes the UTF-8 of a code point at out, a lone surrogate in the same three-byte shape;
// gives back the end of what it wrote.
char* PutCodePoint(uint32_t codePoint, char* out);

}  // namespace Vault
