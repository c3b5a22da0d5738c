#pragma once
#include <string>

#include "engine/run_events.h"

namespace korvane {

// What the status bar says of a search that ended without a box: one that
// ran out of generations under a limit changed while it ran (lowered below
// the generation it had reached, it ends at once). Empty otherwise.
std::string SearchEndNote(const RunOutcome& r, int startLimit);

}  // namespace korvane
