// Stories of deleting and moving entries, and of a save that fails.
#include "commands/entry_order.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <source_location>

#include "app/dialog_window.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/status_bar.h"
#include "commands/entry_editor.h"
#include "commands/password_dialog.h"
#include "tests/support/gui_story.h"
#include "tests/support/story_checks.h"
#include "tests/support/story_texts.h"

namespace {

using Robot::Messages;
using StoryText::DeleteQuestion;

class EntryOrderStory : public GuiStory {
 protected:
  std::vector<std::string> DescriptionsOnDisk() {
    std::vector<std::string> names;
    EXPECT_EQ(Vault::OpenVault(VaultFile(), "pw"), Vault::Ok);
    for (const Vault::Entry& e : Vault::Entries()) names.push_back(e.Omschrijving);
    Vault::CloseVault();
    return names;
  }
  // Deletes the selected entry, which has this description, with Yes and waits for the
  // count in the status text.
  void DeleteSelected(const std::string& description, size_t remaining,
                      std::source_location where = std::source_location::current()) {
    Robot::PressKey(GDK_KEY_Delete);
    Robot::AnswerMessage(DeleteQuestion(description), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES, where);
    Robot::WaitStatus(Pick("Deleted (", "Verwijderd (") + std::to_string(remaining) +
                      Pick(" passwords)", " wachtwoorden)"));
  }
};

using Rows = std::vector<std::string>;

TEST_F(EntryOrderStory, DeleteTheMiddleLastAndOnlyEntry) {
  GivenVault("pw",
             {{"a", "", "", ""}, {"it's mine", "", "", "x"}, {"c", "", "", ""}, {"d", "", "", ""}});
  LogInWith("pw", 4);
  const std::string before = TestFiles::ReadFile(VaultFile());
  Robot::ClickRow(1);
  Robot::PressKey(GDK_KEY_Delete);
  Robot::AnswerMessage(DeleteQuestion("it's mine"), GTK_MESSAGE_WARNING, GTK_RESPONSE_NO);
  Robot::ChooseMenu(App::MenuDelete);
  Robot::CloseWindow(Pick("Delete", "Verwijderen"));
  Robot::Pause(100);
  Robot::Do("No and closing change nothing", [this, before] {
    EXPECT_EQ(Robot::ListRows(), (Rows{"a", "it's mine", "c", "d"}));
    EXPECT_EQ(Robot::SelectedRow(), 1);
    EXPECT_EQ(TestFiles::ReadFile(VaultFile()), before);
  });
  DeleteSelected("it's mine", 3);
  Robot::Do("the next entry takes the place", [] {
    EXPECT_EQ(Robot::ListRows(), (Rows{"a", "c", "d"}));
    EXPECT_EQ(Robot::SelectedRow(), 1);
  });
  Robot::ClickRow(2);
  DeleteSelected("d", 2);
  Robot::Do("the new last entry is selected", [] {
    EXPECT_EQ(Robot::ListRows(), (Rows{"a", "c"}));
    EXPECT_EQ(Robot::SelectedRow(), 1);
  });
  DeleteSelected("c", 1);
  DeleteSelected("a", 0);
  Robot::Do("nothing left to select", [] {
    EXPECT_TRUE(Robot::ListRows().empty());
    EXPECT_EQ(Robot::SelectedRow(), -1);
    EXPECT_FALSE(Robot::MenuEnabled(App::MenuDelete));
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Messages().size(), 5u);  // the closed box is not answered
  EXPECT_EQ(Messages()[0].title, Pick("Delete", "Verwijderen"));
  EXPECT_TRUE(DescriptionsOnDisk().empty());
}

TEST_F(EntryOrderStory, MoveUpAndDownAndReopenInTheNewOrder) {
  GivenVault("pw",
             {{"a", "https://a", "", ""}, {"b", "https://b", "", ""}, {"c", "https://c", "", ""}});
  LogInWith("pw", 3);
  Robot::Do("the first row cannot go up", [] {
    EXPECT_FALSE(Robot::Enabled(App::UpButton));
    EXPECT_TRUE(Robot::Enabled(App::DownButton));
  });
  auto changed = std::make_shared<std::vector<int>>();
  Robot::Do("watch the list", [changed] { StoryCheck::WatchChangedRows(changed.get()); });
  Robot::ClickRow(2);
  Robot::Click(App::UpButton);
  StoryCheck::WaitRows("the third entry is second", {"a", "c", "b"}, [changed] {
    EXPECT_EQ(*changed, (std::vector<int>{2, 1}));  // only the two rows touched
    EXPECT_EQ(Robot::SelectedRow(), 1);
    EXPECT_EQ(Robot::FieldText(App::UrlField), "https://c");
    EXPECT_TRUE(Robot::Enabled(App::UpButton));
    EXPECT_TRUE(Robot::Enabled(App::DownButton));
  });
  Robot::Click(App::UpButton);
  StoryCheck::WaitRows("and then first", {"c", "a", "b"}, [this] {
    EXPECT_EQ(Robot::SelectedRow(), 0);
    EXPECT_FALSE(Robot::Enabled(App::UpButton));
    // A stale Up at the top changes and saves nothing.
    const std::string before = TestFiles::ReadFile(VaultFile());
    Commands::MoveSelectedEntry(-1);
    EXPECT_EQ(TestFiles::ReadFile(VaultFile()), before);
    EXPECT_EQ(Robot::ListRows(), (Rows{"c", "a", "b"}));
  });
  Robot::ClickRow(1);
  Robot::Click(App::DownButton);
  StoryCheck::WaitRows("down to the bottom", {"c", "b", "a"}, [this] {
    EXPECT_EQ(Robot::SelectedRow(), 2);
    EXPECT_FALSE(Robot::Enabled(App::DownButton));
    const std::string before = TestFiles::ReadFile(VaultFile());
    Commands::MoveSelectedEntry(+1);
    EXPECT_EQ(TestFiles::ReadFile(VaultFile()), before);
  });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Vault::OpenVault(VaultFile(), "pw"), Vault::Ok);
  ASSERT_EQ(Vault::Entries().size(), 3u);
  EXPECT_EQ(Vault::Entries()[0].Url, "https://c");  // the fields travel with their entry
  EXPECT_EQ(Vault::Entries()[2].Url, "https://a");
  Vault::CloseVault();
}

// A directory where the temporary file goes makes the save fail even for root.
TEST_F(EntryOrderStory, AFailedSaveKeepsTheChangeAndTheNextSaveWritesEverything) {
  GivenVault("pw", {{"a", "", "", ""}, {"b", "", "", ""}});
  LogInWith("pw", 2);
  const std::string before = TestFiles::ReadFile(VaultFile());
  Robot::Do("block the temporary file",
            [this] { ASSERT_EQ(mkdir((VaultFile() + ".tmp").c_str(), 0700), 0); });
  Robot::ChooseMenu(App::MenuNew);
  Robot::Type(Commands::DescriptionField, "third");
  Robot::Type(Commands::EntryPasswordField, "secret");
  Robot::PressKey(GDK_KEY_Return);
  Robot::AnswerMessage(StoryText::SavingFailed(), GTK_MESSAGE_ERROR);
  Robot::WaitStatus(StoryText::NotSaved());
  Robot::Do("the entry is kept, the old file intact", [this, before] {
    EXPECT_EQ(Robot::ListRows(), (Rows{"a", "b", "third"}));
    EXPECT_EQ(TestFiles::ReadFile(VaultFile()), before);
    ASSERT_EQ(rmdir((VaultFile() + ".tmp").c_str()), 0);
  });
  Robot::ClickRow(0);
  DeleteSelected("a", 2);
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].title, "Lockwell");
  EXPECT_EQ(DescriptionsOnDisk(), (Rows{"b", "third"}));
}

