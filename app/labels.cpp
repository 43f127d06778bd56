#include "app/labels.h"

namespace App {

GtkWidget* NewLabel(const char* text, GtkWidget* field) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  if (field != nullptr) gtk_label_set_mnemonic_widget(GTK_LABEL(label), field);
  return label;
}

GtkWidget* NewTextLabel(const char* text) {
  GtkWidget* label = NewLabel(text);
  gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(label), 1);  // wrap at the given width
  return label;
}

void SetLabelAttribute(GtkWidget* label, PangoAttribute* attribute) {
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, attribute);
  gtk_label_set_attributes(GTK_LABEL(label), attributes);  // holds a reference of its own
  pango_attr_list_unref(attributes);
}

}  // namespace App
