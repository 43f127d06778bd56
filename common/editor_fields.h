// What the entry editor keeps and what it takes from its text boxes. No GTK here.
#pragma once

#include <string>
#include <string_view>

#include "vault/vault.h"

namespace Common {

// The entry the editor's boxes give, each field as the table's trim rule says: description
// and address without spaces at their ends, user name and password exactly as typed.
[[nodiscard]] Vault::Entry EntryFromFields(const Vault::Entry& typed);
// The text a field gives on OK. While its box still holds what it was given, the stored
// text, byte for byte: a box cannot hold every text (length, U+0000, a lone surrogate), so
// what it shows may be less than the field. Otherwise the box's text, spaces trimmed when
// trim is set.
[[nodiscard]] std::string FieldOnOk(const std::string& stored, std::string_view given,
                                    std::string_view now, bool trim);
// The entry OK gives: FieldOnOk for every field, with the table's trim rule.
// Secret: the caller owns the password of the result and wipes it.
[[nodiscard]] Vault::Entry EntryOnOk(const Vault::Entry& stored, const Vault::Entry& given,
                                     const Vault::Entry& now);

}  // namespace Common
