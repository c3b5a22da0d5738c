#pragma once
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "sim/params.h"

// The study's output: one JSON line per run, appended as the run finishes,
// so that a study that is stopped can go on where it was.
namespace korvane::study {

using Json = nlohmann::ordered_json;

struct GenerationPoint {
  int generation = 0;
  double best = 0;
  double average = 0;
};

// One line. Its fields, in order: key, method, weights (null for ga),
// level, or map and map_index, seed, settings (those not at their default),
// escaped, escape_generation (null when not escaped), generations, seconds.
struct RunRecord {
  std::string key;
  std::string method;
  std::optional<std::string> weights;
  int level = 0;
  std::string map;
  int mapIndex = 0;
  std::uint32_t seed = 0;
  Json settings = Json::object();
  bool escaped = false;
  std::optional<int> escapeGeneration;
  std::vector<GenerationPoint> generations;
  double seconds = 0;

  // "ga", "heuristic:table": the method as the command line names it.
  std::string MethodName() const;
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
// line or its key does not name its own method, weights, field and seed.
std::optional<RunRecord> ParseRunLine(std::string_view line);

// What a runs file holds.
struct RunsFile {
  std::vector<RunRecord> runs;
  std::vector<int> lines;     // the line of each run, from 1
  std::size_t goodBytes = 0;  // up to the end of the last whole line
  int damagedLastLine = 0;    // from 1: a last line cut short; 0: none
};

// Reads a runs file; a missing file holds no runs. A damaged last line (a
// run killed while its line was written) is reported, not read; a damaged
// line before the last throws InputError.
RunsFile ReadRunsFile(const std::string& path);

// A runs file that cannot be used: the text says which and why.
struct InputError {
  std::string text;
};

}  // namespace korvane::study
