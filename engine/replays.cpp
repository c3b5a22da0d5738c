// 演示结果 and 演示训练结果: the kept plan, or the network in force, flown on
// screen at a pace one can watch.
#include "engine/autopilot.h"
#include "engine/shown_flight.h"
#include "texts/messages.h"

namespace korvane {
namespace {

constexpr int kReplayTickMs = static_cast<int>(10.0 / SimParams::ReplaySpeed);
constexpr int kNetworkTickMs = 30;

}  // namespace

void CAutoPilot::onTimer2(IHost& host, const SimParams& start, const MeteorField& field) {
  SimParams p = start;
  ShownPlanFlight shown;
  shown.Start(BestPlan(), p);
  const FrameMaker frame = [&] { return FlightFrame(shown.State(), field); };
  switch (shown.FlyToEnd(host, p, field, PerceivedCount(start), kReplayTickMs, frame)) {
    case ShownEnd::UsedUp: host.ShowMessage(msg::ReplayOver); return;
    case ShownEnd::InvalidCode: host.ShowMessage(msg::BadActionReplay); return;
    case ShownEnd::Escaped: host.ShowMessage(msg::Escaped); return;
    case ShownEnd::Crashed: host.ShowMessage(msg::Stardust); return;
    case ShownEnd::NetworkMismatch:
    case ShownEnd::Stopped: return;
  }
}

void CAutoPilot::FlyByNetwork(IHost& host, const SimParams& start, CNeuralNet& net, const MeteorField& field) {
  SimParams p = start;
  FlightState fs;
  net.LoadWeights(Weights());
  // The network as it took the decision whose thrust the frame shows.
  std::shared_ptr<const NetworkView> decision;
  const FrameMaker frame = [&] {
    FrameSnapshot f = FlightFrame(fs, field);
    if (host.WhatToShow().network) f.network = decision;
    return f;
  };
  const auto decided = [&](const FlightState& at) {
    decision = host.WhatToShow().network ? ViewNetwork(net, at, p) : nullptr;
  };
  switch (FlyNetworkOnScreen(host, p, net, field, fs, kNetworkTickMs, frame, false, decided)) {
    case ShownEnd::Crashed: host.ShowMessage(msg::Stardust); return;
    case ShownEnd::Escaped:
      host.ShowMessage(msg::Escaped);
      // Only an escape takes the marks away; a crash leaves them on the wreck.
      host.ShowPerceptionMarks(false);
      host.Repaint(frame());
      return;
    case ShownEnd::NetworkMismatch: ReportMismatch(host); return;
    case ShownEnd::UsedUp:
    case ShownEnd::InvalidCode:
    case ShownEnd::Stopped: return;
  }
}

}  // namespace korvane
