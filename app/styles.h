// The program's style sheets over the theme, each laid in one place.
#pragma once

#include <gtk/gtk.h>

namespace App {

// Compacts buttons, fields and tabs in every window; the second call does nothing.
void StyleScreen();
// Fits a spin field with its arrows into a box lower and narrower than the theme wants.
void StyleCompactSpin(GtkWidget* spin);
// Gives the status bar's countdown bar the height of the text fields beside it.
void StyleStatusProgress(GtkWidget* bar);

}  // namespace App
