// The JSON payload inside a vault file: the entry list as text and back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "vault/entries.h"

namespace Vault {

// The compact payload text of a list; it holds the passwords in clear (wipe: WipeText).
[[nodiscard]] std::string EntriesToJson(const std::vector<Entry>& list);
// Byte length of the payload of a list, and the writer into a buffer of that length.
[[nodiscard]] size_t JsonLength(const std::vector<Entry>& list);
void WriteJson(const std::vector<Entry>& list, char* out);
// True when text is an acceptable payload; list then holds its entries, else it is empty.
[[nodiscard]] bool JsonToEntries(std::string_view text, std::vector<Entry>& list);
// Bytes the reader may look at past the end of the text.
constexpr size_t kPayloadPadding = 64;
// The same, reading a buffer that has kPayloadPadding readable bytes after the text, so
// that no copy of the plaintext is made.
[[nodiscard]] bool JsonToEntriesPadded(const char* text, size_t length, std::vector<Entry>& list);

// Texts are UTF-8, except that a lone UTF-16 surrogate read from a payload (valid JSON) is
// kept in its three-byte generalised UTF-8 form, and written back as its \u escape.
[[nodiscard]] bool HasLoneSurrogate(std::string_view text);
// The text as a window shows it: every lone surrogate becomes U+FFFD (same byte length).
// Secret: a copy of a password belongs to the caller, who wipes it (WipeText).
[[nodiscard]] std::string ShownText(std::string_view text);

}  // namespace Vault
