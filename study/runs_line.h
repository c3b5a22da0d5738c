#pragma once
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/params.h"

// One line of a study's runs file: one run, written whole as it finishes.
namespace korvane::study {

using Json = nlohmann::ordered_json;

struct GenerationPoint {
  int generation = 0;
  double best = 0;
  double average = 0;
};

// One line. Its fields, in order: key, method, weights (null for ga),
// weights_fnv (null for ga), level, or map, map_index and map_fnv, seed,
// settings (those not at their default), escaped, escape_generation (null
// when not escaped), generations, seconds. Lines of older studies lack the
// two fingerprints.
struct RunRecord {
  std::string key;
  std::string method;
  std::optional<std::string> weights;
  std::optional<std::uint64_t> weightsFnv;  // the network flown (WeightsFnv)
  int level = 0;
  std::string map;  // as given, for people; the key names the map by mapFnv
  int mapIndex = 0;
  std::optional<std::uint64_t> mapFnv;  // the field flown (MapFnv)
  std::uint32_t seed = 0;
  Json settings = Json::object();
  bool escaped = false;
  std::optional<int> escapeGeneration;
  std::vector<GenerationPoint> generations;
  double seconds = 0;

  // "ga", "heuristic:table": the method as the command line names it.
  std::string MethodName() const;
  // "level=2", "map=<map_fnv>" (an older line: "map=FILE:K").
  std::string FieldKey() const;
  // The key's varied settings ("|vary:A=1|vary:B=2", or empty); nothing
  // when the key does not name the run's own method, field and seed.
  std::optional<std::string_view> Varied() const;
};

// The settings at a value other than the default, by name in the order of
// the settings table: a whole number or a double each.
Json ChangedSettings(const SimParams& p);

// The line, with its line end.
std::string FormatRunLine(const RunRecord& r);
// A line back (without its line end); nothing when it is not a whole run
// line or its key does not name its own method, weights, field and seed,
// with the reason (the field at fault) in *why when given.
std::optional<RunRecord> ParseRunLine(std::string_view line, std::string* why = nullptr);

// The longest line a run within the settings' limits can write: every
// generation MaxGenerations allows, each number at its longest, and room for
// the longest names of files.
std::size_t MaxRunLineBytes();

// Whether text, a last line without its line end, is a run line cut short:
// it starts as a run line starts and is JSON up to where it ends.
bool StartsRunLine(std::string_view text);

}  // namespace korvane::study
