#include "cli/inputs.h"

#include <cmath>

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
    Refuse(text::En<Tx::CannotUseMap>(o.mapIndex, o.mapFile, MapLoadReason(r, o.mapIndex)));
  return field;
}

CNeuralNet NetworkFor(const SimParams& p) {
  CNeuralNet net;
  CRand rng;
  net.Build(p, rng);
  return net;
}

std::vector<double> LoadWeightsFor(const Options& o, const CNeuralNet& net) {
  const auto need = static_cast<std::size_t>(net.WeightCount());
  if (o.weights == Options::Weights::File) {
    const WeightsPick pick = ReadWeightsBlock(o.weightsFile, o.block ? std::optional<int>(o.block) : std::nullopt);
    // The reason names the file itself.
    if (const std::string why = WeightsPickReason(pick, "'" + o.weightsFile + "'"); !why.empty()) Refuse(why);
    if (const std::string why = WeightsCountReason(pick, need); !why.empty())
      Refuse(text::En<Tx::CannotUseFile>(o.weightsFile, why));
    return pick.weights;
  }
  const bool table = o.weights == Options::Weights::Table;
  std::vector<double> w = table ? TableWeights() : BuiltinWeights();
  if (w.size() != need)
    Refuse(text::En<Tx::WeightsDoNotFit>(table ? text::En<Tx::TableWeights>() : text::En<Tx::BuiltInWeights>(),
                                         w.size(), need));
  return w;
}

CPlanGenome LoadPlan(const Options& o) {
  std::string error;
  auto plan = ReadPlanFile(o.planFile, &error);
  if (!plan) Refuse(text::En<Tx::CannotUseFile>(o.planFile, error));
  const int length = o.params.ChromosomeLength;
  if (plan->actions.size() > static_cast<std::size_t>(length))
    Refuse(text::En<Tx::CannotUseFile>(
        o.planFile,
        text::PlanTooLong(plan->actions.size(), length, static_cast<int>(FindParam("ChromosomeLength")->hi))));
  // A flight counts its ticks in an int: a plan longer than that cannot be
  // flown to its end.
  double ticks = 0;
  for (double d : plan->durations)
    if (d > 0) ticks += std::ceil(d);
  if (ticks > 2147483647.0) Refuse(text::En<Tx::CannotUseFile>(o.planFile, text::PlanTooManyTicks(ticks)));
  return CPlanGenome(std::move(plan->actions), std::move(plan->durations));
}

}  // namespace korvane::cli
