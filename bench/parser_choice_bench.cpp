// Why the payload is read with simdjson's On-Demand interface: the same payloads filled
// into an entry list by the project's reader (On-Demand, visiting every value so that all
// of the text is validated) and by nlohmann-json's SAX interface.
// Run: build/bench/parser_choice_bench
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include "bench/bench_entries.h"
#include "vault/vault.h"

namespace {

// The SAX reader with the same acceptance rules (nesting limit aside).
struct SaxBuilder {
  std::vector<Vault::Entry>& list;
  int depth = 0;
  bool rootKeyIsEntries = false, entriesIsArray = false, inEntries = false, inEntry = false;
  std::string* field = nullptr;

  bool Value(std::string* text) {
    if (depth == 0) return false;
    if (depth == 1 && rootKeyIsEntries) {
      entriesIsArray = false;
      list.clear();
    } else if (depth == 2 && inEntries) {
      list.emplace_back();
    } else if (depth == 3 && inEntry && field != nullptr) {
      if (text != nullptr) {
        field->assign(*text);
      } else {
        field->clear();
      }
      field = nullptr;
    }
    return true;
  }
  bool null() { return Value(nullptr); }
  bool boolean(bool) { return Value(nullptr); }
  bool number_integer(int64_t) { return Value(nullptr); }
  bool number_unsigned(uint64_t) { return Value(nullptr); }
  bool number_float(double, const std::string&) { return Value(nullptr); }
  bool string(std::string& text) { return Value(&text); }
  bool binary(std::vector<uint8_t>&) { return false; }
  bool start_object(size_t) {
    if (depth > 0 && !Value(nullptr)) return false;
    const bool entryObject = depth == 2 && inEntries;
    ++depth;
    if (entryObject) inEntry = true;
    return true;
  }
  bool end_object() {
    if (--depth == 2) inEntry = false;
    return true;
  }
  bool start_array(size_t) {
    const bool isEntries = depth == 1 && rootKeyIsEntries;
    if (!Value(nullptr)) return false;
    ++depth;
    if (isEntries) entriesIsArray = inEntries = true;
    return true;
  }
  bool end_array() {
    if (--depth == 1) inEntries = false;
    return true;
  }
  bool key(std::string& name) {
    if (depth == 1) {
      rootKeyIsEntries = name == "entries";
    } else if (depth == 3 && inEntry) {
      Vault::Entry& e = list.back();
      field = name == "Omschrijving" ? &e.Omschrijving
              : name == "Url"        ? &e.Url
              : name == "Gebruiker"  ? &e.Gebruiker
              : name == "Wachtwoord" ? &e.Wachtwoord
                                     : nullptr;
    }
    return true;
  }
  bool parse_error(size_t, const std::string&, const nlohmann::detail::exception&) { return false; }
};

bool SaxToEntries(const std::string& text, std::vector<Vault::Entry>& list) {
  list.clear();
  SaxBuilder builder{list};
  return nlohmann::json::sax_parse(text.data(), text.data() + text.size(), &builder,
                                   nlohmann::json::input_format_t::json, true, false) &&
         builder.entriesIsArray;
}

void BM_SimdjsonOnDemandFullyValidated(benchmark::State& state) {
  const std::string text = Vault::EntriesToJson(MakeEntries(static_cast<int>(state.range(0))));
  std::vector<Vault::Entry> list;
  for (auto _ : state) {
    if (!Vault::JsonToEntries(text, list)) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_SimdjsonOnDemandFullyValidated)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

void BM_NlohmannSax(benchmark::State& state) {
  const std::string text = Vault::EntriesToJson(MakeEntries(static_cast<int>(state.range(0))));
  std::vector<Vault::Entry> list;
  for (auto _ : state) {
    if (!SaxToEntries(text, list)) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_NlohmannSax)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
