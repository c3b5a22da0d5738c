#pragma once
#include <cstdint>

#include "engine/run.h"
#include "engine/run_link.h"

namespace korvane {

// The loop a search and training share: a generation is flown, bred and
// shown (under 观看 its best flown on screen after it), then the run holds at
// its pause if one is asked for, a stop ends it, and the next generation is
// flown under the settings of now (engine/run_settings.h).
class GenerationalRun : public IRun {
 protected:
  enum class Phase { Generation, Watching, Paused };

  GenerationalRun(const RunLink& link, const SimParams& start, PauseKind pause, int firstGeneration);

  // After a generation and its flight on screen: holds at the pause when one
  // is asked for (单步 asks for it), else goes on.
  RunStep Checkpoint();
  // A stop ends the run; otherwise the next generation is due.
  RunStep NextGeneration();

  // What a pause leaves in force.
  virtual void Held() = 0;
  virtual RunStep Stopped() = 0;

  RunLink m_link;
  SimParams m_start;
  SimParams m_p;  // the settings of the generation under way
  struct {
    Phase phase = Phase::Generation;
    int generation = 0;         // the generation under way, counted as the run counts
    Pace pace = Pace::Fastest;  // as the last generation ended
    PauseKind pause = PauseKind::GA;
  } m_at;
};

}  // namespace korvane
