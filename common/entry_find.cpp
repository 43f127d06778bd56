#include "common/entry_find.h"

#include <glib.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "common/utf8.h"
#include "vault/vault.h"

namespace Common {
namespace {

constexpr char kFieldEnd = '\n';      // folding turns every control character into a space
constexpr char kUnmatchable = '\x1';  // likewise never in a folded entry
constexpr uint32_t kNotFolded = UINT32_MAX;
constexpr gunichar kCachedBelow = 0x10000;  // the Basic Multilingual Plane

static_assert(Vault::kDescriptionField == 0, "the description comes first in a folded entry");

// What each ASCII byte folds to: A-Z to a-z, control characters to a space.
constexpr auto kAsciiFold = [] {
  std::array<char, 128> fold{};
  for (int c = 0; c < 128; ++c) {
    fold[c] = c < 0x20 || c == 0x7F ? ' ' : c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c);
  }
  return fold;
}();

// GLib's answer for each character, asked once: folding is the same for a character wherever
// it stands, since the marks that decomposition moves about are dropped.
std::vector<uint32_t> gCachedSpans;  // (offset in gCachedFolds << 8) | length
std::string gCachedFolds;

void AppendFoldedCharacters(std::string& out, const gchar* text) {
  for (const gchar* p = text; *p != '\0'; p = g_utf8_next_char(p)) {
    const gunichar u = g_utf8_get_char(p);
    const GUnicodeType type = g_unichar_type(u);
    if (type == G_UNICODE_NON_SPACING_MARK || type == G_UNICODE_ENCLOSING_MARK ||
        type == G_UNICODE_FORMAT) {
      continue;  // accents, enclosing circles, soft hyphens and zero-width joiners
    }
    if (type == G_UNICODE_CONTROL || g_unichar_isspace(u)) {
      out += ' ';
    } else {
      out.append(p, static_cast<size_t>(g_utf8_next_char(p) - p));
    }
  }
}

std::string FoldCodePoint(gunichar c) {
  gchar utf8[8];
  const gint length = g_unichar_to_utf8(c, utf8);
  // Decomposed before and after folding: a folded letter may come out precomposed.
  gchar* decomposed = g_utf8_normalize(utf8, length, G_NORMALIZE_ALL);
  gchar* lower = decomposed != nullptr ? g_utf8_casefold(decomposed, -1) : nullptr;
  gchar* again = lower != nullptr ? g_utf8_normalize(lower, -1, G_NORMALIZE_ALL) : nullptr;
  std::string folded;
  if (again != nullptr) AppendFoldedCharacters(folded, again);
  g_free(again);
  g_free(lower);
  g_free(decomposed);
  return folded;
}

std::string gBeyondPlane;  // the last fold of a character beyond the cached plane

std::string_view FoldedCodePoint(gunichar c) {
  if (c >= kCachedBelow) {
    gBeyondPlane = FoldCodePoint(c);
    return gBeyondPlane;
  }
  if (gCachedSpans.empty()) gCachedSpans.assign(kCachedBelow, kNotFolded);
  uint32_t& span = gCachedSpans[c];
  if (span == kNotFolded) {
    const std::string folded = FoldCodePoint(c);
    span = static_cast<uint32_t>(gCachedFolds.size() << 8 | folded.size());
    gCachedFolds += folded;
  }
  return std::string_view(gCachedFolds).substr(span >> 8, span & 0xFF);
}

gunichar Decode(std::string_view text, size_t i, size_t length) {
  if (length == 1) return static_cast<unsigned char>(text[i]);
  gunichar c = static_cast<unsigned char>(text[i]) & (0xFF >> (length + 1));
  for (size_t k = 1; k < length; ++k) c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  return c;
}

// The bytes taken by what is not UTF-8 at text[i]: a lone surrogate's three, or one.
size_t InvalidLength(std::string_view text, size_t i) {
  const bool surrogate = text.size() - i >= 3 && static_cast<unsigned char>(text[i]) == 0xED &&
                         (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0xA0 &&
                         (static_cast<unsigned char>(text[i + 2]) & 0xC0) == 0x80;
  return surrogate ? 3 : 1;
}

// Writes folded text into out's characters from used on; out's size is its room, grown
// without leaving a copy behind unwiped. The caller cuts out down to used at the end.
struct Writer {
  std::string& out;
  size_t used = 0;

  char* Room(size_t bytes) {
    if (used + bytes > out.size()) {
      std::string bigger(std::max(used + bytes, 2 * out.size()), '\0');
      std::memcpy(bigger.data(), out.data(), used);
      Vault::WipeText(out);
      out.swap(bigger);
    }
    return out.data() + used;
  }
};

// Folds the ASCII bytes at the start of text to out (which has room for all of text);
// gives back how many it folded.
size_t FoldAscii(std::string_view text, char* out) {
  size_t i = 0;
#ifdef __SSE2__
  // Sixteen at a time: letters A-Z get the lower-case bit, control characters become spaces.
  const __m128i beforeA = _mm_set1_epi8('A' - 1), afterZ = _mm_set1_epi8('Z' + 1);
  const __m128i space = _mm_set1_epi8(' '), del = _mm_set1_epi8(0x7F);
  for (; i + 16 <= text.size(); i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    if (_mm_movemask_epi8(v) != 0) break;  // a byte of a longer sequence
    const __m128i upper = _mm_and_si128(_mm_cmpgt_epi8(v, beforeA), _mm_cmplt_epi8(v, afterZ));
    v = _mm_or_si128(v, _mm_and_si128(upper, space));
    const __m128i control = _mm_or_si128(_mm_cmplt_epi8(v, space), _mm_cmpeq_epi8(v, del));
    v = _mm_or_si128(_mm_andnot_si128(control, v), _mm_and_si128(control, space));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
  }
#endif
  for (; i < text.size() && static_cast<unsigned char>(text[i]) < 0x80; ++i) {
    out[i] = kAsciiFold[static_cast<unsigned char>(text[i])];
  }
  return i;
}

void AppendFolded(Writer& out, std::string_view text, bool query) {
  size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      const size_t folded = FoldAscii(text.substr(i), out.Room(text.size() - i));
      out.used += folded;
      i += folded;
      continue;
    }
    const size_t length = SequenceLength(text, i);
    std::string_view piece;
    if (length == 0) {
      piece = query ? std::string_view(&kUnmatchable, 1) : kReplacementCharacter;
      i += InvalidLength(text, i);
    } else {
      piece = FoldedCodePoint(Decode(text, i, length));
      i += length;
    }
    std::memcpy(out.Room(piece.size()), piece.data(), piece.size());
    out.used += piece.size();
  }
}

