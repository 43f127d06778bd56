// Texts inside JSON strings: the escapes the writer makes and the readers take back, and the
// lone UTF-16 surrogates a payload may hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Vault {

// Texts are UTF-8, except that a lone UTF-16 surrogate read from a payload (valid JSON) is
// kept in its three-byte generalised UTF-8 form, and written back as its \u escape.
[[nodiscard]] bool HasLoneSurrogate(std::string_view text);
// The text as a window shows it: every lone surrogate becomes U+FFFD (same byte length).
// Secret: a copy of a password belongs to the caller, who wipes it (WipeText).
[[nodiscard]] std::string ShownText(std::string_view text);

// Byte length of the text once escaped for the inside of a string.
[[nodiscard]] size_t EscapedLength(const std::string& text);
// Writes the escaped text at out, which has EscapedLength bytes of room; gives back its end.
char* PutEscaped(char* out, const std::string& text);

// The first byte at or after p that a string cannot hold as it is (a quote, a backslash or a
// control byte), or end when there is none.
[[nodiscard]] const uint8_t* PlainRunEnd(const uint8_t* p, const uint8_t* end);
// Bytes of a raw string before its closing quote; the caller knows that quote is there.
[[nodiscard]] size_t RawLength(const uint8_t* raw);
// Reads the string whose raw text starts just after its opening quote into out, or only
// checks it when out is null. False on a bad escape or a raw control byte. The raw text must
// end in a quote or a byte below 0x20 that the reader may look at (padding does).
// The unescaped text is never longer than the raw one.
[[nodiscard]] bool Unescape(const uint8_t* p, std::string* out);

}  // namespace Vault
