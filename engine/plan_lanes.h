// Plan flights side by side in SIMD lanes: a worker keeps one plan's flight
// in each lane, steps them all a tick at a time and refills a lane as soon
// as its flight ends. Every flight gives FlyPlan's result, scores and path,
// bit for bit.
//
// A plan flight reads nothing of the perception table but the heuristic's
// suggestion, and of the suggestions only the one made for the gene the plan
// crashed in (its repair's). So the lanes test crash and clearance alone, keep
// where each gene started, and work out that one suggestion when a plan
// crashes: the table from where the gene started (the table the tick before
// it left there) and the network, kN crashes at a time in the lanes of
// training (the same exact exponential and pick).
#pragma once
#include <span>

#include "engine/flight.h"
#include "engine/flight_path.h"
#include "engine/lockstep.h"
#include "plan_ga/plan_genome.h"

namespace korvane {

// One generation's plan flights.
struct PlanLaneJob {
  FlyVariant variant = FlyVariant::GA;
  const SimParams* params = nullptr;
  const LaneLevel* level = nullptr;
  std::span<CPlanGenome> plans;         // scored as FlyPlan scores them
  PlanFlightResult* results = nullptr;  // one per plan
  PlanPath* paths = nullptr;            // one per plan, or none
  // The heuristic's network (LanesServe must hold).
  std::span<const NeuronLayer> layers;
  std::span<const double> weights;
};

// One worker's plan lanes.
struct alignas(64) PlanLaneBuffers {
  double x[kMaxLanes], y[kMaxLanes], vx[kMaxLanes], vy[kMaxLanes];
  double action[kMaxLanes], tick[kMaxLanes], duration[kMaxLanes];  // the gene flying, its ticks so far
  double thrusts[kMaxLanes], ticks[kMaxLanes], clearance[kMaxLanes];
  // Where the gene flying started: the position, the speed once thrust.
  double gx[kMaxLanes], gy[kMaxLanes], gvx[kMaxLanes], gvy[kMaxLanes];
  int plan[kMaxLanes], gene[kMaxLanes];
  bool geneAtStart[kMaxLanes];  // the gene started the flight: the start's table
  // Crashes whose suggestion is still to be worked out.
  struct Crash {
    int plan;
    double x, y, vx, vy;
    bool atStart;
  } crashes[kMaxLanes];
  int crashCount = 0;
  LaneBuffers decide;  // the suggestions' lanes
};

// Whether the lanes fly this generation's variant: the heuristic's network
// must be one training's lanes serve.
bool PlanLanesServe(FlyVariant variant, const SimParams& p, const CNeuralNet* net);

// Flies plans from `feed` until it runs dry. `path` must have lanes.
void FlyPlansInLanes(vecmath::SimdPath path, const PlanLaneJob& job, LaneFeed& feed, PlanLaneBuffers& buffers);

}  // namespace korvane
