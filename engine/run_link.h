#pragma once
#include "engine/host.h"
#include "engine/pilot_results.h"

namespace korvane {

// What every run holds on to: the two faces of its host, and the results
// runs leave each other (the plan kept for replay, the weights in force).
struct RunLink {
  RunAsks& asks;
  RunEvents& tell;
  PilotResults& results;
};

}  // namespace korvane
