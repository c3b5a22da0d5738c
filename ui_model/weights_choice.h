#pragma once
#include <optional>
#include <string>
#include <vector>

#include "engine/pilot_results.h"
#include "sim/params.h"

namespace korvane {

// Weights a user loads from a file, checked against the network the current
// settings describe.
struct WeightsLoad {
  bool ok = false;
  std::vector<double> weights;
  NetShape shape;
  WeightsSource source;
  std::string message;  // why not, for the user
};

// Block `block` of the file (its last block by default). A damaged block, or
// one whose weight count does not fit the network, is refused.
WeightsLoad LoadWeightsFile(const std::string& path, std::optional<int> block, const SimParams& p);

// The blocks of a weights file as a chooser lists them; empty when the file
// cannot be read.
std::vector<std::string> WeightsBlockChoices(const std::string& path);

// What the status bar says of the weights in force.
std::string WeightsStatusText(const WeightsSource& source);

}  // namespace korvane
