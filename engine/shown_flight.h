#pragma once
#include <optional>

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

// A plan flown on screen, as the replay and the demonstration fly it: stay
// on gene i until its tick count reaches its duration, then move to the next
// gene without looking at that one's duration. So gene 0 is skipped when its
// duration is 0 or less, while every later gene gets at least one tick.
//
// Stepped a tick at a time; the caller waits the pace between two steps.
// A tick shows its thrust in a frame before the lifeboat moves, so a step
// first moves the lifeboat of the tick before (escape first, then collision
// with the first k perceived meteors, the last frame shown), then, unless
// the flight ended or a stop is asked, chooses the gene, applies its thrust
// and marker and shows the frame. The physics are re-read every tick.
class ShownPlanFlight {
 public:
  // A fresh flight of plan from the start position.
  void Start(const CPlanGenome& plan, const SimParams& p);
  // Nothing while the flight goes on; UsedUp when the plan or the length
  // setting runs out.
  std::optional<ShownEnd> Step(RunAsks& asks, RunEvents& events, SimParams& p, const MeteorField& field, int k,
                               const FrameMaker& frame);

  FlightState& State() { return m_fs; }
  const FlightState& State() const { return m_fs; }

 private:
  CPlanGenome m_plan;
  FlightState m_fs;
  int m_gene = 0;
  int m_tick = 0;
  bool m_thrusting = false;  // a tick's thrust is shown; its motion is due
};

// The network flying on screen from the start position, one decision a
// tick, as 演示训练结果 flies it: collision after every tick, escape after
// the decision's ticks. The physics are re-read every decision. With
// trainingLimits a stall or the time limit ends it (UsedUp), as it ends the
// flights training scores; without, it flies until it escapes or crashes.
//
// Each tick's frame shows that tick's thrust (none while coasting).
// Stepped a tick at a time: the lifeboat moves, the caller waits the pace,
// and the next step shows the frame and tests the collision before it
// decides and moves again.
class ShownNetworkFlight {
 public:
  explicit ShownNetworkFlight(bool trainingLimits = false) : m_limits(trainingLimits) {}
  std::optional<ShownEnd> Step(RunAsks& asks, RunEvents& events, SimParams& p, CNeuralNet& net,
                               const MeteorField& field, const FrameMaker& frame);

  FlightState& State() { return m_fs; }
  const FlightState& State() const { return m_fs; }
  // The state the last decision was taken in (none before the first): what
  // the network saw for the thrust the frames show.
  const std::optional<FlightState>& DecidedAt() const { return m_decidedAt; }

 private:
  // The decision's next tick: thrust, marker, motion.
  void Move(RunEvents& events, const SimParams& p);

  FlightState m_fs;
  std::optional<FlightState> m_decidedAt;
  bool m_limits;
  bool m_started = false;
  bool m_moved = false;  // a tick has moved the lifeboat; its frame is due
  int m_k = 0;           // perceived meteors, as the flight started
  int m_ticks = 0;
  int m_tickOfDecision = 0;
  int m_action = 0;
};

}  // namespace korvane
