#pragma once
#include <string>

#include "engine/host.h"
#include "ui_model/shapes.h"
#include "ui_model/view_size.h"

namespace korvane {

inline constexpr int BreedingPanelHeight = 250;

// The colour of a thrust code's genes (0 coast, 1..4 up, down, left, right).
unsigned ThrustColour(int code);

// How the next generation was made, below the field. Left: the scored
// generation as strips sorted by fitness, best on top (a plan's genes
// coloured by thrust, as wide as their ticks; a network's weights as a
// colour bar), elites outlined. Right, for child `child` (0: the first after
// the elites): its one parent with the roulette slice it was drawn from, the
// parent and child strips with the copied genes joined, the inserted and
// mutated genes marked, and each change listed (old → new). Every shape lies
// within W × H.
Shapes BreedingPanel(const BreedingView& b, int child, int W = ViewWidth, int H = BreedingPanelHeight);

// A rough width of a text at a font size: wide (CJK) characters a full
// size, the others about half. For laying out lines, never for clipping.
int RoughTextWidth(const std::string& utf8, int px);

}  // namespace korvane
