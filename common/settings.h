// The seven preferences kept in instellingen.ini beside the vault.
#pragma once

#include <cstdint>
#include <string>

namespace Common {

struct Settings {
  int64_t GenLengte;
  int64_t GenHoofd;
  int64_t GenKlein;
  int64_t GenCijfers;
  int64_t GenLeestekens;
  std::string Browser;
  int64_t AltijdBoven;
  std::string GelekteWachtwoorden;  // the breach list's file or folder; empty: none chosen
};

// The program's settings record; it changes only through the calls below.
const Settings& CurrentSettings();
// The values before the file is read.
[[nodiscard]] Settings DefaultSettings();

// The password generator's choices, as the entry editor last left them.
struct GeneratorChoices {
  int64_t length;
  bool upper, lower, digits, symbols;
};
// Each changes the record and saves it.
void SaveAlwaysOnTop(bool on);
void SaveGeneratorChoices(const GeneratorChoices& choices);
void SaveBrowser(const std::string& path);     // empty: the desktop's default browser
void SaveBreachList(const std::string& path);  // empty: no leak check
// Puts the defaults back without saving (a new run in the same process).
void ResetSettings();

// Reads SettingsPath into the record (at most its first 64 KiB); a missing file, or
// anything that is not a regular file, leaves the record as it is.
void LoadSettings();
// Replaces SettingsPath whole with the record; failures are silent and keep the old file.
void SaveSettings();

// False for a browser path holding a line break or another control character (C0, DEL,
// C1): such a path is refused when chosen. One with a line break is never written.
[[nodiscard]] bool IsUsableBrowserPath(const std::string& path);

// The file text of a record, and a record read from file bytes (over the defaults).
[[nodiscard]] std::string ComposeSettings(const Settings& settings);
[[nodiscard]] Settings ParseSettings(const std::string& bytes);

}  // namespace Common
