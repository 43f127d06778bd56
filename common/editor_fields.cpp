#include "common/editor_fields.h"

#include "common/blanks.h"
#include "common/password_generator.h"

namespace Common {

std::string FieldOnOk(const std::string& stored, std::string_view given, std::string_view now,
                      bool trim) {
  if (now == given) return stored;
  return std::string(trim ? Common::TrimBlanks(now, Common::Blanks::Spaces) : now);
}

Vault::Entry EntryOnOk(const Vault::Entry& stored, const Vault::Entry& given,
                       const Vault::Entry& now) {
  return {FieldOnOk(stored.Omschrijving, given.Omschrijving, now.Omschrijving, true),
          FieldOnOk(stored.Url, given.Url, now.Url, true),
          FieldOnOk(stored.Gebruiker, given.Gebruiker, now.Gebruiker, false),
          FieldOnOk(stored.Wachtwoord, given.Wachtwoord, now.Wachtwoord, false)};
}

}  // namespace Common
