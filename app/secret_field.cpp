#include "app/secret_field.h"

#include <initializer_list>

namespace App {
namespace {

constexpr char kSelectionKey[] = "lockwell-selection";

// The field's own selection, in characters; empty when start == end.
struct Selection {
  int start = 0;
  int end = 0;
};

Selection& Held(GtkWidget* entry) {
  auto* held = static_cast<Selection*>(g_object_get_data(G_OBJECT(entry), kSelectionKey));
  if (held == nullptr) {
    held = new Selection;
    g_object_set_data_full(G_OBJECT(entry), kSelectionKey, held,
                           [](gpointer data) { delete static_cast<Selection*>(data); });
  }
  return *held;
}

// Byte offset in what the field shows of the character at index: bullets for a hidden text.
int ShownOffset(GtkEntry* entry, int index) {
  if (!gtk_entry_get_visibility(entry)) {
    char bullet[6];
    return index * g_unichar_to_utf8(gtk_entry_get_invisible_char(entry), bullet);
  }
  const char* text = gtk_entry_get_text(entry);
  return static_cast<int>(g_utf8_offset_to_pointer(text, index) - text);
}

// Shown in the colours of a selection (GTK's own theme's), though GTK knows nothing of it.
void Select(GtkWidget* entry, int start, int end) {
  Held(entry) = {start < end ? start : end, start < end ? end : start};
  PangoAttrList* marks = pango_attr_list_new();
  if (start != end) {
    const Selection& s = Held(entry);
    PangoAttribute* back = pango_attr_background_new(0x3584, 0xe4e4, 0xffff);
    PangoAttribute* fore = pango_attr_foreground_new(0xffff, 0xffff, 0xffff);
    for (PangoAttribute* mark : {back, fore}) {
      mark->start_index = static_cast<guint>(ShownOffset(GTK_ENTRY(entry), s.start));
      mark->end_index = static_cast<guint>(ShownOffset(GTK_ENTRY(entry), s.end));
      pango_attr_list_insert(marks, mark);
    }
  }
  gtk_entry_set_attributes(GTK_ENTRY(entry), marks);
  pango_attr_list_unref(marks);
}

void Unselect(GtkWidget* entry) {
  if (Held(entry).start != Held(entry).end) Select(entry, 0, 0);
}

// GtkEntry selects its whole text when focused from the keyboard; that selection would be
// offered as PRIMARY at once.
void OnGrabFocus(GtkWidget* entry, gpointer) {
  g_signal_stop_emission_by_name(entry, "grab-focus");
  gtk_entry_grab_focus_without_selecting(GTK_ENTRY(entry));
}

// GtkEntry offers a new selection as PRIMARY after telling of the moved bounds; collapsing
// it here leaves it nothing to offer.
void OnBoundsMoved(GObject* entry, GParamSpec*, gpointer) {
  int start = 0, end = 0;
  if (gtk_editable_get_selection_bounds(GTK_EDITABLE(entry), &start, &end)) {
    gtk_editable_set_position(GTK_EDITABLE(entry), gtk_editable_get_position(GTK_EDITABLE(entry)));
  }
}

// The keys that select; true when the key was one of them.
bool SelectByKey(GtkWidget* entry, const GdkEventKey* key, guint mods) {
  const int length = gtk_entry_get_text_length(GTK_ENTRY(entry));
  const int cursor = gtk_editable_get_position(GTK_EDITABLE(entry));
  const guint k = key->keyval;
  if (mods == GDK_CONTROL_MASK && (k == GDK_KEY_a || k == GDK_KEY_A || k == GDK_KEY_slash)) {
    Select(entry, 0, length);
  } else if (mods == GDK_SHIFT_MASK && (k == GDK_KEY_Home || k == GDK_KEY_KP_Home)) {
    Select(entry, 0, cursor);
  } else if (mods == GDK_SHIFT_MASK && (k == GDK_KEY_End || k == GDK_KEY_KP_End)) {
    Select(entry, cursor, length);
  } else {
    return false;
  }
  return true;
}

// Keys that delete, and keys that put text in: with a selection, it goes first.
bool Deletes(guint k) {
  return k == GDK_KEY_BackSpace || k == GDK_KEY_Delete || k == GDK_KEY_KP_Delete;
}
bool Inserts(const GdkEventKey* key, guint mods) {
  if (mods == GDK_CONTROL_MASK) return key->keyval == GDK_KEY_v || key->keyval == GDK_KEY_V;
  if (mods == GDK_SHIFT_MASK && key->keyval == GDK_KEY_Insert) return true;
  return (mods & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) == 0 &&
         gdk_keyval_to_unicode(key->keyval) != 0;
}

gboolean OnKey(GtkWidget* entry, GdkEventKey* key, gpointer) {
  const guint mods = key->state & gtk_accelerator_get_default_mod_mask();
  if (SelectByKey(entry, key, mods)) return TRUE;
  const Selection s = Held(entry);
  if (s.start == s.end || key->is_modifier) return FALSE;
  Unselect(entry);
  const bool replaces = Deletes(key->keyval) || Inserts(key, mods);
  if (!replaces || !gtk_editable_get_editable(GTK_EDITABLE(entry))) return FALSE;
  gtk_editable_delete_text(GTK_EDITABLE(entry), s.start, s.end);
  gtk_editable_set_position(GTK_EDITABLE(entry), s.start);
  return Deletes(key->keyval);  // the deletion was the key's whole work
}

// A password is one word: a double click selects it all, as a triple click does.
gboolean OnButton(GtkWidget* entry, GdkEventButton* button, gpointer) {
  const bool many = button->type == GDK_2BUTTON_PRESS || button->type == GDK_3BUTTON_PRESS;
  if (button->button == 1 && many) {
    gtk_widget_grab_focus(entry);
    Select(entry, 0, gtk_entry_get_text_length(GTK_ENTRY(entry)));
    return TRUE;
  }
  Unselect(entry);
  return FALSE;
}

void OnChanged(GtkWidget* entry, gpointer) { Unselect(entry); }

gboolean OnFocusOut(GtkWidget* entry, GdkEvent*, gpointer) {
  Unselect(entry);
  return FALSE;
}

}  // namespace

void KeepOffPrimary(GtkWidget* entry) {
  g_signal_connect(entry, "grab-focus", G_CALLBACK(OnGrabFocus), nullptr);
  g_signal_connect(entry, "notify::selection-bound", G_CALLBACK(OnBoundsMoved), nullptr);
  g_signal_connect(entry, "notify::cursor-position", G_CALLBACK(OnBoundsMoved), nullptr);
  g_signal_connect(entry, "key-press-event", G_CALLBACK(OnKey), nullptr);
  g_signal_connect(entry, "button-press-event", G_CALLBACK(OnButton), nullptr);
  g_signal_connect(entry, "changed", G_CALLBACK(OnChanged), nullptr);
  g_signal_connect(entry, "focus-out-event", G_CALLBACK(OnFocusOut), nullptr);
}

bool SecretSelection(GtkWidget* entry, int* start, int* end) {
  const Selection& s = Held(entry);
  *start = s.start;
  *end = s.end;
  return s.start != s.end;
}

}  // namespace App
