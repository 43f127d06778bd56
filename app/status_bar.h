// The main window's status bar: the message line, the idle countdown bar and its seconds.
#pragma once

#include <gtk/gtk.h>

#include <string>

namespace App {

constexpr int kStatusFieldCount = 3;

// The row of three framed fields.
GtkWidget* BuildStatusBar();
void ForgetStatusBar();
// Shows " " + message in field 0, the message line (bytes that are no UTF-8 shown as U+FFFD).
void SetStatusText(const std::string& message);
// The message line's text, without the leading space.
[[nodiscard]] std::string StatusText();
// Field 1 as a progress bar (from the first call on) and the seconds text in field 2.
void ShowCountdown(double fraction, const std::string& secondsText);
// The label or progress bar of a field.
GtkWidget* StatusFieldWidget(int field);
// Paints the main window now, so that a status text is seen before the window blocks.
void PaintNow();

}  // namespace App
