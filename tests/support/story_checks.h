// Checks and steps that many stories share: what the toolkit gave each control, how a field
// is labelled, the rows of the entry list, the idle countdown and a refused login.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <source_location>
#include <string>
#include <vector>

namespace StoryCheck {

// The controls placed in a window's area, in placing order.
[[nodiscard]] std::vector<GtkWidget*> PlacedControls(GtkWidget* window);
// Success when the toolkit gave the widget exactly the box it was placed in, so that it does
// not grow over its neighbour; otherwise what it asked for and what it got.
[[nodiscard]] ::testing::AssertionResult GetsItsBox(GtkWidget* widget);
// The names of the labels that label a control for assistive technologies.
[[nodiscard]] std::vector<std::string> LabelledBy(int control);

// From now on, the index of every row the entry list's model reports as changed is added to
// rows, which must outlive the list.
void WatchChangedRows(std::vector<int>* rows);
// A step that waits until the entry list shows exactly these rows, then runs act.
void WaitRows(const std::string& what, const std::vector<std::string>& rows,
              std::function<void()> act);
// A step that waits until the idle countdown shows this many seconds.
void WaitCountdown(const std::string& what, int seconds);
// Steps that add an entry with only a description through the editor, as Ctrl+N does, and
// wait for the status that counts count passwords.
void AddEntryInWindow(const std::string& description, size_t count);
// Steps that type a password the vault refuses into the login dialog and answer the warning.
void LogInRefused(const std::string& password,
                  std::source_location where = std::source_location::current());

}  // namespace StoryCheck
