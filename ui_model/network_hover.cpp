#include "ui_model/network_hover.h"

#include <cmath>

#include "ui_model/formatted.h"
#include "ui_model/scene_paint.h"

namespace korvane {
namespace {

// The distance from p to the segment a-b.
double Distance(double px, double py, const Segment& s) {
  const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((px - s.x1) * dx + (py - s.y1) * dy) / len2 : 0.0;
  t = std::fmax(0.0, std::fmin(1.0, t));
  return std::hypot(px - (s.x1 + t * dx), py - (s.y1 + t * dy));
}

}  // namespace

std::string NetworkHoverText(const NetworkView& view, int x, int y, int W, int H) {
  const NetworkPanel g = NetworkPanelGeometry(view, W, H);
  // Neurons come layer by layer, as the view lists them.
  std::size_t n = 0;
  for (std::size_t l = 0; l < view.layers.size(); ++l)
    for (std::size_t j = 0; j < view.layers[l].size(); ++j, ++n) {
      if (n >= g.neurons.size()) return {};
      const NeuronDot& d = g.neurons[n];
      if (std::hypot(x - d.x, y - d.y) > d.r + 3) continue;
      const double v = view.layers[l][j];
      if (l == 0) return text::Ui<Tx::HoverInput>(NetworkInputLabel(j), Two(v));
      if (l + 1 == view.layers.size() && j < 5)
        return text::Ui<Tx::HoverOutput>(ThrustName(static_cast<int>(j)), Two(v)) +
               (d.chosen ? Say(Tx::HoverChosen) : std::string());
      return text::Ui<Tx::HoverNeuron>(static_cast<int>(l), static_cast<int>(j) + 1, Two(v));
    }
  double nearest = 3.0;
  const NetworkPanel::Link* link = nullptr;
  for (std::size_t c = 0; c < g.connections.size() && c < g.links.size(); ++c) {
    const double d = Distance(x, y, g.connections[c]);
    if (d <= nearest) {
      nearest = d;
      link = &g.links[c];
    }
  }
  if (!link || !view.weights || link->weight >= static_cast<int>(view.weights->size())) return {};
  return text::Ui<Tx::HoverWeight>(link->weight, link->layer - 1, link->from + 1, link->layer, link->to + 1,
                                   Two((*view.weights)[static_cast<std::size_t>(link->weight)]));
}

Shapes NetworkLegend(int W, int y) {
  Shapes out;
  out.Fill({0, y, W, NetworkLegendHeight}, PanelGround);
  out.Stroke({4, y}, {W - 4, y}, NeuronRimColour);
  const int r1 = y + 5, r2 = y + 21, r3 = y + 37;
  out.Fill({6, r1 + 1, 10, 10}, ActivationColour(-2.0));
  out.Fill({20, r1 + 1, 10, 10}, ActivationColour(2.0));
  out.Write(36, r1, Say(Tx::NetLegendActivation), PanelLabelColour, 11);
  out.Stroke({6, r2 + 6}, {16, r2 + 6}, PositiveWeightColour, 2);
  out.Stroke({20, r2 + 6}, {30, r2 + 6}, NegativeWeightColour, 2);
  out.Write(36, r2, Say(Tx::NetLegendWeights), PanelLabelColour, 11);
  out.Frame({12, r3 + 1, 10, 10}, ChosenRimColour, 2);
  out.Write(36, r3, Say(Tx::NetLegendChosen), PanelLabelColour, 11);
  return out;
}

}  // namespace korvane
