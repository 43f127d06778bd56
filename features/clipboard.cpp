#include "features/clipboard.h"

#include <gtk/gtk.h>
#include <unistd.h>

#include "app/clock.h"
#include "app/status_bar.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Features {
namespace {

constexpr int64_t kClearAfterMs = 15000;
constexpr useconds_t kHandOverPauseUs = 100000;
// Clipboard history managers leave out what carries this target with this value.
constexpr char kPasswordHintTarget[] = "x-kde-passwordManagerHint";
constexpr char kPasswordHintValue[] = "secret";
constexpr guint kTextTarget = 0;  // target info numbers of the offer
constexpr guint kHintTarget = 1;
constexpr int kBitsPerUnit = 8;

std::string gCopiedText;  // secret, owned here: wiped by SettlePendingCopy and the next copy
int64_t gClearAt = 0;

void ProcessPendingEvents() {
  while (gtk_events_pending()) gtk_main_iteration();
}

GtkClipboard* Clipboard() { return gtk_clipboard_get(GDK_SELECTION_CLIPBOARD); }

// What the clipboard offers: the usual text targets, plus the hint that tells clipboard
// history managers not to keep a password. Secret: the text is wiped when the clipboard
// lets go of the offer (ClearOffer).
struct Offer {
  std::string text;
};

void GetOffer(GtkClipboard*, GtkSelectionData* data, guint info, gpointer owner) {
  const auto* offer = static_cast<Offer*>(owner);
  if (info == kHintTarget) {
    gtk_selection_data_set(data, gtk_selection_data_get_target(data), kBitsPerUnit,
                           reinterpret_cast<const guchar*>(kPasswordHintValue),
                           sizeof kPasswordHintValue - 1);
  } else {
    gtk_selection_data_set_text(data, offer->text.c_str(), -1);
  }
}

void ClearOffer(GtkClipboard*, gpointer owner) {
  auto* offer = static_cast<Offer*>(owner);
  Vault::WipeText(offer->text);
  delete offer;
}

void SetText(const std::string& text) {
  GtkClipboard* clipboard = Clipboard();
  if (clipboard == nullptr) return;
  GtkTargetList* list = gtk_target_list_new(nullptr, 0);
  gtk_target_list_add_text_targets(list, kTextTarget);
  gtk_target_list_add(list, gdk_atom_intern_static_string(kPasswordHintTarget), 0, kHintTarget);
  int count = 0;
  GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &count);
  auto* offer = new Offer{text};
  if (!gtk_clipboard_set_with_data(clipboard, targets, static_cast<guint>(count), GetOffer,
                                   ClearOffer, offer)) {
    ClearOffer(clipboard, offer);
  }
  gtk_target_table_free(targets, count);
  gtk_target_list_unref(list);
  ProcessPendingEvents();
}

std::string ReadText() {
  GtkClipboard* clipboard = Clipboard();
  if (clipboard == nullptr) return "";
  gchar* text = gtk_clipboard_wait_for_text(clipboard);
  std::string result = text != nullptr ? text : "";
  if (text != nullptr) {
    Vault::WipeMemory(text, result.size());
    g_free(text);
  }
  return result;
}

void Clear() {
  GtkClipboard* clipboard = Clipboard();
  if (clipboard == nullptr) return;
  gtk_clipboard_set_text(clipboard, "", 0);
  gtk_clipboard_clear(clipboard);
}

}  // namespace

void CopyToClipboard(const std::string& text) {
  SetText(text);
  Vault::WipeText(gCopiedText);
  gCopiedText = text;
  gClearAt = App::NowMs() + kClearAfterMs;
  App::SetStatusText(Texts::kText.statusCopied);
}

void SettlePendingCopy() {
  if (gClearAt == 0) return;
  std::string current = ReadText();
  if (current == gCopiedText) {
    Clear();
    App::SetStatusText(Texts::kText.statusClipboardCleared);
  }
  Vault::WipeText(current);
  Vault::WipeText(gCopiedText);
  gClearAt = 0;
}

int64_t ClearAt() { return gClearAt; }

void HandOverClipboard() {
  GtkClipboard* clipboard = Clipboard();
  if (clipboard == nullptr) return;
  gtk_clipboard_set_can_store(clipboard, nullptr, 0);
  gtk_clipboard_store(clipboard);
  usleep(kHandOverPauseUs);
  ProcessPendingEvents();
}

}  // namespace Features
