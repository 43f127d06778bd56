// Stories of opening an entry's web address and of choosing the browser that opens it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <source_location>

#include "app/dialog_window.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "tests/support/requester_story.h"
#include "tests/support/story_texts.h"

namespace {

using Robot::Messages;
using Robot::Requesters;

// A browser that writes the arguments it got, one a line, to record.
void WriteFakeBrowser(const std::string& path, const std::string& record) {
  TestFiles::WriteFile(path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                 record + ".part' && mv '" + record + ".part' '" + record + "'\n");
  chmod(path.c_str(), 0755);
}

class BrowserStory : public RequesterStory {
 protected:
  void SetUp() override {
    RequesterStory::SetUp();
    const char* path = std::getenv("PATH");
    savedPath = path != nullptr ? path : "";
    // The desktop's default handler is a fake found first on PATH.
    mkdir((dir.path + "bin").c_str(), 0700);
    WriteFakeBrowser(dir.path + "bin/xdg-open", dir.path + "by-default");
    setenv("PATH", (dir.path + "bin:" + savedPath).c_str(), 1);
    WriteFakeBrowser(dir.path + "mybrowser", dir.path + "by-choice");
  }
  void TearDown() override { setenv("PATH", savedPath.c_str(), 1); }

  // Waits until a browser has written its record, then checks it.
  void ExpectOpened(const std::string& record, const std::string& address) {
    const std::string path = dir.path + record;
    Robot::Step(
        "a browser opens " + address, [path] { return TestFiles::Exists(path); },
        [path, address] {
          EXPECT_EQ(TestFiles::ReadFile(path), address + "\n");
          std::remove(path.c_str());
        });
  }

