#include "common/editor_fields.h"

#include "common/blanks.h"

namespace Common {
namespace {

std::string_view Trimmed(std::string_view text, bool trim) {
  return trim ? Common::TrimBlanks(text, Common::Blanks::Spaces) : text;
}

}  // namespace

Vault::Entry EntryFromFields(const Vault::Entry& typed) {
  Vault::Entry entry;
  for (const Vault::EntryField& field : Vault::kEntryFields) {
    entry.*field.member = Trimmed(typed.*field.member, field.trimmedByEditor);
  }
  return entry;
}

std::string FieldOnOk(const std::string& stored, std::string_view given, std::string_view now,
                      bool trim) {
  if (now == given) return stored;
  return std::string(Trimmed(now, trim));
}

Vault::Entry EntryOnOk(const Vault::Entry& stored, const Vault::Entry& given,
                       const Vault::Entry& now) {
  Vault::Entry entry;
  for (const Vault::EntryField& field : Vault::kEntryFields) {
    entry.*field.member = FieldOnOk(stored.*field.member, given.*field.member, now.*field.member,
                                    field.trimmedByEditor);
  }
  return entry;
}

}  // namespace Common
