// Records of a CSV text (RFC 4180, UTF-8 with or without a byte-order mark, CRLF, LF or
// CR line ends), read one at a time without copying the text: a field is a view into the
// text, or, when it holds doubled quotes, into the reader's own buffer.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace Cli {

enum class CsvStatus { Record, End, UnclosedQuote, TextAfterQuote, TooManyFields, OutOfMemory };

// No export has rows this wide; a line of separators alone would otherwise cost memory many
// times its length.
constexpr size_t kMaxCsvFields = 1000;

// Secret: the text belongs to the caller; the reader's buffer holds unescaped fields and is
// wiped by EndCsv, which the reader's holder calls on going out of scope, on every way out.
struct CsvReader {
  std::string_view text;  // without the byte-order mark
  size_t position = 0;
  char separator = ',';
  size_t row = 0;             // the record last read, counted from 1 (blank lines included)
  char* unescaped = nullptr;  // room for one record's quoted fields, as large as text;
  size_t unescapedUsed = 0;   // made at the first doubled quote

  CsvReader() = default;
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;
  ~CsvReader();
};

// Starts reading text.
void StartCsv(CsvReader& reader, std::string_view text, char separator);
// The next record's fields (views valid until the next call); a blank line is one empty
// field. On UnclosedQuote, TextAfterQuote and TooManyFields (more than kMaxCsvFields),
// reader.row names the record; OutOfMemory
// when the buffer for a doubled quote cannot be had.
[[nodiscard]] CsvStatus NextRecord(CsvReader& reader, std::vector<std::string_view>& fields);
// Wipes and frees the reader's buffer; safe to call twice.
void EndCsv(CsvReader& reader);
// True when every field of a record is empty: a blank line, or one of separators only.
[[nodiscard]] bool IsBlankRecord(const std::vector<std::string_view>& fields);

}  // namespace Cli
