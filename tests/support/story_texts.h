// Texts that several stories expect to see, in the edition the test program is linked with.
#pragma once

#include <string>

#include "tests/support/gui_story.h"

namespace StoryText {

inline std::string LogInTitle() { return Pick("Log in", "Inloggen"); }

inline std::string LoggedIn(size_t entries) {
  return Pick("Logged in - ", "Ingelogd - ") + std::to_string(entries) +
         Pick(" password(s)", " wachtwoord(en)");
}

inline std::string DeleteQuestion(const std::string& description) {
  return Pick("Permanently delete '", "'") + description + Pick("'?", "' definitief verwijderen?");
}

inline std::string LoggedOut() { return Pick("Logged out", "Afgemeld"); }

inline std::string EnterAPassword() {
  return Pick("Please enter a password.", "Vul een wachtwoord in.");
}

inline std::string TooShort() {
  return Pick("The master password must have at least 8 characters.",
              "Het hoofdwachtwoord moet minimaal 8 tekens hebben.");
}

inline std::string WrongPassword() {
  return Pick("Wrong password, or the file is damaged.",
              "Onjuist wachtwoord, of het bestand is beschadigd.");
}

inline std::string NotAVault() {
  return Pick("This is not a valid vault file.", "Dit is geen geldig kluisbestand.");
}

// The reason a failed read or write gives, after what failed.
inline std::string FileError() {
  return Pick("The file could not be read or written.",
              "Het bestand kon niet worden gelezen of geschreven.");
}

inline std::string SavingFailed() {
  return Pick("Saving failed: ", "Opslaan mislukt: ") + FileError();
}

// What the status bar and the question before leaving say of a change not saved.
inline std::string NotSaved() {
  return Pick("Not saved - the next change or Exit tries again",
              "Niet opgeslagen - de volgende wijziging of Sluiten probeert het opnieuw");
}

inline std::string LeaveUnsaved() {
  return Pick("The vault could not be saved: ", "De kluis kon niet worden opgeslagen: ") +
         FileError() +
         Pick("\n\nQuit and lose the unsaved changes? No goes back to the vault.",
              "\n\nAfsluiten en de niet-opgeslagen wijzigingen kwijtraken? Nee gaat terug naar de "
              "kluis.");
}

// The last question before a restore replaces the vault, and the note after it did.
inline std::string ConfirmRestore() {
  return Pick("The backup contains valid data.\n\nThis will replace the current vault. Continue?",
              "De backup bevat geldige gegevens.\n\nDe huidige kluis wordt hierdoor vervangen. "
              "Doorgaan?");
}

inline std::string Restored() {
  return Pick("The backup has been restored.\nThe master password is now that of the backup.",
              "De backup is teruggezet.\nHet hoofdwachtwoord is nu dat van de backup.");
}

// How a version kept beside the vault comes back, after the message that it was kept.
inline std::string KeptCopyNextStep() {
  return Pick(
      " Lockwell offers to merge it unless you turned that version down; \"lockwell-cli-en merge\" "
      "merges it at any time, and Restore backup puts it in place of this one.",
      " Lockwell biedt aan hem samen te voegen, tenzij u die versie al hebt afgewezen; "
      "\"lockwell-cli-nl merge\" voegt hem altijd samen, en Backup terugzetten zet hem in de "
      "plaats van deze.");
}

}  // namespace StoryText
