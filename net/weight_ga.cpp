#include "net/weight_ga.h"

#include <algorithm>
#include <cmath>

namespace korvane {

CWeightGA::CWeightGA() : m_bestHistory(MaxHistory, 0.0), m_averageHistory(MaxHistory, 0.0) {}

void CWeightGA::Reset(int popSize, double mutationRate, double crossoverRate, int genomeLength, CRand& rng) {
  m_popSize = popSize;
  m_mutationRate = mutationRate;
  m_crossoverRate = crossoverRate;
  m_genomeLength = genomeLength;
  m_totalFitness = m_bestFitness = m_averageFitness = 0.0;
  m_generation = 0;

  m_population.clear();
  const int len = std::max(0, genomeLength);
  for (int i = 0; i < popSize; ++i) {
    WeightGenome g;
    g.weights.reserve(static_cast<std::size_t>(len));
    for (int k = 0; k < len; ++k) g.weights.push_back(static_cast<double>(rng.Below(5)));
    m_population.push_back(std::move(g));
  }
}

std::size_t CWeightGA::RecordedCount() const {
  return static_cast<std::size_t>(std::clamp(m_generation, 0, MaxHistory));
}

std::size_t CWeightGA::ActiveCount() const {
  return std::min(m_population.size(), static_cast<std::size_t>(std::max(0, m_popSize)));
}

void CWeightGA::UpdateStatistics() {
  const std::size_t n = ActiveCount();
  for (std::size_t i = 0; i < n; ++i) {
    const double f = m_population[i].fitness;
    if (f > m_bestFitness) m_bestFitness = f;
    m_totalFitness += f;
  }
  m_averageFitness = m_popSize > 0 ? m_totalFitness / m_popSize : 0.0;
  // Past the capacity the counter keeps going but nothing more is recorded.
  // The entries go in before the counter moves, so a reader of the first
  // m_generation entries never sees one that is not written.
  if (m_generation < MaxHistory) {
    m_bestHistory[static_cast<std::size_t>(m_generation)] = m_bestFitness;
    m_averageHistory[static_cast<std::size_t>(m_generation)] = m_averageFitness;
  }
  ++m_generation;
}

bool CWeightGA::Epoch(std::vector<WeightGenome>& list, const SimParams& p, CRand& rng) {
  m_population = list;
  m_totalFitness = m_bestFitness = m_averageFitness = 0.0;

  // Stable, so equal fitness keeps its order and a seeded run repeats; NaN
  // counts as the lowest so the ordering stays strict and weak.
  std::stable_sort(m_population.begin(), m_population.end(), [](const WeightGenome& a, const WeightGenome& b) {
    if (std::isnan(a.fitness)) return !std::isnan(b.fitness);
    if (std::isnan(b.fitness)) return false;
    return a.fitness < b.fitness;
  });

  UpdateStatistics();

  list.clear();
  const std::size_t active = ActiveCount();
  const std::size_t target = static_cast<std::size_t>(std::max(0, m_popSize));

  // Elites, best first; the settings sheet lets E exceed P, so clamp here.
  const std::size_t elites = static_cast<std::size_t>(std::clamp(p.NetEliteCount, 0, std::max(0, m_popSize)));
  for (std::size_t i = 1; i <= elites && i <= active; ++i)
    list.push_back(WeightGenome{m_population[active - i].weights, 0.0});

  // Without anyone to pick from no child can be made.
  if (active > 0) {
    while (list.size() < target) {
      const std::size_t mother = PickIndex(rng);
      const std::size_t father = PickIndex(rng);
      WeightGenome child1{m_population[mother].weights, 0.0};
      WeightGenome child2{m_population[father].weights, 0.0};
      Mutate(child1.weights, p, rng);
      Mutate(child2.weights, p, rng);
      list.push_back(std::move(child1));
      list.push_back(std::move(child2));
    }
  }
  return list.size() == target;
}

std::size_t CWeightGA::PickIndex(CRand& rng) const {
  const double slice = rng.Unit() * m_totalFitness;
  const std::size_t n = ActiveCount();
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    sum += m_population[i].fitness;
    if (sum >= slice) return i;
  }
  return 0;
}

WeightGenome CWeightGA::PickRoulette(CRand& rng) const {
  if (m_population.empty()) {
    rng();  // the draw happens whatever the population holds
    return {};
  }
  return m_population[PickIndex(rng)];
}

void CWeightGA::Mutate(std::vector<double>& w, const SimParams& p, CRand& rng) const {
  for (double& v : w) {
    if (rng.Unit() < m_mutationRate) {
      const double a = rng.Unit();
      const double b = rng.Unit();
      v += (b - a) * p.SmallMutationRange;
    }
  }
  if (rng.Unit() < p.LargeMutationRate && !w.empty()) {
    const int k = rng.Below(static_cast<int>(w.size()));
    w[static_cast<std::size_t>(k)] += p.LargeMutationRange;
  }
}

const WeightGenome& CWeightGA::Best() const {
  static const WeightGenome none;
  if (m_popSize <= 0 || m_population.size() < static_cast<std::size_t>(m_popSize)) {
    return m_population.empty() ? none : m_population.back();
  }
  return m_population[static_cast<std::size_t>(m_popSize) - 1];
}

}  // namespace korvane
