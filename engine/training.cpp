// 训练网络: the weights evolved over the four built-in levels.
#include <cstdio>
#include <functional>

#include "engine/autopilot.h"
#include "engine/run_settings.h"
#include "engine/shown_flight.h"
#include "files/weights_file.h"
#include "texts/messages.h"

namespace korvane {

void CAutoPilot::WatchBestNetwork(IHost& host, const SimParams& p, const CNeuralNet& shape, const CWeightGA& weightGA,
                                  const std::function<FrameSnapshot()>& chartFrame) {
  // The generation's best network on level 1, with the chart, at the
  // demonstration's pace; its own flight, so the numbers never change.
  CNeuralNet net = shape;
  net.LoadWeights(weightGA.Best().weights);
  const MeteorField level = BuiltInLevel(1);
  FlightState fs;
  SimParams screen = p;
  FlyNetworkOnScreen(host, screen, net, level, fs, DemoTickMs, [&] {
    FrameSnapshot f = chartFrame();
    f.boat = fs.boat;
    f.field = level;
    f.perception = fs.per;
    return f;
  }, true);
}

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

  // The best weights of the last generation flown, in force as a pause or a
  // stop leaves them.
  auto keepBest = [&](WeightsSource::Kind kind) {
    const WeightsSource source{kind, {}, 0, weightGA.Generation(), weightGA.Best().fitness};
    m_shared->SetWeights(weightGA.Best().weights, shape, source);
  };
  auto stop = [&] {
    char buf[256];
    if (weightGA.Generation() > 0) {
      keepBest(WeightsSource::Kind::TrainingStopped);
      std::snprintf(buf, sizeof buf, msg::TrainingStopped, weightGA.Generation());
    } else {
      std::snprintf(buf, sizeof buf, "%s", msg::TrainingStoppedEarly);
    }
    host.ShowMessage(buf);
    return result;
  };

  for (int g = 1; g <= p.TrainingGenerations && g <= CWeightGA::MaxHistory; ++g) {
    // Breeding's draws do not depend on the scores: they are taken while
    // the generation flies, so that the breeding after it is short.
    const auto drawAhead = [&] {
      weightGA.DrawAhead(m_weightWorkList.size(), static_cast<std::size_t>(weightGA.GenomeLength()), p, rng);
    };
    if (!FlyWeightGeneration(host, p, net, levels, drawAhead)) return stop();
    shown = levels[BuiltInLevelCount - 1];
    if (!weightGA.Epoch(m_weightWorkList, p, rng)) host.ShowMessage(msg::PopulationNotOdd);
    host.Repaint(chartFrame());
    const Pace pace = host.WhatToShow().pace;
    if (pace == Pace::Watch) WatchBestNetwork(host, p, net, weightGA, chartFrame);
    if (pace == Pace::Step) host.RequestPause(PauseKind::Training);
    if (host.PauseRequested(PauseKind::Training)) {
      keepBest(WeightsSource::Kind::TrainingPaused);
      // Going a generation at a time, the charts stay on screen.
      if (pace != Pace::Step) host.LoadBuiltInLevel(1);
      host.WaitWhilePaused(PauseKind::Training);
    }
    if (host.StopRequested()) return stop();
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
