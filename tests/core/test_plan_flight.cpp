#include <gtest/gtest.h>

#include <cmath>

#include "engine/autopilot.h"
#include "engine/shown_flight.h"
#include "plans.h"
#include "recording_host.h"
#include "texts/text_table.h"

using namespace korvane;
using korvane::test::EmptyField;
using korvane::test::RecordingHost;
using korvane::test::Slingshot;
using korvane::test::Uniform;

namespace {

// A plain search driven to its end, with the work list it leaves.
struct Searched {
  RunOutcome outcome;
  std::vector<CPlanGenome> work;
};
Searched Search(RecordingHost& host, CAutoPilot& pilot, CPlanGA& ga, const MeteorField& field, std::uint32_t seed) {
  PlanSearchRun run({host, host, pilot.Results()}, {host.params, field, seed, 2}, ga);
  const RunOutcome outcome = RunToEnd(run, host);
  return {outcome, run.WorkList()};
}

}  // namespace

TEST(FlyPlan, CoastingFallsOutThroughTheBottomOnTick63) {
  SimParams p;
  FlightState fs;
  CPlanGenome plan = Uniform(30, 0, 3);
  PlanFlightResult r = CAutoPilot::FlyPlan(fs, plan, FlyVariant::GA, p, EmptyField(), nullptr);
  EXPECT_EQ(r.outcome, FlyOutcome::Finished);
  EXPECT_EQ(r.crashGene, 62 / 3);
  EXPECT_EQ(fs.m_tickCount, 62);  // the crashing tick is not counted
  EXPECT_EQ(plan.m_energyScore, 0.0);
  EXPECT_DOUBLE_EQ(plan.m_timeScore, 6.2);
  EXPECT_EQ(plan.m_fitness, 20.0);
}

TEST(FlyPlan, DurationsRoundUpAndNonPositiveGenesAreSkipped) {
  SimParams p;
  FlightState fs;
  // 2.5 -> 3 ticks, 0.2 -> 1 tick, 0 and -1 -> none (code 7 never looked at).
  CPlanGenome plan({4, 7, 1, 7, 0}, {2.5, 0.0, 0.2, -1.0, 3.0});
  PlanFlightResult r = CAutoPilot::FlyPlan(fs, plan, FlyVariant::GA, p, EmptyField(), nullptr);
  EXPECT_EQ(r.outcome, FlyOutcome::Finished);
  EXPECT_EQ(fs.m_tickCount, 7);
  EXPECT_EQ(fs.m_thrustCount, 4);
  EXPECT_DOUBLE_EQ(plan.m_energyScore, 0.4);
  EXPECT_GT(plan.m_fitness, 20.0);
  // Only the first ChromosomeLength genes fly.
  p.ChromosomeLength = 1;
  CPlanGenome again({4, 7, 1, 7, 0}, {2.5, 0.0, 0.2, -1.0, 3.0});
  CAutoPilot::FlyPlan(fs, again, FlyVariant::GA, p, EmptyField(), nullptr);
  EXPECT_EQ(fs.m_tickCount, 3);
}

TEST(FlyPlan, InvalidCodeStopsOnItsFirstTickUnscored) {
  SimParams p;
  FlightState fs;
  CPlanGenome plan({0, 0, 7}, {1, 1, 1}, 42.0);
  PlanFlightResult r = CAutoPilot::FlyPlan(fs, plan, FlyVariant::GA, p, EmptyField(), nullptr);
  EXPECT_EQ(r.outcome, FlyOutcome::InvalidCode);
  EXPECT_EQ(r.badCode, 7);
  EXPECT_EQ(r.badGene, 2);
  EXPECT_EQ(plan.m_fitness, 42.0);
}

TEST(FlyPlan, CrashOnTheFirstTickKeepsTheUntouchedClearance) {
  SimParams p;
  FlightState fs;
  MeteorField f = EmptyField();
  f.Add({40, 200, 10});
  CPlanGenome plan = Uniform(30, 0, 3);
  CAutoPilot::FlyPlan(fs, plan, FlyVariant::GA, p, f, nullptr);
  EXPECT_EQ(fs.m_tickCount, 0);
  EXPECT_EQ(plan.m_timeScore, 0.0);
  EXPECT_DOUBLE_EQ(plan.m_safetyScore, std::sqrt(99999.0) * 6.0);
}

