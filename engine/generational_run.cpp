#include "engine/generational_run.h"

#include "engine/run_settings.h"

namespace korvane {

GenerationalRun::GenerationalRun(const RunLink& link, const SimParams& start, PauseKind pause, int firstGeneration)
    : m_link(link), m_start(start), m_p(start) {
  m_at.generation = firstGeneration;
  m_at.pause = pause;
}

RunStep GenerationalRun::Checkpoint() {
  if (m_at.pace == Pace::Step) m_link.asks.RequestPause(m_at.pause);
  if (m_link.asks.PauseRequested(m_at.pause)) {
    Held();
    m_at.phase = Phase::Paused;
    return {0, m_at.pause};
  }
  return NextGeneration();
}

RunStep GenerationalRun::NextGeneration() {
  if (m_link.asks.StopRequested()) return Stopped();
  m_p = BetweenGenerations(m_link.asks, m_start, m_p);
  m_at.phase = Phase::Generation;
  ++m_at.generation;
  return {};
}

}  // namespace korvane
