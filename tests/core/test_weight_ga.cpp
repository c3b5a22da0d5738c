#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

std::vector<double> Ramp(int n) {
  std::vector<double> f(n);
  for (int i = 0; i < n; ++i) f[i] = 1.0 + (i * 37) % n;  // a shuffled 1..n
  return f;
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
  EXPECT_EQ(f.ga.PopSize(), 400);
  EXPECT_EQ(f.ga.GenomeLength(), 95);
  EXPECT_EQ(f.ga.BestFitness(), 0.0);
  EXPECT_EQ(f.ga.AverageFitness(), 0.0);
  ASSERT_EQ(f.ga.Population().size(), 400u);
  for (const WeightGenome& g : f.ga.Population()) {
    ASSERT_EQ(g.weights.size(), 95u);
    EXPECT_EQ(g.fitness, 0.0);
    for (double w : g.weights) {
      ASSERT_GE(w, 0.0);
      ASSERT_LE(w, 4.0);
      ASSERT_EQ(w, std::floor(w));
    }
  }
  // Drawn genome by genome, weight by weight.
  for (int k = 0; k < 95; ++k) EXPECT_EQ(f.ga.Population()[0].weights[k], ref.Below(5));
  EXPECT_EQ(f.ga.Best().weights, f.ga.Population()[399].weights);
}

TEST(WeightGAReset, ClearsCounterButKeepsOldHistory) {
  Fixture f;
  f.Reset(4);
  auto list = MakeList({1, 2, 3, 8});
  f.p.NetEliteCount = 4;
  f.ga.Epoch(list, f.p, f.rng);
  f.Reset(4);
  EXPECT_EQ(f.ga.Generation(), 0);
  EXPECT_TRUE(f.ga.BestHistory().empty());
  EXPECT_EQ(f.ga.BestFitness(), 0.0);
}

TEST(WeightGAEpoch, PopulationSizeAfterElitesAndPairs) {
  struct Case {
    int P, E;
    std::size_t size;
    bool ok;
  };
  for (const Case c : {Case{400, 4, 400, true}, Case{401, 4, 402, false}, Case{401, 3, 401, true},
                       Case{1, 0, 2, false}, Case{1, 1, 1, true}}) {
    Fixture f;
    f.Reset(c.P);
    f.p.NetEliteCount = c.E;
    auto list = MakeList(Ramp(c.P));
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
  EXPECT_EQ(f.ga.BestFitness(), 9.0);
  EXPECT_DOUBLE_EQ(f.ga.TotalFitness(), 45.5);
  EXPECT_DOUBLE_EQ(f.ga.AverageFitness(), 4.55);
  // The working copy is sorted ascending.
  const auto& pop = f.ga.Population();
  EXPECT_TRUE(std::is_sorted(pop.begin(), pop.end(), [](auto& a, auto& b) { return a.fitness < b.fitness; }));
}

TEST(WeightGAEpoch, AllElitesDrawNothing) {
  Fixture f;
  f.Reset(6);
  f.p.NetEliteCount = 6;
  auto list = MakeList({3, 1, 6, 2, 5, 4});
  const auto stateBefore = f.rng.State();
  ASSERT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  EXPECT_EQ(f.rng.State(), stateBefore);
  ASSERT_EQ(list.size(), 6u);
  const double expectedSource[] = {2, 4, 5, 0, 3, 1};  // fitness 6, 5, 4, 3, 2, 1
  for (int i = 0; i < 6; ++i) EXPECT_EQ(list[i].weights[0], expectedSource[i]) << i;
}

TEST(WeightGAEpoch, ElitesBeyondThePopulationAreClamped) {
  Fixture f;
  f.Reset(3);
  f.p.NetEliteCount = 50;
  auto list = MakeList({1, 2, 3});
  EXPECT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  EXPECT_EQ(list.size(), 3u);
}

TEST(WeightGAEpoch, EqualFitnessKeepsListOrder) {
  Fixture f;
  f.Reset(3);
  f.p.NetEliteCount = 3;
  auto list = MakeList({2, 2, 2});
  ASSERT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  // Stable sort keeps 0, 1, 2, and the elites are taken from the top down.
  EXPECT_EQ(list[0].weights[0], 2.0);
  EXPECT_EQ(list[1].weights[0], 1.0);
  EXPECT_EQ(list[2].weights[0], 0.0);
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
  ASSERT_EQ(list.size(), 8u);
  for (const WeightGenome& g : list) EXPECT_EQ(g.weights, std::vector<double>(4, 0.0));
  for (int i = 0; i < 20; ++i) EXPECT_EQ(f.ga.PickRoulette(f.rng).weights[0], 0.0);
}

TEST(WeightGAEpoch, BestNeverDropsBelowZero) {
  Fixture f;
  f.Reset(3);
  f.p.NetEliteCount = 3;
  auto list = MakeList({-5, -1, -3});
  f.ga.Epoch(list, f.p, f.rng);
  EXPECT_EQ(f.ga.BestFitness(), 0.0);
  EXPECT_DOUBLE_EQ(f.ga.AverageFitness(), -3.0);
  EXPECT_EQ(f.ga.Best().fitness, -1.0);
}

TEST(WeightGAEpoch, StatisticsAndSelectionCountOnlyTheFirstP) {
  // After an odd generation the list is one longer than P.
  Fixture f;
  f.Reset(3);
  f.p.NetEliteCount = 1;
  auto list = MakeList({10, 1, 2, 3});
  EXPECT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  EXPECT_EQ(f.ga.BestFitness(), 3.0);
  EXPECT_DOUBLE_EQ(f.ga.TotalFitness(), 6.0);
  EXPECT_DOUBLE_EQ(f.ga.AverageFitness(), 2.0);
  EXPECT_EQ(list[0].weights[0], 3.0);  // fitness 3 is the best counted
  EXPECT_EQ(f.ga.Best().fitness, 3.0);
}

TEST(WeightGAEpoch, NoChildIsMadeFromAnEmptyList) {
  Fixture f;
  f.Reset(4);
  std::vector<WeightGenome> list;
  EXPECT_FALSE(f.ga.Epoch(list, f.p, f.rng));
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(f.ga.Best().weights.empty());
}

TEST(WeightGAHistory, OneEntryPerEpochInOrder) {
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
  EXPECT_EQ(f.ga.BestFitness(), bests.back());
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
    EXPECT_EQ(rng.State(), ref.State());
  }
}

