// The program's modal message box: no parent window, a title, a text, an icon, buttons.
#pragma once

#include <string>

namespace App {

enum class MessageIcon { Plain, Information, Warning, Error };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
// Closing the box through the window manager answers Closed.
enum class MessageAnswer { Closed, Ok, Yes, No, Cancel };

// What a box shows of a text: all of it, or, when it is very long, its head and its tail
// around "…", cut between characters.
[[nodiscard]] std::string MessageBoxText(const std::string& text);

MessageAnswer ShowMessageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons);
// The warning a dialog gives about what was typed into it: a box with an OK button.
void ShowWarning(const std::string& title, const std::string& text);

}  // namespace App
