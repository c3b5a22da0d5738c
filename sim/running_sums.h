#pragma once
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace korvane {

// The running sums of a roulette wheel, recorded as the population's total
// is formed, in the order a roulette scan adds them. Finding where a draw
// lands is then a halving search with the scan's answer: while no value is
// negative or NaN the sums never fall, so the first one that reaches the
// target is where the partition point is. Otherwise it is the scan.
class RunningSums {
 public:
  void Clear() {
    m_sums.clear();
    m_rise = true;
  }
  // sum: the running sum once value is added.
  void Append(double sum, double value) {
    m_sums.push_back(sum);
    m_rise = m_rise && value >= 0.0;
  }
  std::size_t Size() const { return m_sums.size(); }

  // The first index whose sum reaches target; Size() when none does (a NaN
  // target reaches none).
  std::size_t FirstReaching(double target) const {
    if (m_rise && !std::isnan(target)) {
      // std::lower_bound's answer, halving without a branch: where the
      // target lands is unpredictable.
      if (m_sums.empty()) return 0;
      const double* base = m_sums.data();
      for (std::size_t n = m_sums.size(); n > 1; n -= n / 2) base = base[n / 2 - 1] < target ? base + n / 2 : base;
      return static_cast<std::size_t>(base - m_sums.data()) + (*base < target);
    }
    for (std::size_t i = 0; i < m_sums.size(); ++i)
      if (m_sums[i] >= target) return i;
    return m_sums.size();
  }

 private:
  std::vector<double> m_sums;
  bool m_rise = true;
};

}  // namespace korvane
