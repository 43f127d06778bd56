// Owns the status bar's three fields and the painting of a status text before a long wait.
#include "app/status_bar.h"

#include "app/main_window.h"
#include "app/styles.h"

namespace App {
namespace {

constexpr int kFieldWidths[kStatusFieldCount] = {-1, 160, 60};
constexpr int kFieldMargin = 2;
constexpr int kFieldPadding = 6;      // over the text's natural height
constexpr int kSmallTextHeight = 16;  // below this a field gets kSmallFieldHeight
constexpr int kSmallFieldHeight = 22;
constexpr int kMessageField = 0;
constexpr int kCountdownField = 1;
constexpr int kSecondsField = 2;
constexpr gint64 kPaintPatienceUs = 250000;

GtkWidget* gFrames[kStatusFieldCount] = {};
GtkWidget* gFields[kStatusFieldCount] = {};
bool gCountdownIsBar = false;

int FieldHeight(GtkWidget* label) {
  int natural = 0;
  gtk_widget_get_preferred_height(label, nullptr, &natural);
  return natural < kSmallTextHeight ? kSmallFieldHeight : natural + kFieldPadding;
}

GtkWidget* NewFieldLabel(float xalign) {
  GtkWidget* label = gtk_label_new("");
  gtk_label_set_xalign(GTK_LABEL(label), xalign);
  gtk_label_set_yalign(GTK_LABEL(label), 0.5f);
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  return label;
}

}  // namespace

GtkWidget* BuildStatusBar() {
  GtkWidget* bar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  for (int i = 0; i < kStatusFieldCount; ++i) {
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
    gtk_widget_set_margin_start(frame, kFieldMargin);
    gtk_widget_set_margin_end(frame, kFieldMargin);
    gtk_widget_set_margin_top(frame, kFieldMargin);
    gtk_widget_set_margin_bottom(frame, kFieldMargin);
    GtkWidget* label = NewFieldLabel(i == kSecondsField ? 0.5f : 0.0f);
    gtk_container_add(GTK_CONTAINER(frame), label);
    gtk_widget_set_size_request(frame, kFieldWidths[i], FieldHeight(label));
    gtk_box_pack_start(GTK_BOX(bar), frame, i == kMessageField, i == kMessageField, 0);
    gFrames[i] = frame;
    gFields[i] = label;
  }
  gCountdownIsBar = false;
  return bar;
}

void ForgetStatusBar() {
  for (GtkWidget*& field : gFields) field = nullptr;
  for (GtkWidget*& frame : gFrames) frame = nullptr;
}

void SetStatusText(const std::string& message) {
  // A file name in it may hold bytes that are no UTF-8; the label (and the accessibility bus
  // behind it) takes only valid text.
  gchar* valid = g_utf8_make_valid((" " + message).c_str(), -1);
  gtk_label_set_text(GTK_LABEL(gFields[kMessageField]), valid);
  g_free(valid);
}

std::string StatusText() {
  if (gFields[kMessageField] == nullptr) return "";
  const std::string shown = gtk_label_get_text(GTK_LABEL(gFields[kMessageField]));
  return shown.empty() ? shown : shown.substr(1);
}

void ShowCountdown(double fraction, const std::string& secondsText) {
  if (!gCountdownIsBar) {
    // The field turns into a progress bar at the first countdown.
    gtk_widget_destroy(gFields[kCountdownField]);
    GtkWidget* bar = gtk_progress_bar_new();
    StyleStatusProgress(bar);
    gtk_widget_set_valign(bar, GTK_ALIGN_CENTER);
    gtk_container_add(GTK_CONTAINER(gFrames[kCountdownField]), bar);
    gtk_widget_show(bar);
    gFields[kCountdownField] = bar;
    gCountdownIsBar = true;
  }
  gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(gFields[kCountdownField]), fraction);
  gtk_label_set_text(GTK_LABEL(gFields[kSecondsField]), secondsText.c_str());
}

GtkWidget* StatusFieldWidget(int field) { return gFields[field]; }

void PaintNow() {
  GtkWidget* main = MainWindowWidget();
  if (main == nullptr || !gtk_widget_get_mapped(main)) return;
  // Run the loop until the frame clock has painted the window once more, then wait until
  // the X server has the picture: the caller is about to block for a while.
  GdkFrameClock* clock = gtk_widget_get_frame_clock(main);
  bool painted = false;
  const gulong handler = g_signal_connect_swapped(
      clock, "after-paint", G_CALLBACK(+[](bool* done) { *done = true; }), &painted);
  gtk_widget_queue_draw(main);
  const gint64 deadline = g_get_monotonic_time() + kPaintPatienceUs;
  while (!painted && g_get_monotonic_time() < deadline) g_main_context_iteration(nullptr, TRUE);
  g_signal_handler_disconnect(clock, handler);
  gdk_display_sync(gtk_widget_get_display(main));
}

}  // namespace App
