#pragma once
#include <optional>
#include <string>
#include <vector>

#include "engine/frame.h"
#include "engine/run_events.h"
#include "ui_model/state_line.h"
#include "ui_model/view_state.h"

namespace korvane {

// What the window knows of its runs for the state line: the ones under way
// (their kind, the generation and best their last frame showed), how the
// last one ended, and whose plan 演示结果 would replay.
class RunLedger {
 public:
  // startLimit: the generation limit a search starts with; replayOf: what a
  // replay replays.
  void Started(int id, RunKind kind, int startLimit, std::string replayOf = {});
  void Frame(int id, const FrameSnapshot& frame);
  void Ended(int id, const RunOutcome& outcome);
  // The screen was taken over (a flight by hand): the last run's end is no
  // longer what the line says.
  void Forget() { m_ended.reset(); }

  // What 演示结果 replays now: the best plan of a run held at its pause, else
  // the plan the last search or demonstration kept.
  std::string KeptPlan(std::optional<int> heldRun) const;

  // Where a run under way stands, as the window sees it now.
  struct Live {
    int id = 0;
    bool pauseAsked = false;
    bool held = false;      // waiting at its pause
    bool stepping = false;  // under 单步
    bool stopAsked = false;
    int limit = 0;
  };
  // The line for the replay if one flies, else the computing run, else the
  // last run's end, else ready.
  StateLineInput State(std::optional<Live> computing, std::optional<Live> replay) const;

 private:
  struct Entry {
    int id = 0;
    RunKind kind = RunKind::GA;
    int generation = 0;
    double best = 0.0;
    int startLimit = 0;
    std::string replayOf;
  };
  const Entry* Find(int id) const;
  StateLineInput Under(const Entry& e, const Live& live) const;

  std::vector<Entry> m_running;
  std::optional<StateLineInput> m_ended;
  std::string m_keptPlan;
};

}  // namespace korvane
