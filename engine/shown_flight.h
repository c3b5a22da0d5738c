#pragma once
#include <functional>

#include "engine/flight.h"
#include "engine/host.h"
#include "net/neural_net.h"
#include "plan_ga/plan_genome.h"

namespace korvane {

// The pace of the flights the demonstration and the 观看 pace show: the
// replay's, so they can be watched.
inline constexpr int DemoTickMs = 20;

// How a flight shown on screen ended.
enum class ShownEnd { Escaped, Crashed, UsedUp, InvalidCode, NetworkMismatch, Stopped };

using FrameMaker = std::function<FrameSnapshot()>;

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
  Tick Fly(IHost& host, SimParams& p, int sleepMs, const FrameMaker& frame);

  // Ticks until the flight ends: escape first, then collision with the first
  // k perceived meteors; the last frame is shown.
  ShownEnd FlyToEnd(IHost& host, SimParams& p, const MeteorField& field, int k, int sleepMs, const FrameMaker& frame);

  FlightState& State() { return m_fs; }
  const FlightState& State() const { return m_fs; }

 private:
  CPlanGenome m_plan;
  FlightState m_fs;
  int m_gene = 0;
  int m_tick = 0;
};

// The network flying on screen from the start position, one decision a
// tick, as 演示训练结果 flies it: collision after every tick, escape after
// the decision's ticks. The physics are re-read every decision. With
// trainingLimits a stall or the time limit ends it (UsedUp), as it ends the
// flights training scores; without, it flies until it escapes or crashes.
// Each tick's frame shows that tick's thrust (none while coasting); decided,
// if given, sees the state each decision was taken in, before its ticks.
ShownEnd FlyNetworkOnScreen(IHost& host, SimParams& p, CNeuralNet& net, const MeteorField& field, FlightState& fs,
                            int sleepMs, const FrameMaker& frame, bool trainingLimits = false,
                            const std::function<void(const FlightState&)>& decided = {});

}  // namespace korvane