TEST(FlyPlan, LeavingThroughTheLeftEdgeScoresZero) {
  SimParams p;
  p.LifeboatSize = 0.0;
  FlightState fs;
  CPlanGenome plan = Uniform(30, 3, 7);
  CAutoPilot::FlyPlan(fs, plan, FlyVariant::GA, p, EmptyField(), nullptr);
  EXPECT_LT(fs.boat.m_position.x, 0.0);
  EXPECT_EQ(plan.m_fitness, 0.0);
}

TEST(FlyPlan, EscapeEndsTheSearchVariantsButIsScoredStepByStep) {
  SimParams p = Slingshot();
  CPlanGenome ga = Uniform(30, 4, 3);
  FlightState fs;
  PlanFlightResult r = CAutoPilot::FlyPlan(fs, ga, FlyVariant::GA, p, EmptyField(), nullptr);
  EXPECT_EQ(r.outcome, FlyOutcome::Escaped);
  EXPECT_EQ(ga.m_fitness, 0.0);  // not scored
  CPlanGenome step = Uniform(30, 4, 3);
  r = CAutoPilot::FlyPlan(fs, step, FlyVariant::StepByStep, p, EmptyField(), nullptr);
  EXPECT_EQ(r.outcome, FlyOutcome::Finished);
  EXPECT_TRUE(r.escaped);
  EXPECT_GT(step.m_fitness, 1800 - 11.25);
}

TEST(FlyPlan, EscapeAndMeteorOnTheSameTick) {
  SimParams p = Slingshot();
  FlightState fs;
  // Find where a right thrust lands on the tick it crosses the line, and put
  // a meteor there.
  CPlanGenome probe = Uniform(30, 4, 3);
  CAutoPilot::FlyPlan(fs, probe, FlyVariant::StepByStep, p, EmptyField(), nullptr);
  MeteorField f = EmptyField();
  f.Add({fs.boat.m_position.x, fs.boat.m_position.y, 5});
  CPlanGenome ga = Uniform(30, 4, 3);
  PlanFlightResult r = CAutoPilot::FlyPlan(fs, ga, FlyVariant::GA, p, f, nullptr);
  EXPECT_EQ(r.outcome, FlyOutcome::Finished);  // collision first: a crash
  EXPECT_GE(r.crashGene, 0);
  CPlanGenome step = Uniform(30, 4, 3);
  r = CAutoPilot::FlyPlan(fs, step, FlyVariant::StepByStep, p, f, nullptr);
  EXPECT_TRUE(r.escaped);  // escape first: the meteor is never examined
  EXPECT_EQ(r.crashGene, -1);
}

TEST(GaRun, MaxGenerationsZeroFliesAndBreedsOnce) {
  RecordingHost host;
  host.params.MaxGenerations = 0;
  host.params.PopulationSize = 20;
  CAutoPilot pilot;
  CPlanGA ga;
  const Searched s = Search(host, pilot, ga, BuiltInLevel(4), 7);
  EXPECT_EQ(s.outcome.end, RunEnd::NotEscaped);
  EXPECT_EQ(host.PlanFrames(), 1);
  EXPECT_EQ(ga.Generation(), 1);
  EXPECT_TRUE(host.messages.empty());
  CPlanGenome best = pilot.BestPlan();
  EXPECT_EQ(best.m_fitness, 0.0);
  EXPECT_EQ(best.m_actions, ga.Best()->m_actions);
  EXPECT_EQ(s.work.size(), 20u);
}

TEST(GaRun, EscapeInGenerationZeroStopsAtOnce) {
  RecordingHost host;
  host.params = Slingshot();
  CAutoPilot pilot;
  CPlanGA ga;
  const Searched s = Search(host, pilot, ga, EmptyField(), 3);
  ASSERT_EQ(s.outcome.end, RunEnd::Escaped);
  EXPECT_EQ(s.outcome.generation, 0);
  EXPECT_EQ(host.PlanFrames(), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], text::Ui(Tx::Success));
  CPlanGenome best = pilot.BestPlan();
  EXPECT_EQ(best.m_fitness, 1801.0);
  EXPECT_EQ(best.m_actions, s.work[s.outcome.plan].m_actions);
  // Every plan before it was flown and did not escape.
  FlightState fs;
  CPlanGenome again = best;
  EXPECT_EQ(CAutoPilot::FlyPlan(fs, again, FlyVariant::GA, host.params, EmptyField(), nullptr).outcome,
            FlyOutcome::Escaped);
}

