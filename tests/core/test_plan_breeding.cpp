#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "engine/child_breeding.h"
#include "plan_ga/draw_walk.h"

using namespace korvane;

namespace {

bool Same(const std::vector<CPlanGenome>& a, const std::vector<CPlanGenome>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].m_actions != b[i].m_actions || a[i].m_durations != b[i].m_durations || a[i].m_fitness != b[i].m_fitness ||
        a[i].m_energyScore != b[i].m_energyScore || a[i].m_safetyScore != b[i].m_safetyScore ||
        a[i].m_timeScore != b[i].m_timeScore)
      return false;
  return true;
}

// Makes every plan Select left, on `threads` threads that each take the
// plans in an order of their own.
void MakeOn(int threads, const CPlanGA& ga, std::vector<CPlanGenome>& work) {
  PlanBreeding breeding(&ga, work);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&, t] {
      const std::size_t n = work.size();
      for (std::size_t i = 0; i < n; ++i) breeding.Ensure(t % 2 ? n - 1 - i : (i * (t + 1)) % n);
    });
  for (std::thread& w : workers) w.join();
  breeding.EnsureAll();
}

// `count` tests one draw at a time, each taking `extra` more draws when it
// passes: the walk draw_walk takes eight draws at a time.
std::uint32_t OneByOne(std::uint32_t s, double rate, int extra, int count) {
  CRand rng(s);
  for (int i = 0; i < count; ++i)
    if (rng.Chance(rate))
      for (int e = 0; e < extra; ++e) rng();
  return rng.State();
}

}  // namespace

// Rates that never and always pass, near the ends and between; runs of
// tests shorter than, equal to and longer than a byte of draws, from states
// whose first draws fall on every side of a byte's end.
TEST(PlanBreeding, DrawsWalkedEightAtATime) {
  std::mt19937 random(11);
  for (const double rate : {0.0, 1.0 / 32768, 0.1, 0.5, 0.9, 32767.0 / 32768, 1.0})
    for (int count = 0; count <= 70; count += count < 20 ? 1 : 7)
      for (int c = 0; c < 8; ++c) {
        const std::uint32_t s = static_cast<std::uint32_t>(random());
        const std::uint32_t bound = draw_steps::Bound16(rate);
        SCOPED_TRACE(testing::Message() << "rate " << rate << ", " << count << " tests from " << s);
        EXPECT_EQ(draw_walk::Tests<1>(s, bound, count), OneByOne(s, rate, 1, count));
        EXPECT_EQ(draw_walk::Tests<2>(s, bound, count), OneByOne(s, rate, 2, count));
      }
}

// Select's draws, the plans made from them on any threads in any order: the
// plans, the draws taken and the answer of the epoch made in one place, for
// random settings, odd populations, elites beyond the population and
// populations smaller than the thread count, over a few generations.
TEST(PlanBreeding, OnWorkersEqualsInOnePlace) {
  std::mt19937 random(7);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  for (int c = 0; c < 60; ++c) {
    SimParams p;
    p.PopulationSize = between(1, 13);
    p.EliteCount = between(0, p.PopulationSize + 2);
    p.InsertionRate = c % 7 == 0 ? 1.0 : uniform(0.0, 1.0);
    p.InsertionDuration = between(1, 20);
    p.ActionMutationRate = uniform(0.0, 1.0);
    p.DurationMutationRange = between(0, 9);
    const int length = between(1, 40);
    const double durationRate = c % 5 == 0 ? 0.0 : uniform(0.0, 1.0);
    SCOPED_TRACE("case " + std::to_string(c));
    const CRand seed(static_cast<std::uint32_t>(random()));
    CRand start = seed;
    CPlanGA one;
    one.Init(p.PopulationSize, durationRate, length, p, start);
    std::vector<CPlanGenome> inOne = one.Genomes();
    for (int threads : {1, 2, 3}) {
      CPlanGA ga, ref;  // both as `one` began
      for (CPlanGA* g : {&ga, &ref}) {
        CRand again = seed;
        g->Init(p.PopulationSize, durationRate, length, p, again);
      }
      CRand rngOne = start, rng = start;
      std::vector<CPlanGenome> expect = inOne, work = inOne;
      for (int generation = 0; generation < 3; ++generation) {
        // Scores with ties, as flights leave them.
        for (std::size_t k = 0; k < expect.size(); ++k) {
          const double f = between(0, 3) * 10.0;
          expect[k].m_fitness = work[k].m_fitness = f;
          expect[k].m_timeScore = work[k].m_timeScore = f + 1.0;
        }
        const bool evenOne = ref.Epoch(expect, p, rngOne);
        const bool even = ga.Select(work, p, rng);
        MakeOn(threads, ga, work);
        EXPECT_EQ(even, evenOne);
        EXPECT_EQ(rng.State(), rngOne.State());
        EXPECT_TRUE(Same(work, expect)) << threads << " threads, generation " << generation;
      }
    }
  }
}
