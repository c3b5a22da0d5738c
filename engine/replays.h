#pragma once
#include "engine/run.h"
#include "engine/run_link.h"
#include "engine/shown_flight.h"

namespace korvane {

// 演示结果: the kept plan flown on screen, a tick a step.
class ReplayRun final : public IRun {
 public:
  ReplayRun(const RunLink& link, const SimParams& start, const MeteorField& field);
  RunStep Step() override;

 private:
  RunLink m_link;
  SimParams m_start;
  SimParams m_p;
  MeteorField m_field;
  ShownPlanFlight m_flight;
};

// 演示训练结果: the network in force flies on screen, a tick a step.
class NetworkFlightRun final : public IRun {
 public:
  // net: a network of the shape the weights in force fit; it takes them.
  NetworkFlightRun(const RunLink& link, const SimParams& start, CNeuralNet& net, const MeteorField& field);
  RunStep Step() override;

 private:
  FrameSnapshot Frame() const;

  RunLink m_link;
  SimParams m_p;
  CNeuralNet& m_net;
  MeteorField m_field;
  ShownNetworkFlight m_flight;
};

}  // namespace korvane
