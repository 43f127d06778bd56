// The vault as CSV: the header "description,url,username,password", then one row per
// entry, fields quoted as RFC 4180 asks, lines ended by CRLF, UTF-8 without a byte-order
// mark.
#pragma once

#include <string>
#include <vector>

#include "vault/vault.h"

namespace Cli {

// Secret: the text holds every password in clear; the caller wipes it (Vault::WipeText).
// It is sized once, so that no growing leaves a copy behind.
[[nodiscard]] std::string ExportCsv(const std::vector<Vault::Entry>& entries);

}  // namespace Cli
