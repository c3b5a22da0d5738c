// 训练网络: the weights evolved over the four built-in levels.
#include <cstdio>

#include "engine/autopilot.h"
#include "engine/run_settings.h"
#include "files/weights_file.h"
#include "texts/messages.h"

namespace korvane {

TrainingResult CAutoPilot::TrainNetwork(IHost& host, const SimParams& start, CWeightGA& weightGA, CNeuralNet& net,
                                        std::uint32_t seed, const std::string& weightsPath) {
  TrainingResult result;
  CRand rng(seed);
  SimParams p = start;
  net.Build(p, rng);
  weightGA.Reset(start.NetPopulationSize, start.SmallMutationRate, start.NetCrossoverRate, net.WeightCount(), rng);
  m_weightWorkList.clear();
  for (int n = 0; n < start.NetPopulationSize; ++n) {
    net.Build(p, rng);
    m_weightWorkList.push_back(WeightGenome{net.CollectWeights(), 0.0});
  }
  MeteorField levels[BuiltInLevelCount];
  for (int l = 0; l < BuiltInLevelCount; ++l) levels[l] = BuiltInLevel(l + 1);
  MeteorField shown = levels[0];
  const NetShape shape = NetShapeOf(start);

  auto chartFrame = [&] {
    FrameSnapshot f = FlightFrame(m_flight, shown);
    ChartData c;
    c.generation = weightGA.Generation();
    c.best = weightGA.BestFitness();
    c.average = weightGA.AverageFitness();
    auto bh = weightGA.BestHistory();
    auto ah = weightGA.AverageHistory();
    c.bestHistory.assign(bh.begin(), bh.end());
    c.averageHistory.assign(ah.begin(), ah.end());
    f.chart = std::move(c);
    return f;
  };

  for (int g = 1; g <= p.TrainingGenerations && g <= CWeightGA::MaxHistory; ++g) {
    // Breeding's draws do not depend on the scores: they are taken while
    // the generation flies, so that the breeding after it is short.
    const auto drawAhead = [&] {
      weightGA.DrawAhead(m_weightWorkList.size(), static_cast<std::size_t>(weightGA.GenomeLength()), p, rng);
    };
    if (!FlyWeightGeneration(host, p, net, levels, drawAhead)) return result;
    shown = levels[BuiltInLevelCount - 1];
    if (!weightGA.Epoch(m_weightWorkList, p, rng)) host.ShowMessage(msg::PopulationNotOdd);
    host.Repaint(chartFrame());
    if (host.PauseRequested(PauseKind::Training)) {
      WeightsSource paused{WeightsSource::Kind::TrainingPaused, {}, 0, g, weightGA.Best().fitness};
      m_shared->SetWeights(weightGA.Best().weights, shape, paused);
      host.LoadBuiltInLevel(1);
      host.WaitWhilePaused(PauseKind::Training);
    }
    if (host.StopRequested()) return result;
    p = BetweenGenerations(host, start);
  }
  result.completed = true;
  result.bestFitness = weightGA.Best().fitness;
  m_shared->SetWeights(weightGA.Best().weights, shape,
                       WeightsSource{WeightsSource::Kind::Training, {}, 0, 0, result.bestFitness});
  if (!weightsPath.empty()) {
    switch (AppendWeightsFile(weightsPath, FormatWeightsText(Weights()))) {
      case SaveResult::OpenFailed: host.ShowMessage(msg::FileOpenError); return result;
      case SaveResult::WriteFailed: host.ShowMessage(msg::FileWriteError); return result;
      case SaveResult::Ok: result.saved = true; break;
    }
  }
  host.LoadBuiltInLevel(1);
  shown = levels[0];
  m_flight.boat.ResetToStart(p);
  host.Repaint(chartFrame());
  char buf[128];
  std::snprintf(buf, sizeof buf, msg::TrainingDone, result.bestFitness);
  host.ShowMessage(buf);
  return result;
}

}  // namespace korvane
