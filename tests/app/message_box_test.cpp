// What a message box shows of a very long text, and the words on the standard buttons of
// boxes and requesters in each edition, whatever the locale.
#include "app/message_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>

#include "app/file_requester.h"
#include "tests/support/gui_story.h"

namespace {

TEST(MessageBoxText, AVeryLongTextShowsItsHeadAndTailAroundAnEllipsis) {
  std::string euros;
  for (int i = 0; i < 1000; ++i) euros += "\u20ac";
  for (const std::string& text : {"'" + std::string(1 << 20, 'x') + "' delete?", euros,
                                  std::string(100, '\n') + "Continue?"}) {
    const std::string shown = App::MessageBoxText(text);
    EXPECT_TRUE(g_utf8_validate(shown.data(), static_cast<gssize>(shown.size()), nullptr));
    EXPECT_LE(g_utf8_strlen(shown.c_str(), -1), 801);  // "…" between head and tail
    EXPECT_LE(std::count(shown.begin(), shown.end(), '\n'), 16);
    EXPECT_EQ(shown.substr(shown.size() - 6), text.substr(text.size() - 6));  // the question
  }
  const std::string fits = std::string(600, 'a') + std::string(200, 'z');
  EXPECT_EQ(App::MessageBoxText(fits), fits);
}

class StandardButtonStory : public GuiStory {};

TEST_F(StandardButtonStory, ButtonsCarryTheEditionsWordsWhateverTheLocale) {
  setenv("GDK_BACKEND", "x11", 1);
  gtk_init(nullptr, nullptr);
  const std::string messages = setlocale(LC_MESSAGES, nullptr);
  const std::string cancel = Pick("_Cancel", "_Annuleren");
  const std::vector<std::string> expected = {Pick("_No", "_Nee"),
                                             Pick("_Yes", "_Ja"),
                                             cancel,
                                             cancel,
                                             Pick("_Save", "Op_slaan"),
                                             cancel,
                                             Pick("_Open", "_Openen")};
  TestFiles::WriteFile(dir.path + "a.lwv", "");  // a file to select lets the requesters settle
  for (const char* language : {"en", "de", "nl"}) {
    setenv("LANGUAGE", language, 1);
    setlocale(LC_MESSAGES, "C.UTF-8");  // LANGUAGE counts under any locale but "C"
    Robot::Reset();
    Robot::AnswerMessage("Ja = ...\nNee = ...", GTK_MESSAGE_OTHER, GTK_RESPONSE_CANCEL);
    Robot::CancelFile();
    Robot::CancelFile();
    App::ShowMessageBox("Lockwell", "Ja = ...\nNee = ...", App::MessageIcon::Plain,
                        App::MessageButtons::YesNoCancel);
    EXPECT_EQ(App::AskSaveFile("save", dir.path + "a.lwv", "All|*"), "");
    EXPECT_EQ(App::AskOpenFile("open", dir.path + "a.lwv", "All|*"), "");
    std::vector<std::string> seen = Robot::Messages().at(0).buttons;
    for (const Robot::Requester& requester : Robot::Requesters()) {
      seen.insert(seen.end(), {requester.cancelLabel, requester.acceptLabel});
    }
    EXPECT_EQ(seen, expected) << "language " << language;
  }
  unsetenv("LANGUAGE");
  setlocale(LC_MESSAGES, messages.c_str());
}

}  // namespace
