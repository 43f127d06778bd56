// The texts the user sees. Each edition links exactly one table (texts_en.cpp or
// texts_nl.cpp); both define the same symbols, so the edition is chosen at link time.
#pragma once

#include <cstddef>

namespace Texts {

// The fields of an entry, which some texts name one by one, in the field table's order
// (Vault::kEntryFields, which checks this count).
constexpr size_t kFieldCount = 4;

struct Table {
  const char* programTitle;  // windows and message boxes without a title of their own

  // Vault error texts, indexed by VaultError code 0..7.
  const char* errorText[8];
  const char* unknownErrorPrefix;  // followed by the code and ")"

  const char* sodiumMissing;  // the one message box when libsodium cannot be loaded
  const char* savingFailed;   // prefix, followed by the error text

  // Main window, password dialog, login and clipboard.
  const char* menuFile;
  const char* menuEdit;
  const char* menuSettings;
  const char* itemMakeBackup;
  const char* itemRestoreBackup;
  const char* itemExit;
  const char* itemNew;
  const char* itemEdit;
  const char* itemDelete;
  const char* itemShowPasswords;
  const char* itemAlwaysOnTop;
  const char* itemChooseBrowser;
  const char* itemChangeMasterPassword;
  const char* itemAbout;
  const char* upButton;
  const char* downButton;
  const char* detailsFrame;
  const char* openButton;
  const char* copyButton;
  const char* copyUserDescription;
  const char* copyPasswordDescription;
  const char* urlLabel;
  const char* userLabel;
  const char* passwordLabel;
  const char* statusLoggedOut;
  const char* statusLoggedIn;
  const char* statusPasswordCount;
  const char* statusCreatingVault;
  const char* statusOpeningVault;
  const char* creatingFailed;
  const char* statusCopied;
  const char* statusClipboardCleared;
  const char* newVaultTitle;
  const char* newVaultPrompt;
  const char* logInTitle;
  const char* logInPrompt;
  const char* repeatLabel;
  const char* okButton;
  const char* cancelButton;
  const char* enterPassword;
  const char* passwordTooShort;
  const char* passwordsDiffer;

  // Finding entries as the user types (window and companion). "{}" marks the count.
  const char* searchMatches;
  const char* searchOneMatch;
  const char* searchNoMatch;
  const char* cliNoMatch;  // list TEXT found nothing (standard error)

