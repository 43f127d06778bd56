// Texts inside JSON strings: the escapes the writer makes and the readers take back. Part of
// the payload, for the vault core only; what others use of it is in payload.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Vault {

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
