// 演示结果 and 演示训练结果: the kept plan, or the network in force, flown on
// screen at a pace one can watch.
#include "engine/autopilot.h"
#include "engine/run_settings.h"
#include "engine/shown_flight.h"
#include "texts/messages.h"

namespace korvane {
namespace {

constexpr int kReplayTickMs = static_cast<int>(10.0 / SimParams::ReplaySpeed);
constexpr int kNetworkTickMs = 30;

}  // namespace

void CAutoPilot::onTimer2(IHost& host, const SimParams& start, const MeteorField& field) {
  SimParams p = start;
  const int k = PerceivedCount(start);
  ShownPlanFlight shown;
  shown.Start(BestPlan(), p);
  FlightState& fs = shown.State();
  auto frame = [&] { return FlightFrame(fs, field); };
  for (;;) {
    if (host.StopRequested()) return;
    switch (shown.Fly(host, p, kReplayTickMs, frame)) {
      case ShownPlanFlight::Tick::UsedUp: host.ShowMessage(msg::ReplayOver); return;
      case ShownPlanFlight::Tick::InvalidCode: host.ShowMessage(msg::BadActionReplay); return;
      case ShownPlanFlight::Tick::Flew: break;
    }
    if (HasEscaped(fs.boat)) {
      host.Repaint(frame());
      host.ShowMessage(msg::Escaped);
      return;
    }
    if (CheckCollision(fs.per, fs.boat, field, k)) {
      host.Repaint(frame());
      host.ShowMessage(msg::Stardust);
      return;
    }
  }
}

void CAutoPilot::FlyByNetwork(IHost& host, const SimParams& start, CNeuralNet& net, const MeteorField& field) {
  SimParams p = start;
  const int k = PerceivedCount(start);
  FlightState fs;
  fs.boat.ResetToStart(p);
  net.LoadWeights(Weights());
  CheckCollision(fs.per, fs.boat, field, k);
  host.Repaint(FlightFrame(fs, field));
  for (;;) {
    if (host.StopRequested()) return;
    BeforeShownTick(host, p);
    const std::optional<int> a = NetworkChoice(net, fs, p);
    if (!a) {
      ReportMismatch(host);
      return;
    }
    for (int d = 0; d < SimParams::TicksPerDecision; ++d) {
      fs.boat.ApplyThrust(*a, p);
      SetMarker(fs.boat, *a);
      fs.boat.ApplyGravity(p);
      fs.boat.Step(p);
      host.Sleep(kNetworkTickMs);
      host.Repaint(FlightFrame(fs, field));
      if (CheckCollision(fs.per, fs.boat, field, k)) {
        host.Repaint(FlightFrame(fs, field));
        host.ShowMessage(msg::Stardust);
        return;
      }
    }
    if (HasEscaped(fs.boat)) {
      host.ShowMessage(msg::Escaped);
      // Only an escape takes the marks away; a crash leaves them on the wreck.
      host.ShowPerceptionMarks(false);
      host.Repaint(FlightFrame(fs, field));
      return;
    }
  }
}

}  // namespace korvane
