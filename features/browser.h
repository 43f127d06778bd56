// Opening an entry's web address in a browser, and choosing that browser.
#pragma once

#include <string>

namespace Features {

// Opens an http or https address in the chosen browser or the desktop's default one;
// refuses other schemes with a message.
void OpenWebAddress(const std::string& url);
// Opens the selected entry's web address, if an entry is selected.
void OpenSelectedAddress();
// Asks whether to choose a browser program or go back to the default; saves the choice.
void ChooseBrowser();

}  // namespace Features
