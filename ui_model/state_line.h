#pragma once
#include <string>

#include "engine/run_events.h"
#include "sim/params.h"
#include "ui_model/view_state.h"

namespace korvane {

// What the state line is to say: which activity, and where it stands.
struct StateLineInput {
  enum class Phase {
    Ready,     // nothing has run, or the screen was taken over since
    Editing,   // the level editor is on: its hint
    Manual,    // a flight by hand
    Running,   // a run computes, or a replay flies
    Pausing,   // a pause is asked for and comes after this generation
    Paused,    // held at its pause by the user
    Stepped,   // held at its pause under 单步
    Stopping,  // a stop is asked for
    Ended,     // the last run ended: `outcome` says how
  };
  Phase phase = Phase::Ready;
  RunKind kind = RunKind::GA;
  int generation = 0;  // generations completed, as the score panel counts them
  int limit = 0;       // of how many (GenerationLimit)
  double best = 0.0;   // the best fitness of the last generation shown
  RunOutcome outcome;
  int startLimit = 0;    // an ended search: the limit it started with
  std::string replayOf;  // a replay: what it replays (ReplayOrigin, or the weights in force)
};

// The state line: always what the program is doing, or how the last run
// ended (a search without an escape says so, as no box does).
std::string StateLineText(const StateLineInput& in);

// What 演示结果 replays: the plan a search or the demonstration kept, from
// the generation it was the best of, or the one it escaped in.
std::string ReplayOrigin(RunKind search, int generation, bool escaped);

// A run's name, as the state line and the strip give it.
std::string RunName(RunKind kind);

// How many generations a run of this kind flies, all told, under p.
int GenerationLimit(RunKind kind, const SimParams& p);

}  // namespace korvane
