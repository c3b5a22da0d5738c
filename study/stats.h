#pragma once
#include <span>

// The statistics a study report prints, pinned to one formula each so that
// two people get the same numbers from the same runs.
namespace korvane::study {

struct Interval {
  double lo = 0;
  double hi = 0;
};

// The normal quantile for a two-sided 95 % interval.
inline constexpr double kZ95 = 1.959963984540054;

// The Wilson score interval of k successes in n > 0 trials; the ends are
// exactly 0 and 1 where k is 0 or n.
Interval WilsonInterval(int k, int n, double z = kZ95);

// Quantile q (0 to 1) of sorted, non-empty values by linear interpolation
// between the closest ranks, computed as numpy's default ("linear") does.
double Quantile(std::span<const double> sorted, double q);

// The exact two-sided sign test of wins against losses (ties dropped): the
// chance, when each side wins with probability one half, of a split at least
// as uneven. 1 when there are neither wins nor losses.
double SignTestP(int wins, int losses);

}  // namespace korvane::study
