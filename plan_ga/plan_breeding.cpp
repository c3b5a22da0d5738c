#include "plan_ga/plan_breeding.h"

#include <algorithm>
#include <optional>

#include "sim/pair_mean.h"

namespace korvane {

void PlanBreedingRecord::Clear() {
  children.clear();
  inserted.Clear();
  durations.Clear();
  thrusts.Clear();
}

CPlanGenome PlanBreedingRecord::Child(std::size_t c, const CPlanGenome& parent) const {
  const std::size_t length = static_cast<std::size_t>(std::max(children[c].length, 0));
  CPlanGenome child;
  child.m_actions.reserve(length);
  child.m_durations.reserve(length);
  const std::span<const Inserted> in = InsertedOf(c);
  std::size_t next = 0, from = 0;
  for (std::size_t k = 0; k < length; ++k) {
    if (next < in.size() && in[next].gene == static_cast<int>(k)) {
      child.m_actions.push_back(in[next].thrust);
      child.m_durations.push_back(in[next].duration);
      ++next;
    } else if (from < parent.m_actions.size() && from < parent.m_durations.size()) {
      child.m_actions.push_back(parent.m_actions[from]);
      child.m_durations.push_back(parent.m_durations[from]);
      ++from;
    } else {
      break;
    }
  }
  // The durations were mutated before the thrusts, each gene once.
  for (const DurationChange& m : DurationsOf(c))
    if (m.gene >= 0 && m.gene < child.Length()) child.m_durations[m.gene] = m.after;
  for (const ThrustChange& m : ThrustsOf(c))
    if (m.gene >= 0 && m.gene < child.Length()) child.m_actions[m.gene] = m.after;
  return child;
}

double PlanDiversity(std::span<const CPlanGenome> plans) {
  return MeanOverPairs(plans.size(), [&](std::size_t i, std::size_t j) -> std::optional<double> {
    const CPlanGenome& a = plans[i];
    const CPlanGenome& b = plans[j];
    const std::size_t n = std::min(a.m_actions.size(), b.m_actions.size());
    if (n == 0) return std::nullopt;
    std::size_t differ = 0;
    for (std::size_t g = 0; g < n; ++g) differ += a.m_actions[g] != b.m_actions[g];
    return static_cast<double>(differ) / static_cast<double>(n);
  });
}

}  // namespace korvane
