#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "plan_ga/plan_breeding.h"
#include "plan_ga/plan_genome.h"
#include "sim/lendable.h"
#include "sim/params.h"
#include "sim/rand.h"
#include "sim/running_sums.h"

namespace korvane {

// The population of flight plans: random first generation, then sort,
// statistics, elitism and roulette-wheel breeding each epoch.
class CPlanGA {
 public:
  // Fresh statistics and P random plans of L genes (2 draws per gene).
  void Init(int popSize, double durationMutationRate, int chromoLength, const SimParams& p, CRand& rng);

  // Takes the scored work list, keeps it sorted in m_genomes and refills the
  // work list with the next generation. False when the work list does not
  // end up with exactly m_popSize plans (population − elites odd); the caller
  // tells the user. A record, when given, receives how each child was made;
  // keeping it changes no draw and no number.
  bool Epoch(std::vector<CPlanGenome>& work, const SimParams& p, CRand& rng, PlanBreedingRecord* record = nullptr);

  // Epoch in two halves, for breeding on several threads: Select sorts, takes
  // the statistics, picks every parent and takes every draw in order, keeping
  // where each plan's draws start (a child draws as many times as its draws
  // say, so they are walked through once, without making anything). The
  // work list gets its size and each plan the scores it starts with; plan k
  // its genes from Breed(k, ...), which may run for different k at once, on
  // any thread and in any order, until the next Select or Epoch. Select, then
  // Breed for every plan, leaves the plans and rng as Epoch does.
  bool Select(std::vector<CPlanGenome>& work, const SimParams& p, CRand& rng);
  void Breed(std::size_t k, CPlanGenome& plan) const;

  CPlanGenome RouletteSelect(CRand& rng) const;
  // The same pick as an index into Genomes(); Genomes().size() when there is
  // no plan to pick. A record, when given, receives the pick and the draw's
  // target.
  std::size_t RouletteIndex(CRand& rng, PlanChildRecord* record = nullptr) const;

  // The operators. They never touch genes beyond a plan's own length.
  // InsertCopy makes the child in actions and durations, whatever they held.
  // A record, when given, receives what each changed.
  void InsertCopy(const CPlanGenome& parent, std::vector<int>& actions, std::vector<double>& durations,
                  const SimParams& p, CRand& rng, PlanChildWriter record = {}) const;
  void MutateDurations(std::vector<double>& durations, const SimParams& p, CRand& rng,
                       PlanChildWriter record = {}) const;
  void MutateActions(std::vector<int>& actions, const SimParams& p, CRand& rng, PlanChildWriter record = {}) const;

  void ResetStats();
  void UpdateStats();

  const std::vector<CPlanGenome>& Genomes() const { return *m_genomes; }
  // The sorted generation, for a reader that may keep it past the next
  // epoch (the screen): it is never written again; the next epoch writes
  // other plans.
  std::shared_ptr<const std::vector<CPlanGenome>> LendGenomes() { return m_genomes.Lend(); }
  // The best plan of the last scored generation (plan m_popSize − 1).
  const CPlanGenome* Best() const;
  int PopSize() const { return m_popSize; }
  int ChromoLength() const { return m_chromoLength; }
  int Generation() const { return m_generation; }
  double BestFitness() const { return m_bestFitness; }
  double AverageFitness() const { return m_averageFitness; }
  double TotalFitness() const { return m_totalFitness; }
  double DurationMutationRate() const { return m_durationMutationRate; }

 private:
  // The plan length every operator works to: captured at Init so a settings
  // change during a run cannot address genes a plan does not have.
  int Length() const { return m_chromoLength; }
  // The place a roulette target lands on (RouletteIndex's pick).
  std::size_t RouletteAt(double target) const;
  // The scored list as the sorted population, with its statistics.
  void Rank(std::vector<CPlanGenome>& work);
  // The next generation after Rank: made in the work list (kMake), or only
  // drawn for, each plan's draws kept in m_made.
  template <bool kMake>
  bool Breeding(std::vector<CPlanGenome>& work, const SimParams& p, CRand& rng, PlanBreedingRecord* record);
  // What the operators draw by: the rates as bounds on a draw's state (the
  // value's bits, CRand::ChanceBound shifted up 16), worked out once.
  struct Rates {
    std::uint32_t insert = 0, durations = 0, actions = 0;
    int insertionDuration = 1;
    double durationRange = 0.0;
  };
  Rates RatesOf(const SimParams& p) const;
  // The operators on a bare generator state, which they move on. Without
  // kMake they only draw (the genes pointers may be null); InsertGenes gives
  // the child's length, its genes written into room for Length().
  template <bool kMake>
  int InsertGenes(const CPlanGenome& parent, int* actions, double* durations, const Rates& r, std::uint32_t& state,
                  PlanChildWriter record) const;
  template <bool kMake>
  void DurationDraws(double* d, int len, const Rates& r, std::uint32_t& state, PlanChildWriter record) const;
  template <bool kMake>
  void ActionDraws(int* actions, int len, const Rates& r, std::uint32_t& state, PlanChildWriter record) const;

  // Where the draws of each plan of the selected generation start (elites
  // draw none), and the rates they were drawn under.
  struct Starts {
    std::size_t parent = 0;
    std::uint32_t insert = 0, durations = 0, actions = 0;
  };
  struct {
    std::vector<Starts> plans;
    std::size_t elites = 0;
    Rates rates;
  } m_made;

  LendableList<CPlanGenome> m_genomes;
  // The roulette's running sums of the sorted generation, formed with its total.
  RunningSums m_sums;
  int m_popSize = 0;
  int m_chromoLength = 0;
  double m_totalFitness = 0.0;
  double m_bestFitness = 0.0;
  double m_averageFitness = 0.0;
  double m_durationMutationRate = 0.0;
  int m_generation = 0;
};

}  // namespace korvane
