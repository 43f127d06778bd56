#include "app/message_box.h"

#include <gtk/gtk.h>

#include <iterator>
#include <string_view>

#include "app/button_labels.h"
#include "common/utf8.h"

namespace App {
namespace {

// A very long text shows its head and its tail around an ellipsis, so the box and its
// buttons stay on the screen. The tail keeps a question that ends the text.
constexpr size_t kHeadCharacters = 600;
constexpr size_t kTailCharacters = 200;
constexpr size_t kHeadLines = 12;
constexpr size_t kTailLines = 4;

bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// Byte length of the longest end of text within the character and line limits.
size_t TailLength(std::string_view text, size_t characters, size_t lines) {
  size_t start = text.size();
  while (start > 0) {
    size_t begin = start - 1;
    while (begin > 0 && !StartsCharacter(text[begin])) --begin;
    if (characters-- == 0) break;
    if (text[begin] == '\n' && lines-- == 0) break;
    start = begin;
  }
  return text.size() - start;
}

// Sets the box's texts to wrap inside words too, so that one endless word cannot widen it.
void WrapAnywhere(GtkMessageDialog* box) {
  GList* children =
      gtk_container_get_children(GTK_CONTAINER(gtk_message_dialog_get_message_area(box)));
  for (GList* c = children; c != nullptr; c = c->next) {
    if (GTK_IS_LABEL(c->data)) {
      gtk_label_set_line_wrap_mode(GTK_LABEL(c->data), PANGO_WRAP_WORD_CHAR);
    }
  }
  g_list_free(children);
}

void NoteDestroyed(GtkWidget*, gpointer destroyed) { *static_cast<bool*>(destroyed) = true; }

// GTK's message type of each MessageIcon, in the enum's order.
constexpr GtkMessageType kMessageTypes[] = {GTK_MESSAGE_OTHER, GTK_MESSAGE_INFO,
                                            GTK_MESSAGE_WARNING, GTK_MESSAGE_ERROR};
static_assert(std::size(kMessageTypes) == static_cast<size_t>(MessageIcon::Error) + 1);

struct ResponseRow {
  int response;
  MessageAnswer answer;
};
// Any other response (the box closed or destroyed) answers Closed.
constexpr ResponseRow kAnswers[] = {{GTK_RESPONSE_OK, MessageAnswer::Ok},
                                    {GTK_RESPONSE_YES, MessageAnswer::Yes},
                                    {GTK_RESPONSE_NO, MessageAnswer::No},
                                    {GTK_RESPONSE_CANCEL, MessageAnswer::Cancel}};

GtkWidget* NewMessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) {
  // A file name in the text may hold bytes that are no UTF-8, which neither the label nor the
  // accessibility bus behind it may be given.
  gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
  GtkWidget* box =
      gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, kMessageTypes[static_cast<int>(icon)],
                             buttons == MessageButtons::Ok ? GTK_BUTTONS_OK : GTK_BUTTONS_NONE,
                             "%s", MessageBoxText(valid).c_str());
  g_free(valid);
  if (buttons != MessageButtons::Ok) {
    // In GTK's own order; the words are the edition's, as the texts that name them.
    gtk_dialog_add_button(GTK_DIALOG(box), ButtonLabel(StandardButton::No), GTK_RESPONSE_NO);
    gtk_dialog_add_button(GTK_DIALOG(box), ButtonLabel(StandardButton::Yes), GTK_RESPONSE_YES);
  }
  if (buttons == MessageButtons::YesNoCancel) {
    gtk_dialog_add_button(GTK_DIALOG(box), ButtonLabel(StandardButton::Cancel),
                          GTK_RESPONSE_CANCEL);
  }
  return box;
}

// Runs the box until it is answered, then destroys it. Another program may destroy the box
// while it runs; then it is closed, and gone.
int RunToAnswer(GtkWidget* box) {
  bool destroyed = false;
  g_signal_connect(box, "destroy", G_CALLBACK(NoteDestroyed), &destroyed);
  g_object_ref(box);
  const int response = gtk_dialog_run(GTK_DIALOG(box));
  if (!destroyed) gtk_widget_destroy(box);
  g_object_unref(box);
  return response;
}

}  // namespace

std::string MessageBoxText(const std::string& text) {
  const size_t head = Common::HeadLength(text, kHeadCharacters, kHeadLines);
  if (head == text.size()) return text;
  const size_t tail = TailLength(text.substr(head), kTailCharacters, kTailLines);
  if (head + tail == text.size()) return text;
  return text.substr(0, head).append(Common::kEllipsis) + text.substr(text.size() - tail);
}

MessageAnswer ShowMessageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) {
  GtkWidget* box = NewMessageBox(text, icon, buttons);
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  WrapAnywhere(GTK_MESSAGE_DIALOG(box));
  const int response = RunToAnswer(box);
  for (const ResponseRow& row : kAnswers) {
    if (row.response == response) return row.answer;
  }
  return MessageAnswer::Closed;
}

void ShowWarning(const std::string& title, const std::string& text) {
  ShowMessageBox(title, text, MessageIcon::Warning, MessageButtons::Ok);
}

}  // namespace App