  // Guards against other writers.
  const char* alreadyRunning;  // a second Lockwell on the same configuration directory
  const char* keptCopyBefore;  // followed by the kept file's name, then keptCopyAfter
  const char* keptCopyAfter;
  // Following the file and sync copies (window). "{}" marks a value filled in, in order.
  const char* keptCopyNextStep;     // after keptCopyAfter: how the kept version comes back
  const char* statusUpdated;        // "Updated from another computer", then what changed
  const char* countAdded;           // "{} added"
  const char* countChanged;         // "{} changed"
  const char* countRemoved;         // "{} removed"
  const char* twoVersionsKept;      // "{}": the entries kept in two versions; first in a status
  const char* followPasswordTitle;  // the password dialog for a version with another key
  const char* followPasswordPrompt;
  const char* statusPasswordTaken;  // after what changed, when its master password was taken
  // The question about copies: who kept one (a sync tool, Lockwell), how many were found,
  // what merging does (one entry, more), its end for one copy and for all of them.
  const char* copyKeptBy[2];      // file name
  const char* copiesFound;        // number of copies
  const char* mergingDoes[2];     // for one copy, for all: "{}" what it does
  const char* copyAdds[2];        // "{}": a number
  const char* copyChanges[2];
  const char* copyRemoves[2];
  const char* copyKeepsTwice[2];
  const char* copyOnlyOrder;      // a merge that changes nothing but the order
  const char* namesAndMore;       // the names shown, then how many more
  const char* copyQuestionEnd;    // one copy
  const char* copiesQuestionEnd;  // number of copies
  const char* copyPasswordTitle;
  const char* copyPasswordPrompt;    // file name
  const char* statusCopyMerged;      // file name, then what changed
  const char* statusCopiesMerged;    // number of copies, then what changed
  const char* statusCopyRemoved;     // file name: a copy that held nothing new
  const char* statusCopyUnreadable;  // file name, why
  // Browser, backup, restore and About.
  const char* onlyWebAddresses;
  const char* systemDefaultBrowser;
  const char* chooseBrowserTitle;
  const char* currentBrowser;
  const char* browserChoices;
  const char* allFilesFilter;
  const char* statusBrowser;
  const char* statusDefaultBrowser;
  const char* backupPrefix;
  const char* makeBackupTitle;
  const char* vaultFilter;
  const char* backupIsVault;
  const char* fileExists;
  const char* statusBackupMade;
  const char* backupFailed;
  const char* restoreTitle;
  const char* restorePrompt;
  const char* statusCheckingBackup;
  const char* restoreConfirm;
  const char* statusBackupRestored;
  const char* restoreDone;
  const char* restoreFailedPutBack;
  const char* restoreFailedUnchanged;
  const char* restoreFailedNotPutBack;
  // Entry editor, delete and reorder, change of master password.
  const char* newEntryTitle;
  const char* editEntryTitle;
  const char* descriptionLabel;
  const char* entryUrlLabel;
  const char* entryUserLabel;
  const char* entryPasswordLabel;
  const char* generateFrame;
  const char* digitsBox;
  const char* lowerBox;
  const char* upperBox;
  const char* symbolsBox;
  const char* lengthLabel;
  const char* generateButton;
  const char* chooseKind;
  const char* descriptionRequired;
  const char* statusAdded;
  const char* statusPasswordsClose;
  const char* deleteTitle;
  const char* confirmDeleteBefore;
  const char* confirmDeleteAfter;
  const char* statusDeleted;
  const char* changeTitle;
  const char* changeCurrentPrompt;
  const char* currentPasswordWrong;
  const char* changeNewPrompt;
  const char* statusPasswordChanged;
  const char* passwordChanged;
  const char* changingFailed;
  // The window programs' --help.
  const char* usage;
  // A vault too large to be saved (the cause after "Saving failed: " / "Changing failed: ")
  const char* vaultTooLarge;
  // Standard buttons of message boxes and file requesters, with their mnemonics.
  const char* buttonCancel;
  const char* buttonSave;
  const char* buttonOpen;
  const char* buttonYes;  // the texts that name their buttons use these words
  const char* buttonNo;
  // Odd content: an editor field kept as stored, a browser path refused.
  const char* fieldKeptAsStored;
  const char* browserPathRefused;

  // The command-line companion (lockwell-cli-en, lockwell-cli-nl); "{}" marks a value that
  // is filled in, in order.
  const char* cliUsage;
  const char* cliVersion;
  const char* cliTryHelp;
  const char* cliNoCommand;
  const char* cliUnknownCommand;
  const char* cliUnknownOption;
  const char* cliMissingValue;
  const char* cliWrongFileCount;
  const char* cliBadSeparator;
  const char* cliBadColumns;
  const char* cliBadLength;
  const char* cliNoSuchColumn;
  const char* cliNumbersNeeded;
  const char* cliColumnsIncomplete;
  const char* cliPasswordPrompt;
  const char* cliOtherPasswordPrompt;
  const char* cliNoPassword;
  const char* cliNoVault;
  const char* cliCannotRead;
  const char* cliExportExists;
  const char* cliExportNotFile;
  const char* cliExportWarningFile;
  const char* cliExportWarningOutput;
  const char* cliExported;
  const char* cliNothingImported;
  const char* cliNoRows;
  const char* cliUnclosedQuote;
  const char* cliTextAfterQuote;
  const char* cliNoDescription;
  const char* cliLineBreak;
  const char* cliZeroByte;
  const char* cliInvalidUtf8;
  const char* cliTooLong;
  const char* cliHeaderNotRecognised;
  const char* cliHeaderMaybeData;
  const char* cliColumnsFound;
  const char* cliAdaptColumns;
  const char* cliWouldAdd;
  const char* cliImported;
  const char* cliWouldImport;
  const char* cliAlreadyPresent;
  const char* cliEmptyRowsSkipped;
  const char* cliEntriesNow;
  const char* cliEntriesAfter;
  const char* cliNotImported;
  const char* cliSecondColumn;
  const char* cliDryRun;
  const char* cliNewVault;
  const char* cliMerged;
  const char* cliCheckOpened;
  const char* cliCheckEntries;
  const char* cliCheckCosts;
  const char* cliCheckSize;
  // Sync copies and merging (companion).
  const char* cliMergeLocked;
  const char* cliNoCopies;
  const char* cliTwinKept;
  const char* cliFieldsInSentence[kFieldCount];  // as a sentence names them, in order
  const char* cliAnd;
  const char* cliCopyRemoved;
  const char* cliChangedBy;   // file name, number, then a line per entry
  const char* cliRemovedBy;   // file name, number, then a line per entry
  const char* cliCopyLeft;    // file name, why
  const char* cliCopiesLeft;  // number of copies left beside the vault

