// The entry list and its storage, which is wiped wherever texts of entries are left behind.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "texts/texts.h"

namespace Vault {

struct Entry {
  std::string Omschrijving;  // description
  std::string Url;
  std::string Gebruiker;   // user name
  std::string Wachtwoord;  // password

  bool operator==(const Entry&) const = default;
};

// One row per field of Entry, in the entry's order. Whatever handles every field (the
// payload, the editor, the companion's CSV, the merge of two versions) loops over this
// table, so that a new field is one new row and the places that show it.
struct EntryField {
  std::string Entry::*member;
  std::string_view jsonKey;                      // the payload's member name
  std::string_view keyword;                      // --columns names the field so
  std::span<const std::string_view> csvHeaders;  // header names of other programs, lower case
  bool trimmedByEditor;                          // spaces trimmed when the editor changes it
  bool names;   // part of the entry's name: two entries of one name are versions of one
  bool secret;  // the editor hides it and keeps it off the PRIMARY selection
  const char* Texts::Table::*editorLabel;  // the editor's label of its box
};

namespace FieldNames {
constexpr std::string_view kDescription[] = {"description", "title", "name", "account",
                                             "omschrijving"};
constexpr std::string_view kUrl[] = {"url",      "login_uri", "website",
                                     "web site", "hostname",  "webadres"};
constexpr std::string_view kUser[] = {"username",   "login_username", "user",          "login",
                                      "login name", "gebruiker",      "gebruikersnaam"};
constexpr std::string_view kPassword[] = {"password", "login_password", "wachtwoord"};
}  // namespace FieldNames

// Columns: member, jsonKey, keyword, csvHeaders, trimmedByEditor, names, secret, editorLabel.
constexpr EntryField kEntryFields[] = {
    {&Entry::Omschrijving, "Omschrijving", "description", FieldNames::kDescription, true, true,
     false, &Texts::Table::descriptionLabel},
    {&Entry::Url, "Url", "url", FieldNames::kUrl, true, false, false, &Texts::Table::entryUrlLabel},
    {&Entry::Gebruiker, "Gebruiker", "username", FieldNames::kUser, false, true, false,
     &Texts::Table::entryUserLabel},
    {&Entry::Wachtwoord, "Wachtwoord", "password", FieldNames::kPassword, false, false, true,
     &Texts::Table::entryPasswordLabel},
};
constexpr size_t kEntryFieldCount = std::size(kEntryFields);
// The texts that name each field in a sentence are arrays of this length.
static_assert(Texts::kFieldCount == kEntryFieldCount);
// Index of the description's row: the first part of the name, which may not be blank.
constexpr size_t kDescriptionField = 0;
static_assert(kEntryFields[kDescriptionField].member == &Entry::Omschrijving &&
              kEntryFields[kDescriptionField].names);

// True when a and b agree in every field that names an entry (description and user name).
[[nodiscard]] bool SameName(const Entry& a, const Entry& b);
// The entry's name as a person reads it, "Mail (ann)", or the description alone when it has
// no user name; each part passes through shown (Vault::ShownText for a window, the
// companion's Printable for a terminal).
[[nodiscard]] std::string EntryName(const Entry& entry, std::string (*shown)(std::string_view));

// Wipes the characters of one entry's fields (their storage stays).
void WipeEntry(Entry& entry);

// Wipes the characters of every entry, then empties the list.
void WipeEntries(std::vector<Entry>& list);
// Appends a copy of an entry; when the list must grow, its old storage is wiped first.
void AppendEntry(std::vector<Entry>& list, const Entry& entry);
// Removes an entry, wiping its texts and what the removal leaves behind in the list.
void EraseEntry(std::vector<Entry>& list, size_t index);

}  // namespace Vault
