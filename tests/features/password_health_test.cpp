// The story of checking the vault's passwords: the report without and with a breach list,
// and a row chosen in it selecting that entry in the main window.
#include "features/password_health.h"

#include <gtest/gtest.h>

#include "app/controls.h"
#include "app/menus.h"
#include "common/password_generator.h"
#include "tests/support/breach_files.h"
#include "tests/support/requester_story.h"

namespace {

class PasswordHealthStory : public RequesterStory {};

std::string Title() { return Pick("Check passwords", "Wachtwoorden controleren"); }

// The report's rows as "description | user name | findings".
std::vector<std::string> ReportRows() {
  GtkTreeModel* model =
      gtk_tree_view_get_model(GTK_TREE_VIEW(App::ControlWidget(Features::HealthList)));
  std::vector<std::string> rows;
  GtkTreeIter iter;
  for (bool more = gtk_tree_model_get_iter_first(model, &iter); more;
       more = gtk_tree_model_iter_next(model, &iter)) {
    gchar *description = nullptr, *user = nullptr, *findings = nullptr;
    gtk_tree_model_get(model, &iter, 0, &description, 1, &user, 2, &findings, -1);
    rows.push_back(std::string(description) + " | " + user + " | " + findings);
    g_free(description), g_free(user), g_free(findings);
  }
  return rows;
}

std::string NoBreachList() {
  return Pick("No breach list is chosen, so no password was checked for leaks.",
              "Er is geen lijst van gelekte wachtwoorden gekozen, dus geen wachtwoord is op lekken "
              "gecontroleerd.");
}

bool Shows(const std::string& text) {
  const std::vector<std::string> labels = Robot::LabelsIn(Title());
  return std::find(labels.begin(), labels.end(), text) != labels.end();
}

void ChooseReportRow(int row) {
  Robot::Do("choose row " + std::to_string(row) + " of the report", [row] {
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_view_set_cursor(GTK_TREE_VIEW(App::ControlWidget(Features::HealthList)), path, nullptr,
                             FALSE);
    gtk_tree_path_free(path);
  });
}

void ExpectSelectedAfterClose(int entry) {
  Robot::Step(
      "the report closes and the main window selects entry " + std::to_string(entry),
      [] { return Robot::FindWindow(Title()) == nullptr; },
      [entry] { EXPECT_EQ(Robot::SelectedRow(), entry); });
}

TEST_F(PasswordHealthStory, EveryPasswordThatNeedsAttentionIsListedAndReachable) {
  std::string strong = Common::GeneratePassword(20, true, true, true, true);
  const std::vector<Vault::Entry> vault = {{"Mail", "", "ann", "Sunflower1987"},
                                           {"Shop", "", "ann", "Sunflower1987"},
                                           {"Bank", "", "bob", "password1"},
                                           {"Forum", "", "Carol", "cAROL"},
                                           {"Wiki", "", "dave", ""},
                                           {"Strong", "", "erin", strong}};
  GivenVault("pw", vault);
  const std::string breaches = dir.path + "breaches.txt";
  BreachFiles::WriteBreachFile(breaches, 20000,
                               {BreachFiles::kPassword1Hash + std::string(":12345")});
  const std::vector<std::string> rows = {
      Pick("Mail | ann | reused with 1 other entry: Shop; weak (guessed in minutes)",
           "Mail | ann | hergebruikt in 1 ander item: Shop; zwak (geraden in minuten)"),
      Pick("Shop | ann | reused with 1 other entry: Mail; weak (guessed in minutes)",
           "Shop | ann | hergebruikt in 1 ander item: Mail; zwak (geraden in minuten)"),
      Pick("Bank | bob | weak (guessed in seconds)", "Bank | bob | zwak (geraden in seconden)"),
      Pick("Forum | Carol | weak (guessed in seconds); same as the user name",
           "Forum | Carol | zwak (geraden in seconden); gelijk aan de gebruikersnaam"),
      Pick("Wiki | dave | empty", "Wiki | dave | leeg")};
  LogInWith("pw", 6);

  Robot::ChooseMenu(App::MenuCheckPasswords);
  Robot::WaitWindow(Title());
  Robot::Do("every entry but the strong one, and no leak check", [&] {
    EXPECT_EQ(ReportRows(), rows);
    EXPECT_TRUE(
        Shows(Pick("5 of 6 passwords need attention", "5 van 6 wachtwoorden vragen aandacht")));
    EXPECT_TRUE(Shows(NoBreachList()));
  });
  Robot::PressKeyIn(Title(), GDK_KEY_Escape);

  Robot::ChooseMenu(App::MenuBreachList);
  Robot::AnswerMessage(
      Pick("Current breach list: (none)\n\nYes = choose a breach list (for a folder of range "
           "files, choose one of its files)\nNo = check without a breach list",
           "Huidige lijst: (geen)\n\nJa = een lijst kiezen (voor een map met deelbestanden: kies "
           "een van de bestanden)\nNee = controleren zonder lijst"),
      GTK_MESSAGE_OTHER, GTK_RESPONSE_YES);
  Robot::ChooseFile(breaches);
  Robot::WaitStatus(Pick("Breach list: ", "Lijst van gelekte wachtwoorden: ") +
                    std::string("breaches.txt"));
  Robot::ChooseMenu(App::MenuCheckPasswords);
  Robot::WaitWindow(Title());
  Robot::Do("password1 is leaked too, with its count; no password shows", [&] {
    std::vector<std::string> leaked = rows;
    leaked[2] += Pick("; leaked (seen 12,345 times)", "; gelekt (12.345 keer gezien)");
    EXPECT_EQ(ReportRows(), leaked);
    EXPECT_FALSE(Shows(NoBreachList()));
    for (const std::string& row : ReportRows()) {
      for (const Vault::Entry& e : vault) {
        if (!e.Wachtwoord.empty()) {
          EXPECT_EQ(row.find(e.Wachtwoord), std::string::npos) << row;
        }
      }
    }
  });
  ChooseReportRow(3);
  Robot::PressKeyIn(Title(), GDK_KEY_Return);
  ExpectSelectedAfterClose(3);

  Robot::ChooseMenu(App::MenuCheckPasswords);
  Robot::WaitWindow(Title());
  ChooseReportRow(4);  // the first click of a double click
  Robot::Do("double-click Wiki's row", [] {
    GtkTreePath* path = gtk_tree_path_new_from_indices(4, -1);
    GtkTreeView* view = GTK_TREE_VIEW(App::ControlWidget(Features::HealthList));
    gtk_tree_view_row_activated(view, path, gtk_tree_view_get_column(view, 0));
    gtk_tree_path_free(path);
  });
  ExpectSelectedAfterClose(4);
  Robot::ChooseMenu(App::MenuExit);
  EXPECT_EQ(RunLockwell(), 0);
  EXPECT_TRUE(TestFiles::ReadFile(SettingsFile())
                  .ends_with("\nGenLengte = 20\nGelekteWachtwoorden = " + breaches + "\n"));
  Vault::WipeText(strong);
}

}  // namespace
