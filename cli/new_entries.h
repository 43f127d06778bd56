// Keeping the entries an import adds, and whether they still fit in the vault file.
#pragma once

#include <cstddef>
#include <vector>

#include "vault/vault.h"

namespace Cli {

// Keeps only the entries at the given ascending indices, in order, in place: no text is
// copied, and the texts of the others are wiped.
void KeepEntries(std::vector<Vault::Entry>& list, const std::vector<size_t>& indices);
// True when present and added together would pass the vault file's size limit; false when
// nothing is added.
[[nodiscard]] bool TooLargeTogether(const std::vector<Vault::Entry>& present,
                                    const std::vector<Vault::Entry>& added);

}  // namespace Cli
