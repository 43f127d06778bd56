#include "texts/texts.h"

namespace Texts {

const Table kText = {
    .dutch = true,
    .programTitle = "Lockwell",
    .errorText =
        {
            "OK",
            "libsodium is niet gevonden of kon niet worden geladen.",
            "Het bestand kon niet worden gelezen of geschreven.",
            "Dit is geen geldig kluisbestand.",
            "Onjuist wachtwoord, of het bestand is beschadigd.",
            "Het wachtwoord mag niet leeg zijn.",
            "Onvoldoende geheugen.",
            "Er is geen kluis geopend.",
        },
    .unknownErrorPrefix = "Onbekende fout (",
    .sodiumMissing =
        "libsodium is niet gevonden.\nInstalleer het pakket libsodium23 of libsodium26.",
    .savingFailed = "Opslaan mislukt: ",
    .menuFile = "Bestand",
    .menuEdit = "Bewerken",
    .menuSettings = "Instellingen",
    .itemMakeBackup = "Backup maken...",
    .itemRestoreBackup = "Backup terugzetten...",
    .itemExit = "Sluiten",
    .itemNew = "Nieuw\tCtrl+N",
    .itemEdit = "Wijzig\tEnter",
    .itemDelete = "Verwijder\tDel",
    .itemShowPasswords = "Wachtwoorden tonen!",
    .itemAlwaysOnTop = "Altijd boven",
    .itemChooseBrowser = "Kies browser...",
    .itemChangeMasterPassword = "Hoofdwachtwoord wijzigen...",
    .itemAbout = "Over...",
    .upButton = "Omhoog",
    .downButton = "Omlaag",
    .detailsFrame = "Details",
    .openButton = "Openen",
    .copyButton = "Kopieer",
    .copyUserDescription = "Kopieer de gebruikersnaam naar het klembord",
    .copyPasswordDescription = "Kopieer het wachtwoord naar het klembord",
    .urlLabel = "URL:",
    .userLabel = "Gebruiker:",
    .passwordLabel = "Wachtwoord:",
    .statusLoggedOut = "Afgemeld",
    .statusLoggedIn = "Ingelogd - ",
    .statusPasswordCount = " wachtwoord(en)",
    .statusCreatingVault = "Kluis aanmaken...",
    .statusOpeningVault = "Kluis openen...",
    .creatingFailed = "Kluis aanmaken mislukt: ",
    .statusCopied = "Gekopieerd - klembord wordt over 15 s gewist",
    .statusClipboardCleared = "Klembord gewist",
    .newVaultTitle = "Nieuwe kluis",
    .newVaultPrompt =
        "Er is nog geen kluis. Kies een hoofdwachtwoord (minimaal 8 tekens). Dit wachtwoord is "
        "niet te herstellen!",
    .logInTitle = "Inloggen",
    .logInPrompt = "Voer het hoofdwachtwoord in.",
    .repeatLabel = "Herhaal:",
    .okButton = "OK",
    .cancelButton = "Annuleren",
    .enterPassword = "Vul een wachtwoord in.",
    .passwordTooShort = "Het hoofdwachtwoord moet minimaal 8 tekens hebben.",
    .passwordsDiffer = "De wachtwoorden zijn niet gelijk.",
    // Guards against other writers.
    .alreadyRunning = "Lockwell draait al met deze kluis.",
    .keptCopyBefore =
        "Het kluisbestand is door een ander programma gewijzigd terwijl Lockwell het open had. Die "
        "versie is bewaard als ",
    .keptCopyAfter = "; uw wijzigingen zijn opgeslagen.",
};

}  // namespace Texts
