#include "features/clipboard.h"

#include <gtk/gtk.h>
#include <unistd.h>

#include <string_view>

#include "app/clock.h"
#include "app/entry_list.h"
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
// An owner that has not answered the read-back in this time is another program's.
constexpr int64_t kReadBackMs = 1000;
constexpr guint kWakeMs = 50;  // how often a wait for the answer looks at the clock

std::string gCopiedText;  // secret, owned here: wiped by SettlePendingCopy and the next copy
int64_t gClearAt = 0;
// The read-back of the due copy. Answers name the read they belong to, so one that comes
// after its read was given up (or after a new copy) is dropped.
bool gReading = false;
guint gReadNumber = 0;
int64_t gReadUntil = 0;

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

void Clear() {
  GtkClipboard* clipboard = Clipboard();
  if (clipboard == nullptr) return;
  gtk_clipboard_set_text(clipboard, "", 0);
  gtk_clipboard_clear(clipboard);
}

// Clears the clipboard if it still holds the copy, and forgets the copy.
void Settle(bool stillTheCopy) {
  gReading = false;
  if (stillTheCopy) {
    Clear();
    App::SetStatusText(Texts::kText.statusClipboardCleared);
  }
  Vault::WipeText(gCopiedText);
  gClearAt = 0;
}

void OnReadBack(GtkClipboard*, const gchar* text, gpointer number) {
  const std::string_view read = text != nullptr ? text : "";
  if (gReading && GPOINTER_TO_UINT(number) == gReadNumber) Settle(read == gCopiedText);
  // The text is GTK's own copy, freed right after this call; it may be the password.
  if (text != nullptr) Vault::WipeMemory(const_cast<gchar*>(text), read.size());
}

// Asks for the clipboard's text without waiting; when the program owns the clipboard the
// answer comes at once, inside this call.
void AskForText() {
  gReading = true;
  gReadUntil = App::NowMs() + kReadBackMs;
  GtkClipboard* clipboard = Clipboard();
  if (clipboard == nullptr) {
    Settle(gCopiedText.empty());  // no clipboard reads as empty
    return;
  }
  gtk_clipboard_request_text(clipboard, OnReadBack, GUINT_TO_POINTER(++gReadNumber));
}

gboolean KeepWaking(gpointer) { return G_SOURCE_CONTINUE; }

// The clipboard gets the text the window shows: a lone surrogate has no UTF-8 form, so
// U+FFFD stands in for it there too.
void CopySelected(std::string Vault::Entry::*field) {
  const int i = App::SelectedIndex();
  if (i < 0) return;
  std::string shown = Vault::ShownText(Vault::Entries()[static_cast<size_t>(i)].*field);
  CopyToClipboard(shown);
  Vault::WipeText(shown);
}

}  // namespace

void CopyToClipboard(const std::string& text) {
  SetText(text);
  gReading = false;  // an answer about the previous copy no longer counts
  Vault::WipeText(gCopiedText);
  gCopiedText = text;
  gClearAt = App::NowMs() + kClearAfterMs;
  App::SetStatusText(Texts::kText.statusCopied);
}

void CopySelectedUser() { CopySelected(&Vault::Entry::Gebruiker); }
void CopySelectedPassword() { CopySelected(&Vault::Entry::Wachtwoord); }

void SettleDueCopy(int64_t nowMs) {
  if (gClearAt == 0 || nowMs < gClearAt) return;
  if (!gReading) {
    AskForText();
  } else if (nowMs >= gReadUntil) {
    Settle(false);  // a silent owner is another program
  }
}

void SettlePendingCopy() {
  if (gClearAt == 0) return;
  if (!gReading) AskForText();
  const guint wake = g_timeout_add(kWakeMs, KeepWaking, nullptr);
  while (gReading && App::NowMs() < gReadUntil) gtk_main_iteration_do(TRUE);
  g_source_remove(wake);
  if (gReading) Settle(false);
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
