#pragma once
#include <array>

namespace korvane {

// A network trained for the default shape (6 inputs, two hidden layers of 5,
// 5 outputs), in the flat weight order, so the network can fly before any
// training.
extern const std::array<double, 95> DefaultWeights;

}  // namespace korvane