TEST(GaRun, SameSeedSameRun) {
  auto run = [](std::uint32_t seed) {
    RecordingHost host;
    host.params.MaxGenerations = 5;
    host.params.PopulationSize = 60;
    CAutoPilot pilot;
    CPlanGA ga;
    pilot.OnStartGenAlg(host, host.params, ga, BuiltInLevel(3), seed);
    std::vector<double> trace;
    for (const auto& f : host.frames) trace.push_back(f.planPanel->best + f.planPanel->average);
    return std::pair(trace, pilot.BestPlan().m_durations);
  };
  EXPECT_EQ(run(11), run(11));
  EXPECT_NE(run(11), run(12));
}

TEST(GaRun, OddPopulationWarnsAfterEveryEpoch) {
  RecordingHost host;
  host.params.MaxGenerations = 2;
  host.params.PopulationSize = 21;
  CAutoPilot pilot;
  CPlanGA ga;
  const Searched s = Search(host, pilot, ga, BuiltInLevel(4), 5);
  ASSERT_EQ(host.messages.size(), 3u);
  for (const auto& m : host.messages) EXPECT_EQ(m, text::Ui(Tx::PopulationNotOdd));
  EXPECT_EQ(s.work.size(), 22u);
}

TEST(GaRun, PauseKeepsTheGenerationsBestAndGoesOn) {
  RecordingHost host;
  host.params.MaxGenerations = 4;
  host.params.PopulationSize = 30;
  CAutoPilot pilot;
  CPlanGA ga;
  host.pauseHook = [&](PauseKind k) { return k == PauseKind::GA && ga.Generation() == 2; };
  host.onWait = [&] {
    CPlanGenome kept = pilot.BestPlan();
    EXPECT_EQ(kept.m_durations, ga.Best()->m_durations);
    EXPECT_EQ(kept.m_fitness, 0.0);
  };
  pilot.OnStartGenAlg(host, host.params, ga, BuiltInLevel(4), 5);
  EXPECT_EQ(host.pauses, 1);
  EXPECT_EQ(host.PlanFrames(), 5);
}

TEST(GaRun, StopEndsTheRunAndSettingsChangesCannotResizeIt) {
  RecordingHost host;
  host.params.MaxGenerations = 50;
  host.params.PopulationSize = 30;
  host.params.ChromosomeLength = 10;
  CAutoPilot pilot;
  CPlanGA ga;
  // The user changes sizes during the run: the run keeps what it started with.
  host.onRepaint = [](RecordingHost& h) {
    h.params.PopulationSize = 1000;
    h.params.ChromosomeLength = 200;
  };
  host.stopHook = [&] { return ga.Generation() >= 3; };
  const Searched s = Search(host, pilot, ga, BuiltInLevel(4), 5);
  EXPECT_EQ(s.outcome.end, RunEnd::Stopped);
  EXPECT_EQ(ga.Generation(), 3);
  EXPECT_EQ(s.work.size(), 30u);
  for (const auto& plan : s.work) EXPECT_EQ(plan.Length(), 10);
}

TEST(StepByStep, GivesUpAfterTheLastGeneration) {
  RecordingHost host;
  host.params.MaxGenerations = 0;
  host.params.PopulationSize = 20;
  CAutoPilot pilot;
  CPlanGA ga;
  pilot.onTimer3(host, host.params, ga, BuiltInLevel(4), 9);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], text::Ui(Tx::GiveUp));
  EXPECT_EQ(ga.Generation(), 2);  // two steps for one generation
  EXPECT_GT(host.sleeps, 0);      // one on-screen flight was shown
}

TEST(StepByStep, AStepWithAnEscapeReportsSuccessAndKeepsThePlan) {
  RecordingHost host;
  host.params = Slingshot();
  host.params.PopulationSize = 20;
  CAutoPilot pilot;
  CPlanGA ga;
  pilot.onTimer3(host, host.params, ga, EmptyField(), 4);
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages.back(), text::Ui(Tx::Success));
  EXPECT_EQ(pilot.BestPlan().m_fitness, 1801.0);
}

