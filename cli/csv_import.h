// From the bytes of a CSV export to the entries an import would add: the separator, the
// header's columns (or those --columns names), and the entry editor's rules for each row.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/held_entries.h"
#include "vault/vault.h"

namespace Cli {

// Rows of Vault::kEntryFields that the import's rules name: where a description comes from
// and which field must be there.
enum Field : int { Description = 0, Url = 1, Username = 2, Password = 3 };
static_assert(Vault::kEntryFields[Description].member == &Vault::Entry::Omschrijving &&
              Vault::kEntryFields[Url].member == &Vault::Entry::Url &&
              Vault::kEntryFields[Username].member == &Vault::Entry::Gebruiker &&
              Vault::kEntryFields[Password].member == &Vault::Entry::Wachtwoord);
constexpr int kFieldCount = static_cast<int>(Vault::kEntryFieldCount);
constexpr int kNoColumn = -1;
// What the editor's one-line fields hold at most, in UTF-16 code units.
constexpr size_t kMaxFieldUnits = 65535;

// What --columns asks for, per field: a 1-based column number, a header name, or nothing.
struct ColumnRequest {
  bool given[kFieldCount] = {};
  int number[kFieldCount] = {};  // 0 when a name was given
  std::string name[kFieldCount];
};

struct ImportOptions {
  char separator = 0;  // 0: found from the header
  bool noHeader = false;
  ColumnRequest columns;
};

// The columns a field could come from twice over: the first one in the file is used.
struct SecondColumn {
  Field field;
  int used;     // 0-based
  int ignored;  // 0-based
};

enum class ImportFailure {
  None,
  OutOfMemory,
  NoRows,               // nothing but blank lines
  UnclosedQuote,        // row
  TextAfterQuote,       // row
  NoSuchColumn,         // --columns names a column the header lacks: culprit
  NumbersNeeded,        // --no-header with a column name, or without --columns
  ColumnsIncomplete,    // --no-header and --columns places no password or no description/url
  HeaderNotRecognised,  // missing tells which fields
  NoDescription,        // row
  LineBreak,            // row, field
  ZeroByte,             // row, field
  InvalidUtf8,          // row, field
  TooLong,              // row, field
  ShortRow,             // row: fewer fields than the first line
  TooManyFields,        // row
};

// Rows that are not logins, which other programs export beside them: left out and counted.
enum LeftOut : int { SecureNote = 0, Card, Identity, InRecycleBin, Archived };
constexpr int kLeftOutKinds = 5;

[[nodiscard]] constexpr std::array<int, kFieldCount> NoColumns() {
  std::array<int, kFieldCount> columns{};
  columns.fill(kNoColumn);
  return columns;
}

struct ImportReport {
  ImportFailure failure = ImportFailure::None;
  size_t row = 0;  // counted from 1 like a spreadsheet's rows, header and blank lines included
  Field field = Description;
  std::string culprit;
  char separator = ',';
  std::vector<std::string> header;  // the column names as found; empty with --no-header
  std::array<int, kFieldCount> column = NoColumns();  // 0-based
  std::vector<SecondColumn> seconds;
  std::vector<int> unused;         // columns that are not imported, 0-based
  bool missing[kFieldCount] = {};  // with HeaderNotRecognised: the fields not placed
  HeldEntries rows;                // the accepted rows in file order
  size_t emptyRows = 0;            // empty in every imported field, or separators only
  size_t duplicateRows = 0;        // equal to an earlier row of the file
  size_t leftOut[kLeftOutKinds] = {};
  size_t severalAddresses = 0;  // rows whose web address held more than one; the first is kept
  // The columns that tell a row is no login (KeePass's group, Bitwarden's type, 1Password's
  // archived flag), 0-based.
  int group = kNoColumn;
  int type = kNoColumn;
  int archived = kNoColumn;
};

// Reads the --columns value ("description=COL,url=COL,...", COL a name or a 1-based
// number); false on a syntax error, an unknown field or a field given twice.
[[nodiscard]] bool ParseColumns(std::string_view option, ColumnRequest& request);
// The field a header name stands for (any letter case, blanks around ignored), or -1.
[[nodiscard]] int FieldOfHeaderName(std::string_view name);
// Comma, semicolon or tab: whichever splits the first line into the most recognised names,
// then into the most columns; a tie goes to the earlier of the three.
[[nodiscard]] char DetectSeparator(std::string_view text);
// The host name of a web address ("https://user@www.example.com:8080/x" gives
// "www.example.com"); empty when there is none.
[[nodiscard]] std::string HostOf(std::string_view url);
// Reads the whole text; on failure nothing is kept in rows.
void ReadImport(std::string_view text, const ImportOptions& options, ImportReport& report);

}  // namespace Cli
