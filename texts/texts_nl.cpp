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
    .onlyWebAddresses = "Alleen http:// en https:// adressen kunnen worden geopend.",
    .systemDefaultBrowser = "(standaardbrowser van het systeem)",
    .chooseBrowserTitle = "Kies browser",
    .currentBrowser = "Huidige browser: ",
    .browserChoices = "\n\nJa = een andere browser kiezen\nNee = standaardbrowser gebruiken",
    .allFilesFilter = "Alle bestanden (*)|*",
    .statusBrowser = "Browser: ",
    .statusDefaultBrowser = "Browser: standaardbrowser",
    .backupPrefix = "kluis_backup_",
    .makeBackupTitle = "Backup maken",
    .vaultFilter = "Kluis (*.lwv)|*.lwv|Alle bestanden (*.*)|*.*",
    .backupIsVault = "Kies een ander bestand dan de kluis zelf.",
    .fileExists = "Bestand bestaat al. Overschrijven?",
    .statusBackupMade = "Backup gemaakt: ",
    .backupFailed = "Backup maken is mislukt.",
    .restoreTitle = "Backup terugzetten",
    .restorePrompt = "Voer het hoofdwachtwoord van de backup in.",
    .statusCheckingBackup = "Backup controleren...",
    .restoreConfirm =
        "De backup bevat geldige gegevens.\n\nDe huidige kluis wordt hierdoor vervangen. Doorgaan?",
    .statusBackupRestored = "Backup teruggezet - ",
    .restoreDone = "De backup is teruggezet.\nHet hoofdwachtwoord is nu dat van de backup.",
    .restoreFailedPutBack = "Terugzetten mislukt; de oude kluis is hersteld. Log opnieuw in.",
    .restoreFailedUnchanged = "Terugzetten mislukt; de kluis is niet gewijzigd.",
    .restoreFailedNotPutBack =
        "Terugzetten mislukt en de oude kluis kon niet worden teruggezet. Hij staat in "
        "kluis.lwv.voor-terugzetten.",
    // Entry editor, delete and reorder, change of master password.
    .newEntryTitle = "Nieuw wachtwoord",
    .editEntryTitle = "Wijzig wachtwoord",
    .descriptionLabel = "Omschrijving *",
    .entryUrlLabel = "URL",
    .entryUserLabel = "Gebruikersnaam",
    .entryPasswordLabel = "Wachtwoord",
    .generateFrame = "Wachtwoord genereren",
    .digitsBox = "Cijfers (0-9)",
    .lowerBox = "Kleine letters (a-z)",
    .upperBox = "Hoofdletters (A-Z)",
    .symbolsBox = "Leestekens (!@#...)",
    .lengthLabel = "Lengte:",
    .generateButton = "Genereer",
    .chooseKind = "Kies minstens een soort tekens.",
    .descriptionRequired = "Een omschrijving is verplicht.",
    .statusAdded = "Toegevoegd: ",
    .statusPasswordsClose = " wachtwoorden)",
    .deleteTitle = "Verwijderen",
    .confirmDeleteBefore = "'",
    .confirmDeleteAfter = "' definitief verwijderen?",
    .statusDeleted = "Verwijderd (",
    .changeTitle = "Hoofdwachtwoord wijzigen",
    .changeCurrentPrompt = "Voer het huidige hoofdwachtwoord in.",
    .currentPasswordWrong = "Het huidige wachtwoord is onjuist.",
    .changeNewPrompt = "Kies een nieuw hoofdwachtwoord (minimaal 8 tekens).",
    .statusPasswordChanged = "Hoofdwachtwoord gewijzigd",
    .passwordChanged =
        "Het hoofdwachtwoord is gewijzigd.\nOude backups houden hun oude wachtwoord.",
    .changingFailed = "Wijzigen mislukt: ",
    .usage =
        "Gebruik: lockwell-nl [MAP]\n"
        "Lockwell bewaart je wachtwoorden in één versleutelde kluis.\n"
        "\n"
        "MAP is de configuratiemap: daarin staan de kluis (kluis.lwv) en de instellingen\n"
        "(instellingen.ini); de map wordt gemaakt als die nog niet bestaat. Zonder MAP\n"
        "staan de bestanden in $HOME/.Lockwell/. Verdere argumenten worden genegeerd.\n"
        "\n"
        "  -h, --help   toon deze hulp en stop\n"
        "  --version    toon de versie en stop\n"
        "\n"
        "Een map die echt --help heet, geef je op als ./--help.\n",
    // A vault too large to be saved
    .vaultTooLarge = "De kluis zou te groot worden om op te slaan.",
    // Standard buttons of message boxes and file requesters.
    .buttonCancel = "_Annuleren",
    .buttonSave = "Op_slaan",
    .buttonOpen = "_Openen",
    .buttonYes = "_Ja",
    .buttonNo = "_Nee",
    .fieldKeptAsStored =
        "Dit vak kan de hele tekst van dit veld niet tonen. Het veld houdt "
        "de opgeslagen tekst, tenzij die hier wordt gewijzigd.",
    .browserPathRefused =
        "Dit browserpad bevat een regeleinde of een ander stuurteken en kan "
        "niet worden gebruikt.",
};

}  // namespace Texts
