#pragma once
#include <vector>

#include "cli/options.h"
#include "net/neural_net.h"
#include "plan_ga/plan_genome.h"
#include "sim/meteor_field.h"

// The inputs a run reads besides its arguments: the field, the weights and
// the plan. Each throws Refusal when it cannot be used.
namespace korvane::cli {

// A built-in level, or a saved map read as the desktop program reads it.
MeteorField LoadField(const Options& o);

// A network of the shape the settings describe, with random weights.
CNeuralNet NetworkFor(const SimParams& p);

// The built-in weights or the last block of --weights; they must fit net.
std::vector<double> LoadWeightsFor(const Options& o, const CNeuralNet& net);

// The --plan file; a plan longer than ChromosomeLength is refused, as the
// flight would cut it short.
CPlanGenome LoadPlan(const Options& o);

}  // namespace korvane::cli
