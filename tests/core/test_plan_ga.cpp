#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "plan_ga/plan_ga.h"

using namespace korvane;

namespace {

CPlanGenome Plan(int genes, int code, double duration, double fitness = 0.0) {
  return CPlanGenome(std::vector<int>(genes, code), std::vector<double>(genes, duration), fitness);
}

// A scored generation with fitness = index + 1 (or as given).
std::vector<CPlanGenome> Scored(int n, double base = 1.0) {
  std::vector<CPlanGenome> v;
  for (int i = 0; i < n; ++i) v.push_back(Plan(30, i % 5, 3, base * (i + 1)));
  return v;
}

}  // namespace

TEST(PlanGenome, OrderingAndCopies) {
  CPlanGenome a = Plan(3, 1, 2, 5.0);
  CPlanGenome b = Plan(3, 2, 2, 5.0);
  EXPECT_FALSE(a < b);
  EXPECT_FALSE(b < a);
  b.m_fitness = 6.0;
  EXPECT_TRUE(a < b);
  CPlanGenome c = a;
  c.m_actions[0] = 4;
  EXPECT_EQ(a.m_actions[0], 1);
}

TEST(PlanGA, InitDrawsTwoPerGeneInOrder) {
  SimParams p;
  CPlanGA ga;
  CRand rng(42);
  ga.Init(3, 0.5, 30, p, rng);
  ASSERT_EQ(ga.Genomes().size(), 3u);
  CRand check(42);
  for (const CPlanGenome& g : ga.Genomes()) {
    ASSERT_EQ(g.Length(), 30);
    for (int i = 0; i < 30; ++i) {
      EXPECT_EQ(g.m_actions[i], check() % 5);
      EXPECT_EQ(g.m_durations[i], check() % 5 + 3);
    }
  }
  EXPECT_EQ(ga.Generation(), 0);
  EXPECT_EQ(ga.BestFitness(), 0.0);
}

TEST(PlanGA, InsertCopyRates) {
  SimParams p;
  CPlanGA ga;
  CRand rng(1);
  ga.Init(1, 0.5, 30, p, rng);
  CPlanGenome parent = Plan(30, 0, 3);
  for (int i = 0; i < 30; ++i) parent.m_durations[i] = 100 + i;

  p.InsertionRate = 0.0;
  std::vector<int> a;
  std::vector<double> d;
  ga.InsertCopy(parent, a, d, p, rng);
  EXPECT_EQ(a, parent.m_actions);
  EXPECT_EQ(d, parent.m_durations);

  // Rate 1: random gene, parent gene 0, random gene, parent gene 1, ...
  p.InsertionRate = 1.0;
  a.clear();
  d.clear();
  CRand r2(5);
  CRand check(5);
  ga.InsertCopy(parent, a, d, p, r2);
  ASSERT_EQ(a.size(), 30u);
  for (int i = 0; i < 15; ++i) {
    check();  // the insertion test
    EXPECT_EQ(a[2 * i], check() % 5);
    double inserted = check() % 10 + 5;
    EXPECT_EQ(d[2 * i], inserted);
    EXPECT_EQ(d[2 * i + 1], 100 + i);
  }
  // One more test draw, made after the child was full, then nothing.
  check();
  EXPECT_EQ(r2.State(), check.State());
}

TEST(PlanGA, InsertionAtTheFrontDropsTheLastParentGene) {
  SimParams p;
  CPlanGA ga;
  CRand rng(1);
  ga.Init(1, 0.5, 4, p, rng);
  CPlanGenome parent = Plan(4, 0, 3);
  for (int i = 0; i < 4; ++i) parent.m_durations[i] = 100 + i;
  // Find a seed whose first test fires (r < 0.5*32768) and the next three don't.
  p.InsertionRate = 0.5;
  for (std::uint32_t seed = 0; seed < 10000; ++seed) {
    CRand probe(seed);
    if (!(probe() < 16384)) continue;
    probe();
    probe();
    if (probe() < 16384 || probe() < 16384 || probe() < 16384) continue;
    std::vector<int> a;
    std::vector<double> d;
    CRand r(seed);
    ga.InsertCopy(parent, a, d, p, r);
    ASSERT_EQ(d.size(), 4u);
    EXPECT_GE(d[0], 5);
    EXPECT_LE(d[0], 14);
    EXPECT_EQ(d[1], 100);
    EXPECT_EQ(d[3], 102);
    return;
  }
  FAIL() << "no suitable seed";
}

