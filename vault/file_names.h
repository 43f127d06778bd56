// Every name Lockwell gives to something on disk. Files written by earlier versions and by
// the program on other computers carry these names, so none of them may change.
#pragma once

#include <string_view>

namespace Vault {

// Vault files, the one in the configuration directory and its backups.
constexpr std::string_view kVaultExtension = ".lwv";
// In the configuration directory.
constexpr std::string_view kVaultFileName = "kluis.lwv";
static_assert(kVaultFileName.ends_with(kVaultExtension));
constexpr std::string_view kSettingsFileName = "instellingen.ini";

// Beside a file being replaced, until the rename: the file's name + kTemporarySuffix.
constexpr std::string_view kTemporarySuffix = ".tmp";
// A temporary file that has no name of its own to go beside: kAnonymousTemporaryPrefix,
// random letters, then kTemporarySuffix.
constexpr std::string_view kAnonymousTemporaryPrefix = ".lockwell-";
// The vault as it was before a restore: the vault's path + kSafetyCopySuffix.
constexpr std::string_view kSafetyCopySuffix = ".voor-terugzetten";
// A version of the vault found on disk that another writer made, kept before it is
// overwritten: the vault's path + kKeptCopyInfix + "YYYY-MM-DD-HHMMSS" (local time).
constexpr std::string_view kKeptCopyInfix = ".extern-";

// In the user's state folder ($XDG_STATE_HOME, else ~/.local/state), never in a synced one:
// kStateFolderName + "/" + "kluis-" + 16 hex digits naming the configuration folder, then
// kCommonBaseSuffix (the last version of the vault received from another computer, sealed as
// it came) or kDeclinedSuffix (the stamps of the copies the user turned down, in hex).
constexpr std::string_view kStateFolderName = "lockwell";
constexpr std::string_view kCommonBaseSuffix = ".basis.lwv";
constexpr std::string_view kDeclinedSuffix = ".afgewezen";

// The keys of the settings file, in the order they are written: the browser's path, then
// the settings that hold a number.
constexpr std::string_view kBrowserKey = "Browser";
constexpr std::string_view kNumberKeys[] = {"AltijdBoven", "GenCijfers",    "GenKlein",
                                            "GenHoofd",    "GenLeestekens", "GenLengte"};
// The chosen breach list's path, after the others and only while one is chosen, so that the
// file stays as it was for everyone who never chose one.
constexpr std::string_view kBreachListKey = "GelekteWachtwoorden";

}  // namespace Vault
