#pragma once
#include "engine/host.h"
#include "sim/params.h"

namespace korvane {

// When a changed setting reaches a run: the one rule, in one place.
// - Searches and training get their start settings as an argument and refresh
//   them between generations, never inside one, so a generation is flown
//   under one set of values and parallel evaluation stays exact. The sizes
//   captured at the start (population, chromosome length, network shape,
//   perceived meteors) hold for the whole run.
// - Single flights shown on screen re-read the physics every tick.
// - Display switches and the lifeboat's picture are the screen's: it reads
//   them at the next frame.
// The settings for the next generation: those of now, with the sizes of the
// start. A host that has none keeps `current`.
SimParams BetweenGenerations(RunAsks& asks, const SimParams& start, const SimParams& current);
void BeforeShownTick(RunAsks& asks, SimParams& p);

}  // namespace korvane
