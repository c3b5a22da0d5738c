#pragma once
#include <array>

namespace korvane {

// The built-in weight table, value for value, for the default shape (6
// inputs, two hidden layers of 5, 5 outputs), in the flat weight order. Kept
// and selectable; under these rules it crashes on every built-in level, so
// the weights in force at start are TrainedWeights.
extern const std::array<double, 95> DefaultWeights;

}  // namespace korvane