TEST(WeightGARoulette, FavoursTheFitInProportion) {
  Fixture f;
  f.Reset(4);
  f.p.NetEliteCount = 4;
  auto list = MakeList({1, 1, 1, 7});
  f.ga.Epoch(list, f.p, f.rng);
  int fittest = 0;
  for (int i = 0; i < 10000; ++i) fittest += f.ga.PickRoulette(f.rng).fitness == 7.0;
  EXPECT_NEAR(fittest / 10000.0, 0.7, 0.03);
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
  f.Reset(2, 1.0);  // every weight gets a small change
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
    EXPECT_GT(w[i], -3.0);
    EXPECT_LT(w[i], 5.0);
  }
  ref();  // the large-mutation test
  EXPECT_EQ(f.rng.State(), ref.State());
}

TEST(WeightGAMutate, RateZeroDrawsOncePerWeightPlusOne) {
  Fixture f;
  f.Reset(2, 0.0);
  f.p.LargeMutationRate = 0.0;
  std::vector<double> w(12, 2.0);
  CRand ref = f.rng;
  f.ga.Mutate(w, f.p, f.rng);
  EXPECT_EQ(w, std::vector<double>(12, 2.0));
  for (int i = 0; i < 13; ++i) ref();
  EXPECT_EQ(f.rng.State(), ref.State());
}

TEST(WeightGAEpoch, ChildrenAreMutatedCopiesOfPickedParents) {
  Fixture f;
  f.Reset(6, 0.0);
  f.p.NetEliteCount = 0;
  f.p.LargeMutationRate = 1.0;
  f.p.LargeMutationRange = 100.0;
  auto list = MakeList({1, 2, 3, 4, 5, 6});
  ASSERT_TRUE(f.ga.Epoch(list, f.p, f.rng));
  for (const WeightGenome& child : list) {
    // One weight is 100 above its parent's, the others are the parent's.
    std::vector<double> w = child.weights;
    std::sort(w.begin(), w.end());
    EXPECT_EQ(w[0], w[2]);
    EXPECT_EQ(w[3], w[0] + 100.0);
    EXPECT_GE(w[0], 0.0);
    EXPECT_LE(w[0], 5.0);
  }
}

}  // namespace
}  // namespace korvane
