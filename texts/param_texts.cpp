#include "texts/param_texts.h"

namespace korvane::text {
namespace {

struct Meaning {
  std::string_view name;
  std::string_view text;
};

constexpr Meaning kMeanings[] = {
    {"LifeboatSize", "radius of the lifeboat's hull as drawn and as it collides"},
    {"Gravity", "downward acceleration added to the vertical speed every tick"},
    {"LifeboatAccel", "acceleration of one thrust in its direction"},
    {"TimeStep", "length of one tick in the physics"},
    {"SpeedScale", "how far a unit of speed moves the lifeboat in one tick"},
    {"MaxGenerations", "the plan search flies generations 0 to this (-1: none)"},
    {"PopulationSize", "flight plans in each generation of the plan search (an even number is expected)"},
    {"EliteCount", "best plans copied unchanged into the next generation (at most the population size)"},
    {"ChromosomeLength", "genes (thrust and duration) in a flight plan; a plan flown is cut to this length"},
    {"ActionDurationRange", "spread of a new gene's duration: 3 to 2 + this many ticks"},
    {"DurationMutationRate", "chance that a gene's duration is changed by a mutation"},
    {"DurationMutationRange", "largest change of a duration by one mutation, in ticks either way"},
    {"ActionMutationRate", "chance that a gene's thrust is replaced by a random one"},
    {"InsertionRate", "chance that a mutation inserts a new gene"},
    {"InsertionDuration", "spread of an inserted gene's duration: 5 to 4 + this many ticks"},
    {"TimeWeight", "the time score: ticks flown x this (shown; the fitness is the distance flown)"},
    {"SafetyWeight", "the safety score: square root of the closest approach to a meteor x this (shown)"},
    {"EnergyWeight", "the energy score: thrusts x this (shown)"},
    {"HiddenLayerCount", "hidden layers of the network"},
    {"NeuronsPerHiddenLayer", "neurons in each hidden layer"},
    {"SigmoidParam", "steepness parameter of the neurons' sigmoid"},
    {"NormalizeParam", "the network sees distances as this / distance"},
    {"TrainingGenerations", "generations of the weight search in training"},
    {"NetPopulationSize", "weight sets in each generation of training"},
    {"NetEliteCount", "best weight sets copied unchanged into the next generation"},
    {"NetInputCount", "network inputs: 2 x perceived meteors + 4 (set PerceivedMeteors instead)"},
    {"InitWeightRange", "spread of the random weights a network starts with"},
    {"SmallMutationRate", "chance that each weight gets a small random change"},
    {"SmallMutationRange", "largest small change of a weight, either way"},
    {"LargeMutationRate", "chance that one weight of a set gets a large change"},
    {"LargeMutationRange", "the large change added to that weight"},
    {"NetCrossoverRate", "crossover rate of the weight search (kept for the record; no operator uses it)"},
    {"StartX", "start column shown in the settings sheet (flights start at x = 20)"},
    {"StartY", "start row shown in the settings sheet (flights start at y = 200)"},
    {"HideThrustMarker", "1: the desktop program hides the thrust marker"},
    {"HidePerceived", "1: the desktop program does not mark the meteors the network perceives"},
    {"HideScoreChart", "1: the desktop program hides the score chart"},
    {"PerceivedMeteors", "nearest meteors the network perceives; sets NetInputCount to 2 x this + 4"},
};

}  // namespace

std::string_view ParamMeaning(std::string_view name) {
  for (const Meaning& m : kMeanings)
    if (m.name == name) return m.text;
  return {};
}

}  // namespace korvane::text
