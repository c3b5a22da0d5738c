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
SimParams BetweenGenerations(IHost& host, const SimParams& start);
void BeforeShownTick(IHost& host, SimParams& p);

}  // namespace korvane
