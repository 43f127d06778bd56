// Message boxes and file requesters: what a very long text shows, and the words on the
// standard buttons in each edition, whatever the locale.
#include "app/message_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>

#include "app/file_requester.h"
#include "tests/support/gui_story.h"

namespace {

TEST(MessageBoxText, AVeryLongTextShowsItsHeadAndTailAroundAnEllipsis) {
  const std::string question = "' definitief verwijderen?";
  std::string euros;
  for (int i = 0; i < 1000; ++i) euros += "\u20ac";
  struct Row {
    std::string text;
    bool whole;
  };
  const Row rows[] = {
      {"'mail' definitief verwijderen?", true},
      {std::string(600, 'a') + std::string(200, 'z'), true},  // just within the bound
      {"'" + std::string(1 << 20, 'x') + question, false},    // a 1 MB description
      {euros, false},                                         // cut between characters
      {std::string(100, '\n') + "Continue?", false},          // lines count too
  };
  for (const Row& row : rows) {
    const std::string shown = App::MessageBoxText(row.text);
    if (row.whole) {
      EXPECT_EQ(shown, row.text);
      continue;
    }
    EXPECT_TRUE(g_utf8_validate(shown.data(), static_cast<gssize>(shown.size()), nullptr));
    EXPECT_LE(g_utf8_strlen(shown.c_str(), -1), 801);
    EXPECT_LE(std::count(shown.begin(), shown.end(), '\n'), 16);
    EXPECT_NE(shown.find("\u2026"), std::string::npos);
    EXPECT_EQ(shown.front(), row.text.front());
    EXPECT_EQ(shown.substr(shown.size() - 6), row.text.substr(row.text.size() - 6));
  }
}

class StandardButtonStory : public GuiStory {
 protected:
  void SetUp() override {
    GuiStory::SetUp();
    setenv("GDK_BACKEND", "x11", 1);
    gtk_init(nullptr, nullptr);
    messages = setlocale(LC_MESSAGES, nullptr);
  }
  void TearDown() override {
    unsetenv("LANGUAGE");
    setlocale(LC_MESSAGES, messages.c_str());
  }
  // Messages in the given language, as far as the system has them.
  static void SpeakLanguage(const char* language) {
    setenv("LANGUAGE", language, 1);
    setlocale(LC_MESSAGES, "C.UTF-8");  // LANGUAGE counts under any locale but "C"
  }
  std::string messages;
};

TEST_F(StandardButtonStory, ButtonsCarryTheEditionsWordsWhateverTheLocale) {
  const std::vector<std::string> box = {Pick("_No", "_Nee"), Pick("_Yes", "_Ja"),
                                        Pick("_Cancel", "_Annuleren")};
  const std::string cancel = Pick("_Cancel", "_Annuleren");
  const std::string save = Pick("_Save", "Op_slaan");
  const std::string open = Pick("_Open", "_Openen");
  TestFiles::WriteFile(dir.path + "a.lwv", "");  // a file to select lets the requesters settle
  for (const char* language : {"en", "de", "nl"}) {
    SCOPED_TRACE(language);
    SpeakLanguage(language);
    Robot::Reset();
    Robot::AnswerMessage(GTK_RESPONSE_CANCEL);
    EXPECT_EQ(App::ShowMessageBox("Lockwell", "Ja = ...\nNee = ...", App::MessageIcon::Plain,
                                  App::MessageButtons::YesNoCancel),
              App::MessageAnswer::Cancel);
    ASSERT_EQ(Robot::Messages().size(), 1u);
    EXPECT_EQ(Robot::Messages()[0].buttons, box);
    Robot::CancelFile();
    EXPECT_EQ(App::AskSaveFile("save", dir.path + "a.lwv", "Lockwell (*.lwv)|*.lwv"), "");
    Robot::CancelFile();
    EXPECT_EQ(App::AskOpenFile("open", dir.path + "a.lwv", "Lockwell (*.lwv)|*.lwv"), "");
    ASSERT_EQ(Robot::Requesters().size(), 2u);
    EXPECT_EQ(Robot::Requesters()[0].cancelLabel, cancel);
    EXPECT_EQ(Robot::Requesters()[0].acceptLabel, save);
    EXPECT_EQ(Robot::Requesters()[1].cancelLabel, cancel);
    EXPECT_EQ(Robot::Requesters()[1].acceptLabel, open);
  }
}

TEST_F(StandardButtonStory, AMegabyteTextLeavesTheBoxAndItsButtonsOnTheScreen) {
  Robot::Step(
      "the long box is on the screen",
      [] {
        GtkWindow* box = Robot::FindWindow("Lockwell");
        return box != nullptr && gtk_widget_get_mapped(GTK_WIDGET(box));
      },
      [] {
        GtkWidget* box = GTK_WIDGET(Robot::FindWindow("Lockwell"));
        EXPECT_LE(gtk_widget_get_allocated_width(box), 1280);
        EXPECT_LE(gtk_widget_get_allocated_height(box), 1024);
      });
  Robot::AnswerMessage(GTK_RESPONSE_YES);
  EXPECT_EQ(App::ShowMessageBox("Lockwell", "'" + std::string(1 << 20, 'x') + "' delete?",
                                App::MessageIcon::Warning, App::MessageButtons::YesNo),
            App::MessageAnswer::Yes);
}

}  // namespace
