#include "texts/texts.h"

namespace Texts {

const Table kText = {
    .dutch = false,
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
    // Guards against other writers.
    .alreadyRunning = "Lockwell is already running with this vault.",
    .keptCopyBefore =
        "The vault file was changed by another program while Lockwell had it open. That version is "
        "kept as ",
    .keptCopyAfter = "; your changes are saved.",
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
};

}  // namespace Texts
