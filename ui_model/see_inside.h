#pragma once
#include <string>
#include <vector>

#include "engine/flight_path.h"
#include "engine/host.h"
#include "ui_model/scene_geometry.h"
#include "ui_model/score_panel.h"

namespace korvane {

// --- a generation's paths over the field --------------------------------

// How a path is drawn: thin and translucent; escapes in their own colour;
// the generation's best highlighted over all others.
enum class PathStyle { Ordinary, Escaped, Best };

struct PathLine {
  std::vector<IPoint> points;  // window pixels
  PathStyle style = PathStyle::Ordinary;
  bool crashed = false;  // marked where it ended
};

// The paths in drawing order (the best last), shifted by the camera offset c.
std::vector<PathLine> PathLines(const PopulationPaths& paths, int c);

// --- the network at work -----------------------------------------------

// One neuron (or input) as a disc whose colour shows its activation.
struct NeuronDot {
  int x = 0;
  int y = 0;
  int r = 0;
  unsigned rgb = 0;
  bool chosen = false;  // the output the flight takes
};

// A layer of a large network as one bar: the share of its neurons with a
// positive activation, and the mean activation's colour.
struct LayerBar {
  IRect rect;
  unsigned rgb = 0;
};

struct NetworkPanel {
  std::vector<Segment> connections;  // green for a positive weight, red for a negative one
  std::vector<unsigned> connectionAlpha;
  // What each connection joins: neuron `from` of layer - 1 to neuron `to`
  // of layer, through flat weight `weight`.
  struct Link {
    int layer, from, to, weight;
  };
  std::vector<Link> links;
  std::vector<NeuronDot> neurons;
  std::vector<LayerBar> bars;  // instead of neurons and connections for a large network
  std::vector<TextLine> labels;
};

inline constexpr int NetworkPanelWidth = 300;
inline constexpr unsigned PositiveWeightColour = 0x3CC85Au;
inline constexpr unsigned NegativeWeightColour = 0xE04646u;

// The panel for what the network sees and does, W x H pixels.
NetworkPanel NetworkPanelGeometry(const NetworkView& view, int W = NetworkPanelWidth, int H = ViewHeight);

// A colour for an activation: blue below zero, dark at zero, orange above.
unsigned ActivationColour(double v);

// The label of network input i (distances, speeds, a meteor's offsets).
std::string NetworkInputLabel(std::size_t i);

// The name of a thrust code (0 none, 1 up, 2 down, 3 left, 4 right).
std::string ThrustName(int code);

}  // namespace korvane
