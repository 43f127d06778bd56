#include "app/entry_list.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/entry_model.h"
#include "app/entry_search.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "common/utf8.h"
#include "vault/vault.h"

namespace App {

namespace {

bool gShowPasswords = false;
EnableRule (*gRuleOf)(const Event& event) = nullptr;

constexpr char kPasswordMask[] = "●●●●●●●●●●";
// Up to this many rows every description is measured; beyond it only this many of the
// longest ones, which keeps filling 100,000 rows fast. The widest text is nearly always
// among the longest, and a few hundred leave room for wide letters in shorter texts.
constexpr size_t kMeasuredDescriptions = 500;
constexpr int kColumnSlack = 8;  // the cell area's own spacing beside the renderer's padding

GtkTreeView* ListView() { return GTK_TREE_VIEW(ControlWidget(EntryList)); }

// What is always usable is never switched here.
void ApplyRule(GtkWidget* widget, const Event& event) {
  const EnableRule rule = gRuleOf != nullptr ? gRuleOf(event) : EnableRule::Anytime;
  if (widget != nullptr && rule != EnableRule::Anytime) {
    gtk_widget_set_sensitive(widget, RuleHolds(rule));
  }
}

// Secret: the shown copy of a password is wiped here; the field's buffer wipes its own.
void SetField(int control, const std::string& text) {
  std::string shown = Vault::ShownText(text);
  gtk_entry_set_text(GTK_ENTRY(ControlWidget(control)), shown.c_str());
  Vault::WipeText(shown);
}

int WidestDescription(GtkWidget* view) {
  const std::vector<Vault::Entry>& entries = Vault::Entries();
  std::vector<std::pair<size_t, size_t>> candidates;  // (length, row), longest first
  candidates.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    candidates.emplace_back(Common::Utf16Length(entries[i].Omschrijving), i);
  }
  if (candidates.size() > kMeasuredDescriptions) {
    std::nth_element(candidates.begin(), candidates.begin() + kMeasuredDescriptions,
                     candidates.end(), std::greater<>());
    candidates.resize(kMeasuredDescriptions);
  }
  PangoLayout* layout = gtk_widget_create_pango_layout(view, nullptr);
  int widest = 0;
  for (const auto& [length, row] : candidates) {
    const std::string text = RowText(entries[row].Omschrijving);
    int width = 0;
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    pango_layout_get_pixel_size(layout, &width, nullptr);
    widest = std::max(widest, width);
  }
  g_object_unref(layout);
  return widest;
}

// Fixed sizing keeps a long list fast but never measures the rows itself, so the column
// gets the widest description's width and the scroller can reach the end of it.
void FitListColumn() {
  GtkTreeView* view = ListView();
  GtkTreeViewColumn* column = gtk_tree_view_get_column(view, 0);
  GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(column));
  int xpad = 0;
  if (cells != nullptr)
    gtk_cell_renderer_get_padding(GTK_CELL_RENDERER(cells->data), &xpad, nullptr);
  g_list_free(cells);
  const int width = WidestDescription(GTK_WIDGET(view)) + 2 * xpad + kColumnSlack;
  gtk_tree_view_column_set_fixed_width(column, std::max(width, 1));
}

}  // namespace

bool RuleHolds(EnableRule rule) {
  const int i = SelectedIndex();
  const int count = static_cast<int>(Vault::Entries().size());
  const Vault::Entry* selected = i >= 0 ? &Vault::Entries()[static_cast<size_t>(i)] : nullptr;
  switch (rule) {
    case EnableRule::Anytime:
      return true;
    case EnableRule::VaultOpen:
      return Vault::IsVaultOpen();
    case EnableRule::Selection:
      return selected != nullptr;
    case EnableRule::RowAbove:
      return i > 0;
    case EnableRule::RowBelow:
      return selected != nullptr && i < count - 1;
    case EnableRule::SelectionHasAddress:
      return selected != nullptr && !selected->Url.empty();
    case EnableRule::SelectionHasUser:
      return selected != nullptr && !selected->Gebruiker.empty();
    case EnableRule::SelectionHasPassword:
      return selected != nullptr && !selected->Wachtwoord.empty();
  }
  return false;
}

void SetEnableRules(EnableRule (*ruleOf)(const Event& event)) { gRuleOf = ruleOf; }

bool PasswordsShown() { return gShowPasswords; }

void SetShowPasswords(bool on) {
  gShowPasswords = on;
  SetMenuCheck(MenuShowPasswords, on);
}

void ToggleShowPasswords() {
  SetShowPasswords(!gShowPasswords);
  RefreshDetails();
}

int SelectedIndex() {
  GtkTreeModel* model = nullptr;
  GtkTreeIter iter;
  int row = -1;
  if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(ListView()), &model, &iter)) {
    GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
    row = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
  }
  const int count = static_cast<int>(Vault::Entries().size());
  return Vault::IsVaultOpen() && row >= 0 && row < count ? row : -1;
}

void ClearEntryList() {
  GtkTreeModel* empty = GTK_TREE_MODEL(gtk_list_store_new(1, G_TYPE_STRING));
  gtk_tree_view_set_model(ListView(), empty);
  g_object_unref(empty);
  WipeSearchCopies();
}

void FillEntryList(int index) {
  GtkTreeView* view = ListView();
  GtkTreeModel* model = NewEntryModel();
  gtk_tree_view_set_model(view, model);
  g_object_unref(model);
  FitListColumn();
  RebuildSearchCopies();  // also after another computer's version came in

  const int count = static_cast<int>(Vault::Entries().size());
  if (index >= count) index = count - 1;
  if (index >= 0) SelectRow(index);
  RefreshDetails();
}

void RefreshRow(int row) {
  EntryRowChanged(gtk_tree_view_get_model(ListView()), row);
  FitListColumn();
  RebuildSearchCopies();
}

void SelectRow(int row) {
  GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
  gtk_tree_view_set_cursor(ListView(), path, nullptr, FALSE);
  gtk_tree_path_free(path);
}

void RefreshDetails() {
  const int i = SelectedIndex();
  if (i < 0) {
    SetField(UrlField, "");
    SetField(UserField, "");
    SetField(PasswordField, "");
  } else {
    const Vault::Entry& e = Vault::Entries()[i];
    SetField(UrlField, e.Url);
    SetField(UserField, e.Gebruiker);
    SetField(PasswordField,
             e.Wachtwoord.empty() || gShowPasswords ? e.Wachtwoord : std::string(kPasswordMask));
  }
  for (int n = 0; n < kMenuItemCount; ++n) {
    ApplyRule(MenuItemWidget(n), {EventKind::Menu, kMainWindow, n, 0});
  }
  for (int n = 0; n < kMainControlCount; ++n) {
    ApplyRule(ControlWidget(n), {EventKind::Control, kMainWindow, n, kClicked});
  }
}

}  // namespace App
