#pragma once
#include <optional>

#include "engine/host.h"

namespace korvane {

// What the caller does after a step: go on at once, wait (the pace of a
// flight on screen), or hold the run at its pause until it is continued.
struct RunStep {
  int waitMs = 0;
  std::optional<PauseKind> pause;
};

// A run advanced one step at a time by its caller: a generation, or a tick
// of a flight on screen. A host with threads drives it to the end with
// RunToEnd; a host without (a page, a test) calls Step between its own work.
class IRun {
 public:
  virtual ~IRun() = default;
  // Call only while the run is not finished.
  virtual RunStep Step() = 0;
  bool Finished() const { return m_outcome.has_value(); }
  const RunOutcome& Outcome() const { return *m_outcome; }

 protected:
  // Ends the run and tells the host how.
  RunStep Finish(RunEvents& events, const RunOutcome& outcome) {
    m_outcome = outcome;
    events.RunEnded(outcome);
    return {};
  }

 private:
  std::optional<RunOutcome> m_outcome;
};

// Steps the run to its end, waiting and pausing as it asks.
inline RunOutcome RunToEnd(IRun& run, IHost& host) {
  while (!run.Finished()) {
    const RunStep step = run.Step();
    if (step.pause)
      host.WaitWhilePaused(*step.pause);
    else if (step.waitMs > 0)
      host.Wait(step.waitMs);
  }
  return run.Outcome();
}

}  // namespace korvane
