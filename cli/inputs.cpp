#include "cli/inputs.h"

#include "cli/exit_codes.h"
#include "cli/plan_file.h"
#include "engine/autopilot.h"
#include "files/obstacle_map_file.h"
#include "files/weights_file.h"
#include "sim/rand.h"
#include "texts/cli_texts.h"

namespace korvane::cli {

MeteorField LoadField(const Options& o) {
  if (o.mapFile.empty()) return BuiltInLevel(o.level);
  MeteorField field;
  field.count = 0;
  CObstacleMapFile file(o.mapFile);
  const MapLoadResult r = file.LoadMap(o.mapIndex, field);
  if (r.status != MapLoadStatus::Loaded)
    Refuse(text::CannotUseMap(o.mapIndex, o.mapFile, MapLoadReason(r, o.mapIndex)));
  return field;
}

CNeuralNet NetworkFor(const SimParams& p) {
  CNeuralNet net;
  CRand rng;
  net.Build(p, rng);
  return net;
}

std::vector<double> LoadWeightsFor(const Options& o, const CNeuralNet& net) {
  std::vector<double> w;
  if (o.weightsFile.empty()) {
    w = CAutoPilot().Weights();
  } else {
    std::string error;
    auto parsed = ReadWeightsFile(o.weightsFile, &error);
    if (!parsed) Refuse(text::CannotUseFile(o.weightsFile, error));
    w = std::move(*parsed);
  }
  if (static_cast<int>(w.size()) != net.WeightCount())
    Refuse(text::WeightsDoNotFit(o.weightsFile.empty() ? text::BuiltInWeights : "'" + o.weightsFile + "'",
                                 w.size(), net.WeightCount()));
  return w;
}

CPlanGenome LoadPlan(const Options& o) {
  std::string error;
  auto plan = ReadPlanFile(o.planFile, &error);
  if (!plan) Refuse(text::CannotUseFile(o.planFile, error));
  const int length = o.params.ChromosomeLength;
  if (plan->actions.size() > static_cast<std::size_t>(length))
    Refuse(text::CannotUseFile(o.planFile, text::PlanTooLong(plan->actions.size(), length,
                                                             static_cast<int>(FindParam("ChromosomeLength")->hi))));
  return CPlanGenome(std::move(plan->actions), std::move(plan->durations));
}

}  // namespace korvane::cli
