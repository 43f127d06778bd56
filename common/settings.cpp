#include "common/settings.h"

#include <sys/stat.h>

#include <optional>
#include <vector>

#include "common/paths.h"
#include "vault/file_io.h"
#include "vault/replace_file.h"

namespace Common {
namespace {

Settings gSettings = DefaultSettings();

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
// Far more than seven keys need; a file that goes on beyond it is not read further.
constexpr size_t kMaxSettingsBytes = 64 * 1024;
constexpr mode_t kSettingsMode = 0600;

std::string Latin1ToUtf8(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& text) {
  size_t start = 0, end = text.size();
  while (start < end && IsBlank(text[start])) ++start;
  while (end > start && IsBlank(text[end - 1])) --end;
  return text.substr(start, end - start);
}

bool SameKey(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    const char x = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] + 32) : a[i];
    const char y = (b[i] >= 'A' && b[i] <= 'Z') ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return i == a.size() && b[i] == '\0';
}

struct KeyLine {
  std::string key;
  std::string value;
};

// The key lines before the first group header, in file order. Lines without "=" are
// skipped: they carry no key and must not disturb the lines after them.
std::vector<KeyLine> KeyLines(const std::string& text) {
  std::vector<KeyLine> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = text.find_first_not_of("\r\n", end);
    if (pos == std::string::npos) pos = text.size();

    size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start == line.size() || line[start] == ';') continue;
    if (line[start] == '[') break;  // keys after a group header are never found
    const size_t eq = line.find('=', start);
    if (eq == std::string::npos) continue;
    lines.push_back({Trim(line.substr(start, eq - start)), line.substr(eq + 1)});
  }
  return lines;
}

std::optional<std::string> Lookup(const std::vector<KeyLine>& lines, const char* key) {
  for (const KeyLine& line : lines) {
    if (SameKey(line.key, key)) return line.value;
  }
  return std::nullopt;
}

// A trimmed value: an optional sign, then digits; anything else reads as 0.
int64_t ReadNumber(const std::string& value) {
  size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  uint64_t magnitude = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    const uint64_t next = magnitude * 10 + static_cast<uint64_t>(value[i] - '0');
    if (next / 10 != magnitude) return negative ? INT64_MIN : INT64_MAX;  // saturate
    magnitude = next;
  }
  if (negative) {
    return magnitude > static_cast<uint64_t>(INT64_MAX) ? INT64_MIN
                                                        : -static_cast<int64_t>(magnitude);
  }
  return magnitude > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(magnitude);
}

void ReadNumberKey(const std::vector<KeyLine>& lines, const char* key, int64_t& field) {
  if (auto value = Lookup(lines, key)) field = ReadNumber(Trim(*value));
}

}  // namespace

const Settings& CurrentSettings() { return gSettings; }

void SaveAlwaysOnTop(bool on) {
  gSettings.AltijdBoven = on ? 1 : 0;
  SaveSettings();
}

void SaveGeneratorChoices(const GeneratorChoices& choices) {
  gSettings.GenLengte = choices.length;
  gSettings.GenHoofd = choices.upper ? 1 : 0;
  gSettings.GenKlein = choices.lower ? 1 : 0;
  gSettings.GenCijfers = choices.digits ? 1 : 0;
  gSettings.GenLeestekens = choices.symbols ? 1 : 0;
  SaveSettings();
}

void SaveBrowser(const std::string& path) {
  gSettings.Browser = path;
  SaveSettings();
}

void ResetSettings() { gSettings = DefaultSettings(); }

Settings DefaultSettings() {
  return Settings{.GenLengte = 20,
                  .GenHoofd = 1,
                  .GenKlein = 1,
                  .GenCijfers = 1,
                  .GenLeestekens = 1,
                  .Browser = "",
                  .AltijdBoven = 0};
}

bool IsUsableBrowserPath(const std::string& path) {
  for (size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (c < 0x20 || c == 0x7F) return false;
    // C1 controls, U+0080..U+009F, are C2 80..C2 9F in UTF-8.
    if (c == 0xC2 && i + 1 < path.size() && static_cast<unsigned char>(path[i + 1]) <= 0x9F)
      return false;
  }
  return true;
}

std::string ComposeSettings(const Settings& s) {
  std::string text = kByteOrderMark;
  text += "\n";
  // A line break would end the value and start a line of its own; such a path can neither
  // be chosen nor read, so the default browser is written in its place. Other control
  // characters, which a file may bring, stay: they end no line.
  const bool breaks = s.Browser.find_first_of("\r\n") != std::string::npos;
  text += "Browser = " + (breaks ? std::string() : s.Browser) + "\n";
  text += "AltijdBoven = " + std::to_string(s.AltijdBoven) + "\n";
  text += "GenCijfers = " + std::to_string(s.GenCijfers) + "\n";
  text += "GenKlein = " + std::to_string(s.GenKlein) + "\n";
  text += "GenHoofd = " + std::to_string(s.GenHoofd) + "\n";
  text += "GenLeestekens = " + std::to_string(s.GenLeestekens) + "\n";
  text += "GenLengte = " + std::to_string(s.GenLengte) + "\n";
  return text;
}

Settings ParseSettings(const std::string& bytes) {
  const std::string text = bytes.size() > 2 && bytes.compare(0, 3, kByteOrderMark) == 0
                               ? bytes.substr(3)
                               : Latin1ToUtf8(bytes);
  const std::vector<KeyLine> lines = KeyLines(text);
  Settings s = DefaultSettings();
  if (auto browser = Lookup(lines, "Browser")) s.Browser = Trim(*browser);
  ReadNumberKey(lines, "AltijdBoven", s.AltijdBoven);
  ReadNumberKey(lines, "GenCijfers", s.GenCijfers);
  ReadNumberKey(lines, "GenKlein", s.GenKlein);
  ReadNumberKey(lines, "GenHoofd", s.GenHoofd);
  ReadNumberKey(lines, "GenLeestekens", s.GenLeestekens);
  ReadNumberKey(lines, "GenLengte", s.GenLengte);
  return s;
}

void LoadSettings() {
  std::string bytes;
  if (Vault::ReadRegularFile(SettingsPath(), kMaxSettingsBytes, Vault::Beyond::Ignored, bytes)) {
    gSettings = ParseSettings(bytes);
  }
}

void SaveSettings() {
  // Replaced whole, so that a full disk never leaves an empty or half-written settings
  // file; a failure keeps the old file and is not reported.
  const std::string text = ComposeSettings(gSettings);
  (void)Vault::WriteWholeFile(SettingsPath(), text.data(), text.size(), kSettingsMode);
}

}  // namespace Common
