// The list's model: one row per entry of Entries, showing its description. It copies
// nothing, so filling the list costs the same for ten entries as for a hundred thousand.
#pragma once

#include <gtk/gtk.h>

#include <string>

namespace App {

// Characters of a description that a row shows; a longer one ends in "…" there. Pango lays
// a row out whole, and a megabyte of text is drawn as glyphs over one another.
constexpr size_t kRowCharacters = 1000;

// What a row shows of a description: as ShownText gives it, shortened to kRowCharacters.
[[nodiscard]] std::string RowText(const std::string& description);

// A model of the current Entries; its row count is fixed when it is made, and rows past
// the end of a shrunken list read as empty. The caller owns the reference.
[[nodiscard]] GtkTreeModel* NewEntryModel();
// Tells the views of a model that a row's entry changed (edited or moved), so none of them
// keeps showing the old text.
void EntryRowChanged(GtkTreeModel* model, int row);

}  // namespace App
