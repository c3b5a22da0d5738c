#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sim/params.h"
#include "sim/run_memory.h"
#include "study/grid.h"

// The values of `study`'s own options, each checked as it is read. Each
// function throws ArgumentError for a value it cannot take.
namespace korvane::cli {

struct StudyPlan {
  std::vector<study::Method> methods;
  std::vector<study::Field> fields;
  std::uint32_t firstSeed = 0;
  std::uint32_t lastSeed = 0;
  std::vector<study::Variation> vary;
  std::string out;
  int shard = 1;  // shard K of N, from 1
  int shards = 1;
};

// Runs a study may hold: the keys of the whole grid are kept in memory.
inline constexpr double kMaxStudyRuns = 5e6;

std::vector<study::Method> ParseMethods(const std::string& list);
std::vector<study::Field> ParseFields(const std::string& levels, const std::string& maps);
void ParseSeeds(const std::string& range, StudyPlan& plan);
void ParseShard(const std::string& shard, StudyPlan& plan);
// The --vary options: known settings, each value once, not also given with
// --set.
std::vector<study::Variation> ParseVary(const std::vector<std::string>& vary, const std::vector<std::string>& sets);
// Every combination of them with the base settings within every limit (those
// that tie settings together as far as scope runs them).
void CheckVaried(const std::vector<study::Variation>& vary, const SimParams& base, const RunScope& scope);

// The settings of one run: the base ones with the run's varied settings.
SimParams WithVaried(SimParams p, const std::vector<study::Setting>& varied);

}  // namespace korvane::cli
