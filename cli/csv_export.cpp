#include "cli/csv_export.h"

#include <string_view>
#include <utility>

#include "vault/vault.h"

namespace Cli {
namespace {

constexpr std::string_view kHeader = "description,url,username,password";
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

}  // namespace

std::string ExportCsv(const std::vector<Vault::Entry>& entries) {
  size_t length = kHeader.size() + kLineEnd.size();
  for (const Vault::Entry& e : entries) {
    length += FieldLength(e.Omschrijving) + FieldLength(e.Url) + FieldLength(e.Gebruiker) +
              FieldLength(e.Wachtwoord) + 3 + kLineEnd.size();
  }
  std::string out;
  out.reserve(length);
  out.append(kHeader).append(kLineEnd);
  for (const Vault::Entry& e : entries) {
    AppendField(out, e.Omschrijving);
    out.push_back(',');
    AppendField(out, e.Url);
    out.push_back(',');
    AppendField(out, e.Gebruiker);
    out.push_back(',');
    AppendField(out, e.Wachtwoord);
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
