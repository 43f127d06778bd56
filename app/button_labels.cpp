#include "app/button_labels.h"

#include <glib.h>

#include <cstring>

#include "texts/texts.h"

namespace App {
namespace {

constexpr char kGtkDomain[] = "gtk30";

// True when the first language the locale asks for is the edition's own.
bool LocaleSpeaksEdition() {
  const char* edition = Texts::kText.language;
  const gchar* first = g_get_language_names()[0];
  return first != nullptr && std::strncmp(first, edition, 2) == 0 &&
         std::strchr("_.@", first[2]) != nullptr;  // "nl", "nl_BE", "nl_NL.UTF-8"
}

const char* Translated(const char* gtkLabel, const char* editionLabel) {
  // The English edition's words are GTK's own, kept as they are.
  if (std::strcmp(editionLabel, gtkLabel) == 0 || !LocaleSpeaksEdition()) return editionLabel;
  const char* gtk = g_dgettext(kGtkDomain, gtkLabel);
  // GTK hands back its own text when it has no translation for this locale.
  return std::strcmp(gtk, gtkLabel) != 0 ? gtk : editionLabel;
}

}  // namespace

const char* ButtonLabel(StandardButton button) {
  const Texts::Table& t = Texts::kText;
  switch (button) {
    case StandardButton::Cancel:
      return Translated("_Cancel", t.buttonCancel);
    case StandardButton::Save:
      return Translated("_Save", t.buttonSave);
    case StandardButton::Open:
      return Translated("_Open", t.buttonOpen);
    case StandardButton::Yes:
      return t.buttonYes;
    case StandardButton::No:
      return t.buttonNo;
  }
  return t.buttonCancel;
}

}  // namespace App
