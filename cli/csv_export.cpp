#include "cli/csv_export.h"

#include <string_view>
#include <utility>

#include "vault/vault.h"

namespace Cli {
namespace {

constexpr char kSeparator = ',';
constexpr std::string_view kLineEnd = "\r\n";

bool NeedsQuotes(std::string_view field) {
  return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

size_t FieldLength(std::string_view field) {
  if (!NeedsQuotes(field)) return field.size();
  size_t quotes = 0;
  for (char c : field) quotes += c == '"' ? 1 : 0;
  return field.size() + quotes + 2;
}

void AppendField(std::string& out, std::string_view field) {
  if (!NeedsQuotes(field)) {
    out.append(field);
    return;
  }
  out.push_back('"');
  for (char c : field) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

// "description,url,username,password": the names --columns takes, so an export imports
// back without options.
std::string Header() {
  std::string header;
  for (const Vault::EntryField& field : Vault::kEntryFields) {
    if (!header.empty()) header.push_back(kSeparator);
    header.append(field.keyword);
  }
  return header;
}

}  // namespace

std::string ExportCsv(const std::vector<Vault::Entry>& entries) {
  const std::string header = Header();
  constexpr size_t kSeparatorsPerRow = Vault::kEntryFieldCount - 1;
  size_t length = header.size() + kLineEnd.size();
  for (const Vault::Entry& e : entries) {
    length += kSeparatorsPerRow + kLineEnd.size();
    for (const Vault::EntryField& field : Vault::kEntryFields)
      length += FieldLength(e.*field.member);
  }
  std::string out;
  out.reserve(length);
  out.append(header).append(kLineEnd);
  for (const Vault::Entry& e : entries) {
    for (size_t f = 0; f < Vault::kEntryFieldCount; ++f) {
      if (f > 0) out.push_back(kSeparator);
      AppendField(out, e.*Vault::kEntryFields[f].member);
    }
    out.append(kLineEnd);
  }
  // A lone surrogate from another writer has no UTF-8 form: a CSV file gets U+FFFD, as the
  // window shows it.
  if (Vault::HasLoneSurrogate(out)) {
    std::string shown = Vault::ShownText(out);
    Vault::WipeText(out);
    out = std::move(shown);
  }
  return out;
}

}  // namespace Cli
