#include "engine/shown_flight.h"

#include "engine/network_flight.h"
#include "engine/run_settings.h"

namespace korvane {

void ShownPlanFlight::Start(const CPlanGenome& plan, const SimParams& p) {
  m_plan = plan;
  m_fs.boat.ResetToStart(p);
  m_gene = 0;
  m_tick = 0;
  m_thrusting = false;
}

std::optional<ShownEnd> ShownPlanFlight::Step(RunAsks& asks, RunEvents& events, SimParams& p, const MeteorField& field,
                                              int k, const FrameMaker& frame) {
  if (m_thrusting) {
    m_thrusting = false;
    m_fs.boat.ApplyGravity(p);
    m_fs.boat.Step(p);
    events.FlightTick(m_fs.boat);
    if (HasEscaped(m_fs.boat)) {
      events.FrameReady(frame);
      return ShownEnd::Escaped;
    }
    if (CheckCollision(m_fs.per, m_fs.boat, field, k)) {
      events.FrameReady(frame);
      return ShownEnd::Crashed;
    }
  }
  if (asks.StopRequested()) return ShownEnd::Stopped;
  BeforeShownTick(asks, p);
  const int len = m_plan.Length();
  if (m_gene < len && m_tick >= m_plan.m_durations[m_gene]) {
    ++m_gene;
    m_tick = 1;
  } else {
    ++m_tick;
  }
  // A plan shorter than the setting (or none yet) ends at its end.
  if (m_gene >= p.ChromosomeLength || m_gene >= len) return ShownEnd::UsedUp;
  const int code = m_plan.m_actions[m_gene];
  if (!m_fs.boat.ApplyThrust(code, p)) return ShownEnd::InvalidCode;
  SetMarker(m_fs.boat, code);
  events.FrameReady(frame);
  m_thrusting = true;
  return std::nullopt;
}

void ShownNetworkFlight::Move(RunEvents& events, const SimParams& p) {
  // The screen's copy of the marker went back to 1 once painted; this one
  // must too, or a coasting tick would show the last thrust again.
  m_fs.boat.m_thrustMarker = 1;
  m_fs.boat.ApplyThrust(m_action, p);
  SetMarker(m_fs.boat, m_action);
  m_fs.boat.ApplyGravity(p);
  m_fs.boat.Step(p);
  events.FlightTick(m_fs.boat);
  m_moved = true;
}

std::optional<ShownEnd> ShownNetworkFlight::Step(RunAsks& asks, RunEvents& events, SimParams& p, CNeuralNet& net,
                                                 const MeteorField& field, const FrameMaker& frame) {
  if (!m_started) {
    m_started = true;
    m_k = PerceivedCount(p);
    m_fs.boat.ResetToStart(p);
    CheckCollision(m_fs.per, m_fs.boat, field, m_k);
    events.FrameReady(frame);
  } else if (m_moved) {
    m_moved = false;
    events.FrameReady(frame);
    ++m_ticks;
    if (CheckCollision(m_fs.per, m_fs.boat, field, m_k)) {
      events.FrameReady(frame);
      return ShownEnd::Crashed;
    }
    if (++m_tickOfDecision < SimParams::TicksPerDecision) {
      Move(events, p);
      return std::nullopt;
    }
    if (HasEscaped(m_fs.boat)) return ShownEnd::Escaped;
    if (m_limits && (Stalled(m_ticks, m_fs.boat.m_position.x) || OutOfTime(m_ticks))) return ShownEnd::UsedUp;
  }
  if (asks.StopRequested()) return ShownEnd::Stopped;
  BeforeShownTick(asks, p);
  const std::optional<int> a = NetworkChoice(net, m_fs, p);
  if (!a) return ShownEnd::NetworkMismatch;
  m_action = *a;
  m_decidedAt = m_fs;
  m_tickOfDecision = 0;
  Move(events, p);
  return std::nullopt;
}

}  // namespace korvane
