#pragma once
#include <string>

#include "engine/autopilot.h"

namespace korvane {

// What the status bar says of a search that ended without a box: one that
// ran out of generations under a limit changed while it ran (lowered below
// the generation it had reached, it ends at once). Empty otherwise.
// generations: the generations it completed, as its score panel counts them.
std::string SearchEndNote(const SearchResult& r, int startLimit, int generations);

}  // namespace korvane
