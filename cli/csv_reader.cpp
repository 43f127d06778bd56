#include "cli/csv_reader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cli/word_scan.h"
#include "vault/vault.h"

namespace Cli {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Spaces, and tabs where they do not separate: layout around a quoted field.
bool IsBlank(char c, char separator) { return c == ' ' || (c == '\t' && separator != '\t'); }

// Where a field that starts at position opens its quote: past blanks, as spreadsheets write
// ", \"x, y\"". npos when the field is bare.
size_t OpeningQuote(std::string_view text, size_t position, char separator) {
  while (position < text.size() && IsBlank(text[position], separator)) ++position;
  return position < text.size() && text[position] == '"' ? position : std::string_view::npos;
}

// Where a bare field that starts at position ends: at the next separator or line end.
size_t BareFieldEnd(std::string_view text, size_t position, char separator) {
  const auto mark = static_cast<unsigned char>(separator);
  while (position + sizeof(uint64_t) <= text.size()) {
    const uint64_t word = LoadWord(text.data() + position);
    if (HasByte(word, mark) || HasByte(word, '\n') || HasByte(word, '\r')) break;
    position += sizeof(uint64_t);
  }
  while (position < text.size() && text[position] != separator && !IsLineEnd(text[position])) {
    ++position;
  }
  return position;
}

// Made when the first doubled quote turns up, so that most files never need it.
bool Unescape(CsvReader& reader, std::string_view part) {
  if (reader.unescaped == nullptr) {
    reader.unescaped = static_cast<char*>(malloc(reader.text.size() + 1));
    if (reader.unescaped == nullptr) return false;
  }
  memcpy(reader.unescaped + reader.unescapedUsed, part.data(), part.size());
  reader.unescapedUsed += part.size();
  return true;
}

// The quoted field whose opening quote is at position; position ends after its closing
// quote. Doubled quotes make the field a copy in the reader's buffer, which never needs
// more room than the record's own text.
CsvStatus ReadQuoted(CsvReader& reader, size_t& position, std::string_view& field) {
  const std::string_view text = reader.text;
  size_t start = position + 1;
  const size_t copyStart = reader.unescapedUsed;
  bool copied = false;
  for (size_t from = start;;) {
    const size_t quote = text.find('"', from);
    if (quote == std::string_view::npos) return CsvStatus::UnclosedQuote;
    if (quote + 1 < text.size() && text[quote + 1] == '"') {
      // keeps one of the two
      if (!Unescape(reader, text.substr(start, quote + 1 - start))) return CsvStatus::OutOfMemory;
      copied = true;
      from = start = quote + 2;
      continue;
    }
    if (copied) {
      if (!Unescape(reader, text.substr(start, quote - start))) return CsvStatus::OutOfMemory;
      field = {reader.unescaped + copyStart, reader.unescapedUsed - copyStart};
    } else {
      field = text.substr(start, quote - start);
    }
    position = quote + 1;
    return CsvStatus::Record;
  }
}

}  // namespace

void StartCsv(CsvReader& reader, std::string_view text, char separator) {
  EndCsv(reader);
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  reader.text = text;
  reader.position = 0;
  reader.separator = separator;
  reader.row = 0;
}

CsvStatus NextRecord(CsvReader& reader, std::vector<std::string_view>& fields) {
  fields.clear();
  const std::string_view text = reader.text;
  const char separator = reader.separator;
  size_t position = reader.position;
  if (position >= text.size()) return CsvStatus::End;
  ++reader.row;
  reader.unescapedUsed = 0;
  for (;;) {
    if (const size_t quote = OpeningQuote(text, position, separator);
        quote != std::string_view::npos) {
      position = quote;
      std::string_view field;
      if (const CsvStatus status = ReadQuoted(reader, position, field);
          status != CsvStatus::Record) {
        reader.position = text.size();
        return status;
      }
      fields.push_back(field);
      // Blanks between a closing quote and the separator are layout, not text.
      while (position < text.size() && IsBlank(text[position], separator)) ++position;
      if (position < text.size() && text[position] != separator && !IsLineEnd(text[position])) {
        reader.position = text.size();
        return CsvStatus::TextAfterQuote;
      }
    } else {
      const size_t end = BareFieldEnd(text, position, separator);
      fields.push_back(text.substr(position, end - position));
      position = end;
    }
    if (position >= text.size()) break;
    if (text[position] == separator) {
      if (fields.size() == kMaxCsvFields) {
        reader.position = text.size();
        return CsvStatus::TooManyFields;
      }
      ++position;
      continue;
    }
    if (text[position] == '\r' && position + 1 < text.size() && text[position + 1] == '\n') {
      ++position;
    }
    ++position;
    break;
  }
  reader.position = position;
  return CsvStatus::Record;
}

void EndCsv(CsvReader& reader) {
  if (reader.unescaped != nullptr) Vault::WipeAndFree(reader.unescaped, reader.text.size() + 1);
  reader.unescaped = nullptr;
  reader.unescapedUsed = 0;
}

CsvReader::~CsvReader() { EndCsv(*this); }

bool IsBlankRecord(const std::vector<std::string_view>& fields) {
  for (std::string_view field : fields) {
    if (!field.empty()) return false;
  }
  return true;
}

}  // namespace Cli
