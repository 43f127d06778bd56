#include "texts/texts.h"

namespace Texts {

const Table kText = {
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
    // Finding entries as the user types.
    .searchMatches = "{} treffers",
    .searchOneMatch = "1 treffer",
    .searchNoMatch = "Geen treffers",
    .cliNoMatch = "Geen items gevonden.",
    // Guards against other writers.
    .alreadyRunning = "Lockwell draait al met deze kluis.",
    .keptCopyBefore =
        "Het kluisbestand is door een ander programma gewijzigd terwijl Lockwell het open had. Die "
        "versie is bewaard als ",
    .keptCopyAfter = "; uw wijzigingen zijn opgeslagen.",
    // Following the file and sync copies (window).
    .keptCopyNextStep =
        " Lockwell biedt aan hem samen te voegen, tenzij u die versie al hebt afgewezen; "
        "\"lockwell-cli-nl merge\" voegt hem altijd samen, en Backup terugzetten zet hem in de "
        "plaats van deze.",
    .statusUpdated = "Bijgewerkt vanaf een andere computer",
    .countAdded = "{} toegevoegd",
    .countChanged = "{} gewijzigd",
    .countRemoved = "{} verwijderd",
    .twoVersionsKept = "Twee versies bewaard: {}. ",
    .followPasswordTitle = "Kluis elders gewijzigd",
    .followPasswordPrompt =
        "De kluis is elders opgeslagen met een ander hoofdwachtwoord. Voer dat wachtwoord in om "
        "hem over te nemen.",
    .statusPasswordTaken = " - het hoofdwachtwoord is nu dat van de andere computer",
    .copyKeptBy = {"{} is een andere versie van de kluis, bewaard door een "
                   "synchronisatieprogramma.",
                   "{} is een andere versie van de kluis, bewaard door Lockwell toen het eroverheen "
                   "opsloeg."},
    .copiesFound = "Naast de kluis liggen {} andere versies ervan, bewaard door "
                   "synchronisatieprogramma's of door Lockwell.",
    .mergingDoes = {"Samenvoegen {}.", "Ze allemaal samenvoegen {}."},
    .copyAdds = {"voegt 1 item toe", "voegt {} items toe"},
    .copyChanges = {"wijzigt 1 item", "wijzigt {} items"},
    .copyRemoves = {"verwijdert 1 item", "verwijdert {} items"},
    .copyKeepsTwice = {"bewaart 1 item in twee versies", "bewaart {} items in twee versies"},
    .copyOnlyOrder = "verandert alleen de volgorde van de items",
    .namesAndMore = "{} en nog {}",
    .copyQuestionEnd = "Samenvoegen met de kluis?",
    .copiesQuestionEnd = "Alle {} kopieën samenvoegen met de kluis?",
    .copyPasswordTitle = "Synchronisatiekopie",
    .copyPasswordPrompt = "Voer het hoofdwachtwoord van {} in.",
    .statusCopyMerged = "{} samengevoegd",
    .statusCopiesMerged = "{} kopieën samengevoegd",
    .statusCopyRemoved = "{} verwijderd: er stond niets nieuws in",
    .statusCopyUnreadable = "{} kon niet worden gelezen: {}",
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
    .cliUsage =
        "Gebruik: lockwell-cli-nl [--dir MAP] OPDRACHT [OPTIES]\n"
        "\n"
        "Opdrachten:\n"
        "  import BESTAND.csv  voeg de rijen van een CSV-export toe aan de kluis\n"
        "      --dry-run           toon wat er zou worden toegevoegd; sla niets op\n"
        "      --separator S       ',' ';' of tab (anders gevonden uit de kopregel)\n"
        "      --columns description=KOL,url=KOL,username=KOL,password=KOL\n"
        "                          neem de velden uit deze kolommen (naam of nummer)\n"
        "      --no-header         de eerste regel is gegevens (vraagt --columns met nummers)\n"
        "  export BESTAND.csv  schrijf alle items onversleuteld naar een CSV-bestand ('-':\n"
        "                      standaarduitvoer); --force vervangt een bestaand bestand\n"
        "  merge [BESTAND...]  voeg de items van andere kluisbestanden toe die er nog niet zijn;\n"
        "                      zonder bestand: elke conflictkopie en bewaarde kopie naast de\n"
        "                      kluis, verwijderd zodra al haar items in de kluis staan\n"
        "  list                omschrijving, gebruikersnaam en webadres van elk item\n"
        "  check [BESTAND]     open de kluis (of BESTAND) en meld wat erin staat\n"
        "  generate            toon een nieuw wachtwoord\n"
        "      --length N (4-128)  --upper  --lower  --digits  --symbols\n"
        "  health              toon de wachtwoorden die zwak, hergebruikt, leeg, gelijk aan de\n"
        "                      gebruikersnaam of omschrijving, of gelekt zijn\n"
        "      --breaches BESTAND|MAP\n"
        "                          de lijst van gelekte wachtwoorden (anders die van het venster)\n"
        "\n"
        "Zonder --dir is de map die van Lockwell: $HOME/.Lockwell/.\n"
        "Hoofdwachtwoorden worden gelezen van de terminal, of elk als een regel van de\n"
        "standaardinvoer.\n"
        "\n"
        "Afsluitstatus: 0 klaar, 1 een andere Lockwell gebruikt de map, 2 een bestand kon niet\n"
        "worden gelezen of geschreven, 3 geen kluis, 4 onjuist wachtwoord, 64 verkeerd gebruik,\n"
        "65 onbruikbare invoer, 69 libsodium kon niet worden geladen.",
    .cliVersion = "lockwell-cli-nl {}",
    .cliTryHelp = "Probeer 'lockwell-cli-nl --help'.",
    .cliNoCommand = "Geen opdracht gegeven.",
    .cliUnknownCommand = "Onbekende opdracht: {}",
    .cliUnknownOption = "Onbekende optie voor deze opdracht: {}",
    .cliMissingValue = "De optie {} heeft een waarde nodig.",
    .cliWrongFileCount = "Verkeerd aantal bestandsnamen voor {}.",
    .cliBadSeparator = "Het scheidingsteken moet ',', ';' of tab zijn.",
    .cliBadColumns =
        "--columns neemt paren veld=KOL, gescheiden door komma's, elk veld een keer: "
        "description, url, username, password; KOL is de naam of het nummer (vanaf 1) van "
        "een kolom.",
    .cliBadLength = "De lengte moet een getal van 4 tot en met 128 zijn.",
    .cliNoSuchColumn = "--columns: het bestand heeft geen kolom {}.",
    .cliNumbersNeeded = "--no-header vraagt --columns met kolomnummers.",
    .cliColumnsIncomplete = "--columns moet het wachtwoord plaatsen, en de omschrijving of de url.",
    .cliPasswordPrompt = "Hoofdwachtwoord: ",
    .cliOtherPasswordPrompt = "Hoofdwachtwoord van {}: ",
    .cliNoPassword = "Er is geen wachtwoord gegeven.",
    .cliNoVault = "Er is geen kluis in {}.",
    .cliCannotRead = "{}: het bestand kon niet worden gelezen.",
    .cliExportExists = "{} bestaat al; geef --force om het te vervangen.",
    .cliExportNotFile = "{} is geen gewoon bestand; er is niets geschreven.",
    .cliExportWarningFile =
        "Let op: {} bevat uw wachtwoorden onversleuteld. Verwijder het als u het niet meer "
        "nodig hebt.",
    .cliExportWarningOutput = "Let op: deze uitvoer bevat uw wachtwoorden onversleuteld.",
    .cliExported = "{} items geëxporteerd naar {}.",
    .cliNothingImported = "Er is niets geïmporteerd.",
    .cliNoRows = "Het bestand bevat geen rijen.",
    .cliUnclosedQuote = "Rij {}: een veld tussen aanhalingstekens wordt niet afgesloten.",
    .cliTextAfterQuote = "Rij {}: er staat tekst na het sluitende aanhalingsteken van een veld.",
    .cliNoDescription = "Rij {}: geen omschrijving, en geen webadres om er een uit te halen.",
    .cliLineBreak = "Rij {}: {} bevat een regelovergang.",
    .cliZeroByte = "Rij {}: {} bevat een nulbyte.",
    .cliInvalidUtf8 = "Rij {}: {} is geen geldige UTF-8-tekst.",
    .cliTooLong = "Rij {}: {} is langer dan 65535 tekens.",
    .cliHeaderNotRecognised = "De kopregel is niet herkend: geen kolom voor {}.",
    .cliHeaderMaybeData =
        "Geen enkele kolomnaam is bekend, dus de eerste regel is misschien gegevens: de namen "
        "zijn ingekort. Heeft het bestand geen kopregel, gebruik dan --no-header.",
    .cliColumnsFound = "Gevonden kolommen:",
    .cliAdaptColumns =
        "Wijs de kolommen zelf aan; pas deze optie aan en voeg haar toe aan de "
        "opdracht:",
    .cliWouldAdd = "Zou toevoegen:",
    .cliImported = "Geïmporteerd: {}",
    .cliWouldImport = "Zou importeren: {}",
    .cliAlreadyPresent = "Al aanwezig: {}",
    .cliEmptyRowsSkipped = "Lege rijen overgeslagen: {}",
    .cliEntriesNow = "Aantal items nu: {}",
    .cliEntriesAfter = "Aantal items na de import: {}",
    .cliNotImported = "Niet geïmporteerde kolommen: {}",
    .cliSecondColumn = "Voor {} is kolom \"{}\" gebruikt, niet \"{}\".",
    .cliDryRun = "Proefdraaien: er is niets opgeslagen.",
    .cliNewVault = "Er is een nieuwe kluis gemaakt: {}",
    .cliMerged = "Toegevoegd uit {}: {}",
    .cliCheckOpened = "{}: de kluis gaat open met dit wachtwoord.",
    .cliCheckEntries = "Items: {}",
    .cliCheckCosts = "Sleutelafleiding: Argon2id, {} doorgangen, {} bytes geheugen",
    .cliCheckSize = "Bestandsgrootte: {} bytes",
    // Sync copies and merging (companion).
    .cliMergeLocked =
        "Sluit het venster en probeer het opnieuw, of laat het venster de kopieën samenvoegen.",
    .cliNoCopies = "Er zijn geen kopieën van de kluis gevonden in {}.",
    .cliTwinKept = "{}: twee versies bewaard; ze verschillen in {}",
    .cliFieldsInSentence = {"de omschrijving", "het webadres", "de gebruikersnaam",
                            "het wachtwoord"},
    .cliAnd = " en ",
    .cliCopyRemoved = "{} verwijderd: alle items erin staan in de kluis.",
    .cliChangedBy = "Gewijzigd door {}: {}",
    .cliRemovedBy = "Verwijderd door {}: {}",
    .cliCopyLeft = "{}: {} Hij blijft waar hij is: zet hem opzij, of voer merge opnieuw uit en "
                   "geef zijn eigen hoofdwachtwoord.",
    .cliCopiesLeft = "Kopieën die naast de kluis blijven: {}",

    .cliPasswordNotTypable =
        "Dit hoofdwachtwoord bevat een stuurteken of bytes die geen UTF-8-tekst zijn; "
        "Lockwell kan de kluis er nooit mee openen.",

    // Companion: exit causes.
    .cliFileCauses = {"Dat bestand bestaat niet.", "Het is een map.",
                      "Het is een FIFO of een apparaat, geen bestand.", "Toegang geweigerd.",
                      "De schijf is vol.", "Het bestandssysteem is alleen-lezen."},
    .cliOutputFailed = "De standaarduitvoer kon niet worden geschreven.",
    .cliEmptyDir = "--dir vraagt de naam van een map; die mag niet leeg zijn.",
    .cliExportIsLink = "{} is een symbolische koppeling; er is niets geschreven.",
    .cliExportNoFolder = "De map van {} bestaat niet; er is niets geschreven.",
    .cliNoKinds =
        "De instellingen zetten elke soort tekens uit. Kies er minstens een met --upper, "
        "--lower, --digits of --symbols, of in de generator van het venster.",
    .cliColumnPlaceholder = "KOL",

    // CSV import: left-out rows and counts.
    .cliShortRow = "Rij {}: deze heeft minder velden dan de eerste regel.",
    .cliTooManyFields = "Rij {}: deze heeft meer dan 1000 velden.",
    .cliFileChanged = "{}: het bestand veranderde terwijl het werd gelezen.",
    .cliDuplicateRows = "Dubbele rijen in het bestand: {}",
    .cliLeftOut = "Weggelaten: {}",
    .cliLeftOutKinds = {{"{} beveiligde notitie", "{} beveiligde notities"},
                        {"{} kaart", "{} kaarten"},
                        {"{} identiteit", "{} identiteiten"},
                        {"{} in de prullenbak", "{} in de prullenbak"},
                        {"{} gearchiveerd", "{} gearchiveerd"}},
    .cliSeveralAddresses = "Rijen met meer dan één webadres (het eerste is bewaard): {}",
    .cliNoVaultMade = "Niets te importeren, dus er is geen kluis gemaakt.",

    .language = "nl",
    .aboutTitle = "Over",
    .aboutEncryption = "Encryption: libsodium",
    .aboutInterface = "Interface: GTK 3",
    .aboutCreatedUsing = "Gemaakt met:",
    .aboutClose = "Sluiten",

    // A change that could not be saved, and the copies the restore requester shows.
    .statusNotSaved = "Niet opgeslagen - de volgende wijziging of Sluiten probeert het opnieuw",
    .statusSaved = "Opgeslagen",
    .leaveUnsavedBefore = "De kluis kon niet worden opgeslagen: ",
    .leaveUnsavedAfter =
        "\n\nAfsluiten en de niet-opgeslagen wijzigingen kwijtraken? Nee gaat terug naar de kluis.",
    .statusLastChangeLost =
        "De laatste wijziging kon voor het vergrendelen niet worden opgeslagen en is verloren",
    .restoreFilter = "Kluis en kopieën (*.lwv, *.lwv.*)|*.lwv;*.lwv.*|Alle bestanden (*.*)|*.*",

    // Password health: the report, its dialog and the companion's health, and the breach list.
    .itemCheckPasswords = "Wachtwoorden controleren…",
    .itemBreachList = "Lijst van gelekte wachtwoorden…",
    .healthTitle = "Wachtwoorden controleren",
    .healthColumns = {"Omschrijving", "Gebruikersnaam", "Bevindingen"},
    .healthHint = "Dubbelklik op een item of druk op Enter om het in het hoofdvenster te kiezen.",
    .healthClose = "Sluiten",
    .healthChecking = "Wachtwoorden controleren…",
    .statusHealthCancelled = "Controle van de wachtwoorden afgebroken",
    .healthEmpty = "leeg",
    .healthReused = {"hergebruikt in {} ander item", "hergebruikt in {} andere items"},
    .healthReusedNames = "{}: {}",
    .healthWeak = "zwak (geraden {})",
    .healthGuessTimes = {"in seconden", "in minuten", "in uren", "in dagen"},
    .healthSameAsUser = "gelijk aan de gebruikersnaam",
    .healthSameAsDescription = "gelijk aan de omschrijving",
    .healthLeaked = {"gelekt ({} keer gezien)", "gelekt ({} keer gezien)"},
    .healthSeparator = "; ",
    .healthSummary = "{} van {} wachtwoorden vragen aandacht",
    .healthNoBreachList =
        "Er is geen lijst van gelekte wachtwoorden gekozen, dus geen wachtwoord is op lekken "
        "gecontroleerd.",
    .healthBreachListUnusable = " Geen wachtwoord is op lekken gecontroleerd.",
    .thousandsSeparator = ".",
    .breachProblems = {"Dat bestand of die map bestaat niet.", "Toegang geweigerd.",
                       "Het kon niet worden gelezen.",
                       "Het is een FIFO of een apparaat, geen bestand.", "Het bestand is leeg.",
                       "De map bevat geen deelbestanden (00000.txt tot FFFFF.txt).",
                       "Dit deelbestand van de map ontbreekt.",
                       "De regel op byte {} is geen hash met een aantal.",
                       "De regel op byte {} is te lang voor een hash met een aantal.",
                       "De regels zijn niet op hash gesorteerd (gezien op byte {}).",
                       "Het bestand veranderde terwijl het werd gelezen."},
    .breachListTitle = "Lijst van gelekte wachtwoorden",
    .currentBreachList = "Huidige lijst: ",
    .noBreachList = "(geen)",
    .breachListChoices =
        "\n\nJa = een lijst kiezen (voor een map met deelbestanden: kies een van de bestanden)"
        "\nNee = controleren zonder lijst",
    .breachListFilter = "Lijsten van gelekte wachtwoorden (*.txt)|*.txt|Alle bestanden (*.*)|*.*",
    .statusBreachList = "Lijst van gelekte wachtwoorden: ",
    .statusNoBreachList = "Geen lijst van gelekte wachtwoorden",
    .breachListRefused =
        "Dit pad bevat een regeleinde of een ander stuurteken en kan niet worden gebruikt.",
};

}  // namespace Texts
