// import FILE.csv: the rows of a CSV export added to the vault in one guarded save.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/csv_import.h"
#include "cli/file_problem.h"
#include "cli/input_file.h"
#include "cli/new_entries.h"
#include "common/entry_merge.h"
#include "common/sync_base.h"
#include "cli/output.h"
#include "common/instance_lock.h"
#include "common/paths.h"
#include "common/utf8.h"
#include "texts/fill.h"
#include "texts/texts.h"
#include "vault/vault.h"

namespace Cli {
namespace {

constexpr size_t kShortenedName = 3;  // characters of a column name that may be data

bool DirectoryExists(const std::string& dir) {
  struct stat info {};
  return stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ReadOptions(const Arguments& arguments, ImportOptions& options) {
  const Texts::Table& t = Texts::kText;
  options.noHeader = arguments.noHeader;
  if (arguments.separatorGiven) {
    const std::string& s = arguments.separator;
    options.separator = s == "," ? ',' : s == ";" ? ';' : s == "tab" || s == "\t" ? '\t' : 0;
    if (options.separator == 0) return UsageError(t.cliBadSeparator) == kDone;
  }
  if (arguments.columnsGiven && !ParseColumns(arguments.columns, options.columns)) {
    return UsageError(t.cliBadColumns) == kDone;
  }
  return true;
}

std::string ColumnName(const ImportReport& report, int column) {
  const std::string& name = report.header[static_cast<size_t>(column)];
  return name.empty() ? std::to_string(column + 1) : Printable(name);
}

// The columns found, numbered, the fields that could not be placed and a --columns option
// to adapt. Names are shortened when none is known: the first line may then be a row of
// data, and a password must not be shown.
void RefuseHeader(const ImportReport& report) {
  const Texts::Table& t = Texts::kText;
  std::string missing;
  for (int f = 0; f < kFieldCount; ++f) {
    if (report.missing[f])
      missing += (missing.empty() ? "" : ", ") + std::string(Vault::kEntryFields[f].keyword);
  }
  PrintError(Texts::Fill(t.cliHeaderNotRecognised, {missing}));
  const bool known =
      std::any_of(report.header.begin(), report.header.end(),
                  [](const std::string& name) { return FieldOfHeaderName(name) >= 0; });
  if (!known) PrintError(t.cliHeaderMaybeData);
  PrintError(t.cliColumnsFound);
  for (size_t c = 0; c < report.header.size(); ++c) {
    const std::string name = Printable(report.header[c]);
    PrintError("  " + std::to_string(c + 1) + "  " +
               (known ? name : Common::Shortened(name, kShortenedName)));
  }
  PrintError(t.cliAdaptColumns);
  std::string option = "  --columns ";
  for (int f = 0; f < kFieldCount; ++f) {
    option += std::string(f == 0 ? "" : ",") + std::string(Vault::kEntryFields[f].keyword) + "=" +
              (report.column[f] == kNoColumn ? std::string(t.cliColumnPlaceholder)
                                             : std::to_string(report.column[f] + 1));
  }
  PrintError(option);
}

struct RowFailure {
  ImportFailure failure;
  const char* Texts::Table::*text;
};

constexpr RowFailure kRowFailures[] = {
    {ImportFailure::UnclosedQuote, &Texts::Table::cliUnclosedQuote},
    {ImportFailure::TextAfterQuote, &Texts::Table::cliTextAfterQuote},
    {ImportFailure::NoDescription, &Texts::Table::cliNoDescription},
    {ImportFailure::LineBreak, &Texts::Table::cliLineBreak},
    {ImportFailure::ZeroByte, &Texts::Table::cliZeroByte},
    {ImportFailure::InvalidUtf8, &Texts::Table::cliInvalidUtf8},
    {ImportFailure::TooLong, &Texts::Table::cliTooLong},
    {ImportFailure::ShortRow, &Texts::Table::cliShortRow},
    {ImportFailure::TooManyFields, &Texts::Table::cliTooManyFields},
};

const char* Texts::Table::*RowFailureText(ImportFailure failure) {
  for (const RowFailure& row : kRowFailures) {
    if (row.failure == failure) return row.text;
  }
  return &Texts::Table::cliNothingImported;  // every row failure has its row above
}

int Refuse(const ImportReport& report) {
  const Texts::Table& t = Texts::kText;
  const std::string row = std::to_string(report.row);
  const char* field = t.cliFieldsInSentence[report.field];
  switch (report.failure) {
    case ImportFailure::None:
      return kDone;
    case ImportFailure::OutOfMemory:
      PrintError(Vault::ErrorText(Vault::OutOfMemory));
      return Vault::OutOfMemory;
    case ImportFailure::NoSuchColumn:
      return UsageError(Texts::Fill(t.cliNoSuchColumn, {Printable(report.culprit)}));
    case ImportFailure::NumbersNeeded:
      return UsageError(t.cliNumbersNeeded);
    case ImportFailure::ColumnsIncomplete:
      return UsageError(t.cliColumnsIncomplete);
    case ImportFailure::NoRows:
      PrintError(t.cliNoRows);
      break;
    case ImportFailure::HeaderNotRecognised:
      RefuseHeader(report);
      break;
    default:  // a row's fault: its number, and the field where the text names one
      PrintError(Texts::Fill(t.*RowFailureText(report.failure), {row, field}));
      break;
  }
  PrintError(t.cliNothingImported);
  return kBadData;
}

// The rows that were no logins, by kind ("Left out: 1 secure note, 2 in the recycle bin"),
// and those whose web address held more than one; nothing when there were none.
void PrintLeftOut(const ImportReport& report) {
  const Texts::Table& t = Texts::kText;
  std::string kinds;
  for (int k = 0; k < kLeftOutKinds; ++k) {
    const size_t count = report.leftOut[k];
    if (count == 0) continue;
    kinds += (kinds.empty() ? "" : ", ") +
             Texts::Fill(t.cliLeftOutKinds[k][count == 1 ? 0 : 1], {std::to_string(count)});
  }
  if (!kinds.empty()) PrintLine(Texts::Fill(t.cliLeftOut, {kinds}));
  if (report.severalAddresses > 0) {
    PrintLine(Texts::Fill(t.cliSeveralAddresses, {std::to_string(report.severalAddresses)}));
  }
}

// rows: the rows read that were not empty; added: those that were not present yet.
// noVault: a new vault was to be made, and had nothing to hold.
void PrintSummary(const ImportReport& report, size_t rows, size_t added, size_t total, bool dryRun,
                  bool noVault = false) {
  const Texts::Table& t = Texts::kText;
  PrintLine(Texts::Fill(dryRun ? t.cliWouldImport : t.cliImported, {std::to_string(added)}));
  PrintLine(Texts::Fill(t.cliAlreadyPresent, {std::to_string(rows - added)}));
  if (report.duplicateRows > 0) {
    PrintLine(Texts::Fill(t.cliDuplicateRows, {std::to_string(report.duplicateRows)}));
  }
  PrintLine(Texts::Fill(t.cliEmptyRowsSkipped, {std::to_string(report.emptyRows)}));
  PrintLeftOut(report);
  PrintLine(
      noVault ? std::string(t.cliNoVaultMade)
              : Texts::Fill(dryRun ? t.cliEntriesAfter : t.cliEntriesNow, {std::to_string(total)}));
  if (!report.unused.empty()) {
    std::string names;
    for (int c : report.unused) names += (names.empty() ? "" : ", ") + ColumnName(report, c);
    PrintLine(Texts::Fill(t.cliNotImported, {names}));
  }
  for (const SecondColumn& second : report.seconds) {
    PrintLine(Texts::Fill(t.cliSecondColumn,
                          {t.cliFieldsInSentence[second.field], ColumnName(report, second.used),
                           ColumnName(report, second.ignored)}));
  }
}

// Makes a new vault holding the rows under a new master password, which is wiped on every
// way out. A directory made for it is taken away again when no vault could be made.
int CreateWithNewPassword(const Context& context, ImportReport& report) {
  const Texts::Table& t = Texts::kText;
  SecretBuffer password;
  if (const int status = AskNewPassword(password); status != kDone) return status;
  // Made now, or by another Lockwell while the password was asked: locked before the vault
  // is written, and whoever locked it first keeps it.
  const bool madeDirectory = Common::MakeConfigDir();
  if (!Common::ConfigDirLocked()) {
    if (const int status = TakeLock(context); status != kDone) return status;
  }
  errno = 0;
  const Vault::VaultError result = Vault::CreateVaultHolding(
      Common::VaultFilePath(), View(password), std::move(report.rows.list));
  if (result != Vault::Ok) {
    const int error = errno;
    if (madeDirectory) (void)rmdir(context.dir.c_str());  // only ever an empty one
    return SaveFailure(t.creatingFailed, result, error);
  }
  Common::ForgetCommonBase();  // what an earlier vault here shared is no base of this one
  PrintLine(Texts::Fill(t.cliNewVault, {Printable(Common::VaultFilePath())}));
  return kDone;
}

// Saves the rows to add: into the open vault, or as a new vault made with them.
int Save(const Context& context, ImportReport& report, bool newVault) {
  const Texts::Table& t = Texts::kText;
  if (report.rows.list.empty()) return kDone;  // nothing changed: the file stays as it is
  if (newVault) return CreateWithNewPassword(context, report);
  std::vector<Vault::Entry>& entries = Vault::Entries();
  for (const Vault::Entry& row : report.rows.list) Vault::AppendEntry(entries, row);
  errno = 0;
  const Vault::VaultError result = Vault::SaveVaultQuietly();
  if (result != Vault::Ok) return SaveFailure(t.savingFailed, result, errno);
  return kDone;
}

// Reads the file into report: kDone, or kFileProblem after saying why. The file is unmapped
// on return.
int ReadInputFile(const std::string& path, const ImportOptions& options, ImportReport& report) {
  const Texts::Table& t = Texts::kText;
  InputFile file;
  if (OpenInputFile(path, file)) {
    ReadImport(View(file), options, report);
    if (!InputFileChanged(file)) return kDone;
    ReleaseEntries(report.rows);
  }
  if (file.changed) {
    PrintError(Texts::Fill(t.cliFileChanged, {Printable(path)}));
  } else {
    PrintError(WithCause(Texts::Fill(t.cliCannotRead, {Printable(path)}), ReadCause(path)));
  }
  return kFileProblem;
}

int Import(const Context& context, ImportReport& report) {
  const Arguments& arguments = context.arguments;
  const bool newVault = !Common::VaultFileExists(Common::VaultFilePath());
  if (!newVault) {
    if (const int status = OpenVaultAsking(context); status != kDone) return status;
  }
  std::vector<Vault::Entry>& toAdd = report.rows.list;
  const size_t rows = toAdd.size();
  // From here on the report holds only the rows to add, in file order.
  KeepEntries(toAdd, Common::MissingEntries(Vault::Entries(), toAdd));
  const size_t added = toAdd.size();
  const size_t total = Vault::Entries().size() + added;
  // Before any password is asked for a new vault, and in a dry run too.
  if (TooLargeTogether(Vault::Entries(), toAdd)) return RefuseTooLarge();
  if (arguments.dryRun) {
    PrintLine(Texts::kText.cliWouldAdd);
    for (const Vault::Entry& row : toAdd) PrintLine("  " + Printable(row.Omschrijving));
    PrintSummary(report, rows, added, total, true);
    PrintLine(Texts::kText.cliDryRun);
    return kDone;
  }
  if (const int status = Save(context, report, newVault); status != kDone) return status;
  PrintSummary(report, rows, added, total, false, newVault && added == 0);
  return kDone;
}

}  // namespace

int ImportCommand(const Context& context) {
  const Arguments& arguments = context.arguments;
  ImportOptions options;
  if (!ReadOptions(arguments, options)) return kUsage;
  // A dry run writes nothing, so it needs no lock: it may run beside the window program. A
  // directory that does not exist yet is made, and locked, only when a new vault is saved.
  if (!arguments.dryRun && DirectoryExists(context.dir)) {
    if (const int status = TakeLock(context); status != kDone) return status;
  }
  ImportReport report;
  int status = ReadInputFile(arguments.files[0], options, report);
  if (status != kDone) return status;
  status = Refuse(report);
  if (status == kDone) status = Import(context, report);
  return status;  // the report's rows are wiped with it
}

}  // namespace Cli
