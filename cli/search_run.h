#pragma once
#include <cstdint>
#include <vector>

#include "cli/cli_host.h"
#include "engine/autopilot.h"

// The plan search of `ga`, which `study` flies too, so that a study's run
// and the `ga` call with the same arguments give the same numbers.
namespace korvane::cli {

struct SearchRun {
  RunOutcome outcome;
  CPlanGenome best;
};

// The plain search, or with weights the heuristic one (they must fit the
// network the settings describe). The host records the generations.
SearchRun RunSearch(CliHost& host, const SimParams& p, const MeteorField& field, std::uint32_t seed,
                    const std::vector<double>* weights, int threads);

}  // namespace korvane::cli
