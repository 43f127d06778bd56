// A window's keys, each bound to the event it posts. The main window's come from the
// program's connection table; the dialog and the About window keep small tables of their own.
#pragma once

#include <gtk/gtk.h>

#include <span>

#include "app/events.h"

namespace App {

struct Key {
  guint code = 0;
  GdkModifierType mods = GdkModifierType(0);
};

struct KeyRow {
  Event event;
  Key key;
};

// Gives the window an accelerator group in which each row's key posts the row's event,
// unless the window is disabled. The rows must outlive the window.
void InstallKeys(GtkWidget* window, std::span<const KeyRow> rows);

}  // namespace App
