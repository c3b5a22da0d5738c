#include "engine/shown_flight.h"

#include "engine/run_settings.h"

namespace korvane {

void ShownPlanFlight::Start(const CPlanGenome& plan, const SimParams& p) {
  m_plan = plan;
  m_fs.boat.ResetToStart(p);
  m_gene = 0;
  m_tick = 0;
}

ShownPlanFlight::Tick ShownPlanFlight::Fly(IHost& host, SimParams& p, int sleepMs,
                                           const std::function<FrameSnapshot()>& frame) {
  BeforeShownTick(host, p);
  const int len = m_plan.Length();
  if (m_gene < len && m_tick >= m_plan.m_durations[m_gene]) {
    ++m_gene;
    m_tick = 1;
  } else {
    ++m_tick;
  }
  // A plan shorter than the setting (or none yet) ends at its end.
  if (m_gene >= p.ChromosomeLength || m_gene >= len) return Tick::UsedUp;
  const int code = m_plan.m_actions[m_gene];
  if (!m_fs.boat.ApplyThrust(code, p)) return Tick::InvalidCode;
  SetMarker(m_fs.boat, code);
  host.Repaint(frame());
  host.Sleep(sleepMs);
  m_fs.boat.ApplyGravity(p);
  m_fs.boat.Step(p);
  return Tick::Flew;
}

}  // namespace korvane
