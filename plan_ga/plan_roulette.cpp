// The roulette: a parent picked with a chance in proportion to its fitness.
#include "plan_ga/plan_ga.h"

#include <algorithm>

namespace korvane {

CPlanGenome CPlanGA::RouletteSelect(CRand& rng) const {
  const std::size_t at = RouletteIndex(rng);
  return at < m_genomes->size() ? (*m_genomes)[at] : CPlanGenome();
}

std::size_t CPlanGA::RouletteIndex(CRand& rng, PlanChildRecord* record) const {
  const double target = rng() * (1.0 / 32768.0) * m_totalFitness;
  const std::size_t at = RouletteAt(target);
  if (record) {
    record->parent = static_cast<int>(at);
    record->target = target;
  }
  return at;
}

std::size_t CPlanGA::RouletteAt(double target) const {
  const int n = std::min<int>(m_popSize, static_cast<int>(m_genomes->size()));
  // The first plan whose running sum reaches the target, the sums being those
  // the total was formed with (UpdateStats), so that a pick costs no scan.
  if (m_sums.Size() == static_cast<std::size_t>(n)) {
    const std::size_t at = m_sums.FirstReaching(target);
    if (at < m_sums.Size()) return at;
  } else {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
      sum += (*m_genomes)[i].m_fitness;
      if (sum >= target) return static_cast<std::size_t>(i);
    }
  }
  // Rounding can leave the sum just short of the target: take the last plan
  // scanned (none: an index past the population).
  return n > 0 ? static_cast<std::size_t>(n - 1) : m_genomes->size();
}

}  // namespace korvane
