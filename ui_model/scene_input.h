#pragma once
#include "engine/host.h"
#include "sim/lifeboat.h"
#include "sim/meteor_field.h"
#include "sim/params.h"
#include "sim/perception.h"

namespace korvane {

// Everything one frame shows. It points into the state it was taken from,
// which must outlive the composition.
struct SceneInput {
  const CLifeboat* boat = nullptr;
  const MeteorField* field = nullptr;
  const Perception* perception = nullptr;
  bool editMode = false;
  bool showPerception = false;
  const PlanPanelData* planPanel = nullptr;  // null: no panel
  const ChartData* chart = nullptr;          // null: no chart
  const ChartData* planChart = nullptr;      // null: no plan-search chart
  const PopulationPaths* paths = nullptr;    // null: no population paths
  SimParams params;                          // display switches, lifeboat size
};

}  // namespace korvane
