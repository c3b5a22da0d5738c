#include "engine/run_settings.h"

namespace korvane {

SimParams BetweenGenerations(IHost& host, const SimParams& start) {
  SimParams p = host.Params();
  p.PopulationSize = start.PopulationSize;
  p.ChromosomeLength = start.ChromosomeLength;
  p.NetPopulationSize = start.NetPopulationSize;
  p.NetInputCount = start.NetInputCount;
  p.HiddenLayerCount = start.HiddenLayerCount;
  p.NeuronsPerHiddenLayer = start.NeuronsPerHiddenLayer;
  return p;
}

void BeforeShownTick(IHost& host, SimParams& p) {
  const SimParams now = host.Params();
  p.Gravity = now.Gravity;
  p.LifeboatAccel = now.LifeboatAccel;
  p.TimeStep = now.TimeStep;
  p.SpeedScale = now.SpeedScale;
}

}  // namespace korvane
