#pragma once
#include <algorithm>
#include <cstddef>
#include <optional>

namespace korvane {

// How many members of a population a diversity measure compares: the first
// 64 in population order, so that it costs the same at every size.
inline constexpr std::size_t DiversitySample = 64;

// The mean of distance(i, j) over all pairs i < j among the first
// DiversitySample of n members; a pair whose distance is none is left out.
// 0 when no pair counts. It draws nothing.
template <class Distance>
double MeanOverPairs(std::size_t n, Distance&& distance) {
  const std::size_t m = std::min(n, DiversitySample);
  double sum = 0.0;
  std::size_t pairs = 0;
  for (std::size_t i = 0; i < m; ++i)
    for (std::size_t j = i + 1; j < m; ++j)
      if (const std::optional<double> d = distance(i, j)) {
        sum += *d;
        ++pairs;
      }
  return pairs > 0 ? sum / static_cast<double>(pairs) : 0.0;
}

}  // namespace korvane