TEST(PlanGA, DurationMutationClampsAtZeroAndUsesTheCapturedRate) {
  SimParams p;
  CPlanGA ga;
  CRand rng(3);
  ga.Init(1, 1.0, 30, p, rng);
  p.DurationMutationRate = 0.0;  // the live value is not used
  p.DurationMutationRange = 1000;
  std::vector<double> d(30, 0.5);
  CRand r(11);
  ga.MutateDurations(d, p, r);
  int changed = 0;
  for (double v : d) {
    EXPECT_GE(v, 0.0);
    if (v != 0.5) ++changed;
  }
  EXPECT_EQ(changed, 30);
  EXPECT_NE(std::count(d.begin(), d.end(), 0.0), 0);  // some went below zero and were clamped

  // Exact arithmetic of one mutation.
  CPlanGA one;
  one.Init(1, 1.0, 1, p, rng);
  p.DurationMutationRange = 2;
  std::vector<double> e{3.0};
  CRand r2(77);
  CRand check(77);
  one.MutateDurations(e, p, r2);
  check();
  int a = check();
  int b = check();
  double expected = 3.0 + (b / 32768.0 - a / 32768.0) * 2;
  EXPECT_EQ(e[0], expected < 0 ? 0.0 : expected);
}

TEST(PlanGA, ActionMutationMayKeepTheCode) {
  SimParams p;
  p.ActionMutationRate = 1.0;
  CPlanGA ga;
  CRand rng(3);
  ga.Init(1, 0.5, 200, p, rng);
  std::vector<int> a(200, 2);
  ga.MutateActions(a, p, rng);
  int same = static_cast<int>(std::count(a.begin(), a.end(), 2));
  EXPECT_GT(same, 10);
  EXPECT_LT(same, 200);
  for (int c : a) {
    EXPECT_GE(c, 0);
    EXPECT_LE(c, 4);
  }
}

TEST(PlanGA, EpochSizesAndMessages) {
  for (auto [pop, elites, expectSize, ok] : {std::tuple{500, 4, 500, true}, std::tuple{501, 4, 502, false},
                                             std::tuple{500, 0, 500, true}, std::tuple{501, 0, 502, false}}) {
    SimParams p;
    p.EliteCount = elites;
    CPlanGA ga;
    CRand rng(9);
    ga.Init(pop, 0.5, 30, p, rng);
    std::vector<CPlanGenome> work = Scored(pop);
    EXPECT_EQ(ga.Epoch(work, p, rng), ok) << pop << "/" << elites;
    EXPECT_EQ(static_cast<int>(work.size()), expectSize);
    EXPECT_EQ(ga.Generation(), 1);
    for (const CPlanGenome& g : work) EXPECT_EQ(g.Length(), 30);
    // Elites come first, best first, keeping their fitness.
    for (int c = 0; c < elites; ++c) EXPECT_EQ(work[c].m_fitness, pop - c);
    for (size_t i = elites; i < work.size(); ++i) EXPECT_EQ(work[i].m_fitness, 0.0);
  }
}

TEST(PlanGA, OddListOnlyCountsThePopulationSize) {
  SimParams p;
  CPlanGA ga;
  CRand rng(9);
  ga.Init(3, 0.5, 30, p, rng);
  std::vector<CPlanGenome> work = Scored(4);  // one extra plan, the best
  p.EliteCount = 1;
  ga.Epoch(work, p, rng);
  EXPECT_EQ(ga.Genomes().size(), 4u);
  EXPECT_EQ(ga.BestFitness(), 3.0);  // the fourth plan takes no part
  EXPECT_EQ(ga.TotalFitness(), 6.0);
  EXPECT_EQ(ga.AverageFitness(), 2.0);
  EXPECT_EQ(work[0].m_fitness, 3.0);
}

