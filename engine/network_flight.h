#pragma once
#include <memory>
#include <optional>
#include <span>

#include "engine/flight.h"
#include "net/neural_net.h"

namespace korvane {

NetworkInputs BuildNetworkInputs(const CLifeboat& boat, const Perception& per, const SimParams& p);
// The first index of the largest of the first five outputs.
int PickAction(std::span<const double> outputs);
// PickAction of the sigmoids of the output sums, bit for bit, taking only
// the sigmoids that can change the choice (action_pick.cpp).
int PickFromSums(std::span<const double> sums, double sigmoidParam);
// The network's thrust for the flight's state; nothing when the network
// does not take this many inputs.
std::optional<int> NetworkChoice(CNeuralNet& net, const FlightState& fs, const SimParams& p);
// The network at work in the flight's state, for the screen; null when it
// does not take this many inputs.
std::shared_ptr<const NetworkView> ViewNetwork(const CNeuralNet& net, const FlightState& fs, const SimParams& p);
// One training flight of a network on a field, scored as training scores it.
NetFlightResult FlyNetworkScored(FlightState& fs, CNeuralNet& net, const SimParams& p, const MeteorField& field);

}  // namespace korvane
