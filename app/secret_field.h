// Text fields that hold passwords: they never take the PRIMARY selection, yet can be selected
// and typed over.
#pragma once

#include <gtk/gtk.h>

namespace App {

// Keeps the entry from ever owning PRIMARY: focusing it selects nothing, and GTK's own
// selection (mouse, keys, Select All) collapses to the cursor before the entry can offer
// it, so neither a shown password nor its bullets replace what another program holds.
// Ctrl+A, Shift+Home, Shift+End and a double or triple click select in the field's own way
// instead: the range is highlighted, and typing, pasting or deleting replaces it.
void KeepOffPrimary(GtkWidget* entry);
// The range such a field has selected, in characters; false when none.
[[nodiscard]] bool SecretSelection(GtkWidget* entry, int* start, int* end);

}  // namespace App
