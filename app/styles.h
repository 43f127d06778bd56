// The program's style sheets over the theme, each laid in one place.
#pragma once

#include <gtk/gtk.h>

namespace App {

// Compacts buttons, fields and tabs in every window; the second call does nothing.
void StyleScreen();
// Fits a spin field with its arrows into a box lower and narrower than the theme wants.
void StyleCompactSpin(GtkWidget* spin);

}  // namespace App
