#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "net/weight_breeding.h"
#include "sim/lendable.h"
#include "sim/params.h"
#include "sim/rand.h"
#include "sim/running_sums.h"
#include "sim/setting_limits.h"

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
  // size (P - E odd); the caller then shows "你的人口数目不是单数!!!". A
  // record, when given, receives how each child was made; keeping it changes
  // no draw and no number.
  bool Epoch(std::vector<WeightGenome>& list, const SimParams& p, CRand& rng, WeightBreedingRecord* record = nullptr);

  // Epoch in two halves, for a list whose draws DrawAhead took: Select sorts,
  // takes the statistics and picks every parent; the list gets its size and
  // zero fitness, and genome k its weights from Breed(k, ...), which may run
  // for different k at once, on any thread and in any order, until the next
  // Select. Epoch is Select, then Breed for every genome.
  bool Select(std::vector<WeightGenome>& list, const SimParams& p);
  void Breed(std::size_t k, std::vector<double>& weights) const;
  // How Breed makes each child of the selected generation, read from the
  // draws it makes them by.
  void Record(WeightBreedingRecord& record) const;
  // The weights each genome Breed makes has.
  std::size_t ChildLength() const { return m_draws.made.weightCount; }

  // Takes now, in order, every draw that the next Epoch of a list of
  // `listSize` genomes of `weightCount` weights under p would take (none
  // depends on the fitness), so that the draws can be made while the list
  // is scored (and while the genomes Breed makes fly). That Epoch (or Select)
  // then only picks, copies and adds; it must be given such a list and
  // settings, or it throws std::logic_error.
  void DrawAhead(std::size_t listSize, std::size_t weightCount, const SimParams& p, CRand& rng);

  // A copy of one genome of the sorted working copy, chosen by fitness.
  WeightGenome PickRoulette(CRand& rng) const;
  // Small mutations at the stored rate, then possibly one large one.
  void Mutate(std::vector<double>& w, const SimParams& p, CRand& rng) const;

  const std::vector<WeightGenome>& Population() const { return *m_population; }
  // The sorted population, for a reader that may keep it past the next
  // Select (the screen): it is never written again; the next Select sorts
  // into another list.
  std::shared_ptr<const std::vector<WeightGenome>> LendPopulation() { return m_population.Lend(); }
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
  // The scored list as the sorted population, with its statistics; the list
  // keeps the genomes of the population before.
  void Rank(std::vector<WeightGenome>& list);
  // Genomes of the sorted copy that take part: the first P, or fewer when the
  // list handed in was short.
  std::size_t ActiveCount() const;
  std::size_t PickIndex(CRand& rng) const;
  // The genome a roulette draw of `unit` (a Unit() value) lands on.
  std::size_t PickAt(double unit) const;
  // The elites and pairs of children an Epoch of a list of this size makes.
  std::size_t EliteCount(std::size_t listSize, const SimParams& p) const;
  std::size_t PairCount(std::size_t listSize, const SimParams& p) const;
  // The draws of one mutation of `size` weights, in order: small(i, delta,
  // keep) for each weight (keep all ones where it stays), then the weight the
  // large mutation hits, or -1.
  template <class Small>
  int DrawMutation(std::size_t size, const SimParams& p, CRand& rng, Small&& small) const;
  void UpdateStatistics();

  LendableList<WeightGenome> m_population;
  // What DrawAhead drew.
  struct Drawn {
    bool ready = false;
    std::size_t listSize = 0;
    std::size_t weightCount = 0;
    std::size_t elites = 0;
    double smallRange = 0.0;
    double largeRate = 0.0;
    std::vector<double> picks;        // each roulette draw, mother then father
    std::vector<double> deltas;       // per child and weight: the small move
    std::vector<std::uint8_t> moves;  // per child and weight: whether it moves
    std::vector<int> large;           // per child: the weight moved by the range, or -1
  };
  struct {
    Drawn next;                        // DrawAhead's, for the next Select
    Drawn made;                        // those the selected generation is made by
    std::vector<std::size_t> parents;  // per genome of that generation: the genome it copies
    double largeRange = 0.0;
  } m_draws;
  // Running sums of the first ActiveCount() fitness values, as the roulette
  // adds them.
  RunningSums m_sums;
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

static_assert(SettingMax("TrainingGenerations") <= CWeightGA::MaxHistory, "training's history must fit");

}  // namespace korvane
