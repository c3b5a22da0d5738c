#include "engine/shown_flight.h"

#include "engine/autopilot.h"
#include "engine/run_settings.h"

namespace korvane {

void ShownPlanFlight::Start(const CPlanGenome& plan, const SimParams& p) {
  m_plan = plan;
  m_fs.boat.ResetToStart(p);
  m_gene = 0;
  m_tick = 0;
}

ShownPlanFlight::Tick ShownPlanFlight::Fly(IHost& host, SimParams& p, int sleepMs, const FrameMaker& frame) {
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

ShownEnd ShownPlanFlight::FlyToEnd(IHost& host, SimParams& p, const MeteorField& field, int k, int sleepMs,
                                   const FrameMaker& frame) {
  for (;;) {
    if (host.StopRequested()) return ShownEnd::Stopped;
    switch (Fly(host, p, sleepMs, frame)) {
      case Tick::UsedUp: return ShownEnd::UsedUp;
      case Tick::InvalidCode: return ShownEnd::InvalidCode;
      case Tick::Flew: break;
    }
    if (HasEscaped(m_fs.boat)) {
      host.Repaint(frame());
      return ShownEnd::Escaped;
    }
    if (CheckCollision(m_fs.per, m_fs.boat, field, k)) {
      host.Repaint(frame());
      return ShownEnd::Crashed;
    }
  }
}

ShownEnd FlyNetworkOnScreen(IHost& host, SimParams& p, CNeuralNet& net, const MeteorField& field, FlightState& fs,
                            int sleepMs, const FrameMaker& frame, bool trainingLimits,
                            const std::function<void(const FlightState&)>& decided) {
  const int k = PerceivedCount(p);
  int ticks = 0;
  fs.boat.ResetToStart(p);
  CheckCollision(fs.per, fs.boat, field, k);
  host.Repaint(frame());
  for (;;) {
    if (host.StopRequested()) return ShownEnd::Stopped;
    BeforeShownTick(host, p);
    const std::optional<int> a = CAutoPilot::NetworkChoice(net, fs, p);
    if (!a) return ShownEnd::NetworkMismatch;
    if (decided) decided(fs);
    for (int d = 0; d < SimParams::TicksPerDecision; ++d) {
      // The screen's copy of the marker went back to 1 once painted; this
      // one must too, or a coasting tick would show the last thrust again.
      fs.boat.m_thrustMarker = 1;
      fs.boat.ApplyThrust(*a, p);
      SetMarker(fs.boat, *a);
      fs.boat.ApplyGravity(p);
      fs.boat.Step(p);
      host.Sleep(sleepMs);
      host.Repaint(frame());
      ++ticks;
      if (CheckCollision(fs.per, fs.boat, field, k)) {
        host.Repaint(frame());
        return ShownEnd::Crashed;
      }
    }
    if (HasEscaped(fs.boat)) return ShownEnd::Escaped;
    if (trainingLimits && (Stalled(ticks, fs.boat.m_position.x) || OutOfTime(ticks))) return ShownEnd::UsedUp;
  }
}

}  // namespace korvane
