#include "app/styles.h"

namespace App {
namespace {

constexpr int kScreenPriority = 600;
constexpr char kScreenStyle[] =
    "button, entry {min-height: 20px;} tab {min-height: 20px;} button, scale {padding-bottom: "
    "2px; padding-left: 2px; padding-right: 2px; padding-top: 2px} ";
// Above the screen's sheet: a widget's own rules win over it.
constexpr int kWidgetPriority = 800;
// The theme's spin arrows alone are wider and taller than the editor's 70 x 26 box.
constexpr char kSpinStyle[] =
    "spinbutton, spinbutton entry {min-height: 0; padding-top: 0; padding-bottom: 0;} "
    "spinbutton button {min-width: 0; min-height: 0; padding: 0;} "
    "spinbutton entry {min-width: 0; padding-left: 3px; padding-right: 0;}";
constexpr char kProgressStyle[] = "* progress, trough  {min-height: 17px;}";

bool gScreenStyled = false;

GtkStyleProvider* NewSheet(const char* css) {
  GtkCssProvider* sheet = gtk_css_provider_new();
  gtk_css_provider_load_from_data(sheet, css, -1, nullptr);
  return GTK_STYLE_PROVIDER(sheet);
}

void AddWidgetSheet(GtkWidget* widget, const char* css) {
  GtkStyleProvider* sheet = NewSheet(css);
  gtk_style_context_add_provider(gtk_widget_get_style_context(widget), sheet, kWidgetPriority);
  g_object_unref(sheet);
}

}  // namespace

void StyleScreen() {
  if (gScreenStyled) return;
  GtkStyleProvider* sheet = NewSheet(kScreenStyle);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), sheet, kScreenPriority);
  g_object_unref(sheet);
  gScreenStyled = true;
}

void StyleCompactSpin(GtkWidget* spin) { AddWidgetSheet(spin, kSpinStyle); }

void StyleStatusProgress(GtkWidget* bar) { AddWidgetSheet(bar, kProgressStyle); }

}  // namespace App
