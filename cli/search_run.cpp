#include "cli/search_run.h"

#include "cli/inputs.h"

namespace korvane::cli {

SearchRun RunSearch(CliHost& host, const SimParams& p, const MeteorField& field, std::uint32_t seed,
                    const std::vector<double>* weights, int threads) {
  CAutoPilot pilot;
  pilot.SetThreads(threads);
  CNeuralNet net = NetworkFor(p);
  if (weights) pilot.SetWeights(*weights);
  CPlanGA ga;
  const RunOutcome r = weights ? pilot.OnStartHeuristicGenAlg(host, p, ga, net, field, seed)
                               : pilot.OnStartGenAlg(host, p, ga, field, seed);
  return {r, pilot.BestPlan()};
}

}  // namespace korvane::cli
