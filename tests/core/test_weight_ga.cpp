#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "net/weight_ga.h"

namespace korvane {
namespace {

// Genome i has weights (i, i, ...) so copies can be traced to their source.
std::vector<WeightGenome> MakeList(const std::vector<double>& fitness, int length = 4) {
  std::vector<WeightGenome> list;
  for (std::size_t i = 0; i < fitness.size(); ++i)
    list.push_back(WeightGenome{std::vector<double>(length, static_cast<double>(i)), fitness[i]});
  return list;
}

struct Fixture {
  SimParams p;
  CRand rng{99};
  CWeightGA ga;
  void Reset(int popSize, double smallRate = 0.8, int length = 4) { ga.Reset(popSize, smallRate, 0.2, length, rng); }
};

TEST(WeightGAReset, PlaceholderGenerationOfWholeNumbers) {
  Fixture f;
  CRand ref(99);
  f.Reset(400, 0.8, 95);
  EXPECT_EQ(f.ga.Generation(), 0);
  EXPECT_EQ(f.ga.BestFitness(), 0.0);
  ASSERT_EQ(f.ga.Population().size(), 400u);
  for (const WeightGenome& g : f.ga.Population()) {
    ASSERT_EQ(g.weights.size(), 95u);
    EXPECT_EQ(g.fitness, 0.0);
    for (double w : g.weights) ASSERT_TRUE(w == 0 || w == 1 || w == 2 || w == 3 || w == 4) << w;
  }
  // Drawn genome by genome, weight by weight.
  for (int k = 0; k < 95; ++k) EXPECT_EQ(f.ga.Population()[0].weights[k], ref.Below(5));
  EXPECT_EQ(&f.ga.Best(), &f.ga.Population()[399]);
}

TEST(WeightGAEpoch, SizeAfterElitesAndPairs) {
  struct Case {
    int P, E;
    std::size_t size;
    bool ok;
  };
  for (const Case c : {Case{400, 4, 400, true}, Case{401, 4, 402, false}, Case{401, 3, 401, true}, Case{1, 0, 2, false},
                       Case{3, 50, 3, true}}) {
    Fixture f;
    f.Reset(c.P);
    f.p.NetEliteCount = c.E;
    auto list = MakeList(std::vector<double>(c.P, 0.0));
    for (int gen = 0; gen < 2; ++gen) {
      for (std::size_t i = 0; i < list.size(); ++i) list[i].fitness = 1.0 + static_cast<double>(i % 7);
      EXPECT_EQ(f.ga.Epoch(list, f.p, f.rng), c.ok) << c.P << "/" << c.E;
      EXPECT_EQ(list.size(), c.size) << c.P << "/" << c.E;
      for (const WeightGenome& g : list) EXPECT_EQ(g.fitness, 0.0);
    }
  }
}

TEST(WeightGAEpoch, ElitesComeFirstBestFirst) {
  Fixture f;
  f.Reset(10);
  f.p.NetEliteCount = 4;
  auto list = MakeList({5, 9, 1, 7, 3, 2, 8, 4, 6, 0.5});
  ASSERT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  // Fitness 9, 8, 7, 6 were genomes 1, 6, 3, 8.
  EXPECT_EQ(list[0].weights[0], 1.0);
  EXPECT_EQ(list[1].weights[0], 6.0);
  EXPECT_EQ(list[2].weights[0], 3.0);
  EXPECT_EQ(list[3].weights[0], 8.0);
  EXPECT_EQ(f.ga.Best().fitness, 9.0);
  EXPECT_EQ(f.ga.Best().weights[0], 1.0);
  EXPECT_DOUBLE_EQ(f.ga.TotalFitness(), 45.5);
  EXPECT_DOUBLE_EQ(f.ga.AverageFitness(), 4.55);
}

TEST(WeightGAEpoch, AllElitesDrawNothing) {
  Fixture f;
  f.Reset(6);
  f.p.NetEliteCount = 6;
  auto list = MakeList({3, 1, 6, 2, 5, 4});
  const auto stateBefore = f.rng.State();
  ASSERT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  EXPECT_EQ(f.rng.State(), stateBefore);
  const double expectedSource[] = {2, 4, 5, 0, 3, 1};  // fitness 6, 5, 4, 3, 2, 1
  for (int i = 0; i < 6; ++i) EXPECT_EQ(list[i].weights[0], expectedSource[i]) << i;
}

TEST(WeightGAEpoch, EqualFitnessKeepsListOrder) {
  Fixture f;
  f.Reset(200);
  f.p.NetEliteCount = 200;
  std::vector<double> fitness(200);
  for (int i = 0; i < 200; ++i) fitness[i] = i % 3;
  auto list = MakeList(fitness);
  ASSERT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  const auto& pop = f.ga.Population();
  for (std::size_t i = 1; i < pop.size(); ++i) {
    ASSERT_LE(pop[i - 1].fitness, pop[i].fitness);
    if (pop[i].fitness == pop[i - 1].fitness) {
      ASSERT_LT(pop[i - 1].weights[0], pop[i].weights[0]) << i;
    }
  }
  for (std::size_t i = 0; i < 200; ++i) ASSERT_EQ(list[i].weights, pop[199 - i].weights) << i;
}

TEST(WeightGAEpoch, ParentsArePickedInPairsAndChildrenKeepTheirOrder) {
  Fixture f;
  f.Reset(8, 0.5);
  f.p.NetEliteCount = 2;
  f.p.LargeMutationRate = 0.5;
  auto list = MakeList({3, 1, 4, 1, 5, 9, 2, 6});
  CRand ref = f.rng;
  ASSERT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  // Replay: mother, father, then the mutation of child 1 and of child 2.
  for (std::size_t pair = 0; pair < 3; ++pair) {
    WeightGenome mother = f.ga.PickRoulette(ref);
    WeightGenome father = f.ga.PickRoulette(ref);
    f.ga.Mutate(mother.weights, f.p, ref);
    f.ga.Mutate(father.weights, f.p, ref);
    EXPECT_EQ(list[2 + 2 * pair].weights, mother.weights) << pair;
    EXPECT_EQ(list[3 + 2 * pair].weights, father.weights) << pair;
  }
  EXPECT_EQ(ref.State(), f.rng.State());
}

// Breeding with its draws taken ahead gives what breeding draws as it goes
// gives, and so does selecting, then making each genome on its own, last
// first and from two threads at once, while the next draws are taken: the
// same next list and generator state, for lists of every kind of fitness
// (negative, NaN, ties), odd populations, more elites than genomes; and a
// list or settings other than those drawn for are refused.
TEST(WeightGAEpoch, DrawsTakenAheadBreedTheSame) {
  struct Case {
    int P, E;
    std::size_t listSize;
    double rate, large;
  };
  std::mt19937_64 draw(4);
  std::normal_distribution<double> normal(0.0, 500.0);
  for (const Case c : {Case{40, 4, 40, 0.8, 0.4}, Case{41, 4, 41, 0.3, 1.0}, Case{10, 12, 10, 0.8, 0.4},
                       Case{7, 1, 8, 1.0, 0.0}, Case{6, 0, 6, 0.0, 0.5}}) {
    Fixture ahead, asGoes, apart;
    ahead.Reset(c.P, c.rate, 30);
    asGoes.Reset(c.P, c.rate, 30);
    apart.Reset(c.P, c.rate, 30);
    for (Fixture* f : {&ahead, &asGoes, &apart}) {
      f->p.NetEliteCount = c.E;
      f->p.LargeMutationRate = c.large;
    }
    auto a = MakeList(std::vector<double>(c.listSize, 0.0), 30);
    for (int gen = 0; gen < 3; ++gen) {
      for (std::size_t i = 0; i < a.size(); ++i) {
        const int kind = static_cast<int>(draw() % 6);
        a[i].fitness = kind == 0 ? std::nan("") : kind == 1 ? 7.0 : normal(draw) + (gen == 2 ? 2000.0 : 0.0);
      }
      auto b = a;
      auto e = a;
      ahead.ga.DrawAhead(a.size(), 30, ahead.p, ahead.rng);
      const bool okAhead = ahead.ga.Epoch(a, ahead.p, ahead.rng);
      ASSERT_EQ(okAhead, asGoes.ga.Epoch(b, asGoes.p, asGoes.rng));
      ASSERT_EQ(ahead.rng.State(), asGoes.rng.State()) << c.P << " gen " << gen;
      ASSERT_EQ(a.size(), b.size());
      for (std::size_t i = 0; i < a.size(); ++i) ASSERT_EQ(a[i].weights, b[i].weights) << c.P << " " << i;

      if (gen == 0) apart.ga.DrawAhead(e.size(), 30, apart.p, apart.rng);
      ASSERT_EQ(apart.ga.Select(e, apart.p), okAhead);
      ASSERT_EQ(e.size(), a.size());
      std::thread other([&] {
        for (std::size_t k = e.size(); k-- > 0;)
          if (k % 2) apart.ga.Breed(k, e[k].weights);
      });
      for (std::size_t k = e.size(); k-- > 0;)
        if (k % 2 == 0) apart.ga.Breed(k, e[k].weights);
      // The next generation's draws, taken while this one's genomes are made.
      if (gen < 2) apart.ga.DrawAhead(e.size(), 30, apart.p, apart.rng);
      other.join();
      for (std::size_t i = 0; i < e.size(); ++i) {
        ASSERT_EQ(e[i].weights, a[i].weights) << c.P << " " << i;
        ASSERT_EQ(e[i].fitness, 0.0);
      }
    }
  }
  Fixture f;
  f.Reset(10);
  auto list = MakeList(std::vector<double>(10, 1.0));
  f.ga.DrawAhead(list.size(), 4, f.p, f.rng);
  f.p.SmallMutationRange = 3.0;
  EXPECT_THROW(f.ga.Epoch(list, f.p, f.rng), std::logic_error);
  f.ga.DrawAhead(list.size(), 5, f.p, f.rng);  // five weights drawn for, four there
  EXPECT_THROW(f.ga.Epoch(list, f.p, f.rng), std::logic_error);
}

TEST(WeightGAEpoch, ZeroFitnessAlwaysPicksTheFirstGenome) {
  Fixture f;
  f.Reset(8, 0.0);
  f.p.NetEliteCount = 0;
  f.p.LargeMutationRate = 0.0;
  auto list = MakeList(std::vector<double>(8, 0.0));
  ASSERT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  EXPECT_EQ(f.ga.BestFitness(), 0.0);
  EXPECT_EQ(f.ga.AverageFitness(), 0.0);
  for (const WeightGenome& g : list) EXPECT_EQ(g.weights, std::vector<double>(4, 0.0));
}

TEST(WeightGAEpoch, StatisticsCountOnlyTheFirstPAndBestStartsAtZero) {
  // After an odd generation the list is one longer than P.
  Fixture f;
  f.Reset(3);
  f.p.NetEliteCount = 1;
  auto list = MakeList({10, 1, 2, 3});
  EXPECT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  EXPECT_EQ(f.ga.BestFitness(), 3.0);
  EXPECT_DOUBLE_EQ(f.ga.AverageFitness(), 2.0);
  EXPECT_EQ(list[0].weights[0], 3.0);

  Fixture g;
  g.Reset(3);
  g.p.NetEliteCount = 3;
  list = MakeList({-5, -1, -3});
  g.ga.Epoch(list, g.p, g.rng);
  EXPECT_EQ(g.ga.BestFitness(), 0.0);
  EXPECT_DOUBLE_EQ(g.ga.AverageFitness(), -3.0);
  EXPECT_EQ(g.ga.Best().fitness, -1.0);

  std::vector<WeightGenome> empty;
  EXPECT_FALSE(g.ga.Epoch(empty, g.p, g.rng));
  EXPECT_TRUE(g.ga.Best().weights.empty());
}

TEST(WeightGAHistory, OneEntryPerEpochAndResetRestarts) {
  Fixture f;
  f.Reset(5);
  f.p.NetEliteCount = 1;
  auto list = MakeList(std::vector<double>(5, 0.0));
  std::vector<double> bests, avgs;
  for (int g = 1; g <= 6; ++g) {
    double total = 0.0, best = 0.0;
    for (std::size_t i = 0; i < list.size(); ++i) {
      list[i].fitness = static_cast<double>(g * (i + 1) % 11);
      total += list[i].fitness;
      best = std::max(best, list[i].fitness);
    }
    bests.push_back(best);
    avgs.push_back(total / 5);
    f.ga.Epoch(list, f.p, f.rng);
  }
  EXPECT_EQ(f.ga.Generation(), 6);
  ASSERT_EQ(f.ga.BestHistory().size(), 6u);
  ASSERT_EQ(f.ga.AverageHistory().size(), 6u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(f.ga.BestHistory()[i], bests[i]) << i;
    EXPECT_DOUBLE_EQ(f.ga.AverageHistory()[i], avgs[i]) << i;
  }
  f.Reset(5);
  EXPECT_EQ(f.ga.Generation(), 0);
  EXPECT_TRUE(f.ga.BestHistory().empty());
}

TEST(WeightGAHistory, StopsRecordingAtCapacity) {
  Fixture f;
  f.Reset(2, 0.8, 1);
  f.p.NetEliteCount = 2;
  auto list = MakeList({0, 0}, 1);
  for (int g = 1; g <= CWeightGA::MaxHistory + 3; ++g) {
    list[0].fitness = g;
    list[1].fitness = 0.0;
    f.ga.Epoch(list, f.p, f.rng);
  }
  EXPECT_EQ(f.ga.Generation(), CWeightGA::MaxHistory + 3);
  ASSERT_EQ(f.ga.BestHistory().size(), static_cast<std::size_t>(CWeightGA::MaxHistory));
  EXPECT_EQ(f.ga.BestHistory().back(), CWeightGA::MaxHistory);
  EXPECT_EQ(f.ga.AverageHistory().back(), CWeightGA::MaxHistory / 2.0);
  EXPECT_EQ(f.ga.BestFitness(), CWeightGA::MaxHistory + 3);
}

TEST(WeightGARoulette, PicksTheFirstGenomeReachingTheSlice) {
  Fixture f;
  f.Reset(4);
  f.p.NetEliteCount = 4;
  auto list = MakeList({4, 1, 3, 2});  // sorted: 1, 2, 3, 4 from genomes 1, 3, 2, 0
  f.ga.Epoch(list, f.p, f.rng);
  const double sourceOf[] = {1, 3, 2, 0};
  for (std::uint32_t seed = 1; seed < 40; ++seed) {
    CRand rng(seed);
    CRand ref(seed);
    const double slice = ref.Unit() * 10.0;
    int expected = 0;
    for (double sum = 1.0; sum < slice; sum += expected + 2) ++expected;
    EXPECT_EQ(f.ga.PickRoulette(rng).weights[0], sourceOf[expected]) << seed;
  }

  // A zero draw stops at position 0 even when its fitness is 0.
  list = MakeList({2, 0, 1});
  f.Reset(3);
  f.p.NetEliteCount = 3;
  f.ga.Epoch(list, f.p, f.rng);
  CRand zero(20057);
  ASSERT_EQ(CRand(20057)(), 0);
  EXPECT_EQ(f.ga.PickRoulette(zero).weights[0], 1.0);
}

TEST(WeightGAMutate, LargeOnlyChangesExactlyOneWeightByPlusRange) {
  Fixture f;
  f.Reset(2, 0.0);
  f.p.LargeMutationRate = 1.0;
  f.p.LargeMutationRange = 10.0;
  for (int trial = 0; trial < 50; ++trial) {
    std::vector<double> w{0.1, -2.0, 3.5, 4.0, -0.25, 7.0, 1e-3};
    const std::vector<double> parent = w;
    f.ga.Mutate(w, f.p, f.rng);
    int changed = 0;
    for (std::size_t i = 0; i < w.size(); ++i) {
      if (w[i] != parent[i]) {
        ++changed;
        EXPECT_EQ(w[i], parent[i] + 10.0);
      }
    }
    EXPECT_EQ(changed, 1);
  }
}

TEST(WeightGAMutate, SmallMutationUsesTheStoredRateAndLiveRange) {
  Fixture f;
  f.Reset(2, 1.0);              // every weight gets a small change
  f.p.SmallMutationRate = 0.0;  // the live setting is not the one used
  f.p.SmallMutationRange = 4.0;
  f.p.LargeMutationRate = 0.0;
  std::vector<double> w(30, 1.0);
  CRand ref = f.rng;
  f.ga.Mutate(w, f.p, f.rng);
  for (std::size_t i = 0; i < w.size(); ++i) {
    ref();  // the rate test
    const double a = ref.Unit();
    const double b = ref.Unit();
    EXPECT_EQ(w[i], 1.0 + (b - a) * 4.0) << i;
  }
  ref();  // the large-mutation test
  EXPECT_EQ(f.rng.State(), ref.State());
}

}  // namespace
}  // namespace korvane