  // The companion's new master passwords: only what the window could type.
  const char* cliPasswordNotTypable;

  // Companion: exit causes.
  // Why a file could not be read or written: no such file, a folder, a FIFO or device,
  // permission denied, disk full, a read-only file system (a sentence each).
  const char* cliFileCauses[6];
  const char* cliOutputFailed;       // standard output could not be written
  const char* cliEmptyDir;           // --dir ""
  const char* cliExportIsLink;       // the export target's name
  const char* cliExportNoFolder;     // the export target's name
  const char* cliNoKinds;            // generate, with every kind switched off in the settings
  const char* cliColumnPlaceholder;  // a column the --columns hint leaves to the user

  // CSV import: left-out rows and counts.
  const char* cliShortRow;
  const char* cliTooManyFields;
  const char* cliFileChanged;
  const char* cliDuplicateRows;
  const char* cliLeftOut;
  // Per kind of row (secure note, card, identity, in the recycle bin, archived): one, more.
  const char* cliLeftOutKinds[5][2];
  const char* cliSeveralAddresses;
  const char* cliNoVaultMade;

  // The edition's language, and the About window.
  const char* language;  // "en" or "nl": what a locale that speaks the edition starts with
  const char* aboutTitle;
  const char* aboutEncryption;
  const char* aboutInterface;
  const char* aboutCreatedUsing;
  const char* aboutClose;

  // A change that could not be saved, and the copies the restore requester shows.
  const char* statusNotSaved;
  const char* statusSaved;
  const char* leaveUnsavedBefore;  // followed by the error text, then leaveUnsavedAfter
  const char* leaveUnsavedAfter;
  const char* statusLastChangeLost;
  const char* restoreFilter;

  // Password health: the report, its dialog and the companion's health, and the breach list.
  // "{}" marks a value filled in, in order; pairs are {one, more}.
  const char* itemCheckPasswords;
  const char* itemBreachList;
  const char* healthTitle;
  const char* healthColumns[3];  // description, user name, findings
  const char* healthHint;        // above the list: how to go to an entry
  const char* healthClose;
  const char* healthChecking;  // beside the progress bar
  const char* statusHealthCancelled;
  const char* healthEmpty;
  const char* healthReused[2];      // the number of other entries
  const char* healthReusedNames;    // the dialog: the finding, then the other entries' names
  const char* healthWeak;           // the time, one of healthGuessTimes
  const char* healthGuessTimes[4];  // seconds, minutes, hours, days
  const char* healthSameAsUser;
  const char* healthSameAsDescription;
  const char* healthLeaked[2];  // the count, its thousands grouped
  const char* healthSeparator;  // between findings
  const char* healthSummary;    // findings, passwords
  const char* healthNoBreachList;
  const char* healthBreachListUnusable;  // the breach list's "file: reason" before it
  const char* thousandsSeparator;
  // Why a breach list cannot be used, in the order of Common::BreachProblem after None; "{}"
  // is a byte offset.
  const char* breachProblems[11];
  const char* breachListTitle;
  const char* currentBreachList;
  const char* noBreachList;
  const char* breachListChoices;
  const char* breachListFilter;
  const char* statusBreachList;  // followed by the file or folder name
  const char* statusNoBreachList;
  const char* breachListRefused;
};

extern const Table kText;

}  // namespace Texts
