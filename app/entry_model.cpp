#include "app/entry_model.h"

#include "common/utf8.h"
#include "vault/vault.h"

namespace {

struct EntryModel {
  GObject parent;
  gint rows;
  gint stamp;
};

struct EntryModelClass {
  GObjectClass parent;
};

void EntryModelInterface(GtkTreeModelIface* iface);

G_DEFINE_TYPE_WITH_CODE(EntryModel, entry_model, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(GTK_TYPE_TREE_MODEL, EntryModelInterface))

EntryModel* Self(GtkTreeModel* model) { return reinterpret_cast<EntryModel*>(model); }

bool SetIter(GtkTreeModel* model, GtkTreeIter* iter, gint row) {
  if (row < 0 || row >= Self(model)->rows) {
    iter->stamp = 0;
    return false;
  }
  iter->stamp = Self(model)->stamp;
  iter->user_data = GINT_TO_POINTER(row);
  return true;
}

gint Row(GtkTreeIter* iter) { return GPOINTER_TO_INT(iter->user_data); }

GtkTreeModelFlags GetFlags(GtkTreeModel*) {
  return GtkTreeModelFlags(GTK_TREE_MODEL_LIST_ONLY | GTK_TREE_MODEL_ITERS_PERSIST);
}
gint GetNColumns(GtkTreeModel*) { return 1; }
GType GetColumnType(GtkTreeModel*, gint) { return G_TYPE_STRING; }

gboolean GetIter(GtkTreeModel* model, GtkTreeIter* iter, GtkTreePath* path) {
  if (gtk_tree_path_get_depth(path) != 1) return FALSE;
  return SetIter(model, iter, gtk_tree_path_get_indices(path)[0]);
}

GtkTreePath* GetPath(GtkTreeModel*, GtkTreeIter* iter) {
  return gtk_tree_path_new_from_indices(Row(iter), -1);
}

void GetValue(GtkTreeModel*, GtkTreeIter* iter, gint, GValue* value) {
  g_value_init(value, G_TYPE_STRING);
  const std::vector<Vault::Entry>& entries = Vault::Entries();
  const size_t row = static_cast<size_t>(Row(iter));
  if (row >= entries.size()) {
    g_value_set_static_string(value, "");
  } else if (Vault::HasLoneSurrogate(entries[row].Omschrijving) ||
             entries[row].Omschrijving.size() > App::kRowCharacters) {
    g_value_take_string(value, g_strdup(App::RowText(entries[row].Omschrijving).c_str()));
  } else {
    g_value_set_string(value, entries[row].Omschrijving.c_str());
  }
}

gboolean IterNext(GtkTreeModel* model, GtkTreeIter* iter) {
  return SetIter(model, iter, Row(iter) + 1);
}

gboolean IterPrevious(GtkTreeModel* model, GtkTreeIter* iter) {
  return SetIter(model, iter, Row(iter) - 1);
}

gboolean IterNthChild(GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* parent, gint n) {
  return parent == nullptr && SetIter(model, iter, n);
}

gboolean IterChildren(GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* parent) {
  return IterNthChild(model, iter, parent, 0);
}

gboolean IterHasChild(GtkTreeModel*, GtkTreeIter*) { return FALSE; }

gint IterNChildren(GtkTreeModel* model, GtkTreeIter* iter) {
  return iter == nullptr ? Self(model)->rows : 0;
}

gboolean IterParent(GtkTreeModel*, GtkTreeIter*, GtkTreeIter*) { return FALSE; }

void EntryModelInterface(GtkTreeModelIface* iface) {
  iface->get_flags = GetFlags;
  iface->get_n_columns = GetNColumns;
  iface->get_column_type = GetColumnType;
  iface->get_iter = GetIter;
  iface->get_path = GetPath;
  iface->get_value = GetValue;
  iface->iter_next = IterNext;
  iface->iter_previous = IterPrevious;
  iface->iter_children = IterChildren;
  iface->iter_has_child = IterHasChild;
  iface->iter_n_children = IterNChildren;
  iface->iter_nth_child = IterNthChild;
  iface->iter_parent = IterParent;
}

void entry_model_init(EntryModel* self) {
  self->rows = 0;
  self->stamp = g_random_int_range(1, G_MAXINT32);
}

void entry_model_class_init(EntryModelClass*) {}

}  // namespace

namespace App {

std::string RowText(const std::string& description) {
  return Common::Shortened(Vault::ShownText(description), kRowCharacters);
}

GtkTreeModel* NewEntryModel() {
  auto* model = static_cast<EntryModel*>(g_object_new(entry_model_get_type(), nullptr));
  model->rows = static_cast<gint>(Vault::Entries().size());
  return GTK_TREE_MODEL(model);
}

void EntryRowChanged(GtkTreeModel* model, int row) {
  GtkTreeIter iter;
  if (model == nullptr || !gtk_tree_model_iter_nth_child(model, &iter, nullptr, row)) return;
  GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
  gtk_tree_model_row_changed(model, path, &iter);
  gtk_tree_path_free(path);
}

}  // namespace App
