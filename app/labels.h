// The labels every window builds alike.
#pragma once

#include <gtk/gtk.h>

namespace App {

// A label that starts at its box's left edge. Screen readers announce the field, if one is
// given, with the label's text.
GtkWidget* NewLabel(const char* text, GtkWidget* field = nullptr);
// A label for a block of text: at the top left of its box, wrapped at the width it is given.
GtkWidget* NewTextLabel(const char* text);
// Sets one attribute (a font, a scale) over the label's whole text; the label takes it.
void SetLabelAttribute(GtkWidget* label, PangoAttribute* attribute);

}  // namespace App
