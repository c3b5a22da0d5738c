#pragma once
#include <functional>

#include "engine/flight.h"
#include "engine/host.h"
#include "plan_ga/plan_genome.h"

namespace korvane {

// A plan flown on screen, as the replay and the demonstration fly it: stay
// on gene i until its tick count reaches its duration, then move to the next
// gene without looking at that one's duration. So gene 0 is skipped when its
// duration is 0 or less, while every later gene gets at least one tick.
class ShownPlanFlight {
 public:
  enum class Tick { Flew, UsedUp, InvalidCode };

  // A fresh flight of plan from the start position.
  void Start(const CPlanGenome& plan, const SimParams& p);

  // One tick: choose the gene, apply its thrust and marker, show the frame
  // and wait, then apply gravity and step. The physics are re-read first.
  // UsedUp (no tick flown) when the plan or the length setting runs out.
  Tick Fly(IHost& host, SimParams& p, int sleepMs, const std::function<FrameSnapshot()>& frame);

  FlightState& State() { return m_fs; }
  const FlightState& State() const { return m_fs; }

 private:
  CPlanGenome m_plan;
  FlightState m_fs;
  int m_gene = 0;
  int m_tick = 0;
};

}  // namespace korvane
