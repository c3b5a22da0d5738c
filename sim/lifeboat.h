#pragma once
#include "sim/params.h"

namespace korvane {

struct Vec2 {
  double x = 0.0;
  double y = 0.0;
};

// The one moving body: a point mass advanced by explicit Euler steps.
// Thrust codes: 0 none, 1 up, 2 down, 3 left, 4 right; the marker is code + 1.
class CLifeboat {
 public:
  Vec2 m_position;
  double m_scale = 0.0;
  Vec2 m_velocity;
  int m_thrustMarker = 0;

  void Reset(int x, int y, double scale) {
    m_thrustMarker = 1;
    m_velocity = {0.0, 0.0};
    m_position = {static_cast<double>(x), static_cast<double>(y)};
    m_scale = scale;
  }
  // Every flight starts here, whatever the level.
  void ResetToStart(const SimParams& p) { Reset(StartPosX, StartPosY, p.LifeboatSize); }

  void ApplyGravity(const SimParams& p) { m_velocity.y = m_velocity.y + p.TimeStep * p.Gravity; }
  void ThrustUp(const SimParams& p) { m_velocity.y = m_velocity.y - p.TimeStep * p.LifeboatAccel; }
  void ThrustDown(const SimParams& p) { m_velocity.y = m_velocity.y + p.TimeStep * p.LifeboatAccel; }
  void ThrustLeft(const SimParams& p) { m_velocity.x = m_velocity.x - p.TimeStep * p.LifeboatAccel; }
  void ThrustRight(const SimParams& p) { m_velocity.x = m_velocity.x + p.TimeStep * p.LifeboatAccel; }
  void Step(const SimParams& p) {
    m_position.x = m_position.x + p.SpeedScale * (p.TimeStep * m_velocity.x);
    m_position.y = m_position.y + p.SpeedScale * (p.TimeStep * m_velocity.y);
  }

  // Applies thrust code 0..4; false for any other code (nothing changes then).
  bool ApplyThrust(int code, const SimParams& p) {
    switch (code) {
      case 0: return true;
      case 1: ThrustUp(p); return true;
      case 2: ThrustDown(p); return true;
      case 3: ThrustLeft(p); return true;
      case 4: ThrustRight(p); return true;
      default: return false;
    }
  }

  double Radius() const { return HullRadius * m_scale; }
};

}  // namespace korvane
