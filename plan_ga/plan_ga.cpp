#include "plan_ga/plan_ga.h"

#include <algorithm>
#include <optional>

#include "sim/pair_mean.h"

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

bool CPlanGA::Epoch(std::vector<CPlanGenome>& work, const SimParams& p, CRand& rng, PlanBreedingRecord* record) {
  m_genomes = work;
  ResetStats();
  // Stable, so plans of equal fitness keep their order and a seed fixes the run.
  std::stable_sort(m_genomes.begin(), m_genomes.end());
  UpdateStats();
  work.clear();
  if (m_genomes.empty() || m_popSize <= 0) return work.size() == static_cast<size_t>(m_popSize);
  const int elites = std::clamp(p.EliteCount, 0, m_popSize);
  CopyElites(elites, work);
  if (record) record->children.clear();
  while (static_cast<int>(work.size()) < m_popSize) {
    // Child 1 is the father's, child 2 the mother's.
    PlanChildRecord* r1 = nullptr;
    PlanChildRecord* r2 = nullptr;
    if (record) {
      record->children.resize(record->children.size() + 2);
      r1 = &record->children.end()[-2];
      r2 = &record->children.end()[-1];
    }
    CPlanGenome mother = RouletteSelect(rng, r2);
    CPlanGenome father = RouletteSelect(rng, r1);
    std::vector<int> a1, a2;
    std::vector<double> d1, d2;
    InsertCopy(father, a1, d1, p, rng, r1);
    InsertCopy(mother, a2, d2, p, rng, r2);
    MutateDurations(d1, p, rng, r1);
    MutateDurations(d2, p, rng, r2);
    MutateActions(a1, p, rng, r1);
    MutateActions(a2, p, rng, r2);
    work.emplace_back(std::move(a1), std::move(d1));
    work.emplace_back(std::move(a2), std::move(d2));
  }
  return static_cast<int>(work.size()) == m_popSize;
}

CPlanGenome CPlanGA::RouletteSelect(CRand& rng, PlanChildRecord* record) const {
  const double target = rng() * (1.0 / 32768.0) * m_totalFitness;
  const int at = RouletteIndex(target);
  if (record) {
    record->parent = at;
    record->target = target;
  }
  return at >= 0 ? m_genomes[static_cast<std::size_t>(at)] : CPlanGenome();
}

int CPlanGA::RouletteIndex(double target) const {
  const int n = std::min<int>(m_popSize, static_cast<int>(m_genomes.size()));
  // The first plan whose running sum reaches the target, the sums being those
  // the total was formed with (UpdateStats), so that a pick costs no scan.
  if (m_sums.Size() == static_cast<std::size_t>(n)) {
    const std::size_t at = m_sums.FirstReaching(target);
    if (at < m_sums.Size()) return static_cast<int>(at);
  } else {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
      sum += m_genomes[i].m_fitness;
      if (sum >= target) return i;
    }
  }
  // Rounding can leave the sum just short of the target: take the last plan scanned.
  return n - 1;
}

void CPlanGA::CopyElites(int n, std::vector<CPlanGenome>& work) const {
  const int size = std::min<int>(m_popSize, static_cast<int>(m_genomes.size()));
  for (int c = 1; c <= n && c <= size; ++c) work.push_back(m_genomes[size - c]);
}

void CPlanGA::InsertCopy(const CPlanGenome& parent, std::vector<int>& actions, std::vector<double>& durations,
                         const SimParams& p, CRand& rng, PlanChildRecord* record) const {
  const int len = Length();
  const int have = parent.Length();
  actions.reserve(len);
  durations.reserve(len);
  for (int i = 0; i < len; ++i) {
    if (rng.Chance(p.InsertionRate)) {
      if (static_cast<int>(actions.size()) >= len) break;
      int code = rng.Below(5);
      int duration = rng.Below(p.InsertionDuration) + 5;
      if (record) record->inserted.push_back(static_cast<int>(actions.size()));
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

void CPlanGA::MutateDurations(std::vector<double>& d, const SimParams& p, CRand& rng, PlanChildRecord* record) const {
  const int len = std::min<int>(Length(), static_cast<int>(d.size()));
  for (int i = 0; i < len; ++i) {
    if (rng.Chance(m_durationMutationRate)) {
      const double before = d[i];
      const int a = rng();
      const int b = rng();
      d[i] = d[i] + (b / 32768.0 - a / 32768.0) * p.DurationMutationRange;
      if (d[i] < 0.0) d[i] = 0.0;
      if (record) record->durations.push_back({i, before, d[i]});
    }
  }
}

void CPlanGA::MutateActions(std::vector<int>& actions, const SimParams& p, CRand& rng, PlanChildRecord* record) const {
  const int len = std::min<int>(Length(), static_cast<int>(actions.size()));
  for (int i = 0; i < len; ++i) {
    if (!rng.Chance(p.ActionMutationRate)) continue;
    const int before = actions[i];
    actions[i] = rng.Below(5);
    if (record) record->thrusts.push_back({i, before, actions[i]});
  }
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

const CPlanGenome* CPlanGA::Best() const {
  const int size = std::min<int>(m_popSize, static_cast<int>(m_genomes.size()));
  return size > 0 ? &m_genomes[size - 1] : nullptr;
}

}  // namespace korvane

