#pragma once
#include "engine/flight.h"
#include "engine/flight_path.h"
#include "net/neural_net.h"
#include "plan_ga/plan_genome.h"
#include "sim/rand.h"

namespace korvane {

// Flies a plan from the start position and scores it (CAutoPilot::FlyPlan).
// net: the heuristic variant's network. path, when given, records where the
// flight went; it changes nothing else.
PlanFlightResult FlyPlan(FlightState& fs, CPlanGenome& plan, FlyVariant variant, const SimParams& p,
                         const MeteorField& field, CNeuralNet* net, PlanPath* path = nullptr);
// The heuristic repair of a crashed gene: 3 times in 4 the gene takes the
// network's suggestion.
void Repair(CPlanGenome& plan, const PlanFlightResult& r, CRand& rng);
void ScorePlan(const FlightState& fs, CPlanGenome& plan, const SimParams& p);
// The same from a flight's numbers: thrusts and whole ticks flown, the least
// clearance met and where it ended.
void ScorePlan(CPlanGenome& plan, const SimParams& p, int thrusts, double clearance, int ticks, double x);

}  // namespace korvane
