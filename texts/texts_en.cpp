#include "texts/texts.h"

namespace Texts {

const Table kText = {
    .programTitle = "Lockwell",
    .errorText =
        {
            "OK",
            "libsodium was not found or could not be loaded.",
            "The file could not be read or written.",
            "This is not a valid vault file.",
            "Wrong password, or the file is damaged.",
            "The password must not be empty.",
            "Not enough memory.",
            "No vault is open.",
        },
    .unknownErrorPrefix = "Unknown error (",
    .sodiumMissing = "libsodium was not found.\nInstall the package libsodium23 or libsodium26.",
    .savingFailed = "Saving failed: ",
    .menuFile = "File",
    .menuEdit = "Edit",
    .menuSettings = "Settings",
    .itemMakeBackup = "Make backup...",
    .itemRestoreBackup = "Restore backup...",
    .itemExit = "Exit",
    .itemNew = "New\tCtrl+N",
    .itemEdit = "Edit\tEnter",
    .itemDelete = "Delete\tDel",
    .itemShowPasswords = "Show passwords!",
    .itemAlwaysOnTop = "Always on top",
    .itemChooseBrowser = "Choose browser...",
    .itemChangeMasterPassword = "Change master password...",
    .itemAbout = "About...",
    .upButton = "Up",
    .downButton = "Down",
    .detailsFrame = "Details",
    .openButton = "Open",
    .copyButton = "Copy",
    .copyUserDescription = "Copy the user name to the clipboard",
    .copyPasswordDescription = "Copy the password to the clipboard",
    .urlLabel = "URL:",
    .userLabel = "User:",
    .passwordLabel = "Password:",
    .statusLoggedOut = "Logged out",
    .statusLoggedIn = "Logged in - ",
    .statusPasswordCount = " password(s)",
    .statusCreatingVault = "Creating vault...",
    .statusOpeningVault = "Opening vault...",
    .creatingFailed = "Creating the vault failed: ",
    .statusCopied = "Copied - clipboard will be cleared in 15 s",
    .statusClipboardCleared = "Clipboard cleared",
    .newVaultTitle = "New vault",
    .newVaultPrompt =
        "There is no vault yet. Choose a master password (at least 8 characters). This password "
        "cannot be recovered!",
    .logInTitle = "Log in",
    .logInPrompt = "Enter the master password.",
    .repeatLabel = "Repeat:",
    .okButton = "OK",
    .cancelButton = "Cancel",
    .enterPassword = "Please enter a password.",
    .passwordTooShort = "The master password must have at least 8 characters.",
    .passwordsDiffer = "The passwords do not match.",
    // Finding entries as the user types.
    .searchMatches = "{} matches",
    .searchOneMatch = "1 match",
    .searchNoMatch = "No matches",
    .cliNoMatch = "No entries match.",
    // Guards against other writers.
    .alreadyRunning = "Lockwell is already running with this vault.",
    .keptCopyBefore =
        "The vault file was changed by another program while Lockwell had it open. That version is "
        "kept as ",
    .keptCopyAfter = "; your changes are saved.",
    // Following the file and sync copies (window).
    .keptCopyNextStep =
        " Lockwell offers to merge it unless you turned that version down; \"lockwell-cli-en "
        "merge\" merges it at any time, and Restore backup puts it in place of this one.",
    .statusUpdated = "Updated from another computer",
    .countAdded = "{} added",
    .countChanged = "{} changed",
    .countRemoved = "{} removed",
    .twoVersionsKept = "Two versions kept: {}. ",
    .followPasswordTitle = "Vault changed elsewhere",
    .followPasswordPrompt =
        "The vault was saved elsewhere with another master password. Enter that password to "
        "bring it in.",
    .statusPasswordTaken = " - the master password is now that of the other computer",
    .copyKeptBy = {"{} is another version of the vault, kept by a sync tool.",
                   "{} is another version of the vault, kept by Lockwell when it saved over it."},
    .copiesFound = "{} other versions of the vault lie beside it, kept by sync tools or by "
                   "Lockwell.",
    .mergingDoes = {"Merging it {}.", "Merging all of them {}."},
    .copyAdds = {"adds 1 entry", "adds {} entries"},
    .copyChanges = {"changes 1 entry", "changes {} entries"},
    .copyRemoves = {"removes 1 entry", "removes {} entries"},
    .copyKeepsTwice = {"keeps 1 entry in two versions", "keeps {} entries in two versions"},
    .copyOnlyOrder = "changes only the order of the entries",
    .namesAndMore = "{} and {} more",
    .copyQuestionEnd = "Merge it into the vault?",
    .copiesQuestionEnd = "Merge all {} copies into the vault?",
    .copyPasswordTitle = "Sync copy",
    .copyPasswordPrompt = "Enter the master password of {}.",
    .statusCopyMerged = "Merged {}",
    .statusCopiesMerged = "Merged {} copies",
    .statusCopyRemoved = "{} removed: it held nothing new",
    .statusCopyUnreadable = "{} could not be read: {}",
    .onlyWebAddresses = "Only http:// and https:// addresses can be opened.",
    .systemDefaultBrowser = "(system default browser)",
    .chooseBrowserTitle = "Choose browser",
    .currentBrowser = "Current browser: ",
    .browserChoices = "\n\nYes = choose another browser\nNo = use the default browser",
    .allFilesFilter = "All files (*)|*",
    .statusBrowser = "Browser: ",
    .statusDefaultBrowser = "Browser: default browser",
    .backupPrefix = "vault_backup_",
    .makeBackupTitle = "Make backup",
    .vaultFilter = "Vault (*.lwv)|*.lwv|All files (*.*)|*.*",
    .backupIsVault = "Choose a different file than the vault itself.",
    .fileExists = "The file already exists. Overwrite?",
    .statusBackupMade = "Backup made: ",
    .backupFailed = "Making the backup failed.",
    .restoreTitle = "Restore backup",
    .restorePrompt = "Enter the master password of the backup.",
    .statusCheckingBackup = "Checking backup...",
    .restoreConfirm =
        "The backup contains valid data.\n\nThis will replace the current vault. Continue?",
    .statusBackupRestored = "Backup restored - ",
    .restoreDone = "The backup has been restored.\nThe master password is now that of the backup.",
    .restoreFailedPutBack =
        "Restoring failed; the old vault has been put back. Please log in again.",
    .restoreFailedUnchanged = "Restoring failed; the vault has not been changed.",
    .restoreFailedNotPutBack =
        "Restoring failed, and the old vault could not be put back. It is kept as "
        "kluis.lwv.voor-terugzetten.",
    // Entry editor, delete and reorder, change of master password.
    .newEntryTitle = "New password",
    .editEntryTitle = "Edit password",
    .descriptionLabel = "Description *",
    .entryUrlLabel = "URL",
    .entryUserLabel = "User name",
    .entryPasswordLabel = "Password",
    .generateFrame = "Generate password",
    .digitsBox = "Digits (0-9)",
    .lowerBox = "Lower case (a-z)",
    .upperBox = "Upper case (A-Z)",
    .symbolsBox = "Symbols (!@#...)",
    .lengthLabel = "Length:",
    .generateButton = "Generate",
    .chooseKind = "Choose at least one kind of character.",
    .descriptionRequired = "A description is required.",
    .statusAdded = "Added: ",
    .statusPasswordsClose = " passwords)",
    .deleteTitle = "Delete",
    .confirmDeleteBefore = "Permanently delete '",
    .confirmDeleteAfter = "'?",
    .statusDeleted = "Deleted (",
    .changeTitle = "Change master password",
    .changeCurrentPrompt = "Enter the current master password.",
    .currentPasswordWrong = "The current password is wrong.",
    .changeNewPrompt = "Choose a new master password (at least 8 characters).",
    .statusPasswordChanged = "Master password changed",
    .passwordChanged =
        "The master password has been changed.\nOld backups keep their old password.",
    .changingFailed = "Changing failed: ",
    .usage =
        "Usage: lockwell-en [DIRECTORY]\n"
        "Lockwell keeps your passwords in one encrypted vault.\n"
        "\n"
        "DIRECTORY is the configuration directory: it holds the vault (kluis.lwv) and the\n"
        "settings (instellingen.ini), and is created when it does not exist. Without it\n"
        "the files are kept in $HOME/.Lockwell/. Further arguments are ignored.\n"
        "\n"
        "  -h, --help   show this help and exit\n"
        "  --version    show the version and exit\n"
        "\n"
        "A directory really called --help is given as ./--help.\n",
    // A vault too large to be saved
    .vaultTooLarge = "The vault would be too large to save.",
    // Standard buttons of message boxes and file requesters.
    .buttonCancel = "_Cancel",
    .buttonSave = "_Save",
    .buttonOpen = "_Open",
    .buttonYes = "_Yes",
    .buttonNo = "_No",
    .fieldKeptAsStored =
        "This box cannot show the whole text of this field. The field keeps "
        "its stored text unless you change it.",
    .browserPathRefused =
        "This browser path holds a line break or another control character "
        "and cannot be used.",
    .cliUsage =
        "Usage: lockwell-cli-en [--dir DIR] COMMAND [OPTIONS]\n"
        "\n"
        "Commands:\n"
        "  import FILE.csv     add the rows of a CSV export to the vault\n"
        "      --dry-run           show what would be added; save nothing\n"
        "      --separator S       ',' ';' or tab (found from the header when not given)\n"
        "      --columns description=COL,url=COL,username=COL,password=COL\n"
        "                          take the fields from these columns (name or number)\n"
        "      --no-header         the first line is data (needs --columns with numbers)\n"
        "  export FILE.csv     write every entry to a CSV file, unencrypted ('-': standard\n"
        "                      output); --force replaces an existing file\n"
        "  merge [FILE.lwv...] add the entries of other vault files that are not present;\n"
        "                      without a file: every sync conflict copy and kept copy beside\n"
        "                      the vault, each removed once all its entries are in the vault\n"
        "  list                description, user name and web address of every entry\n"
        "  check [FILE]        open the vault (or FILE) and report on it\n"
        "  generate            print a new password\n"
        "      --length N (4-128)  --upper  --lower  --digits  --symbols\n"
        "  health              list the passwords that are weak, reused, empty, the same as\n"
        "                      the user name or description, or leaked\n"
        "      --breaches FILE|DIR  the breach list (else the one chosen in the window)\n"
        "\n"
        "Without --dir the directory is the one Lockwell uses: $HOME/.Lockwell/.\n"
        "Master passwords are read from the terminal, or one line each from standard input.\n"
        "\n"
        "Exit status: 0 done, 1 another Lockwell holds the directory, 2 a file could not be\n"
        "read or written, 3 not a vault, 4 wrong password, 64 usage error, 65 bad input data,\n"
        "69 libsodium could not be loaded.",
    .cliVersion = "lockwell-cli-en {}",
    .cliTryHelp = "Try 'lockwell-cli-en --help'.",
    .cliNoCommand = "No command given.",
    .cliUnknownCommand = "Unknown command: {}",
    .cliUnknownOption = "Unknown option for this command: {}",
    .cliMissingValue = "The option {} needs a value.",
    .cliWrongFileCount = "Wrong number of file names for {}.",
    .cliBadSeparator = "The separator must be ',', ';' or tab.",
    .cliBadColumns =
        "--columns takes field=COL pairs separated by commas, each field once: description, "
        "url, username, password; COL is a column's name or number (from 1).",
    .cliBadLength = "The length must be a number from 4 to 128.",
    .cliNoSuchColumn = "--columns: the file has no column {}.",
    .cliNumbersNeeded = "--no-header needs --columns with column numbers.",
    .cliColumnsIncomplete = "--columns must place the password, and the description or the url.",
    .cliPasswordPrompt = "Master password: ",
    .cliOtherPasswordPrompt = "Master password of {}: ",
    .cliNoPassword = "No password was given.",
    .cliNoVault = "There is no vault in {}.",
    .cliCannotRead = "{}: the file could not be read.",
    .cliExportExists = "{} already exists; give --force to replace it.",
    .cliExportNotFile = "{} is not a regular file; nothing was written.",
    .cliExportWarningFile =
        "Warning: {} holds your passwords unencrypted. Delete it when you no longer need it.",
    .cliExportWarningOutput = "Warning: this output holds your passwords unencrypted.",
    .cliExported = "Exported {} entries to {}.",
    .cliNothingImported = "Nothing was imported.",
    .cliNoRows = "The file holds no rows.",
    .cliUnclosedQuote = "Row {}: a quoted field is not closed.",
    .cliTextAfterQuote = "Row {}: text follows the closing quote of a field.",
    .cliNoDescription = "Row {}: no description, and no web address to take one from.",
    .cliLineBreak = "Row {}: {} holds a line break.",
    .cliZeroByte = "Row {}: {} holds a zero byte.",
    .cliInvalidUtf8 = "Row {}: {} is not valid UTF-8 text.",
    .cliTooLong = "Row {}: {} is longer than 65535 characters.",
    .cliHeaderNotRecognised = "The header was not recognised: no column for {}.",
    .cliHeaderMaybeData =
        "No column name is known, so the first line may be data: the names are shortened. "
        "If the file has no header, use --no-header.",
    .cliColumnsFound = "Columns found:",
    .cliAdaptColumns = "Name the columns yourself; adapt this option and add it to the command:",
    .cliWouldAdd = "Would add:",
    .cliImported = "Imported: {}",
    .cliWouldImport = "Would import: {}",
    .cliAlreadyPresent = "Already present: {}",
    .cliEmptyRowsSkipped = "Empty rows skipped: {}",
    .cliEntriesNow = "Entries now: {}",
    .cliEntriesAfter = "Entries after the import: {}",
    .cliNotImported = "Columns not imported: {}",
    .cliSecondColumn = "For {}, column \"{}\" is used, not \"{}\".",
    .cliDryRun = "Dry run: nothing was saved.",
    .cliNewVault = "A new vault was made: {}",
    .cliMerged = "Added from {}: {}",
    .cliCheckOpened = "{}: the vault opens with this password.",
    .cliCheckEntries = "Entries: {}",
    .cliCheckCosts = "Key derivation: Argon2id, {} passes, {} bytes of memory",
    .cliCheckSize = "File size: {} bytes",
    // Sync copies and merging (companion).
    .cliMergeLocked = "Close its window and try again, or let the window merge the copies.",
    .cliNoCopies = "No copies of the vault were found in {}.",
    .cliTwinKept = "{}: two versions kept; they differ in {}",
    .cliFieldsInSentence = {"the description", "the web address", "the user name", "the password"},
    .cliAnd = " and ",
    .cliCopyRemoved = "Removed {}: all its entries are in the vault.",
    .cliChangedBy = "Changed by {}: {}",
    .cliRemovedBy = "Removed by {}: {}",
    .cliCopyLeft = "{}: {} It stays where it is: move it aside, or run merge again and give its "
                   "own master password.",
    .cliCopiesLeft = "Copies left beside the vault: {}",

    .cliPasswordNotTypable =
        "This master password holds a control character or bytes that are not UTF-8 text; "
        "Lockwell could never open the vault with it.",

    // Companion: exit causes.
    .cliFileCauses = {"There is no such file.", "It is a folder.",
                      "It is a FIFO or a device, not a file.", "Permission denied.",
                      "The disk is full.", "The file system is read-only."},
    .cliOutputFailed = "Standard output could not be written.",
    .cliEmptyDir = "--dir needs the name of a directory; it cannot be empty.",
    .cliExportIsLink = "{} is a symbolic link; nothing was written.",
    .cliExportNoFolder = "The folder of {} does not exist; nothing was written.",
    .cliNoKinds =
        "The settings switch every kind of character off. Choose at least one with --upper, "
        "--lower, --digits or --symbols, or in the window's generator.",
    .cliColumnPlaceholder = "COL",

    // CSV import: left-out rows and counts.
    .cliShortRow = "Row {}: it has fewer fields than the first line.",
    .cliTooManyFields = "Row {}: it has more than 1000 fields.",
    .cliFileChanged = "{}: the file changed while it was being read.",
    .cliDuplicateRows = "Duplicate rows in the file: {}",
    .cliLeftOut = "Left out: {}",
    .cliLeftOutKinds = {{"{} secure note", "{} secure notes"},
                        {"{} card", "{} cards"},
                        {"{} identity", "{} identities"},
                        {"{} in the recycle bin", "{} in the recycle bin"},
                        {"{} archived", "{} archived"}},
    .cliSeveralAddresses = "Rows with more than one web address (the first was kept): {}",
    .cliNoVaultMade = "Nothing to import, so no vault was made.",

    .language = "en",
    .aboutTitle = "About",
    .aboutEncryption = "Encryption: libsodium",
    .aboutInterface = "Interface: GTK 3",
    .aboutCreatedUsing = "Created using:",
    .aboutClose = "Close",

    // A change that could not be saved, and the copies the restore requester shows.
    .statusNotSaved = "Not saved - the next change or Exit tries again",
    .statusSaved = "Saved",
    .leaveUnsavedBefore = "The vault could not be saved: ",
    .leaveUnsavedAfter = "\n\nQuit and lose the unsaved changes? No goes back to the vault.",
    .statusLastChangeLost = "The last change could not be saved before the lock and is lost",
    .restoreFilter = "Vault and its copies (*.lwv, *.lwv.*)|*.lwv;*.lwv.*|All files (*.*)|*.*",

    // Password health: the report, its dialog and the companion's health, and the breach list.
    .itemCheckPasswords = "Check passwords…",
    .itemBreachList = "Breach list…",
    .healthTitle = "Check passwords",
    .healthColumns = {"Description", "User name", "Findings"},
    .healthHint = "Double-click an entry, or press Return, to select it in the main window.",
    .healthClose = "Close",
    .healthChecking = "Checking passwords…",
    .statusHealthCancelled = "Password check cancelled",
    .healthEmpty = "empty",
    .healthReused = {"reused with {} other entry", "reused with {} other entries"},
    .healthReusedNames = "{}: {}",
    .healthWeak = "weak (guessed {})",
    .healthGuessTimes = {"in seconds", "in minutes", "in hours", "in days"},
    .healthSameAsUser = "same as the user name",
    .healthSameAsDescription = "same as the description",
    .healthLeaked = {"leaked (seen {} time)", "leaked (seen {} times)"},
    .healthSeparator = "; ",
    .healthSummary = "{} of {} passwords need attention",
    .healthNoBreachList = "No breach list is chosen, so no password was checked for leaks.",
    .healthBreachListUnusable = " No password was checked for leaks.",
    .thousandsSeparator = ",",
    .breachProblems = {"There is no such file or folder.", "Permission denied.",
                       "It could not be read.", "It is a FIFO or a device, not a file.",
                       "The file is empty.",
                       "The folder holds no range files (00000.txt to FFFFF.txt).",
                       "This range file of the folder is missing.",
                       "The line at byte {} is not a hash and a count.",
                       "The line at byte {} is too long for a hash and a count.",
                       "The lines are not sorted by hash (seen at byte {}).",
                       "The file changed while it was being read."},
    .breachListTitle = "Breach list",
    .currentBreachList = "Current breach list: ",
    .noBreachList = "(none)",
    .breachListChoices =
        "\n\nYes = choose a breach list (for a folder of range files, choose one of its files)"
        "\nNo = check without a breach list",
    .breachListFilter = "Breach lists (*.txt)|*.txt|All files (*.*)|*.*",
    .statusBreachList = "Breach list: ",
    .statusNoBreachList = "No breach list",
    .breachListRefused =
        "This path holds a line break or another control character and cannot be used.",
};

}  // namespace Texts
