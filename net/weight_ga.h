#pragma once
#include <span>
#include <vector>

#include "sim/params.h"
#include "sim/rand.h"

namespace korvane {

// One complete weight list of the network (flat order) and its score.
struct WeightGenome {
  std::vector<double> weights;
  double fitness = 0.0;
};

// The population that evolves network weights: roulette selection, elitism
// and mutation (no crossover). Training owns the loop and the scoring.
class CWeightGA {
 public:
  static constexpr int MaxHistory = 5000;

  CWeightGA();

  // Starts a run: stores the settings, clears the statistics and the counter
  // and makes a placeholder generation of whole numbers 0..4.
  void Reset(int popSize, double mutationRate, double crossoverRate, int genomeLength, CRand& rng);

  // Turns the scored list, in place, into the next unscored generation.
  // Returns false when the list does not end up with exactly the population
  // size (P - E odd); the caller then shows "你的人口数目不是单数!!!".
  bool Epoch(std::vector<WeightGenome>& list, const SimParams& p, CRand& rng);

  // A copy of one genome of the sorted working copy, chosen by fitness.
  WeightGenome PickRoulette(CRand& rng) const;
  // Small mutations at the stored rate, then possibly one large one.
  void Mutate(std::vector<double>& w, const SimParams& p, CRand& rng) const;

  const std::vector<WeightGenome>& Population() const { return m_population; }
  // The best genome of the generation scored last (position popSize - 1 of
  // the sorted copy); an empty genome when there is none.
  const WeightGenome& Best() const;

  int PopSize() const { return m_popSize; }
  int GenomeLength() const { return m_genomeLength; }
  int Generation() const { return m_generation; }
  double BestFitness() const { return m_bestFitness; }
  double AverageFitness() const { return m_averageFitness; }
  double TotalFitness() const { return m_totalFitness; }
  double MutationRate() const { return m_mutationRate; }
  double CrossoverRate() const { return m_crossoverRate; }
  // The recorded generations, oldest first (at most MaxHistory).
  std::span<const double> BestHistory() const { return {m_bestHistory.data(), RecordedCount()}; }
  std::span<const double> AverageHistory() const { return {m_averageHistory.data(), RecordedCount()}; }

 private:
  std::size_t RecordedCount() const;
  // Genomes of the sorted copy that take part: the first P, or fewer when the
  // list handed in was short.
  std::size_t ActiveCount() const;
  std::size_t PickIndex(CRand& rng) const;
  void UpdateStatistics();

  std::vector<WeightGenome> m_population;
  // Running sums of the first ActiveCount() fitness values, as the roulette
  // adds them, and whether none of those values is negative or NaN.
  std::vector<double> m_sums;
  bool m_sumsRise = true;
  int m_popSize = 0;
  int m_genomeLength = 0;
  double m_totalFitness = 0.0;
  double m_bestFitness = 0.0;
  double m_averageFitness = 0.0;
  double m_mutationRate = 0.0;
  double m_crossoverRate = 0.0;  // kept for the record; no operator reads it
  int m_generation = 0;
  std::vector<double> m_bestHistory;     // MaxHistory entries
  std::vector<double> m_averageHistory;  // MaxHistory entries
};

}  // namespace korvane
