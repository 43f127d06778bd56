// The GUI test robot. It runs from a GLib timeout inside whatever loop is active (the
// program's own loops or GTK's modal ones) and performs a script of user steps, each once
// its precondition holds. A step that waits too long fails the test program.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <functional>
#include <source_location>
#include <string>
#include <vector>

namespace Robot {

struct Message {
  std::string title;
  std::string text;
  GtkMessageType icon;
  std::vector<std::string> buttons;  // labels of No, Yes and Cancel; "" for one it lacks
};

// Forgets the previous script and what was recorded.
void Reset();
// A step: when ready() holds, act() runs once and the script moves on.
void Step(const std::string& what, std::function<bool()> ready, std::function<void()> act);
// An action with no precondition (looking at the screen, for instance).
void Do(const std::string& what, std::function<void()> act);

void WaitWindow(const std::string& title);
void WaitStatus(const std::string& text);  // status field 0, without its leading space
void Type(int control, const std::string& text);
void Click(int control);
void ClickRow(int row);
void PressKey(guint keyval, GdkModifierType mods = GdkModifierType(0));
void ChooseMenu(int item);
// Answers the open message box with button and records it. A box whose text or icon is not
// the one expected fails the story at the caller's line, saying what it showed instead.
void AnswerMessage(const std::string& text, GtkMessageType icon,
                   GtkResponseType button = GTK_RESPONSE_OK,
                   std::source_location where = std::source_location::current());
// The same for a box whose text is known only once an earlier step has run (a file name that
// another program chose, say): text is asked when the box is open.
void AnswerMessage(std::function<std::string()> text, GtkMessageType icon,
                   GtkResponseType button = GTK_RESPONSE_OK,
                   std::source_location where = std::source_location::current());
void MoveClock(int64_t ms);
// Lets real time pass, for things that happen on the timer's ticks.
void Pause(int ms);
// Closes a window as the window manager's close button would.
void CloseWindow(const std::string& title);
// Destroys a window's X window as another X client would (xdotool windowclose).
void DestroyWindow(const std::string& title);

// The desktop pointer moved as a user's mouse would.
void MovePointer(int x, int y);
// Gives the X input focus to the main window, or to no window of the program.
void FocusProgram(bool program);

// What the user sees.
[[nodiscard]] std::string StatusText(int field = 0);
[[nodiscard]] std::string FieldText(int control);
[[nodiscard]] bool Enabled(int control);
[[nodiscard]] bool MenuEnabled(int item);
[[nodiscard]] std::vector<std::string> ListRows();
[[nodiscard]] GtkWindow* FindWindow(const std::string& title);
[[nodiscard]] std::string ClipboardText();
[[nodiscard]] bool MessageBoxOpen();

// ---- the entry editor and the list ----------------------------------------------------
// Ticks or unticks a check box, as a click would.
void Toggle(int control);
// A left double click on a row of the entry list, or on the empty area below its last row.
void DoubleClickRow(int row);
void DoubleClickBelowRows();
[[nodiscard]] bool Ticked(int control);
// The row the list has selected, or -1.
[[nodiscard]] int SelectedRow();

const std::vector<Message>& Messages();

// ---- file requesters and the About window ----------------------------------------------

// What an open file requester showed when the robot answered it.
struct Requester {
  std::string title;
  bool save;
  std::string folder;  // its current folder, without a trailing "/"
  std::string name;    // the file name filled in (save) or selected (open)
  std::vector<std::string> filters;
  std::string selectedFilter;
  std::string cancelLabel;
  std::string acceptLabel;
};

// Chooses path in the open file requester and accepts it, recording what it showed.
void ChooseFile(const std::string& path);
// Cancels the open file requester, recording what it showed.
void CancelFile();
const std::vector<Requester>& Requesters();
// A key press in the window with this title, through its real shortcuts.
void PressKeyIn(const std::string& title, guint keyval);
// Clicks the button with this label in the window with this title.
void ClickButtonIn(const std::string& title, const std::string& label);
// The texts of every label in the window with this title, in placing order.
[[nodiscard]] std::vector<std::string> LabelsIn(const std::string& title);
// True once every step has run.
[[nodiscard]] bool Done();

// ---- typing and selecting as the keyboard and mouse do --------------------------------

// Types text into control N key by key, through the window as the X server delivers keys
// (ASCII only); the control gets the focus first if it lacks it.
void TypeKeys(int control, const std::string& text);
// Presses mouse button 1 three times in quick succession on the text field N.
void TripleClick(int control);
// Gives control N the keyboard focus, as Tab would.
void Focus(int control);
// Whether a file requester is open, and whether its selected filter shows a file name.
[[nodiscard]] bool RequesterOpen();
[[nodiscard]] bool SelectedFilterShows(const std::string& fileName);

// What the robot's own files share.
namespace Detail {
void SendKeyTo(GtkWidget* window, guint keyval, GdkModifierType mods);
[[nodiscard]] bool UsableControl(int control);
[[nodiscard]] GtkFileChooser* OpenFileRequester();
}  // namespace Detail

}  // namespace Robot
