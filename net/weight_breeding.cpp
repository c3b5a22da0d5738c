#include "net/weight_breeding.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "net/weight_ga.h"
#include "sim/pair_mean.h"

namespace korvane {

WeightBreedingRecord::Child WeightBreedingRecord::Make(std::size_t c, std::span<const double> parent) const {
  Child out;
  out.weights.assign(parent.begin(), parent.end());
  const std::size_t at = c * weightCount;
  const std::size_t n = std::min({parent.size(), weightCount, deltas.size() - std::min(at, deltas.size()),
                                  moves.size() - std::min(at, moves.size())});
  for (std::size_t i = 0; i < n; ++i) {
    out.weights[i] = SmallMoved(parent[i], deltas[at + i], moves[at + i]);
    if (moves[at + i]) out.small.push_back({static_cast<int>(i), parent[i], out.weights[i]});
  }
  const int large = children[c].large;
  if (large >= 0 && static_cast<std::size_t>(large) < out.weights.size()) {
    double& w = out.weights[static_cast<std::size_t>(large)];
    out.large = {large, w, w + largeRange};
    w = out.large.after;
  }
  return out;
}

double WeightDiversity(std::span<const WeightGenome> genomes) {
  return WeightDiversity(WeightDiversitySample(genomes));
}

std::vector<std::span<const double>> WeightDiversitySample(std::span<const WeightGenome> genomes) {
  std::vector<std::span<const double>> sample;
  for (std::size_t i = 0; i < std::min(genomes.size(), DiversitySample); ++i) sample.emplace_back(genomes[i].weights);
  return sample;
}

double WeightDiversity(std::span<const std::span<const double>> weights) {
  return MeanOverPairs(weights.size(), [&](std::size_t i, std::size_t j) -> std::optional<double> {
    const std::span<const double> a = weights[i];
    const std::span<const double> b = weights[j];
    const std::size_t n = std::min(a.size(), b.size());
    if (n == 0) return std::nullopt;
    double sum = 0.0;
    for (std::size_t w = 0; w < n; ++w) sum += std::fabs(a[w] - b[w]);
    return sum / static_cast<double>(n);
  });
}

}  // namespace korvane
