// Finding entries by what the user types, for the window's list and the companion's list:
// letter case and accents do not count, every typed word must occur in the description,
// user name or web address, and the password is never looked at.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "vault/entries.h"

namespace Common {

// A typed search text, folded as the entries are.
struct SearchQuery {
  std::string whole;               // the text itself, for "the description starts with it"
  std::vector<std::string> words;  // split at blanks; none: the query matches nothing
};

// Folded copies of the searched fields of a list: per entry the description first, then the
// other fields that are not the password, each ended by a line break (which no folded text
// holds). Secret: the holder wipes them (WipeFoldedEntries); no password is ever in them.
struct FoldedEntries {
  std::string text;
  std::vector<size_t> starts;  // where each entry begins in text; one more at the end
};

// Case folded, accents and other marks removed, compatibility forms decomposed; blanks and
// control characters become spaces. Bytes that are not UTF-8 become U+FFFD in an entry's
// text (as a window shows a lone surrogate), and in a query a mark that nothing matches.
[[nodiscard]] std::string FoldForSearch(std::string_view text, bool query);
[[nodiscard]] SearchQuery MakeSearchQuery(std::string_view typed);

// Rebuilds folded from list, wiping what it held.
void BuildFoldedEntries(const std::vector<Vault::Entry>& list, FoldedEntries& folded);
void WipeFoldedEntries(FoldedEntries& folded);

// The entries that hold every word of the query, in list order.
[[nodiscard]] std::vector<int> MatchingEntries(const FoldedEntries& folded,
                                               const SearchQuery& query);
// Narrows the matches of an earlier query that this one can only narrow further (each earlier
// word lies within the word in its place); otherwise searches every entry.
[[nodiscard]] std::vector<int> NarrowMatches(const FoldedEntries& folded, const SearchQuery& query,
                                             const SearchQuery& earlier,
                                             const std::vector<int>& earlierMatches);
// The first of the matches whose description starts with the whole query, or -1. Such a
// description holds every word, so it is always among the matches.
[[nodiscard]] int FirstDescriptionStart(const FoldedEntries& folded, const SearchQuery& query,
                                        const std::vector<int>& matches);
// Whether one entry matches, without folded copies kept (the companion).
[[nodiscard]] bool EntryMatches(const Vault::Entry& entry, const SearchQuery& query);

}  // namespace Common
