#include "app/message_box.h"

#include <gtk/gtk.h>

namespace App {

MessageAnswer ShowMessageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) {
  GtkMessageType type = GTK_MESSAGE_OTHER;
  switch (icon) {
    case MessageIcon::Plain:
      type = GTK_MESSAGE_OTHER;
      break;
    case MessageIcon::Information:
      type = GTK_MESSAGE_INFO;
      break;
    case MessageIcon::Warning:
      type = GTK_MESSAGE_WARNING;
      break;
    case MessageIcon::Error:
      type = GTK_MESSAGE_ERROR;
      break;
  }
  GtkWidget* box = gtk_message_dialog_new(
      nullptr, GTK_DIALOG_MODAL, type,
      buttons == MessageButtons::Ok ? GTK_BUTTONS_OK : GTK_BUTTONS_YES_NO, "%s", text.c_str());
  if (buttons == MessageButtons::YesNoCancel) {
    gtk_dialog_add_button(GTK_DIALOG(box), "_Cancel", GTK_RESPONSE_CANCEL);
  }
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  const int response = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  switch (response) {
    case GTK_RESPONSE_OK:
      return MessageAnswer::Ok;
    case GTK_RESPONSE_YES:
      return MessageAnswer::Yes;
    case GTK_RESPONSE_NO:
      return MessageAnswer::No;
    case GTK_RESPONSE_CANCEL:
      return MessageAnswer::Cancel;
    default:
      return MessageAnswer::Closed;
  }
}

}  // namespace App