// A change the vault file cannot take is not dropped without a word: Exit and the close
// button try again and ask, the idle lock tries again and says afterwards what was lost.
TEST_F(EntryOrderStory, AChangeThatCannotBeSavedIsTriedAgainAndAskedAbout) {
  GivenVault("pw", {{"a", "", "", ""}, {"b", "", "", ""}});
  const std::string before = TestFiles::ReadFile(VaultFile());
  const std::string blocked = VaultFile() + ".tmp";
  const auto moveUpUnsaved = [blocked] {
    Robot::Do("block the temporary file",
              [blocked] { ASSERT_EQ(mkdir(blocked.c_str(), 0700), 0); });
    Robot::ClickRow(1);
    Robot::Click(App::UpButton);
    Robot::AnswerMessage(StoryText::SavingFailed(), GTK_MESSAGE_ERROR);
    Robot::WaitStatus(StoryText::NotSaved());
  };
  LogInWith("pw", 2);
  moveUpUnsaved();
  // Exit and the close button: one more try, the question, and No goes back to the vault.
  const std::function<void()> leaving[] = {[] { Robot::ChooseMenu(App::MenuExit); },
                                           [] { Robot::CloseWindow("Lockwell"); }};
  for (const auto& leave : leaving) {
    leave();
    Robot::AnswerMessage(StoryText::LeaveUnsaved(), GTK_MESSAGE_WARNING, GTK_RESPONSE_NO);
    Robot::Pause(300);
    Robot::Do("still open with the change; the file as it was", [this, before] {
      EXPECT_EQ(Robot::ListRows(), (Rows{"b", "a"}));
      EXPECT_EQ(TestFiles::ReadFile(VaultFile()), before);
      EXPECT_NE(App::MainWindowWidget(), nullptr);
    });
  }
  // The lock comes on time all the same; after the login the status says what was lost.
  Robot::MoveClock(61000);
  Robot::WaitWindow(StoryText::LogInTitle());
  Robot::Type(Commands::MasterPasswordField, "pw");
  Robot::PressKey(GDK_KEY_Return);
  Robot::WaitStatus(Pick("The last change could not be saved before the lock and is lost",
                         "De laatste wijziging kon voor het vergrendelen niet worden opgeslagen "
                         "en is verloren"));
  Robot::Do("the list is the file's", [blocked] {
    EXPECT_EQ(Robot::ListRows(), (Rows{"a", "b"}));
    ASSERT_EQ(rmdir(blocked.c_str()), 0);
  });
  // Yes quits and loses the change.
  moveUpUnsaved();
  Robot::ChooseMenu(App::MenuExit);
  Robot::AnswerMessage(StoryText::LeaveUnsaved(), GTK_MESSAGE_WARNING, GTK_RESPONSE_YES);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(Messages().size(), 5u);  // two failed saves, three questions
  EXPECT_EQ(TestFiles::ReadFile(VaultFile()), before);
  ASSERT_EQ(rmdir(blocked.c_str()), 0);

  // Once the file can be written again, Exit saves without a question.
  Robot::Reset();
  LogInWith("pw", 2);
  moveUpUnsaved();
  Robot::Do("the blockage goes", [blocked] { ASSERT_EQ(rmdir(blocked.c_str()), 0); });
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(DescriptionsOnDisk(), (Rows{"b", "a"}));
}

}  // namespace
