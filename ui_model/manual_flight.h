#pragma once
#include "sim/lifeboat.h"
#include "sim/meteor_field.h"
#include "sim/params.h"
#include "sim/perception.h"

namespace korvane {

enum class Arrow { Up, Down, Left, Right };

// The rules of flying by hand, one 25 ms tick at a time. Kept free of the
// window so the tick and key rules can be checked directly.
class ManualFlight {
 public:
  enum class Tick { StopTimer, Flying, Escaped, Crashed };

  // A fresh flight from the start position. The thrust permission is kept:
  // a key pressed before the first tick counts only if the last flight's
  // last tick allowed it.
  void Start(CLifeboat& boat, const SimParams& p);

  // One timer tick. The stop flag is set before the caller shows an end
  // message, so ticks arriving while the box is open only stop the timer.
  Tick OnTick(CLifeboat& boat, Perception& per, const MeteorField& field, const SimParams& p);

  // One arrow key. At most one thrust lands between two ticks; true when it
  // was applied.
  bool OnArrow(CLifeboat& boat, Arrow a, const SimParams& p);

  // Ends the flight at once (a computer run takes over the lifeboat).
  void Stop() { m_manualStopped = 1; }

  bool Stopped() const { return m_manualStopped != 0; }
  bool ThrustAllowed() const { return m_thrustAllowed != 0; }

 private:
  int m_thrustAllowed = 0;
  int m_manualStopped = 1;
};

}  // namespace korvane
