#pragma once
#include <string>

#include "engine/host.h"
#include "ui_model/see_inside.h"
#include "ui_model/shapes.h"

namespace korvane {

// The band at the foot of the network panel that holds its key, in the
// classroom layout.
inline constexpr int NetworkLegendHeight = 54;

// What the pointer at (x, y) rests on in the panel NetworkPanelGeometry lays
// out for view in W × H: an input and its value, a neuron's activation, an
// output (and whether it was chosen), or a connection and its weight; empty
// over nothing, and for a network shown as bars.
std::string NetworkHoverText(const NetworkView& view, int x, int y, int W = NetworkPanelWidth, int H = ViewHeight);

// The key to the panel's colours, in the band from y to y + NetworkLegendHeight.
Shapes NetworkLegend(int W, int y);

}  // namespace korvane