TEST(StepByStep, InvalidCodeIsReportedWithItsPlanAndGene) {
  RecordingHost host;
  host.params.PopulationSize = 4;
  CAutoPilot pilot;
  CPlanGA ga;
  CRand rng(1);
  ga.Init(4, 0.5, 30, host.params, rng);
  std::vector<CPlanGenome> work = ga.Genomes();
  work[2].m_actions[5] = 9;
  work[2].m_durations[5] = 1;
  for (int i = 0; i < 5; ++i) work[2].m_durations[i] = 0;
  EXPECT_FALSE(pilot.StepByStep(host, ga, work, EmptyField(), host.params, rng));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "action9 i2 j5 你的行动数不对!!!(StepByStep)");
  EXPECT_EQ(ga.Generation(), 0);  // no epoch
}

TEST(Replay, EndsWithTheRightMessages) {
  SimParams p;
  {
    RecordingHost host;
    CAutoPilot pilot;  // no plan yet: the replay ends at once
    pilot.onTimer2(host, host.params, EmptyField());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], text::Ui(Tx::ReplayOver));
    EXPECT_TRUE(host.frames.empty());
  }
  {
    RecordingHost host;
    host.params.ChromosomeLength = 3;
    CAutoPilot pilot;
    pilot.SetBestPlan(CPlanGenome({0, 1, 1}, {0, 0, 2}));  // gene 0 no tick, gene 1 one tick, gene 2 two
    pilot.onTimer2(host, host.params, EmptyField());
    EXPECT_EQ(host.messages.back(), text::Ui(Tx::ReplayOver));
    EXPECT_EQ(host.sleeps, 3);
    EXPECT_EQ(host.frames.back().boat.m_thrustMarker, 2);
  }
  {
    RecordingHost host;
    CAutoPilot pilot;
    pilot.SetBestPlan(Uniform(30, 0, 3));
    pilot.onTimer2(host, host.params, EmptyField());
    EXPECT_EQ(host.messages.back(), text::Ui(Tx::Stardust));
  }
  {
    RecordingHost host;
    host.params = Slingshot();
    CAutoPilot pilot;
    pilot.SetBestPlan(Uniform(30, 4, 3));
    pilot.onTimer2(host, host.params, EmptyField());
    EXPECT_EQ(host.messages.back(), text::Ui(Tx::Escaped));
  }
  {
    RecordingHost host;
    CAutoPilot pilot;
    pilot.SetBestPlan(CPlanGenome({0, 8}, {1, 1}));
    pilot.onTimer2(host, host.params, EmptyField());
    EXPECT_EQ(host.messages.back(), text::Ui(Tx::BadActionReplay));
  }
}

// The on-screen tick of the replay and the demonstration flies a plan the way
// the demonstration's search scored it, as long as no gene after the first is
// skipped there.
TEST(ShownFlight, FollowsTheScoredFlight) {
  RecordingHost host;
  CRand rng(31);
  for (int level = 1; level <= 4; ++level) {
    for (int n = 0; n < 25; ++n) {
      CPlanGA ga;
      ga.Init(1, 0.5, 30, host.params, rng);
      CPlanGenome plan = ga.Genomes()[0];
      plan.m_durations[3] = 2.5;  // fractions round up alike
      const MeteorField field = BuiltInLevel(level);
      FlightState scored;
      CAutoPilot::FlyPlan(scored, plan, FlyVariant::StepByStep, host.params, field, nullptr);

      ShownPlanFlight shown;
      SimParams p = host.params;
      shown.Start(plan, p);
      int ticks = 0;
      while (!shown.Step(host, host, p, field, 1, [] { return FrameSnapshot{}; })) ++ticks;
      const CLifeboat& a = scored.boat;
      const CLifeboat& b = shown.State().boat;
      ASSERT_EQ(a.m_position.x, b.m_position.x) << level << " " << n;
      ASSERT_EQ(a.m_position.y, b.m_position.y) << level << " " << n;
      // The scored count leaves out the tick on which the flight ended.
      const bool ranOut = scored.m_tickCount == ticks;
      ASSERT_TRUE(ranOut || scored.m_tickCount + 1 == ticks) << level << " " << n;
    }
  }
}
