#pragma once
#include "sim/lifeboat.h"
#include "sim/meteor_field.h"

namespace korvane {

inline constexpr int MaxPerceived = 10;
inline constexpr double NoMeteor = 99999.0;

// The nearest meteors as the network sees them, and the running clearance of
// one flight. Each flight (and each worker) owns its own copy.
struct Perception {
  double m_perceivedDx[MaxPerceived];
  double m_perceivedDy[MaxPerceived];
  int m_perceivedIndex[MaxPerceived] = {};
  double m_minClearance = 9999.0;

  Perception() {
    for (int j = 0; j < MaxPerceived; ++j) m_perceivedDx[j] = m_perceivedDy[j] = NoMeteor;
  }
};

// 1 when the lifeboat touches a meteor or is out through the left, top or
// bottom edge, 0 otherwise. Rebuilds the perception table for k meteors
// (0..10) and may lower the running clearance.
int CheckCollision(Perception& per, const CLifeboat& boat, const MeteorField& field, int k);

// True once the hull has crossed the right edge (strictly).
inline bool HasEscaped(const CLifeboat& boat) { return boat.m_position.x + HullRadius * boat.m_scale > PlayfieldWidth; }

}  // namespace korvane