  std::string savedPath;
};

std::string Question(const std::string& current) {
  return Pick("Current browser: ", "Huidige browser: ") + current +
         Pick("\n\nYes = choose another browser\nNo = use the default browser",
              "\n\nJa = een andere browser kiezen\nNee = standaardbrowser gebruiken");
}

std::string DefaultBrowser() {
  return Pick("(system default browser)", "(standaardbrowser van het systeem)");
}

// Answers the question of the browser menu row, which names the current browser.
void AnswerQuestion(const std::string& current, GtkResponseType button,
                    std::source_location where = std::source_location::current()) {
  Robot::AnswerMessage(Question(current), GTK_MESSAGE_OTHER, button, where);
}

TEST_F(BrowserStory, AddressesOpenInTheDefaultOrTheChosenBrowser) {
  GivenVault("pw", {{"site", "  example.org/a b\"c  ", "", ""},
                    {"files", "ftp://files.example", "", ""},
                    {"shop", "HTTP://Shop.Example/", "", ""}});
  TestFiles::WriteFile(dir.path + "notabrowser", "#!/bin/sh\ntouch '" + dir.path + "by-choice'\n");
  LogInWith("pw", 3);
  Robot::Click(App::OpenButton);
  ExpectOpened("by-default", "https://example.org/a%20b%22c");
  Robot::ClickRow(1);
  Robot::Click(App::OpenButton);
  Robot::AnswerMessage(Pick("Only http:// and https:// addresses can be opened.",
                            "Alleen http:// en https:// adressen kunnen worden geopend."),
                       GTK_MESSAGE_WARNING);
  Robot::ClickRow(2);
  Robot::Click(App::OpenButton);
  ExpectOpened("by-default", "HTTP://Shop.Example/");

  Robot::ChooseMenu(App::MenuChooseBrowser);
  AnswerQuestion(DefaultBrowser(), GTK_RESPONSE_YES);
  Robot::ChooseFile(dir.path + "mybrowser");
  Robot::WaitStatus("Browser: mybrowser");
  Robot::Click(App::OpenButton);
  ExpectOpened("by-choice", "HTTP://Shop.Example/");
  Robot::Do("the default handler was not asked again",
            [this] { EXPECT_FALSE(TestFiles::Exists(dir.path + "by-default")); });
  // A chosen file that is no program opens nothing and says nothing.
  Robot::ChooseMenu(App::MenuChooseBrowser);
  AnswerQuestion(dir.path + "mybrowser", GTK_RESPONSE_YES);
  Robot::ChooseFile(dir.path + "notabrowser");
  Robot::WaitStatus("Browser: notabrowser");
  Robot::Click(App::OpenButton);
  Robot::Pause(500);
  Robot::Do("nothing was started", [this] {
    EXPECT_FALSE(Robot::MessageBoxOpen());
    EXPECT_FALSE(TestFiles::Exists(dir.path + "by-default"));
    EXPECT_FALSE(TestFiles::Exists(dir.path + "by-choice"));
    EXPECT_EQ(Robot::StatusText(), "Browser: notabrowser");
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_EQ(Messages()[0].title, "Lockwell");
  ASSERT_EQ(Requesters().size(), 2u);
  EXPECT_EQ(Requesters()[0].title, Pick("Choose browser", "Kies browser"));
  EXPECT_FALSE(Requesters()[0].save);
  EXPECT_EQ(Requesters()[0].filters,
            std::vector<std::string>{Pick("All files (*)", "Alle bestanden (*)")});
  EXPECT_NE(TestFiles::ReadFile(SettingsFile()).find("Browser = " + dir.path + "notabrowser\n"),
            std::string::npos);
}

TEST_F(BrowserStory, ChoosingResettingAndCancellingTheBrowser) {
  GivenVault("pw", {});
  LogInWith("pw", 0);
  const std::string loggedIn = StoryText::LoggedIn(0);
  const std::string browser = dir.path + "mybrowser";
  // Yes, then cancelling the requester, and Cancel in the question: nothing changes.
  Robot::ChooseMenu(App::MenuChooseBrowser);
  AnswerQuestion(DefaultBrowser(), GTK_RESPONSE_YES);
  Robot::CancelFile();
  Robot::ChooseMenu(App::MenuChooseBrowser);
  AnswerQuestion(DefaultBrowser(), GTK_RESPONSE_CANCEL);
  Robot::ChooseMenu(App::MenuChooseBrowser);
  // The box closed by the window manager.
  AnswerQuestion(DefaultBrowser(), GTK_RESPONSE_DELETE_EVENT);
  Robot::Do("no settings written, no status", [this, loggedIn] {
    EXPECT_FALSE(TestFiles::Exists(SettingsFile()));
    EXPECT_EQ(Robot::StatusText(), loggedIn);
  });
  Robot::ChooseMenu(App::MenuChooseBrowser);
  AnswerQuestion(DefaultBrowser(), GTK_RESPONSE_YES);
  Robot::ChooseFile(browser);
  Robot::WaitStatus("Browser: mybrowser");
  Robot::Do("the choice is saved", [this, browser] {
    EXPECT_NE(TestFiles::ReadFile(SettingsFile()).find("Browser = " + browser + "\n"),
              std::string::npos);
  });
  // The requester starts at the chosen browser; cancelling it keeps the choice.
  Robot::ChooseMenu(App::MenuChooseBrowser);
  AnswerQuestion(browser, GTK_RESPONSE_YES);
  Robot::CancelFile();
  Robot::ChooseMenu(App::MenuChooseBrowser);
  AnswerQuestion(browser, GTK_RESPONSE_NO);
  Robot::WaitStatus(Pick("Browser: default browser", "Browser: standaardbrowser"));
  Robot::Do("the default is saved; then the file is removed", [this] {
    EXPECT_NE(TestFiles::ReadFile(SettingsFile()).find("Browser = \n"), std::string::npos);
    std::remove(SettingsFile().c_str());
    App::SetStatusText("");
  });
  // No again, though the default is already in use: saved again and shown again.
  Robot::ChooseMenu(App::MenuChooseBrowser);
  AnswerQuestion(DefaultBrowser(), GTK_RESPONSE_NO);
  Robot::WaitStatus(Pick("Browser: default browser", "Browser: standaardbrowser"));
  Robot::Do("written again", [this] { EXPECT_TRUE(TestFiles::Exists(SettingsFile())); });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);

  ASSERT_EQ(Messages().size(), 7u);
  ASSERT_EQ(Requesters().size(), 3u);
  EXPECT_EQ(Requesters()[2].folder + "/", dir.path);
  EXPECT_EQ(Requesters()[2].name, "mybrowser");
}

// A chosen path with a line break would add a line to the settings file: it is refused.
TEST_F(BrowserStory, ABrowserPathWithALineBreakIsRefused) {
  GivenVault("pw", {});
  LogInWith("pw", 0);
  const std::string odd = dir.path + "my\nGenLengte = 4";
  WriteFakeBrowser(odd, dir.path + "by-odd");
  Robot::ChooseMenu(App::MenuChooseBrowser);
  AnswerQuestion(DefaultBrowser(), GTK_RESPONSE_YES);
  Robot::ChooseFile(odd);
  Robot::AnswerMessage(
      Pick("This browser path holds a line break or another control character and cannot be "
           "used.",
           "Dit browserpad bevat een regeleinde of een ander stuurteken en kan niet worden "
           "gebruikt."),
      GTK_MESSAGE_WARNING);
  Robot::Do("nothing saved", [this] { EXPECT_FALSE(TestFiles::Exists(SettingsFile())); });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_NE(TestFiles::ReadFile(SettingsFile()).find("\nBrowser = \nAltijdBoven"),
            std::string::npos);
}

}  // namespace
