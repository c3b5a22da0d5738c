#pragma once
#include <string>
#include <vector>

#include "engine/run_events.h"

namespace korvane {

// The boxes a notice shows, in order: the program's own texts.
std::vector<std::string> BoxTexts(const RunNotice& notice);

}  // namespace korvane