bool HasEveryWord(const FoldedEntries& folded, size_t entry, const SearchQuery& query) {
  const char* start = folded.text.data() + folded.starts[entry];
  const size_t length = folded.starts[entry + 1] - folded.starts[entry];
  return std::ranges::all_of(query.words, [&](const std::string& word) {
    return memmem(start, length, word.data(), word.size()) != nullptr;
  });
}

}  // namespace

std::string FoldForSearch(std::string_view text, bool query) {
  std::string folded(text.size(), '\0');
  Writer out{folded};
  AppendFolded(out, text, query);
  folded.resize(out.used);
  return folded;
}

SearchQuery MakeSearchQuery(std::string_view typed) {
  SearchQuery query{FoldForSearch(typed, true), {}};
  const std::string& whole = query.whole;
  for (size_t i = whole.find_first_not_of(' '); i != std::string::npos;) {
    const size_t end = std::min(whole.find(' ', i), whole.size());
    query.words.emplace_back(whole, i, end - i);
    i = whole.find_first_not_of(' ', end);
  }
  return query;
}

void BuildFoldedEntries(const std::vector<Vault::Entry>& list, FoldedEntries& folded) {
  WipeFoldedEntries(folded);
  size_t room = 0;  // most texts fold to as many bytes as they have
  for (const Vault::Entry& entry : list) {
    for (size_t f = 0; f < Vault::kEntryFieldCount; ++f) {
      if (!Vault::kEntryFields[f].secret) room += (entry.*Vault::kEntryFields[f].member).size() + 1;
    }
  }
  std::string text(room + room / 8, '\0');
  Writer out{text};
  folded.starts.reserve(list.size() + 1);
  for (const Vault::Entry& entry : list) {
    folded.starts.push_back(out.used);
    for (size_t f = 0; f < Vault::kEntryFieldCount; ++f) {
      if (Vault::kEntryFields[f].secret) continue;
      AppendFolded(out, entry.*Vault::kEntryFields[f].member, false);
      *out.Room(1) = kFieldEnd;
      ++out.used;
    }
  }
  folded.starts.push_back(out.used);
  text.resize(out.used);
  folded.text.swap(text);
}

void WipeFoldedEntries(FoldedEntries& folded) {
  Vault::WipeText(folded.text);
  folded.starts.clear();
}

std::vector<int> MatchingEntries(const FoldedEntries& folded, const SearchQuery& query) {
  std::vector<int> matches;
  if (query.words.empty() || folded.starts.size() < 2) return matches;
  // The longest word is looked for through the whole text; the others only where it is.
  const std::string& longest = *std::ranges::max_element(query.words, {}, &std::string::size);
  const char* text = folded.text.data();
  size_t entry = 0;
  const size_t entries = folded.starts.size() - 1;
  for (size_t at = 0; at < folded.text.size();) {
    const void* hit = memmem(text + at, folded.text.size() - at, longest.data(), longest.size());
    if (hit == nullptr) break;
    const size_t offset = static_cast<size_t>(static_cast<const char*>(hit) - text);
    while (folded.starts[entry + 1] <= offset) ++entry;
    if (HasEveryWord(folded, entry, query)) matches.push_back(static_cast<int>(entry));
    if (++entry >= entries) break;
    at = folded.starts[entry];
  }
  return matches;
}

std::vector<int> NarrowMatches(const FoldedEntries& folded, const SearchQuery& query,
                               const SearchQuery& earlier, const std::vector<int>& earlierMatches) {
  bool narrower = !earlier.words.empty() && earlier.words.size() <= query.words.size();
  for (size_t i = 0; narrower && i < earlier.words.size(); ++i) {
    narrower = query.words[i].find(earlier.words[i]) != std::string::npos;
  }
  if (!narrower) return MatchingEntries(folded, query);
  std::vector<int> matches;
  for (const int entry : earlierMatches) {
    if (static_cast<size_t>(entry) + 1 < folded.starts.size() &&
        HasEveryWord(folded, static_cast<size_t>(entry), query)) {
      matches.push_back(entry);
    }
  }
  return matches;
}

int FirstDescriptionStart(const FoldedEntries& folded, const SearchQuery& query,
                          const std::vector<int>& matches) {
  if (query.words.empty()) return -1;
  const std::string& whole = query.whole;
  for (const int e : matches) {
    const size_t start = folded.starts[static_cast<size_t>(e)];
    if (folded.starts[static_cast<size_t>(e) + 1] - start >= whole.size() &&
        std::memcmp(folded.text.data() + start, whole.data(), whole.size()) == 0) {
      return e;
    }
  }
  return -1;
}

}  // namespace Common
