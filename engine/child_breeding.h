// The genomes of a generation that a population's Select left to be made
// (weights or plans): each is made once, by the first worker that flies it,
// just before it flies, so that it is in that worker's cache and the serial
// part between generations is only the sort and the picks.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <thread>

#include "net/weight_ga.h"
#include "plan_ga/plan_ga.h"

namespace korvane {

inline void BreedChild(const CWeightGA& ga, std::size_t k, WeightGenome& g) { ga.Breed(k, g.weights); }
inline void BreedChild(const CPlanGA& ga, std::size_t k, CPlanGenome& g) { ga.Breed(k, g); }

template <class Population, class Genome>
class ChildBreedingOf {
 public:
  // ga: the population that selected the genomes, or none when they are made.
  ChildBreedingOf(const Population* ga, std::span<Genome> genomes)
      : m_ga(ga), m_genomes(genomes), m_state(ga ? new std::atomic<std::uint8_t>[genomes.size()]() : nullptr) {}

  // Makes genome k unless it is made; waits while another worker makes it.
  void Ensure(std::size_t k) {
    if (!m_ga) return;
    std::atomic<std::uint8_t>& state = m_state[k];
    if (state.load(std::memory_order_acquire) == kMade) return;
    std::uint8_t fresh = kFresh;
    if (state.compare_exchange_strong(fresh, kMaking, std::memory_order_acquire)) {
      BreedChild(*m_ga, k, m_genomes[k]);
      state.store(kMade, std::memory_order_release);
      return;
    }
    while (state.load(std::memory_order_acquire) != kMade) std::this_thread::yield();
  }
  // Every genome a stopped generation left, on one thread.
  void EnsureAll() {
    for (std::size_t k = 0; m_ga && k < m_genomes.size(); ++k) Ensure(k);
  }

 private:
  static constexpr std::uint8_t kFresh = 0, kMaking = 1, kMade = 2;
  const Population* m_ga;
  std::span<Genome> m_genomes;
  std::unique_ptr<std::atomic<std::uint8_t>[]> m_state;
};

using ChildBreeding = ChildBreedingOf<CWeightGA, WeightGenome>;
using PlanBreeding = ChildBreedingOf<CPlanGA, CPlanGenome>;

}  // namespace korvane
