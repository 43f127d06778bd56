// The payload in the writer's own shape: the writer, and the fast reader of that shape.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "vault/entries.h"

namespace Vault {

// The compact payload text of a list; it holds the passwords in clear (wipe: WipeText).
[[nodiscard]] std::string EntriesToJson(const std::vector<Entry>& list);
// Byte length of the payload of a list, and the writer into a buffer of that length.
[[nodiscard]] size_t JsonLength(const std::vector<Entry>& list);
void WriteJson(const std::vector<Entry>& list, char* out);

// True when the whole text has exactly the writer's shape and is valid; list then holds its
// entries. False (list empty) says only "not that shape": the general reader decides.
[[nodiscard]] bool ReadWriterShape(const char* text, size_t length, std::vector<Entry>& list);

}  // namespace Vault
