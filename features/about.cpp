#include "features/about.h"

#include <cstdio>

#include "app/events.h"
#include "app/icon.h"
#include "app/key_table.h"

namespace Features {
namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 300;
constexpr char kHeadingFont[] = "Sans Bold 12";
constexpr char kCreditLine1[] = "Encryption: libsodium";
constexpr char kCreditLine2[] = "Interface: GTK 3";

struct AboutTexts {
  const char* title;
  const char* createdUsing;
  const char* close;
};
constexpr AboutTexts kEnglish = {"About", "Created using:", "Close"};
constexpr AboutTexts kDutch = {"Over", "Gemaakt met:", "Sluiten"};

constexpr App::Event kCloseKey = {App::EventKind::Menu, App::kAboutWindow, kAboutCloseKey, 0};
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

GtkWidget* PlaceLabel(GtkWidget* area, const char* text, int x, int y, int width, int height) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(label), 1);  // wrap at the given width
  gtk_widget_set_size_request(label, width, height);
  gtk_layout_put(GTK_LAYOUT(area), label, x, y);
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

bool EndsTheWindow(const App::Event& event) {
  switch (event.kind) {
    case App::EventKind::Close:
      return true;
    case App::EventKind::Menu:
      return event.object == kAboutCloseKey;
    case App::EventKind::Control:
      return event.object == AboutCloseButton;
    default:
      return false;
  }
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
                     size_t logoSize, bool dutch) {
  const AboutTexts& texts = dutch ? kDutch : kEnglish;
  GdkPixbuf* picture = logoSize > 0 ? App::DecodePng(logo, logoSize) : nullptr;

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), texts.title);
  gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);  // close only
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), kWidth, kHeight);
  if (parent != nullptr) {
    gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(parent));
    CentreOver(window, parent);
  }
  GtkWidget* area = gtk_layout_new(nullptr, nullptr);
  gtk_widget_set_size_request(area, kWidth, kHeight);
  gtk_container_add(GTK_CONTAINER(window), area);

  if (picture != nullptr) {
    GtkWidget* image = gtk_image_new_from_pixbuf(picture);
    gtk_widget_set_size_request(image, gdk_pixbuf_get_width(picture),
                                gdk_pixbuf_get_height(picture));
    gtk_layout_put(GTK_LAYOUT(area), image, 16, 16);
  }
  GtkWidget* title = PlaceLabel(area, heading.c_str(), 290, 24, 300, 46);
  PangoFontDescription* font = pango_font_description_from_string(kHeadingFont);
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_font_desc_new(font));
  gtk_label_set_attributes(GTK_LABEL(title), attributes);
  PlaceLabel(area, kCreditLine1, 290, 120, 300, 20);
  PlaceLabel(area, kCreditLine2, 290, 142, 300, 20);
  PlaceLabel(area, texts.createdUsing, 290, 182, 300, 20);
  PlaceLabel(area, CompilerBuildLine().c_str(), 290, 204, 300, 20);
  GtkWidget* close = gtk_button_new_with_label(texts.close);
  gtk_widget_set_size_request(close, 94, 28);
  gtk_layout_put(GTK_LAYOUT(area), close, 490, 256);

  App::InstallKeys(window, kKeys);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), nullptr);
  bool gone = false;
  const gulong destroyed = g_signal_connect(window, "destroy", G_CALLBACK(OnDestroyed), &gone);
  g_signal_connect(close, "clicked", G_CALLBACK(OnClose), nullptr);

  if (parent != nullptr) gtk_widget_set_sensitive(parent, FALSE);
  gtk_widget_show_all(window);
  gtk_widget_grab_focus(close);

  // Other windows' events, the idle timer's included, are dropped: no countdown, lock or
  // clipboard clearing while this window is open.
  for (;;) {
    const App::Event event = App::WaitEvent();
    if (event.window == App::kAboutWindow && EndsTheWindow(event)) break;
  }

  if (parent != nullptr) gtk_widget_set_sensitive(parent, TRUE);
  if (!gone) {
    g_signal_handler_disconnect(window, destroyed);
    gtk_widget_destroy(window);
  }
  pango_attr_list_unref(attributes);
  pango_font_description_free(font);
  if (picture != nullptr) g_object_unref(picture);
  if (parent != nullptr) gtk_window_present(GTK_WINDOW(parent));
}

}  // namespace Features
