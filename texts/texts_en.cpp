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
};

}  // namespace Texts
