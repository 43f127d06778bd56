// Text fields that hold passwords: they never take the PRIMARY selection.
#pragma once

#include <gtk/gtk.h>

namespace App {

// Keeps the entry from ever owning PRIMARY: focusing it selects nothing, and any selection
// made in it (mouse, keys, Select All) collapses to the cursor before the entry can offer
// it, so neither a shown password nor its bullets replace what another program holds.
void KeepOffPrimary(GtkWidget* entry);

}  // namespace App
