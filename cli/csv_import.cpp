#include "cli/csv_import.h"

#include <algorithm>
#include <cstdint>

#include "cli/csv_reader.h"
#include "cli/new_entries.h"
#include "common/entry_merge.h"
#include "cli/word_scan.h"
#include "common/ascii_case.h"
#include "common/blanks.h"
#include "common/utf8.h"

namespace Cli {
namespace {

constexpr char kSeparators[] = {',', ';', '\t'};

// Files written by hand or by other programs pad their fields with tabs as well.
constexpr Common::Blanks kFieldBlanks = Common::Blanks::SpacesAndTabs;

bool SameWord(std::string_view a, std::string_view b) {
  return Common::EqualIgnoringAsciiCase(Common::TrimBlanks(a, kFieldBlanks),
                                        Common::TrimBlanks(b, kFieldBlanks));
}

// What other programs' exports say of a row that is not a login.
constexpr struct {
  std::string_view name;
  int ImportReport::*column;
} kKindColumns[] = {
    {"group", &ImportReport::group},
    {"type", &ImportReport::type},
    {"archived", &ImportReport::archived},
};
constexpr struct {
  std::string_view word;
  LeftOut kind;
} kTypeWords[] = {{"note", SecureNote}, {"card", Card}, {"identity", Identity}};
constexpr std::string_view kRecycleBins[] = {"recycle bin", "prullenbak"};
constexpr std::string_view kTrueWords[] = {"true", "yes", "1"};
constexpr std::string_view kSecureNoteUrl = "http://sn";  // LastPass's notes
constexpr char kGroupSeparator = '/';
constexpr int kLogin = -1;

bool IsSchemeCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '-' || c == '.';
}

std::string_view FieldAt(const std::vector<std::string_view>& fields, int column) {
  return column != kNoColumn && static_cast<size_t>(column) < fields.size() ? fields[column]
                                                                            : std::string_view();
}

// A group path ("Root/Recycle Bin/Old") with the recycle bin as one of its parts.
bool InRecycleBinGroup(std::string_view group) {
  for (;;) {
    const size_t slash = group.find(kGroupSeparator);
    const std::string_view part = group.substr(0, slash);
    for (std::string_view bin : kRecycleBins) {
      if (SameWord(part, bin)) return true;
    }
    if (slash == std::string_view::npos) return false;
    group.remove_prefix(slash + 1);
  }
}

// Where a second address starts: at a comma followed by a scheme's "://", as Bitwarden joins
// a login's addresses. A comma inside one address (a query's "a=1,2") is no such start.
size_t SecondAddress(std::string_view url) {
  for (size_t comma = url.find(','); comma != std::string_view::npos;
       comma = url.find(',', comma + 1)) {
    size_t end = comma + 1;
    while (end < url.size() && (url[end] == ' ' || url[end] == '\t')) ++end;
    const size_t start = end;
    while (end < url.size() && IsSchemeCharacter(url[end])) ++end;
    if (end > start && url.substr(end, 3) == "://") return comma;
  }
  return std::string_view::npos;
}

std::string_view FirstAddress(std::string_view url) { return url.substr(0, SecondAddress(url)); }

// The kind of row that is left out, or kLogin.
int LeftOutKindOf(const std::vector<std::string_view>& fields, const ImportReport& report) {
  const std::string_view type = FieldAt(fields, report.type);
  for (const auto& t : kTypeWords) {
    if (SameWord(type, t.word)) return t.kind;
  }
  if (InRecycleBinGroup(FieldAt(fields, report.group))) return InRecycleBin;
  const std::string_view archived = FieldAt(fields, report.archived);
  for (std::string_view yes : kTrueWords) {
    if (SameWord(archived, yes)) return Archived;
  }
  if (SameWord(FirstAddress(FieldAt(fields, report.column[Url])), kSecureNoteUrl)) {
    return SecureNote;
  }
  return kLogin;
}

ImportFailure FailureOf(CsvStatus status) {
  return status == CsvStatus::UnclosedQuote    ? ImportFailure::UnclosedQuote
         : status == CsvStatus::TextAfterQuote ? ImportFailure::TextAfterQuote
         : status == CsvStatus::TooManyFields  ? ImportFailure::TooManyFields
                                               : ImportFailure::OutOfMemory;
}

// The first record that is not blank; Record, End or a reading failure.
CsvStatus FirstRecord(CsvReader& reader, std::vector<std::string_view>& fields) {
  for (;;) {
    const CsvStatus status = NextRecord(reader, fields);
    if (status != CsvStatus::Record || !IsBlankRecord(fields)) return status;
  }
}

// The fields of the first line that is not blank; 0 when there is none.
size_t FirstWidth(std::string_view text, char separator) {
  CsvReader reader;
  StartCsv(reader, text, separator);
  std::vector<std::string_view> fields;
  return FirstRecord(reader, fields) == CsvStatus::Record ? fields.size() : 0;
}

bool IsNumber(std::string_view text) {
  return !text.empty() && text.size() <= 6 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Eight bytes at once: ASCII, and none of them zero, a line feed or a carriage return.
bool PlainAscii(const unsigned char* bytes) {
  const uint64_t word = LoadWord(bytes);
  return (word & kHighBits) == 0 && !HasZeroByte(word) && !HasByte(word, '\n') &&
         !HasByte(word, '\r');
}

// Checks one field's bytes as the editor would hold them: UTF-8, no zero byte, no line
// break, at most kMaxFieldUnits UTF-16 code units.
ImportFailure CheckFieldText(std::string_view text) {
  size_t units = 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  for (size_t i = 0; i < size;) {
    if (i + sizeof(uint64_t) <= size && PlainAscii(bytes + i)) {
      i += sizeof(uint64_t);
      units += sizeof(uint64_t);
      continue;
    }
    const unsigned char c = bytes[i];
    if (c < 0x80) {
      if (c == 0) return ImportFailure::ZeroByte;
      if (c == '\n' || c == '\r') return ImportFailure::LineBreak;
      ++i;
      ++units;
      continue;
    }
    const size_t length = Common::SequenceLength(text, i);
    if (length == 0) return ImportFailure::InvalidUtf8;
    units += Common::Utf16Units(length);
    i += length;
  }
  return units > kMaxFieldUnits ? ImportFailure::TooLong : ImportFailure::None;
}

// Places the fields: --columns first, then the header's recognised names. width: the fields
// of the first line, 0 when there is none.
void MapColumns(const std::vector<std::string_view>& header, size_t width,
                const ImportOptions& options, ImportReport& report) {
  const ColumnRequest& request = options.columns;
  std::vector<bool> taken(header.size(), false);
  for (int f = 0; f < kFieldCount; ++f) {
    if (!request.given[f]) continue;
    if (request.number[f] > 0) {
      if (width > 0 && static_cast<size_t>(request.number[f]) > width) {
        report.failure = ImportFailure::NoSuchColumn;
        report.culprit = std::to_string(request.number[f]);
        return;
      }
      report.column[f] = request.number[f] - 1;
    } else {
      if (options.noHeader) {
        report.failure = ImportFailure::NumbersNeeded;
        return;
      }
      const auto found = std::find_if(header.begin(), header.end(), [&](std::string_view name) {
        return SameWord(name, request.name[f]);
      });
      if (found == header.end()) {
        report.failure = ImportFailure::NoSuchColumn;
        report.culprit = request.name[f];
        return;
      }
      report.column[f] = static_cast<int>(found - header.begin());
    }
    if (static_cast<size_t>(report.column[f]) < taken.size()) taken[report.column[f]] = true;
  }
  for (size_t c = 0; c < header.size(); ++c) {
    const int f = taken[c] ? -1 : FieldOfHeaderName(header[c]);
    if (f < 0 || request.given[f]) {
      if (!taken[c]) report.unused.push_back(static_cast<int>(c));
      continue;
    }
    if (report.column[f] == kNoColumn) {
      report.column[f] = static_cast<int>(c);
    } else {
      report.seconds.push_back({static_cast<Field>(f), report.column[f], static_cast<int>(c)});
      report.unused.push_back(static_cast<int>(c));
    }
  }
  for (const auto& kind : kKindColumns) {
    const auto found = std::find_if(header.begin(), header.end(), [&](std::string_view name) {
      return SameWord(name, kind.name);
    });
    if (found != header.end()) report.*kind.column = static_cast<int>(found - header.begin());
  }
}

// A header places a password, and a description or a web address to take one from.
bool Usable(const ImportReport& report) {
  return report.column[Password] != kNoColumn &&
         (report.column[Description] != kNoColumn || report.column[Url] != kNoColumn);
}

// The entry of one row, or why the row is refused; Empty rows are skipped.
enum class RowResult { Entry, Empty, Refused };

bool IsEmpty(const Vault::Entry& entry) {
  return std::all_of(std::begin(Vault::kEntryFields), std::end(Vault::kEntryFields),
                     [&](const Vault::EntryField& field) { return (entry.*field.member).empty(); });
}

// Fills entry in place, as the editor would keep the fields: no temporary entry is left
// behind holding a short password in its own storage. several: the web address held more.
RowResult EntryOfRow(const std::vector<std::string_view>& fields, ImportReport& report,
                     Vault::Entry& entry, bool& several) {
  for (int f = 0; f < kFieldCount; ++f) {
    const int c = report.column[f];
    std::string_view value;
    if (c != kNoColumn && static_cast<size_t>(c) < fields.size()) value = fields[c];
    const ImportFailure problem = CheckFieldText(value);
    if (problem != ImportFailure::None) {
      report.failure = problem;
      report.field = static_cast<Field>(f);
      return RowResult::Refused;
    }
    if (f == Url) {
      several = FirstAddress(value).size() < value.size();
      value = FirstAddress(value);
    }
    const Vault::EntryField& field = Vault::kEntryFields[f];
    if (field.trimmedByEditor) value = Common::TrimBlanks(value, Common::Blanks::Spaces);
    (entry.*field.member).assign(value);
  }
  if (IsEmpty(entry)) return RowResult::Empty;
  if (entry.Omschrijving.empty()) entry.Omschrijving = HostOf(entry.Url);
  if (entry.Omschrijving.empty()) {
    report.failure = ImportFailure::NoDescription;
    return RowResult::Refused;
  }
  return RowResult::Entry;
}

// width: the fields every row must have; 0 takes the first row's.
void ReadRows(CsvReader& reader, size_t width, ImportReport& report) {
  std::vector<std::string_view> fields;
  for (;;) {
    const CsvStatus status = NextRecord(reader, fields);
    if (status == CsvStatus::End) return;
    if (status != CsvStatus::Record) {
      report.failure = FailureOf(status);
      report.row = reader.row;
      return;
    }
    if (IsBlankRecord(fields)) {
      if (fields.size() > 1) ++report.emptyRows;  // a blank line is no row; ",,," is
      continue;
    }
    if (width == 0) width = fields.size();
    if (fields.size() < width) {
      report.failure = ImportFailure::ShortRow;
      report.row = reader.row;
      return;
    }
    if (const int kind = LeftOutKindOf(fields, report); kind != kLogin) {
      ++report.leftOut[kind];
      continue;
    }
    // Made in its place in the list, so that no moved-from copy is left to wipe; the list
    // grows by hand, wiping the storage it leaves (never by counting line ends ahead).
    Vault::AppendEntry(report.rows.list, {});
    Vault::Entry& entry = report.rows.list.back();
    bool several = false;
    const RowResult result = EntryOfRow(fields, report, entry, several);
    if (result == RowResult::Entry) {
      report.severalAddresses += several ? 1 : 0;
      continue;
    }
    Vault::WipeEntry(entry);
    report.rows.list.pop_back();
    if (result == RowResult::Refused) {
      report.row = reader.row;
      return;
    }
    ++report.emptyRows;
  }
}

}  // namespace

bool ParseColumns(std::string_view option, ColumnRequest& request) {
  request = {};
  while (!option.empty()) {
    const size_t comma = option.find(',');
    const std::string_view pair = option.substr(0, comma);
    option = comma == std::string_view::npos ? std::string_view() : option.substr(comma + 1);
    const size_t equals = pair.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view key = Common::TrimBlanks(pair.substr(0, equals), kFieldBlanks);
    const std::string_view column = Common::TrimBlanks(pair.substr(equals + 1), kFieldBlanks);
    int f = 0;
    while (f < kFieldCount && !SameWord(key, Vault::kEntryFields[f].keyword)) ++f;
    if (f == kFieldCount || request.given[f] || column.empty()) return false;
    request.given[f] = true;
    if (IsNumber(column)) {
      request.number[f] = std::stoi(std::string(column));
      if (request.number[f] == 0) return false;
    } else {
      request.name[f] = std::string(column);
    }
    if (comma == std::string_view::npos) break;
  }
  return std::any_of(std::begin(request.given), std::end(request.given), [](bool g) { return g; });
}

int FieldOfHeaderName(std::string_view name) {
  for (int f = 0; f < kFieldCount; ++f) {
    for (std::string_view spelling : Vault::kEntryFields[f].csvHeaders) {
      if (SameWord(name, spelling)) return f;
    }
  }
  return -1;
}

char DetectSeparator(std::string_view text) {
  char best = kSeparators[0];
  size_t bestNames = 0, bestColumns = 0;
  std::vector<std::string_view> fields;
  for (char separator : kSeparators) {
    CsvReader reader;
    StartCsv(reader, text, separator);
    size_t names = 0;
    const CsvStatus status = FirstRecord(reader, fields);
    if (status != CsvStatus::Record) fields.clear();
    // The fields may lie in the reader's buffer, which goes with the reader: counted here.
    for (std::string_view field : fields) names += FieldOfHeaderName(field) >= 0 ? 1 : 0;
    // Nothing but blank lines under this separator: the file holds no rows at all.
    if (status == CsvStatus::End) return separator;
    if (names > bestNames || (names == bestNames && fields.size() > bestColumns)) {
      best = separator;
      bestNames = names;
      bestColumns = fields.size();
    }
  }
  return best;
}

std::string HostOf(std::string_view url) {
  const size_t scheme = url.find("://");
  if (scheme != std::string_view::npos && scheme > 0 &&
      std::all_of(url.begin(), url.begin() + static_cast<std::ptrdiff_t>(scheme),
                  IsSchemeCharacter)) {
    url.remove_prefix(scheme + 3);
  }
  std::string_view host = url.substr(0, url.find_first_of("/?#"));
  if (const size_t at = host.rfind('@'); at != std::string_view::npos) host.remove_prefix(at + 1);
  if (!host.empty() && host.front() == '[') {
    const size_t close = host.find(']');
    return close == std::string_view::npos ? "" : std::string(host.substr(0, close + 1));
  }
  if (const size_t colon = host.rfind(':'); colon != std::string_view::npos) {
    host = host.substr(0, colon);
  }
  return std::string(Common::TrimBlanks(host, kFieldBlanks));
}

void ReadImport(std::string_view text, const ImportOptions& options, ImportReport& report) {
  report = {};
  if (options.noHeader && !std::any_of(std::begin(options.columns.given),
                                       std::end(options.columns.given), [](bool g) { return g; })) {
    report.failure = ImportFailure::NumbersNeeded;
    return;
  }
  report.separator = options.separator != 0 ? options.separator : DetectSeparator(text);
  CsvReader reader;
  StartCsv(reader, text, report.separator);
  std::vector<std::string_view> header;
  if (!options.noHeader) {
    const CsvStatus status = FirstRecord(reader, header);
    if (status != CsvStatus::Record) {
      report.failure = status == CsvStatus::End ? ImportFailure::NoRows : FailureOf(status);
      report.row = reader.row;
      return;
    }
    for (std::string_view name : header)
      report.header.emplace_back(Common::TrimBlanks(name, kFieldBlanks));
  }
  const size_t width = options.noHeader ? FirstWidth(text, report.separator) : header.size();
  MapColumns(header, width, options, report);
  if (report.failure == ImportFailure::None && !Usable(report)) {
    report.failure =
        options.noHeader ? ImportFailure::ColumnsIncomplete : ImportFailure::HeaderNotRecognised;
    for (int f = 0; f < kFieldCount; ++f) report.missing[f] = report.column[f] == kNoColumn;
  }
  if (report.failure == ImportFailure::None) ReadRows(reader, width, report);
  if (report.failure == ImportFailure::None) {
    std::vector<Vault::Entry>& rows = report.rows.list;
    const size_t read = rows.size();
    KeepEntries(rows, Common::MissingEntries({}, rows));
    report.duplicateRows = read - rows.size();
  }
  if (report.failure != ImportFailure::None) ReleaseEntries(report.rows);
}

}  // namespace Cli
