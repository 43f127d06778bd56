// The CSV reader on its own: records and fields as RFC 4180 has them, and where it stops.
#include "cli/csv_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Cli::CsvStatus;

// The records as "field|field/field|field", or the status and row where reading stopped.
std::string Read(const std::string& text, char separator) {
  Cli::CsvReader reader;
  Cli::StartCsv(reader, text, separator);
  std::string out;
  std::vector<std::string_view> fields;
  for (;;) {
    const CsvStatus status = Cli::NextRecord(reader, fields);
    if (status == CsvStatus::End) break;
    if (status != CsvStatus::Record) {
      out += std::string(out.empty() ? "" : "/") +
             (status == CsvStatus::UnclosedQuote ? "unclosed@" : "after-quote@") +
             std::to_string(reader.row);
      break;
    }
    if (!out.empty()) out += "/";
    for (size_t i = 0; i < fields.size(); ++i) out += (i ? "|" : "") + std::string(fields[i]);
  }
  Cli::EndCsv(reader);
  return out;
}

TEST(CsvReader, RecordsAndFields) {
  const struct {
    std::string text;
    char separator;
    std::string records;
  } cases[] = {
      {"a,b,c\n1,2,3\n", ',', "a|b|c/1|2|3"},
      {"a,b\r\n1,2\r\n", ',', "a|b/1|2"},               // CRLF
      {"a,b\r1,2", ',', "a|b/1|2"},                     // CR alone, no final line end
      {"\xEF\xBB\xBFname,url\n", ',', "name|url"},      // byte-order mark dropped
      {"\"a,b\",c\n", ',', "a,b|c"},                    // separator inside quotes
      {"\"say \"\"hi\"\"\",x\n", ',', "say \"hi\"|x"},  // doubled quotes
      {"\"line one\r\nline two\",x\n", ',', "line one\r\nline two|x"},
      {"\"\",\"\"\"\"\n", ',', "|\""},  // empty and a lone quote
      {"a,,c,\n", ',', "a||c|"},        // empty fields, trailing separator
      {"a\n\n,\nb\n", ',', "a//|/b"},   // blank lines are records
      {"\"q\"  ,x\n", ',', "q|x"},      // blanks after a closing quote
      {"ab\"c,d\n", ',', "ab\"c|d"},    // a quote inside a bare field
      {"a;\"b;c\";d\n", ';', "a|b;c|d"},
      {"a\t\"b\tc\"\n", '\t', "a|b\tc"},
      {"a,b;c\n", ';', "a,b|c"},  // only the chosen separator splits
      {"", ',', ""},
      {"\"open,x\n1,2\n", ',', "unclosed@1"},
      {"a\n\"x\"y,z\n", ',', "a/after-quote@2"},
      {"h\n\"a\nb\"\n\"c\"d\n", ',', "h/a\nb/after-quote@3"},  // rows count records, not lines
      // Blanks before an opening quote, as spreadsheets write them: the quoted field whole.
      {"a, \"p, with comma\"\n", ',', "a|p, with comma"},
      {"a,\t \"x,y\" ,b\n", ',', "a|x,y|b"},
      {"  \"q\"\n", ',', "q"},
      {"a\t \"b\tc\"\n", '\t', "a|b\tc"},
      {"a\t\t\"x\"\n", '\t', "a||x"},  // the tab is no blank where it separates
      {"a, b\n", ',', "a| b"},         // no quote: a bare field keeps its blanks
      {"a, \"x\" y\n", ',', "after-quote@1"},
      {"a, \"open\n", ',', "unclosed@1"},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.text, c.separator), c.records) << c.text;
}

TEST(CsvReader, BlankRecords) {
  using Fields = std::vector<std::string_view>;
  EXPECT_TRUE(Cli::IsBlankRecord(Fields{""}));
  EXPECT_TRUE(Cli::IsBlankRecord(Fields{"", "", ""}));
  EXPECT_FALSE(Cli::IsBlankRecord(Fields{"", " "}));
}

}  // namespace
