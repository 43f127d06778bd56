// Finding an entry as the user types: the toolkit's search popup on the entry list (opened by
// typing in the list or by Ctrl+F), answered by the find rule over folded copies of the
// entries, with the number of matches in the status bar.
#pragma once

#include <gtk/gtk.h>

namespace App {

// Makes the list's search popup use the find rule and post its events (once per list view).
void ConnectEntrySearch(GtkTreeView* list);
// Folds the entries again, after the list was filled or a row changed; the search starts over.
void RebuildSearchCopies();
// Wipes the folded copies and the search text (the list is emptied at the lock).
void WipeSearchCopies();

// The commands of the popup's events.
// Opens the popup on the list (Ctrl+F).
void StartSearch();
// Shows how many entries match the popup's text, or the status from before when it is empty.
void ShowSearchCount();
// Selects the next or previous matching entry in list order, wrapping around.
void SearchNext();
void SearchPrevious();
// The popup closed: the status bar shows what it showed before the search.
void EndSearch();

}  // namespace App
