// What the classroom shows: breeding as the epochs drew it, the diversity
// measures, and the state line.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/breeding_pool.h"
#include "net/weight_ga.h"
#include "plan_ga/plan_ga.h"
#include "texts/text_table.h"
#include "ui_model/state_line.h"

namespace korvane {
namespace {

// A scored generation of plans with distinct genes, so copies are traced.
std::vector<CPlanGenome> ScoredPlans(int n, int genes, CRand& rng) {
  std::vector<CPlanGenome> v;
  for (int i = 0; i < n; ++i) {
    std::vector<int> a(genes);
    std::vector<double> d(genes);
    for (int g = 0; g < genes; ++g) {
      a[g] = rng.Below(5);
      d[g] = 5 + rng.Below(40) + 0.25 * i;
    }
    v.emplace_back(std::move(a), std::move(d), 1.0 + (i * 7) % n);
  }
  return v;
}

// The recorded child traced back to its parent: each mutation undone, its
// after being the gene as bred, the inserted genes skipped, the rest copied
// in order.
void ExpectChildFromParent(const CPlanGenome& parent, const CPlanGenome& child, const PlanBreedingRecord& record,
                           std::size_t c) {
  std::vector<int> actions = child.m_actions;
  std::vector<double> durations = child.m_durations;
  const auto thrusts = record.ThrustsOf(c);
  const auto moved = record.DurationsOf(c);
  const auto inserted = record.InsertedOf(c);
  // Undo the mutations, last first: thrusts were mutated after durations.
  for (auto it = thrusts.rbegin(); it != thrusts.rend(); ++it) {
    ASSERT_EQ(actions[it->gene], it->after);
    actions[it->gene] = it->before;
  }
  for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
    ASSERT_EQ(durations[it->gene], it->after);
    EXPECT_GE(it->after, 0.0);
    durations[it->gene] = it->before;
  }
  std::size_t from = 0, in = 0;
  for (std::size_t k = 0; k < actions.size(); ++k) {
    if (in < inserted.size() && inserted[in].gene == static_cast<int>(k)) {
      EXPECT_EQ(actions[k], inserted[in].thrust) << k;
      EXPECT_EQ(durations[k], inserted[in].duration) << k;
      ++in;
      continue;
    }
    ASSERT_LT(from, parent.m_actions.size());
    EXPECT_EQ(actions[k], parent.m_actions[from]) << k;
    EXPECT_EQ(durations[k], parent.m_durations[from]) << k;
    ++from;
  }
  EXPECT_EQ(in, inserted.size());
  // And the child the screen makes from the record is the one bred.
  const CPlanGenome made = record.Child(c, parent);
  EXPECT_EQ(made.m_actions, child.m_actions);
  EXPECT_EQ(made.m_durations, child.m_durations);
}

TEST(Breeding, ThePlanRecordIsTheEpochsOwnDraws) {
  SimParams p;
  p.InsertionRate = 0.05;
  p.ActionMutationRate = 0.1;
  // One record throughout, as a run keeps it: every epoch writes over the last.
  PlanBreedingRecord record;
  for (int elites : {0, 2}) {
    p.EliteCount = elites;
    CRand init(8);
    CPlanGA plain, recorded;
    plain.Init(12, 0.3, 20, p, init);
    recorded.Init(12, 0.3, 20, p, init);
    std::vector<CPlanGenome> a = ScoredPlans(12, 20, init), b = a;
    CRand r1(31), r2(31);
    for (int gen = 0; gen < 3; ++gen) {
      ASSERT_TRUE(plain.Epoch(a, p, r1));
      ASSERT_TRUE(recorded.Epoch(b, p, r2, &record));
      ASSERT_EQ(r1.State(), r2.State());
      ASSERT_EQ(record.children.size(), static_cast<std::size_t>(12 - elites));
      const auto& sorted = recorded.Genomes();
      std::vector<double> sums;
      for (const CPlanGenome& g : sorted) sums.push_back((sums.empty() ? 0.0 : sums.back()) + g.m_fitness);
      for (std::size_t c = 0; c < record.children.size(); ++c) {
        SCOPED_TRACE(c);
        const PlanChildRecord& r = record.children[c];
        const CPlanGenome& child = b[elites + c];
        EXPECT_EQ(r.length, child.Length());
        EXPECT_EQ(child.m_actions, a[elites + c].m_actions);  // recording changed nothing
        EXPECT_EQ(child.m_durations, a[elites + c].m_durations);
        // The roulette's target lies in the parent's slice.
        ASSERT_GE(r.parent, 0);
        EXPECT_LE(r.target, sums[r.parent]);
        if (r.parent > 0) {
          EXPECT_GT(r.target, sums[r.parent - 1]);
        }
        ExpectChildFromParent(sorted[r.parent], child, record, c);
      }
      EXPECT_GT(record.inserted.size() + record.thrusts.size() + record.durations.size(), 0u);
      for (std::size_t i = 0; i < a.size(); ++i) a[i].m_fitness = b[i].m_fitness = 1.0 + (i * 5) % 12;
    }
  }
}

TEST(Breeding, TheWeightRecordIsTheEpochsOwnDraws) {
  SimParams p;
  p.NetEliteCount = 2;
  p.LargeMutationRate = 0.5;
  CRand init(3);
  CWeightGA plain, recorded;
  plain.Reset(10, 0.3, 0.2, 6, init);
  recorded.Reset(10, 0.3, 0.2, 6, init);
  std::vector<WeightGenome> a;
  for (int i = 0; i < 10; ++i) a.push_back({std::vector<double>(6, i * 1.5), 1.0 + (i * 3) % 10});
  std::vector<WeightGenome> b = a;
  CRand r1(17), r2(17);
  WeightBreedingRecord record;
  int large = 0;
  for (int gen = 0; gen < 3; ++gen) {
    ASSERT_TRUE(plain.Epoch(a, p, r1));
    ASSERT_TRUE(recorded.Epoch(b, p, r2, &record));
    ASSERT_EQ(r1.State(), r2.State());
    ASSERT_EQ(record.children.size(), 8u);
    const auto& sorted = recorded.Population();
    for (std::size_t c = 0; c < record.children.size(); ++c) {
      SCOPED_TRACE(c);
      const WeightChildRecord& r = record.children[c];
      const std::vector<double>& child = b[2 + c].weights;
      EXPECT_EQ(child, a[2 + c].weights);
      const std::vector<double>& parent = sorted[r.parent].weights;
      const WeightBreedingRecord::Child made = record.Make(c, parent);
      EXPECT_EQ(made.weights, child);
      // Every weight is the parent's but those the changes name, which
      // start from the parent's and end where the child is.
      std::vector<double> expect = parent;
      for (const auto& m : made.small) {
        EXPECT_EQ(m.before, expect[m.weight]);
        expect[m.weight] = m.after;
      }
      EXPECT_EQ(made.large.weight, r.large);
      if (r.large >= 0) {
        ++large;
        EXPECT_EQ(made.large.before, expect[r.large]);
        expect[r.large] = made.large.after;
      }
      EXPECT_EQ(child, expect);
    }
    for (std::size_t i = 0; i < a.size(); ++i) a[i].fitness = b[i].fitness = 2.0 + (i * 7) % 10;
  }
  EXPECT_GT(large, 0);
}

// A generation lent to the screen stays as it was through the epochs after
// it, while the GA goes on with plans and weights of its own.
TEST(Breeding, ALentGenerationStaysWholeWhileHeld) {
  SimParams p;
  p.EliteCount = p.NetEliteCount = 2;
  CRand rng(5);
  CPlanGA plans;
  plans.Init(12, 0.3, 20, p, rng);
  std::vector<CPlanGenome> work = ScoredPlans(12, 20, rng);
  CWeightGA weights;
  weights.Reset(10, 0.3, 0.2, 6, rng);
  std::vector<WeightGenome> list;
  for (int i = 0; i < 10; ++i) list.push_back({std::vector<double>(6, i * 0.5), 1.0 + i % 4});
  ASSERT_TRUE(plans.Epoch(work, p, rng));
  ASSERT_TRUE(weights.Epoch(list, p, rng));
  std::shared_ptr<const std::vector<CPlanGenome>> lentPlans = plans.LendGenomes();
  std::shared_ptr<const std::vector<WeightGenome>> lentWeights = weights.LendPopulation();
  std::vector<std::vector<double>> planCopy, weightCopy;
  for (const CPlanGenome& g : *lentPlans) planCopy.push_back(g.m_durations);
  for (const WeightGenome& g : *lentWeights) weightCopy.push_back(g.weights);
  for (int gen = 0; gen < 3; ++gen) {
    for (std::size_t i = 0; i < work.size(); ++i) work[i].m_fitness = 1.0 + (i * 5 + gen) % 12;
    for (std::size_t i = 0; i < list.size(); ++i) list[i].fitness = 1.0 + (i * 3 + gen) % 10;
    ASSERT_TRUE(plans.Epoch(work, p, rng));
    ASSERT_TRUE(weights.Epoch(list, p, rng));
    EXPECT_NE(&plans.Genomes(), lentPlans.get());
    EXPECT_NE(&weights.Population(), lentWeights.get());
  }
  for (std::size_t i = 0; i < planCopy.size(); ++i) EXPECT_EQ((*lentPlans)[i].m_durations, planCopy[i]);
  for (std::size_t i = 0; i < weightCopy.size(); ++i) EXPECT_EQ((*lentWeights)[i].weights, weightCopy[i]);
}

// A view comes back for reuse only once nobody holds it, and may outlive
// the run that recorded it.
TEST(Breeding, ViewsAreReusedOnlyOnceLetGo) {
  std::shared_ptr<BreedingView> kept;
  {
    BreedingRecorder run;
    EXPECT_EQ(run.Begin(false), nullptr);
    std::shared_ptr<BreedingView> first = run.Begin(true);
    first->generation = 1;
    BreedingView* const firstAt = first.get();
    run.Keep(std::move(first));
    std::shared_ptr<const BreedingView> onScreen = run.Last();
    std::shared_ptr<BreedingView> second = run.Begin(true);  // the screen still holds the first
    BreedingView* const secondAt = second.get();
    EXPECT_NE(secondAt, firstAt);
    EXPECT_EQ(onScreen->generation, 1);
    run.Keep(std::move(second));
    onScreen.reset();
    // Both are let go now: the next is one of them, not a new one.
    std::shared_ptr<BreedingView> third = run.Begin(true);
    EXPECT_TRUE(third.get() == firstAt || third.get() == secondAt);
    EXPECT_NE(run.Begin(true).get(), third.get());
    EXPECT_EQ(run.Last(), nullptr);
    kept = std::move(third);
  }
  kept->generation = 2;  // the run is gone; its view is still whole
  kept.reset();
}

TEST(Diversity, SharesOfDifferingThrustsAndMeanWeightDistances) {
  const auto plan = [](std::vector<int> a) { return CPlanGenome(a, std::vector<double>(a.size(), 5.0), 0.0); };
  EXPECT_EQ(PlanDiversity(std::vector<CPlanGenome>{}), 0.0);
  EXPECT_EQ(PlanDiversity(std::vector{plan({1, 2, 3}), plan({1, 2, 3})}), 0.0);
  // Pairs: (a,b) 1/2 over the shorter plan, (a,c) 2/3, (b,c) 2/2.
  EXPECT_DOUBLE_EQ(PlanDiversity(std::vector{plan({1, 2, 3}), plan({1, 4}), plan({0, 3, 3})}),
                   (0.5 + 2.0 / 3 + 1.0) / 3);
  // Only the first 64 count: a different 65th changes nothing.
  std::vector<CPlanGenome> same(64, plan({1, 1}));
  same.push_back(plan({2, 2}));
  EXPECT_EQ(PlanDiversity(same), 0.0);
  std::vector<WeightGenome> w = {{{0.0, 1.0}, 0.0}, {{2.0, 1.0}, 0.0}, {{0.0, -1.0}, 0.0}};
  EXPECT_DOUBLE_EQ(WeightDiversity(w), (1.0 + 1.0 + 2.0) / 3);
}

TEST(StateLine, SaysWhatEachRunDoesAndHowItEnded) {
  using P = StateLineInput::Phase;
  struct Case {
    P phase;
    RunKind kind;
    RunOutcome outcome;
    const char* line;
  };
  const Case cases[] = {
      {P::Ready, RunKind::GA, {}, "就绪"},
      {P::Running, RunKind::GA, {}, "遗传算法：第 3 / 101 代"},
      {P::Pausing, RunKind::Heuristic, {}, "启发式遗传算法：第 3 / 101 代，这一代结束后暂停"},
      {P::Paused, RunKind::Training, {}, "训练网络：第 3 / 101 代，已暂停（空格继续）"},
      {P::Stepped, RunKind::StepByStep, {}, "演示遗传算法过程：第 3 / 101 代已完成（空格：下一代）"},
      {P::Stopping, RunKind::GA, {}, "遗传算法：正在停止…"},
      {P::Running, RunKind::Replay, {}, "演示结果：重放遗传算法第 7 代的最优计划"},
      {P::Ended, RunKind::GA, {RunEnd::Escaped, 4, 9}, "遗传算法：第 5 代有计划逃出（得分 1801 = 越过右边界 1800）"},
      {P::Ended,
       RunKind::GA,
       {RunEnd::NotEscaped, 201, -1, 812.346, 200},
       "遗传算法：201 代后结束，没有逃出（最优 812.35）"},
      {P::Ended,
       RunKind::Heuristic,
       {RunEnd::NotEscaped, 1, -1, 5.0, 0},
       "最大进化世代已改为0，搜索在第1代结束，没有找到逃出的计划"},
      {P::Ended, RunKind::StepByStep, {RunEnd::GaveUp, 202}, "演示遗传算法过程：202 代后结束，没有逃出（最优 77.50）"},
      {P::Ended, RunKind::Training, {RunEnd::Trained, 50, -1, 1234.5}, "训练网络：训练了 50 代（最优 1234.50）"},
      {P::Ended, RunKind::Training, {RunEnd::Stopped, 12}, "训练网络：在第 12 代停止，这一代的最优权重已生效"},
      {P::Ended, RunKind::GA, {RunEnd::Stopped, 12}, "遗传算法：在第 12 代停止（最优 77.50）"},
      {P::Ended, RunKind::GA, {RunEnd::Stopped, 0}, "遗传算法：已停止"},
      {P::Ended, RunKind::Replay, {RunEnd::Escaped}, "演示结果：逃出了陨石群"},
      {P::Ended, RunKind::NetworkFlight, {RunEnd::Crashed}, "演示训练结果：撞毁了"},
      {P::Ended, RunKind::Replay, {RunEnd::UsedUp}, "演示结果：计划用完，演示结束"},
      {P::Ended, RunKind::Heuristic, {RunEnd::NetworkMismatch}, "启发式遗传算法：因错误结束（见提示框）"},
  };
  for (const Case& c : cases) {
    StateLineInput in;
    in.phase = c.phase;
    in.kind = c.kind;
    in.generation = 3;
    in.limit = 101;
    in.best = 77.5;
    in.outcome = c.outcome;
    in.startLimit = 200;
    in.replayOf = ReplayOrigin(RunKind::GA, 7, false);
    EXPECT_EQ(StateLineText(in), c.line);
  }
  StateLineInput editing;
  editing.phase = P::Editing;
  EXPECT_EQ(StateLineText(editing), text::Ui(Tx::EditorStatus));
}

}  // namespace
}  // namespace korvane
