#include "study/stats.h"

#include <algorithm>
#include <cmath>

namespace korvane::study {

Interval WilsonInterval(int k, int n, double z) {
  const double nn = n;
  const double p = k / nn;
  const double z2 = z * z;
  const double scale = 1 + z2 / nn;
  const double centre = (p + z2 / (2 * nn)) / scale;
  const double half = z / scale * std::sqrt(p * (1 - p) / nn + z2 / (4 * nn * nn));
  return {k == 0 ? 0.0 : std::max(0.0, centre - half), k == n ? 1.0 : std::min(1.0, centre + half)};
}

double Quantile(std::span<const double> sorted, double q) {
  const double h = (static_cast<double>(sorted.size()) - 1) * q;
  const auto below = static_cast<std::size_t>(std::floor(h));
  const std::size_t above = std::min(below + 1, sorted.size() - 1);
  const double t = h - static_cast<double>(below);
  const double a = sorted[below];
  const double b = sorted[above];
  // numpy interpolates from the nearer end, so the result never passes b.
  return t >= 0.5 ? b - (b - a) * (1 - t) : a + (b - a) * t;
}

double SignTestP(int wins, int losses) {
  const int n = wins + losses;
  const int tail = std::min(wins, losses);
  // Sum C(n, i) for i <= tail by the exact recurrence, rescaling by powers of
  // two (exact) so that a long study neither overflows nor loses the tail.
  double term = 1;
  double sum = 1;
  int exponent = 0;
  for (int i = 0; i < tail; ++i) {
    term = term * (n - i) / (i + 1);
    sum += term;
    if (sum > 0x1p500) {
      term = std::ldexp(term, -500);
      sum = std::ldexp(sum, -500);
      exponent += 500;
    }
  }
  return std::min(1.0, std::ldexp(sum, exponent - n + 1));
}

}  // namespace korvane::study