TEST(PlanGA, AllElitesDrawNothing) {
  SimParams p;
  p.EliteCount = 6;
  CPlanGA ga;
  CRand rng(9);
  ga.Init(6, 0.5, 30, p, rng);
  std::vector<CPlanGenome> work = Scored(6);
  std::reverse(work.begin(), work.end());
  const std::uint32_t before = rng.State();
  EXPECT_TRUE(ga.Epoch(work, p, rng));
  EXPECT_EQ(rng.State(), before);
  ASSERT_EQ(work.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(work[i].m_fitness, 6 - i);
}

TEST(PlanGA, StatsAndStableSort) {
  SimParams p;
  CPlanGA ga;
  CRand rng(9);
  ga.Init(4, 0.5, 30, p, rng);
  std::vector<CPlanGenome> work{Plan(30, 1, 3, 2.0), Plan(30, 2, 3, 1.0), Plan(30, 3, 3, 2.0), Plan(30, 4, 3, 0.0)};
  ga.Epoch(work, p, rng);
  const auto& g = ga.Genomes();
  EXPECT_EQ(g[0].m_actions[0], 4);
  EXPECT_EQ(g[1].m_actions[0], 2);
  EXPECT_EQ(g[2].m_actions[0], 1);  // equal fitness keeps the earlier plan first
  EXPECT_EQ(g[3].m_actions[0], 3);
  EXPECT_EQ(ga.BestFitness(), 2.0);
  EXPECT_EQ(ga.AverageFitness(), 5.0 / 4);
  EXPECT_EQ(ga.Best()->m_actions[0], 3);

  std::vector<CPlanGenome> zeros(4, Plan(30, 0, 3, 0.0));
  ga.Epoch(zeros, p, rng);
  EXPECT_EQ(ga.BestFitness(), 0.0);
  EXPECT_EQ(ga.Generation(), 2);
}

TEST(PlanGA, Roulette) {
  SimParams p;
  CPlanGA ga;
  CRand rng(9);
  ga.Init(4, 0.5, 30, p, rng);
  std::vector<CPlanGenome> work = Scored(4);  // fitness 1,2,3,4; total 10
  p.EliteCount = 4;
  ga.Epoch(work, p, rng);
  // r = 0 picks the worst plan whatever its fitness.
  for (std::uint32_t seed = 0; seed < 200000; ++seed) {
    CRand probe(seed);
    if (probe() != 0) continue;
    CRand r(seed);
    EXPECT_EQ(ga.RouletteSelect(r).m_fitness, 1.0);
    break;
  }
  // Each pick is the first plan whose running sum reaches the target.
  CRand r(123);
  CRand check(123);
  for (int i = 0; i < 200; ++i) {
    double target = check() * (1.0 / 32768.0) * 10.0;
    double want = target <= 1 ? 1 : target <= 3 ? 2 : target <= 6 ? 3 : 4;
    EXPECT_EQ(ga.RouletteSelect(r).m_fitness, want);
  }
  // Total fitness 0: always plan 0.
  std::vector<CPlanGenome> zeros = {Plan(30, 1, 3), Plan(30, 2, 3), Plan(30, 3, 3), Plan(30, 4, 3)};
  ga.Epoch(zeros, p, rng);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(ga.RouletteSelect(rng).m_actions[0], 1);
}

// Every pick lands where a scan of the sorted generation lands: the first
// plan whose running sum reaches the target, else the last; with negative,
// zero, tied, huge and infinite fitness, and in a large generation.
TEST(PlanGA, RouletteLandsWhereTheScanDoes) {
  std::vector<std::vector<double>> rows = {{1, 2, 3, 4},          {0, 0, 0, 0},     {5, -3, 2, 7, -1},
                                           {1e308, 1e308, 1e308}, {INFINITY, 1, 2}, {0.1, 0.2, 0.1, 0.3}};
  std::vector<double> large;
  for (int i = 0; i < 6000; ++i) large.push_back(0.1 * ((i * 7919) % 1000));
  rows.push_back(large);
  for (const std::vector<double>& fitness : rows) {
    SCOPED_TRACE(fitness.size());
    const int n = static_cast<int>(fitness.size());
    SimParams p;
    p.EliteCount = n;  // no children: the generation is only sorted and summed
    CPlanGA ga;
    CRand rng(1);
    ga.Init(n, 0.5, 3, p, rng);
    std::vector<CPlanGenome> work;
    for (int i = 0; i < n; ++i) work.push_back(Plan(3, 0, i, fitness[static_cast<std::size_t>(i)]));
    ga.Epoch(work, p, rng);
    const std::vector<CPlanGenome>& sorted = ga.Genomes();
    CRand draws(77);
    CRand check(77);
    for (int pick = 0; pick < 400; ++pick) {
      const double target = check() * (1.0 / 32768.0) * ga.TotalFitness();
      double sum = 0.0;
      int want = n - 1;
      for (int i = 0; i < n; ++i) {
        sum += sorted[static_cast<std::size_t>(i)].m_fitness;
        if (sum >= target) {
          want = i;
          break;
        }
      }
      ASSERT_EQ(ga.RouletteSelect(draws).m_durations[0], sorted[static_cast<std::size_t>(want)].m_durations[0]) << pick;
    }
  }
}
