// The modal file requesters for opening and saving (no parent window).
#pragma once

#include <string>
#include <vector>

namespace App {

struct FileFilter {
  std::string name;
  std::vector<std::string> patterns;
};

// "Name|pattern;pattern|Name|pattern": names and patterns alternate; "*.*" becomes "*".
[[nodiscard]] std::vector<FileFilter> ParseFilters(const std::string& filters);

// The chosen full path, or "" when cancelled. An initial path ending in "/" opens that
// folder; another non-empty one selects that file. The first filter is preselected.
[[nodiscard]] std::string AskOpenFile(const std::string& title, const std::string& initialPath,
                                      const std::string& filters);
// The same for saving: a file path opens its folder with its name filled in. It does not
// ask about overwriting; callers that care ask themselves.
[[nodiscard]] std::string AskSaveFile(const std::string& title, const std::string& initialPath,
                                      const std::string& filters);

}  // namespace App
