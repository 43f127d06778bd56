// Starting a program without waiting for it: it is not our child, leaves no zombie and
// outlives us. No GTK here.
#pragma once

#include <string>
#include <vector>

namespace Features {

// Whether name resolves to a startable program: a name with "/" that is a non-empty,
// executable non-directory; otherwise (unless it starts with "/" or "./") the first such
// file along path (the value of PATH; null means unset).
[[nodiscard]] bool ResolveProgram(const std::string& name, const char* path);
// Arguments of a parameter string: blanks, tabs and line feeds separate them; a double
// quote starts one that runs to the next double quote, without the quotes.
[[nodiscard]] std::vector<std::string> SplitArguments(const std::string& parameters);
// Starts program with the arguments of parameters in folder (empty: ours) by a double
// fork; true when the started process's id came back.
[[nodiscard]] bool StartDetached(const std::string& program, const std::string& parameters,
                                 const std::string& folder);

}  // namespace Features
