#include "plan_ga/plan_ga.h"

#include <algorithm>

namespace korvane {

void CPlanGA::Init(int popSize, double durationMutationRate, int chromoLength, const SimParams& p, CRand& rng) {
  m_popSize = popSize < 0 ? 0 : popSize;
  m_chromoLength = chromoLength < 0 ? 0 : chromoLength;
  m_durationMutationRate = durationMutationRate;
  m_totalFitness = m_bestFitness = m_averageFitness = 0.0;
  m_generation = 0;
  m_genomes.clear();
  m_sums.Clear();
  m_genomes.reserve(m_popSize);
  for (int n = 0; n < m_popSize; ++n) {
    CPlanGenome plan;
    plan.m_actions.reserve(m_chromoLength);
    plan.m_durations.reserve(m_chromoLength);
    for (int i = 0; i < m_chromoLength; ++i) {
      int code = rng.Below(5);
      int duration = rng.Below(p.ActionDurationRange) + 3;
      plan.m_actions.push_back(code);
      plan.m_durations.push_back(duration);
    }
    m_genomes.push_back(std::move(plan));
  }
}

void CPlanGA::ResetStats() { m_totalFitness = m_bestFitness = m_averageFitness = 0.0; }

void CPlanGA::UpdateStats() {
  ++m_generation;
  const int n = std::min<int>(m_popSize, static_cast<int>(m_genomes.size()));
  m_sums.Clear();
  double running = 0.0;  // as RouletteSelect's scan adds up
  for (int i = 0; i < n; ++i) {
    const double f = m_genomes[i].m_fitness;
    m_totalFitness += f;
    running += f;
    m_sums.Append(running, f);
    if (f > m_bestFitness) m_bestFitness = f;
  }
  m_averageFitness = m_popSize > 0 ? m_totalFitness / m_popSize : 0.0;
}

bool CPlanGA::Epoch(std::vector<CPlanGenome>& work, const SimParams& p, CRand& rng) {
  m_genomes = work;
  ResetStats();
  // Stable, so plans of equal fitness keep their order and a seed fixes the run.
  std::stable_sort(m_genomes.begin(), m_genomes.end());
  UpdateStats();
  work.clear();
  if (m_genomes.empty() || m_popSize <= 0) return work.size() == static_cast<size_t>(m_popSize);
  const int elites = std::clamp(p.EliteCount, 0, m_popSize);
  CopyElites(elites, work);
  while (static_cast<int>(work.size()) < m_popSize) {
    CPlanGenome mother = RouletteSelect(rng);
    CPlanGenome father = RouletteSelect(rng);
    std::vector<int> a1, a2;
    std::vector<double> d1, d2;
    InsertCopy(father, a1, d1, p, rng);
    InsertCopy(mother, a2, d2, p, rng);
    MutateDurations(d1, p, rng);
    MutateDurations(d2, p, rng);
    MutateActions(a1, p, rng);
    MutateActions(a2, p, rng);
    work.emplace_back(std::move(a1), std::move(d1));
    work.emplace_back(std::move(a2), std::move(d2));
  }
  return static_cast<int>(work.size()) == m_popSize;
}

CPlanGenome CPlanGA::RouletteSelect(CRand& rng) const {
  const double target = rng() * (1.0 / 32768.0) * m_totalFitness;
  const int n = std::min<int>(m_popSize, static_cast<int>(m_genomes.size()));
  // The first plan whose running sum reaches the target, the sums being those
  // the total was formed with (UpdateStats), so that a pick costs no scan.
  if (m_sums.Size() == static_cast<std::size_t>(n)) {
    const std::size_t at = m_sums.FirstReaching(target);
    if (at < m_sums.Size()) return m_genomes[at];
  } else {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
      sum += m_genomes[i].m_fitness;
      if (sum >= target) return m_genomes[i];
    }
  }
  // Rounding can leave the sum just short of the target: take the last plan scanned.
  return n > 0 ? m_genomes[n - 1] : CPlanGenome();
}

void CPlanGA::CopyElites(int n, std::vector<CPlanGenome>& work) const {
  const int size = std::min<int>(m_popSize, static_cast<int>(m_genomes.size()));
  for (int c = 1; c <= n && c <= size; ++c) work.push_back(m_genomes[size - c]);
}

void CPlanGA::InsertCopy(const CPlanGenome& parent, std::vector<int>& actions, std::vector<double>& durations,
                         const SimParams& p, CRand& rng) const {
  const int len = Length();
  const int have = parent.Length();
  actions.reserve(len);
  durations.reserve(len);
  for (int i = 0; i < len; ++i) {
    if (rng.Chance(p.InsertionRate)) {
      if (static_cast<int>(actions.size()) >= len) break;
      int code = rng.Below(5);
      int duration = rng.Below(p.InsertionDuration) + 5;
      actions.push_back(code);
      durations.push_back(duration);
    }
    if (static_cast<int>(actions.size()) >= len) break;
    // A parent shorter than the run's length cannot come from this population;
    // stop rather than read past it.
    if (i >= have) break;
    actions.push_back(parent.m_actions[i]);
    durations.push_back(parent.m_durations[i]);
  }
}

void CPlanGA::MutateDurations(std::vector<double>& d, const SimParams& p, CRand& rng) const {
  const int len = std::min<int>(Length(), static_cast<int>(d.size()));
  for (int i = 0; i < len; ++i) {
    if (rng.Chance(m_durationMutationRate)) {
      const int a = rng();
      const int b = rng();
      d[i] = d[i] + (b / 32768.0 - a / 32768.0) * p.DurationMutationRange;
      if (d[i] < 0.0) d[i] = 0.0;
    }
  }
}

void CPlanGA::MutateActions(std::vector<int>& actions, const SimParams& p, CRand& rng) const {
  const int len = std::min<int>(Length(), static_cast<int>(actions.size()));
  for (int i = 0; i < len; ++i)
    if (rng.Chance(p.ActionMutationRate)) actions[i] = rng.Below(5);
}

const CPlanGenome* CPlanGA::Best() const {
  const int size = std::min<int>(m_popSize, static_cast<int>(m_genomes.size()));
  return size > 0 ? &m_genomes[size - 1] : nullptr;
}

}  // namespace korvane

