// What the robot's files share among themselves; stories use robot.h.
#pragma once

#include <gtk/gtk.h>

#include <string>

namespace Robot::Parts {

// The label of the dialog's button for a response; empty when it has none.
[[nodiscard]] std::string LabelFor(GtkDialog* dialog, int response);
// The last visible top-level window of this type, or null.
[[nodiscard]] GtkWidget* VisibleToplevel(GType type);
// A key press as the X server would deliver it to a window: through GTK's own key
// handling, so the window's shortcuts see it first.
void SendKey(GtkWidget* window, guint keyval, GdkModifierType mods);
// Whether a control is shown and enabled.
[[nodiscard]] bool Usable(int control);
// Forgets the file requesters seen (a new story).
void ForgetRequesters();

}  // namespace Robot::Parts
