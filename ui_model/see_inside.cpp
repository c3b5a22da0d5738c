#include "ui_model/see_inside.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/trunc.h"
#include "texts/text_table.h"

namespace korvane {

std::vector<PathLine> PathLines(const PopulationPaths& paths, int c) {
  std::vector<PathLine> out;
  out.reserve(paths.paths.size());
  auto line = [&](const PlanPath& p, PathStyle style) {
    PathLine l;
    l.style = style;
    l.crashed = p.End() == PathEnd::Crashed;
    l.points.reserve(static_cast<std::size_t>(p.Count()));
    for (int i = 0; i < p.Count(); ++i) l.points.push_back({TruncToInt(p.Point(i).x) - c, TruncToInt(p.Point(i).y)});
    out.push_back(std::move(l));
  };
  for (std::size_t n = 0; n < paths.paths.size(); ++n) {
    if (static_cast<int>(n) == paths.best) continue;
    const PlanPath& p = paths.paths[n];
    line(p, p.End() == PathEnd::Escaped ? PathStyle::Escaped : PathStyle::Ordinary);
  }
  if (paths.best >= 0 && paths.best < static_cast<int>(paths.paths.size()))
    line(paths.paths[static_cast<std::size_t>(paths.best)], PathStyle::Best);
  return out;
}

unsigned ActivationColour(double v) {
  if (std::isnan(v)) return 0x808080u;
  const double s = std::isinf(v) ? (v > 0 ? 1.0 : -1.0) : v / (1.0 + std::fabs(v));  // into (-1, 1)
  auto channel = [](double f) { return static_cast<unsigned>(std::clamp(f, 0.0, 1.0) * 255.0); };
  if (s >= 0) return channel(0.15 + 0.85 * s) << 16 | channel(0.15 + 0.5 * s) << 8 | channel(0.15);
  return channel(0.15) << 16 | channel(0.15 - 0.1 * s) << 8 | channel(0.15 - 0.85 * s);
}

namespace {

constexpr Tx kOutputNames[] = {Tx::OutputNone, Tx::OutputUp, Tx::OutputDown, Tx::OutputLeft, Tx::OutputRight};

}  // namespace

std::string ThrustName(int code) { return std::string(text::Ui(kOutputNames[code >= 0 && code < 5 ? code : 0])); }

std::string NetworkInputLabel(std::size_t i) {
  switch (i) {
    case 0: return std::string(text::Ui(Tx::InputBottom));
    case 1: return std::string(text::Ui(Tx::InputTop));
    case 2: return std::string(text::Ui(Tx::InputVx));
    case 3: return std::string(text::Ui(Tx::InputVy));
    default: {
      const std::size_t meteor = (i - 4) / 2 + 1;
      return i % 2 == 0 ? text::Ui<Tx::InputMeteorDx>(meteor) : text::Ui<Tx::InputMeteorDy>(meteor);
    }
  }
}

NetworkPanel NetworkPanelGeometry(const NetworkView& view, int W, int H) {
  NetworkPanel panel;
  const std::size_t layers = view.layers.size();
  if (layers < 2) return panel;
  const int left = 78;       // room for the input labels
  const int right = W - 44;  // and for the output labels
  auto columnX = [&](std::size_t l) {
    return left + static_cast<int>((right - left) * static_cast<double>(l) / static_cast<double>(layers - 1));
  };
  if (!view.weights) {
    // A large network: a bar per layer, as tall as its share of positive
    // activations, coloured by its mean.
    for (std::size_t l = 0; l < layers; ++l) {
      const auto& a = view.layers[l];
      double sum = 0;
      int positive = 0;
      for (double v : a) {
        sum += std::isfinite(v) ? v : 0.0;
        positive += v > 0;
      }
      const int height = a.empty() ? 0 : static_cast<int>((H - 60) * static_cast<double>(positive) / a.size());
      panel.bars.push_back(
          {{columnX(l) - 8, H - 30 - height, 16, height}, ActivationColour(a.empty() ? 0 : sum / a.size())});
    }
    return panel;
  }
  // Neurons in columns, each column centred; connections under them.
  std::vector<std::vector<IPoint>> at(layers);
  for (std::size_t l = 0; l < layers; ++l) {
    const int n = static_cast<int>(view.layers[l].size());
    const int gap = std::min(34, (H - 20) / std::max(1, n));
    const int top = (H - gap * (n - 1)) / 2;
    for (int j = 0; j < n; ++j) at[l].push_back({columnX(l), top + gap * j});
  }
  double maxWeight = 0;
  for (double w : *view.weights)
    if (std::isfinite(w)) maxWeight = std::max(maxWeight, std::fabs(w));
  std::size_t w = 0;
  for (std::size_t l = 1; l < layers; ++l) {
    for (std::size_t j = 0; j < at[l].size(); ++j) {
      for (std::size_t k = 0; k <= at[l - 1].size() && w < view.weights->size(); ++k, ++w) {
        if (k == at[l - 1].size()) continue;  // the bias weight has no line
        const double weight = (*view.weights)[w];
        const double share = maxWeight > 0 && std::isfinite(weight) ? std::fabs(weight) / maxWeight : 0.0;
        const IPoint a = at[l - 1][k], b = at[l][j];
        panel.connections.push_back({a.x, a.y, b.x, b.y, 1 + static_cast<int>(share * 2.5),
                                     weight >= 0 ? PositiveWeightColour : NegativeWeightColour});
        panel.connectionAlpha.push_back(40 + static_cast<unsigned>(share * 160));
        panel.links.push_back({static_cast<int>(l), static_cast<int>(k), static_cast<int>(j), static_cast<int>(w)});
      }
    }
  }
  for (std::size_t l = 0; l < layers; ++l)
    for (std::size_t j = 0; j < at[l].size(); ++j) {
      const bool output = l + 1 == layers;
      panel.neurons.push_back({at[l][j].x, at[l][j].y, 7, ActivationColour(view.layers[l][j]),
                               output && static_cast<int>(j) == view.chosen});
    }
  for (std::size_t i = 0; i < at[0].size(); ++i) panel.labels.push_back({4, at[0][i].y - 8, NetworkInputLabel(i)});
  for (std::size_t j = 0; j < at[layers - 1].size() && j < 5; ++j)
    panel.labels.push_back({right + 12, at[layers - 1][j].y - 8, std::string(text::Ui(kOutputNames[j]))});
  return panel;
}

}  // namespace korvane
