// The network at the controls: its inputs, its choice and a scored flight.
#include <cstdint>
#include <cstdlib>

#include "engine/network_flight.h"
#include "sim/trunc.h"

namespace korvane {

double EscapeScore(int ticks, const CLifeboat& boat) { return boat.m_velocity.x * 60.0 + (ticks + 3000); }

double EndScore(int ticks, const CLifeboat& boat) {
  const std::int64_t vx = std::llabs(TruncToInt(boat.m_velocity.x));
  const std::int64_t vy = std::llabs(TruncToInt(boat.m_velocity.y));
  return ticks + (boat.m_position.x + 1000.0 - static_cast<double>(50 * vx) - static_cast<double>(20 * vy));
}

NetworkInputs BuildNetworkInputs(const CLifeboat& boat, const Perception& per, const SimParams& p) {
  NetworkInputs in;
  const double n = p.NormalizeParam;
  const double y = boat.m_position.y;
  in.values[0] = n / (PlayfieldHeight - y);
  in.values[1] = n / y;
  in.values[2] = boat.m_velocity.x;
  in.values[3] = boat.m_velocity.y;
  const int k = PerceivedCount(p);
  for (int j = 0; j < k; ++j) {
    in.values[4 + 2 * j] = n / per.m_perceivedDx[j];
    in.values[5 + 2 * j] = n / per.m_perceivedDy[j];
  }
  in.count = 4 + 2 * k;
  return in;
}

std::optional<int> NetworkChoice(CNeuralNet& net, const FlightState& fs, const SimParams& p) {
  const NetworkInputs in = BuildNetworkInputs(fs.boat, fs.per, p);
  const std::span<const double> out = net.EvaluateOutputSums(in.View(), p.SigmoidParam);
  if (out.size() < static_cast<std::size_t>(SimParams::NetOutputCount)) return std::nullopt;
  return net.OutputsAreSigmoids() ? PickFromSums(out, p.SigmoidParam) : PickAction(out);
}

std::shared_ptr<const NetworkView> ViewNetwork(const CNeuralNet& net, const FlightState& fs, const SimParams& p) {
  const NetworkInputs in = BuildNetworkInputs(fs.boat, fs.per, p);
  auto view = std::make_shared<NetworkView>();
  view->layers = net.Trace(in.View(), p.SigmoidParam);
  if (view->layers.size() < 2 || view->layers.back().size() < static_cast<std::size_t>(SimParams::NetOutputCount))
    return nullptr;
  // Connections are drawn only for a network small enough to show each.
  std::size_t neurons = 0;
  for (std::size_t l = 1; l < view->layers.size(); ++l) neurons += view->layers[l].size();
  if (neurons <= NetworkViewMaxNeurons)
    view->weights = std::make_shared<const std::vector<double>>(net.CollectWeights());
  view->chosen = PickAction(view->layers.back());
  view->perceived = PerceivedCount(p);
  return view;
}

NetFlightResult FlyNetworkScored(FlightState& fs, CNeuralNet& net, const SimParams& p, const MeteorField& field) {
  NetFlightResult r;
  const int k = PerceivedCount(p);
  fs.boat.ResetToStart(p);
  int t = 0;
  auto scoreB = [&](NetFlightEnd end) {
    r.end = end;
    r.ticks = t;
    r.score = EndScore(t, fs.boat);
    return r;
  };
  if (CheckCollision(fs.per, fs.boat, field, k)) return scoreB(NetFlightEnd::Crashed);
  for (;;) {
    const std::optional<int> a = NetworkChoice(net, fs, p);
    if (!a) {
      r.end = NetFlightEnd::NetworkMismatch;
      r.ticks = t;
      return r;
    }
    for (int d = 0; d < SimParams::TicksPerDecision; ++d) {
      fs.boat.ApplyThrust(*a, p);
      fs.boat.ApplyGravity(p);
      fs.boat.Step(p);
      ++t;
    }
    const double x = fs.boat.m_position.x;
    if (HasEscaped(fs.boat)) {
      r.end = NetFlightEnd::Escaped;
      r.ticks = t;
      r.score = EscapeScore(t, fs.boat);
      return r;
    }
    if (Stalled(t, x)) return scoreB(NetFlightEnd::Stalled);
    if (OutOfTime(t)) return scoreB(NetFlightEnd::Timeout);
    if (CheckCollision(fs.per, fs.boat, field, k)) return scoreB(NetFlightEnd::Crashed);
  }
}

}  // namespace korvane
