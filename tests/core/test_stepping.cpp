// Runs stepped by a caller without threads, as a page or a test drives them:
// what the CLI records of a run is the population's own history, whatever
// the pace.
#include <gtest/gtest.h>

#include "cli/cli_host.h"
#include "engine/autopilot.h"

using namespace korvane;

namespace {

// The CLI's recorder under a pace: it holds 单步's pause and counts the
// flights on screen.
struct PacedHost : cli::CliHost {
  explicit PacedHost(Pace p) : CliHost({"test", 0, false, false, false}), pace(p) {}
  Showing WhatToShow() override { return {pace}; }
  void RequestPause(PauseKind k) override { asked = k; }
  bool PauseRequested(PauseKind k) override { return asked == k; }
  void FlightTick(const CLifeboat&) override { ++ticks; }

  Pace pace;
  std::optional<PauseKind> asked;
  int ticks = 0;
};

// Steps the run to its end: a pause is over as soon as it is reached.
int StepToEnd(IRun& run, PacedHost& host) {
  int pauses = 0;
  while (!run.Finished()) {
    if (run.Step().pause) {
      ++pauses;
      host.asked.reset();
    }
  }
  return pauses;
}

void ExpectHistory(const PacedHost& host, std::span<const double> best, std::span<const double> average) {
  const auto& got = host.Generations();
  ASSERT_EQ(got.size(), best.size());
  for (std::size_t g = 0; g < got.size(); ++g) {
    EXPECT_EQ(got[g].generation, static_cast<int>(g + 1));
    EXPECT_EQ(got[g].best, best[g]);
    EXPECT_EQ(got[g].average, average[g]);
  }
}

}  // namespace

TEST(Stepping, TheRecordedHistoryIsThePopulationsOwnAtEveryPace) {
  SimParams p;
  p.PopulationSize = 40;
  p.MaxGenerations = 4;
  p.NetPopulationSize = 10;
  p.TrainingGenerations = 3;
  for (Pace pace : {Pace::Fastest, Pace::Watch, Pace::Step}) {
    for (const char* kind : {"plain", "heuristic", "training"}) {
      SCOPED_TRACE(std::string(kind) + " pace " + std::to_string(static_cast<int>(pace)));
      PacedHost host(pace);
      PilotResults results;
      int pauses = 0;
      int generations = 0;
      if (std::string(kind) == "training") {
        CWeightGA wga;
        CNeuralNet net;
        TrainingRun run({host, host, results}, {p, 6, 2}, wga, net);
        pauses = StepToEnd(run, host);
        EXPECT_EQ(run.Outcome().end, RunEnd::Trained);
        ExpectHistory(host, wga.BestHistory(), wga.AverageHistory());
        generations = wga.Generation();
      } else {
        CPlanGA ga;
        CNeuralNet net;
        CRand rng(2);
        net.Build(p, rng);
        const bool heuristic = std::string(kind) == "heuristic";
        PlanSearchRun run({host, host, results}, {p, BuiltInLevel(4), 6, 2}, ga, heuristic ? &net : nullptr);
        pauses = StepToEnd(run, host);
        EXPECT_EQ(run.Outcome().end, RunEnd::NotEscaped);
        ExpectHistory(host, run.History().bestHistory, run.History().averageHistory);
        EXPECT_EQ(host.Generations().back().best, ga.BestFitness());
        generations = ga.Generation();
      }
      EXPECT_EQ(pauses, pace == Pace::Step ? generations : 0);
      EXPECT_EQ(host.ticks > 0, pace == Pace::Watch);
    }
  }
}
