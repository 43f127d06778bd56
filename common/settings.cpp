#include "common/settings.h"

#include <sys/stat.h>

#include <optional>
#include <vector>

#include "common/ascii_case.h"
#include "common/blanks.h"
#include "common/paths.h"
#include "common/utf8.h"
#include "vault/file_io.h"
#include "vault/file_names.h"
#include "vault/payload.h"
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
    char utf8[Vault::kMaxCodePointBytes];
    text.append(utf8, Vault::PutCodePoint(c, utf8));
  }
  return text;
}

// Files written by hand and by other programs put tabs around keys and values as well.
std::string Trim(std::string_view text) {
  return std::string(TrimBlanks(text, Blanks::SpacesAndTabs));
}

// The fields of Vault::kNumberKeys, each named as its key.
constexpr int64_t Settings::*kNumberFields[] = {&Settings::AltijdBoven,   &Settings::GenCijfers,
                                                &Settings::GenKlein,      &Settings::GenHoofd,
                                                &Settings::GenLeestekens, &Settings::GenLengte};
static_assert(std::size(kNumberFields) == std::size(Vault::kNumberKeys));

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

    const std::string_view content = TrimBlanks(line, Blanks::SpacesAndTabs);
    if (content.empty() || content[0] == ';') continue;
    if (content[0] == '[') break;  // keys after a group header are never found
    const size_t eq = content.find('=');
    if (eq == std::string::npos) continue;
    lines.push_back({Trim(content.substr(0, eq)), std::string(content.substr(eq + 1))});
  }
  return lines;
}

std::optional<std::string> Lookup(const std::vector<KeyLine>& lines, std::string_view key) {
  for (const KeyLine& line : lines) {
    if (Common::EqualIgnoringAsciiCase(line.key, key)) return line.value;
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

void SaveBreachList(const std::string& path) {
  gSettings.GelekteWachtwoorden = path;
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
                  .AltijdBoven = 0,
                  .GelekteWachtwoorden = ""};
}

bool IsUsableBrowserPath(const std::string& path) {
  for (size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (c < 0x20 || c == 0x7F || Common::IsC1Control(path, i)) return false;
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
  const auto line = [&text](std::string_view key, const std::string& value) {
    text.append(key).append(" = ").append(value).append("\n");
  };
  line(Vault::kBrowserKey, breaks ? std::string() : s.Browser);
  for (size_t i = 0; i < std::size(kNumberFields); ++i) {
    line(Vault::kNumberKeys[i], std::to_string(s.*kNumberFields[i]));
  }
  if (!s.GelekteWachtwoorden.empty() && IsUsableBrowserPath(s.GelekteWachtwoorden)) {
    line(Vault::kBreachListKey, s.GelekteWachtwoorden);
  }
  return text;
}

Settings ParseSettings(const std::string& bytes) {
  const std::string text = bytes.size() > 2 && bytes.compare(0, 3, kByteOrderMark) == 0
                               ? bytes.substr(3)
                               : Latin1ToUtf8(bytes);
  const std::vector<KeyLine> lines = KeyLines(text);
  Settings s = DefaultSettings();
  if (auto browser = Lookup(lines, Vault::kBrowserKey)) s.Browser = Trim(*browser);
  if (auto list = Lookup(lines, Vault::kBreachListKey)) s.GelekteWachtwoorden = Trim(*list);
  for (size_t i = 0; i < std::size(kNumberFields); ++i) {
    if (auto value = Lookup(lines, Vault::kNumberKeys[i]))
      s.*kNumberFields[i] = ReadNumber(Trim(*value));
  }
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
