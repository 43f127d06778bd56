#include "features/browser.h"

#include "app/entry_list.h"
#include "app/file_requester.h"
#include "app/message_box.h"
#include "app/status_bar.h"
#include "common/settings.h"
#include "features/launcher.h"
#include "features/web_address.h"
#include "texts/texts.h"
#include "vault/file_io.h"
#include "vault/vault.h"

namespace Features {

void OpenWebAddress(const std::string& url) {
  std::string parameter;
  switch (PrepareWebAddress(url, parameter)) {
    case AddressCheck::Empty:
      return;
    case AddressCheck::Refused:
      App::ShowWarning("Lockwell", Texts::kText.onlyWebAddresses);
      return;
    case AddressCheck::Accepted:
      break;
  }
  // A browser that cannot be started is the desktop's matter; nothing is reported.
  (void)StartDetached(BrowserProgram(Common::CurrentSettings().Browser), parameter, "");
}

// The browser gets the text the window shows: a lone surrogate has no UTF-8 form, so
// U+FFFD stands in for it there too.
void OpenSelectedAddress() {
  const int i = App::SelectedIndex();
  if (i >= 0) OpenWebAddress(Vault::ShownText(Vault::Entries()[static_cast<size_t>(i)].Url));
}

void ChooseBrowser() {
  const Texts::Table& t = Texts::kText;
  const Common::Settings& settings = Common::CurrentSettings();
  const std::string current = settings.Browser.empty() ? t.systemDefaultBrowser : settings.Browser;
  const App::MessageAnswer answer =
      App::ShowMessageBox(t.chooseBrowserTitle, t.currentBrowser + current + t.browserChoices,
                          App::MessageIcon::Plain, App::MessageButtons::YesNoCancel);
  if (answer == App::MessageAnswer::Yes) {
    const std::string chosen =
        App::AskOpenFile(t.chooseBrowserTitle, settings.Browser, t.allFilesFilter);
    if (chosen.empty()) return;
    if (!Common::IsUsableBrowserPath(chosen)) {
      App::ShowWarning(t.chooseBrowserTitle, t.browserPathRefused);
      return;
    }
    Common::SaveBrowser(chosen);
    App::SetStatusText(t.statusBrowser + Vault::FileNameOf(chosen));
  } else if (answer == App::MessageAnswer::No) {
    Common::SaveBrowser("");
    App::SetStatusText(t.statusDefaultBrowser);
  }
}

}  // namespace Features
