#include "ui_model/manual_flight.h"

namespace korvane {

void ManualFlight::Start(CLifeboat& boat, const SimParams& p) {
  boat.ResetToStart(p);
  m_manualStopped = 0;
}

ManualFlight::Tick ManualFlight::OnTick(CLifeboat& boat, Perception& per, const MeteorField& field,
                                        const SimParams& p) {
  if (m_manualStopped) return Tick::StopTimer;
  boat.ApplyGravity(p);
  boat.Step(p);
  m_thrustAllowed = 1;
  // Crossing the escape line wins even when the same tick touches an edge.
  if (HasEscaped(boat)) {
    m_manualStopped = 1;
    return Tick::Escaped;
  }
  if (CheckCollision(per, boat, field, p.PerceivedMeteors())) {
    m_manualStopped = 1;
    return Tick::Crashed;
  }
  return Tick::Flying;
}

bool ManualFlight::OnArrow(CLifeboat& boat, Arrow a, const SimParams& p) {
  if (m_thrustAllowed != 1) return false;
  switch (a) {
    case Arrow::Left:
      boat.ThrustLeft(p);
      boat.m_thrustMarker = 4;
      break;
    case Arrow::Right:
      boat.ThrustRight(p);
      boat.m_thrustMarker = 5;
      break;
    case Arrow::Down:
      boat.ThrustDown(p);
      boat.m_thrustMarker = 3;
      break;
    case Arrow::Up:
      boat.ThrustUp(p);
      boat.m_thrustMarker = 2;
      break;
  }
  m_thrustAllowed = 0;
  return true;
}

}  // namespace korvane
