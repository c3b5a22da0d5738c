#include "engine/run_settings.h"

namespace korvane {

SimParams BetweenGenerations(RunAsks& asks, const SimParams& start, const SimParams& current) {
  SimParams p = asks.Params().value_or(current);
  p.PopulationSize = start.PopulationSize;
  p.ChromosomeLength = start.ChromosomeLength;
  p.NetPopulationSize = start.NetPopulationSize;
  p.NetInputCount = start.NetInputCount;
  p.HiddenLayerCount = start.HiddenLayerCount;
  p.NeuronsPerHiddenLayer = start.NeuronsPerHiddenLayer;
  return p;
}

void BeforeShownTick(RunAsks& asks, SimParams& p) {
  const std::optional<SimParams> now = asks.Params();
  if (!now) return;
  p.Gravity = now->Gravity;
  p.LifeboatAccel = now->LifeboatAccel;
  p.TimeStep = now->TimeStep;
  p.SpeedScale = now->SpeedScale;
}

}  // namespace korvane
