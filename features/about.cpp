#include "features/about.h"

#include <cstdio>

#include "app/dialog_loop.h"
#include "app/events.h"
#include "app/icon.h"
#include "app/key_table.h"
#include "app/labels.h"
#include "texts/texts.h"

namespace Features {
namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 300;
constexpr char kHeadingFont[] = "Sans Bold 12";
constexpr int kTextX = 290;
constexpr int kTextWidth = 300;

enum class Request { None, Cancel };

// Escape, Return, the Close button; and the title bar's close, as in every dialog.
constexpr App::DialogRow<Request> kRows[] = {
    {.event = App::DialogKey(kAboutCloseKey, App::kAboutWindow), .request = Request::Cancel},
    {.event = App::DialogControl(AboutCloseButton, App::kAboutWindow), .request = Request::Cancel},
};

constexpr App::Event kCloseKey = App::DialogKey(kAboutCloseKey, App::kAboutWindow);
constexpr App::KeyRow kKeys[] = {
    {.event = kCloseKey, .key = {GDK_KEY_Escape}},
    {.event = kCloseKey, .key = {GDK_KEY_Return}},
};

// ---- signal handlers: each posts one event of the About window --------------------------

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer) {
  App::PostEvent({App::EventKind::Close, App::kAboutWindow, 0, 0});
  return TRUE;  // the loop closes the window
}

// Another program destroyed the window: closed, as by its close button.
void OnDestroyed(GtkWidget*, gpointer gone) {
  *static_cast<bool*>(gone) = true;
  App::PostEvent({App::EventKind::Close, App::kAboutWindow, 0, 0});
}

void OnClose(GtkButton*, gpointer) {
  App::PostEvent({App::EventKind::Control, App::kAboutWindow, AboutCloseButton, App::kClicked});
}

// ---- building ---------------------------------------------------------------------------

GtkWidget* PlaceText(GtkWidget* area, const char* text, int y, int height) {
  GtkWidget* label = App::NewTextLabel(text);
  gtk_widget_set_size_request(label, kTextWidth, height);
  gtk_layout_put(GTK_LAYOUT(area), label, kTextX, y);
  return label;
}

// Centred over the parent's frame, title bar included.
void CentreOver(GtkWidget* window, GtkWidget* parent) {
  GdkWindow* frame = gtk_widget_get_window(parent);
  if (frame == nullptr) return;
  GdkRectangle extents{};
  gdk_window_get_frame_extents(frame, &extents);
  gtk_window_move(GTK_WINDOW(window), extents.x + extents.width / 2 - kWidth / 2,
                  extents.y + extents.height / 2 - kHeight / 2);
}

// A window of the About box's own, centred over the parent if there is one.
GtkWidget* NewAboutWindow(GtkWidget* parent) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), Texts::kText.aboutTitle);
  gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);  // close only
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), kWidth, kHeight);
  if (parent != nullptr) {
    gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(parent));
    CentreOver(window, parent);
  }
  return window;
}

// The logo, the texts and the Close button, which it gives back.
GtkWidget* FillAboutWindow(GtkWidget* window, const std::string& heading, GdkPixbuf* picture) {
  const Texts::Table& t = Texts::kText;
  GtkWidget* area = gtk_layout_new(nullptr, nullptr);
  gtk_widget_set_size_request(area, kWidth, kHeight);
  gtk_container_add(GTK_CONTAINER(window), area);
  if (picture != nullptr) {
    GtkWidget* image = gtk_image_new_from_pixbuf(picture);
    gtk_widget_set_size_request(image, gdk_pixbuf_get_width(picture),
                                gdk_pixbuf_get_height(picture));
    gtk_layout_put(GTK_LAYOUT(area), image, 16, 16);
  }
  PangoFontDescription* font = pango_font_description_from_string(kHeadingFont);
  App::SetLabelAttribute(PlaceText(area, heading.c_str(), 24, 46), pango_attr_font_desc_new(font));
  pango_font_description_free(font);  // the attribute holds a copy
  PlaceText(area, t.aboutEncryption, 120, 20);
  PlaceText(area, t.aboutInterface, 142, 20);
  PlaceText(area, t.aboutCreatedUsing, 182, 20);
  PlaceText(area, CompilerBuildLine().c_str(), 204, 20);
  GtkWidget* close = gtk_button_new_with_label(t.aboutClose);
  gtk_widget_set_size_request(close, 94, 28);
  gtk_layout_put(GTK_LAYOUT(area), close, 490, 256);
  return close;
}

}  // namespace

std::string BuildLine(const std::string& tool, int major, int minor) {
  char version[32];
  std::snprintf(version, sizeof version, "%d.%02d", major, minor);
  return tool + " " + version + " (Linux-x64)";
}

std::string CompilerBuildLine() {
#if defined(__clang__)
  return BuildLine("Clang", __clang_major__, __clang_minor__);
#elif defined(__GNUC__)
  return BuildLine("GCC", __GNUC__, __GNUC_MINOR__);
#else
  return BuildLine("C++", 0, 0);
#endif
}

void ShowAboutWindow(GtkWidget* parent, const std::string& heading, const unsigned char* logo,
                     size_t logoSize) {
  GdkPixbuf* picture = logoSize > 0 ? App::DecodePng(logo, logoSize) : nullptr;
  GtkWidget* window = NewAboutWindow(parent);
  GtkWidget* close = FillAboutWindow(window, heading, picture);

  App::InstallKeys(window, kKeys);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), nullptr);
  bool gone = false;
  const gulong destroyed = g_signal_connect(window, "destroy", G_CALLBACK(OnDestroyed), &gone);
  g_signal_connect(close, "clicked", G_CALLBACK(OnClose), nullptr);

  // Held, so that a parent another program destroys meanwhile is still there to be asked.
  if (parent != nullptr) g_object_ref(parent);
  if (parent != nullptr) gtk_widget_set_sensitive(parent, FALSE);
  gtk_widget_show_all(window);
  gtk_widget_grab_focus(close);

  // Other windows' events, the idle timer's included, are dropped: no countdown, lock or
  // clipboard clearing while this window is open.
  while (App::MapDialogEvent(App::WaitEvent(), App::kAboutWindow, kRows) != Request::Cancel) {
  }

  if (parent != nullptr) gtk_widget_set_sensitive(parent, TRUE);
  if (!gone) {
    g_signal_handler_disconnect(window, destroyed);
    gtk_widget_destroy(window);
  }
  if (picture != nullptr) g_object_unref(picture);
  if (parent != nullptr && gtk_widget_get_realized(parent)) gtk_window_present(GTK_WINDOW(parent));
  if (parent != nullptr) g_object_unref(parent);
}

}  // namespace Features
