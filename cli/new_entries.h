// Which entries an import or a merge adds: those not yet present, all four fields compared.
#pragma once

#include <cstddef>
#include <vector>

#include "vault/vault.h"

namespace Cli {

// The indices of candidates that equal neither an entry of present nor an earlier candidate,
// in order.
[[nodiscard]] std::vector<size_t> MissingEntries(const std::vector<Vault::Entry>& present,
                                                 const std::vector<Vault::Entry>& candidates);
// Keeps only the entries at the given ascending indices, in order, in place: no text is
// copied, and the texts of the others are wiped.
void KeepEntries(std::vector<Vault::Entry>& list, const std::vector<size_t>& indices);
// True when present and added together would pass the vault file's size limit; false when
// nothing is added.
[[nodiscard]] bool TooLargeTogether(const std::vector<Vault::Entry>& present,
                                    const std::vector<Vault::Entry>& added);

}  // namespace Cli
