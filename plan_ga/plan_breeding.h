#pragma once
#include <span>
#include <vector>

#include "plan_ga/plan_genome.h"

namespace korvane {

// How the epoch made one child, written by the epoch and its operators as
// they draw, so that the screen can show breeding as it happened. A child has
// one parent: it is an insertion-copy of it, then mutated; nothing crosses.
struct PlanChildRecord {
  int parent = -1;            // the parent's place in the sorted generation (0: the worst)
  double target = 0.0;        // where the roulette's draw landed: draw / 32768 × total fitness
  std::vector<int> inserted;  // genes of the child that were inserted, not copied
  struct DurationChange {
    int gene;
    double before;
    double after;
  };
  struct ThrustChange {
    int gene;
    int before;
    int after;  // a redraw may give the same code
  };
  std::vector<DurationChange> durations;
  std::vector<ThrustChange> thrusts;
};

// The children of one epoch, in the order they join the next generation
// (after the elites).
struct PlanBreedingRecord {
  std::vector<PlanChildRecord> children;
};

// How different the plans are: the mean, over all pairs among the first 64
// plans, of the share of gene positions (up to the shorter plan) whose thrust
// differs. 0 when no pair has a gene to compare.
double PlanDiversity(std::span<const CPlanGenome> plans);

}  // namespace korvane
