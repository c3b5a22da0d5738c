#pragma once
#include <vector>

#include "plan_ga/plan_genome.h"
#include "sim/params.h"

namespace korvane::test {

inline CPlanGenome Uniform(int genes, int code, double duration) {
  return CPlanGenome(std::vector<int>(genes, code), std::vector<double>(genes, duration));
}

// Gravity off and a huge speed scale: a thrust right escapes within a few
// ticks, a thrust left crashes, coasting stays put.
inline SimParams Slingshot() {
  SimParams p;
  p.Gravity = 0.0;
  p.SpeedScale = 30000.0;
  return p;
}

}  // namespace korvane::test
