// 演示结果 and 演示训练结果: the kept plan, or the network in force, flown on
// screen at a pace one can watch.
#include "engine/replays.h"

#include "engine/network_flight.h"

namespace korvane {
namespace {

constexpr int kReplayTickMs = static_cast<int>(10.0 / SimParams::ReplaySpeed);
constexpr int kNetworkTickMs = 30;

}  // namespace

ReplayRun::ReplayRun(const RunLink& link, const SimParams& start, const MeteorField& field)
    : m_link(link), m_start(start), m_p(start), m_field(field) {
  m_flight.Start(m_link.results.BestPlan(), m_p);
}

RunStep ReplayRun::Step() {
  RunEvents& tell = m_link.tell;
  const std::optional<ShownEnd> end = m_flight.Step(m_link.asks, tell, m_p, m_field, PerceivedCount(m_start),
                                                    [this] { return FlightFrame(m_flight.State(), m_field); });
  if (!end) return {kReplayTickMs, {}};
  switch (*end) {
    case ShownEnd::UsedUp: tell.Notice({NoticeKind::ReplayOver}); return Finish(tell, {RunEnd::UsedUp});
    case ShownEnd::InvalidCode:
      tell.Notice({NoticeKind::ReplayInvalidCode});
      return Finish(tell, {RunEnd::InvalidCode});
    case ShownEnd::Escaped: tell.Notice({NoticeKind::FlightEscaped}); return Finish(tell, {RunEnd::Escaped});
    case ShownEnd::Crashed: tell.Notice({NoticeKind::FlightCrashed}); return Finish(tell, {RunEnd::Crashed});
    case ShownEnd::NetworkMismatch:
    case ShownEnd::Stopped: break;
  }
  return Finish(tell, {RunEnd::Stopped});
}

NetworkFlightRun::NetworkFlightRun(const RunLink& link, const SimParams& start, CNeuralNet& net,
                                   const MeteorField& field)
    : m_link(link), m_p(start), m_net(net), m_field(field) {
  m_net.LoadWeights(m_link.results.Weights());
}

FrameSnapshot NetworkFlightRun::Frame() const {
  FrameSnapshot f = FlightFrame(m_flight.State(), m_field);
  // The network as it took the decision whose thrust the frame shows.
  if (m_flight.DecidedAt() && m_link.asks.WhatToShow().network)
    f.network = ViewNetwork(m_net, *m_flight.DecidedAt(), m_p);
  return f;
}

RunStep NetworkFlightRun::Step() {
  RunEvents& tell = m_link.tell;
  const std::optional<ShownEnd> end = m_flight.Step(m_link.asks, tell, m_p, m_net, m_field, [this] { return Frame(); });
  if (!end) return {kNetworkTickMs, {}};
  switch (*end) {
    case ShownEnd::Crashed: tell.Notice({NoticeKind::FlightCrashed}); return Finish(tell, {RunEnd::Crashed});
    case ShownEnd::Escaped:
      tell.Notice({NoticeKind::FlightEscaped});
      // Only an escape takes the marks away; a crash leaves them on the wreck.
      tell.PerceptionMarks(false);
      tell.FrameReady([this] { return Frame(); });
      return Finish(tell, {RunEnd::Escaped});
    case ShownEnd::NetworkMismatch:
      tell.Notice({NoticeKind::NetworkMismatch});
      return Finish(tell, {RunEnd::NetworkMismatch});
    case ShownEnd::UsedUp:
    case ShownEnd::InvalidCode:
    case ShownEnd::Stopped: break;
  }
  return Finish(tell, {RunEnd::Stopped});
}

}  // namespace korvane
