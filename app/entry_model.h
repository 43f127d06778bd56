// The list's model: one row per entry of Entries, showing its description. It copies
// nothing, so filling the list costs the same for ten entries as for a hundred thousand.
#pragma once

#include <gtk/gtk.h>

namespace App {

// A model of the current Entries; its row count is fixed when it is made, and rows past
// the end of a shrunken list read as empty. The caller owns the reference.
[[nodiscard]] GtkTreeModel* NewEntryModel();
// Tells the views of a model that a row's entry changed (edited or moved), so none of them
// keeps showing the old text.
void EntryRowChanged(GtkTreeModel* model, int row);

}  // namespace App
