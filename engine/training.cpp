// 训练网络: the weights evolved over the four built-in levels.
#include "engine/training.h"

#include "engine/network_flight.h"
#include "engine/run_settings.h"

namespace korvane {

TrainingRun::TrainingRun(const RunLink& link, const Setup& setup, CWeightGA& weightGA, CNeuralNet& net)
    : GenerationalRun(link, setup.start, PauseKind::Training, 1),
      m_ga(weightGA),
      m_net(net),
      m_rng(setup.seed),
      m_eval(setup.threads) {
  const SimParams& start = m_start;
  m_net.Build(m_p, m_rng);
  m_ga.Reset(start.NetPopulationSize, start.SmallMutationRate, start.NetCrossoverRate, m_net.WeightCount(), m_rng);
  for (int n = 0; n < start.NetPopulationSize; ++n) {
    m_net.Build(m_p, m_rng);
    m_workList.push_back(WeightGenome{m_net.CollectWeights(), 0.0});
  }
  for (int l = 0; l < BuiltInLevelCount; ++l) m_levels[l] = BuiltInLevel(l + 1);
}

FrameSnapshot TrainingRun::ChartFrame() const {
  FrameSnapshot f = FlightFrame(m_eval.ShownFlight(), m_levels[m_shownLevel]);
  ChartData c;
  c.generation = m_ga.Generation();
  c.best = m_ga.BestFitness();
  c.average = m_ga.AverageFitness();
  auto bh = m_ga.BestHistory();
  auto ah = m_ga.AverageHistory();
  c.bestHistory.assign(bh.begin(), bh.end());
  c.averageHistory.assign(ah.begin(), ah.end());
  c.diversityHistory = m_diversity;
  f.chart = std::move(c);
  f.breeding = m_breeding.Last();
  return f;
}

FrameSnapshot TrainingRun::WatchFrame() const {
  FrameSnapshot f = ChartFrame();
  const FlightState& fs = m_watch.flight.State();
  f.boat = fs.boat;
  f.field = m_watch.level;
  f.perception = fs.per;
  // The network as it took the decision whose thrust the frame shows.
  if (m_watch.flight.DecidedAt() && m_link.asks.WhatToShow().network)
    f.network = ViewNetwork(m_watch.net, *m_watch.flight.DecidedAt(), m_watch.p);
  return f;
}

FrameSnapshot TrainingRun::FinalFrame() {
  m_shownLevel = 0;
  m_eval.ShownFlight().boat.ResetToStart(m_p);
  return ChartFrame();
}

// The best weights of the last generation flown, in force as a pause or a
// stop leaves them.
void TrainingRun::KeepBest(WeightsSource::Kind kind) {
  const WeightsSource source{kind, {}, 0, m_ga.Generation(), m_ga.Best().fitness};
  m_link.results.SetWeights(m_ga.Best().weights, NetShapeOf(m_start), source);
}

void TrainingRun::RecordBreeding(BreedingView& view) {
  // Filled over what the view held before, so its lists keep their memory.
  auto& bred = view.weights ? *view.weights : view.weights.emplace();
  m_ga.Record(bred.record);
  view.generation = m_ga.Generation();
  view.total = m_ga.TotalFitness();
  view.elites = static_cast<int>(m_workList.size() - std::min(m_workList.size(), bred.record.children.size()));
  bred.scored = std::min<std::size_t>(m_ga.Population().size(), static_cast<std::size_t>(std::max(0, m_ga.PopSize())));
  bred.generation = m_ga.LendPopulation();
}

void TrainingRun::MakeChildren() {
  if (!m_childrenPending) return;
  for (std::size_t k = 0; k < m_workList.size(); ++k) m_ga.Breed(k, m_workList[k].weights);
  m_childrenPending = false;
}

RunStep TrainingRun::Stopped() {
  MakeChildren();
  if (m_ga.Generation() > 0) {
    KeepBest(WeightsSource::Kind::TrainingStopped);
    RunNotice n{NoticeKind::TrainingStopped};
    n.generation = m_ga.Generation();
    m_link.tell.Notice(n);
  } else {
    m_link.tell.Notice({NoticeKind::TrainingStoppedEarly});
  }
  return Finish(m_link.tell, {RunEnd::Stopped, m_ga.Generation()});
}

RunStep TrainingRun::Trained() {
  MakeChildren();
  const double best = m_ga.Best().fitness;
  m_link.results.SetWeights(m_ga.Best().weights, NetShapeOf(m_start),
                            WeightsSource{WeightsSource::Kind::Training, {}, 0, 0, best});
  return Finish(m_link.tell, {RunEnd::Trained, m_ga.Generation(), -1, best});
}

RunStep TrainingRun::Step() {
  switch (m_at.phase) {
    case Phase::Generation: return FlyGeneration();
    case Phase::Paused: return NextGeneration();
    case Phase::Watching:
      if (!m_watch.flight.Step(m_link.asks, m_link.tell, m_watch.p, m_watch.net, m_watch.level,
                               [this] { return WatchFrame(); }))
        return {DemoTickMs, {}};
      return Checkpoint();
  }
  return {};
}

RunStep TrainingRun::FlyGeneration() {
  if (m_at.generation > m_p.TrainingGenerations || m_at.generation > CWeightGA::MaxHistory) return Trained();
  // Breeding's draws do not depend on the scores: they are taken while the
  // generation flies, so that what is left between generations is the sort
  // and the picks; each genome is then made by the worker that flies it.
  const auto drawAhead = [&] {
    m_ga.DrawAhead(m_workList.size(), static_cast<std::size_t>(m_ga.GenomeLength()), m_p, m_rng);
  };
  const bool flown =
      m_eval.FlyWeights(m_link.asks, m_p, m_net, m_levels, m_workList, drawAhead, m_childrenPending ? &m_ga : nullptr);
  m_childrenPending = false;
  if (!flown) return Stopped();
  m_shownLevel = BuiltInLevelCount - 1;
  // The generation's diversity is worked out beside the selection (on
  // another core when there is one): the selection moves the genomes, never
  // their weights.
  const std::vector<std::span<const double>> sample = WeightDiversitySample(m_workList);
  // Breeding is read from the draws the children are made by, and only
  // while it is shown. The last view is let go before the selection, so that
  // the genomes it held can take the children.
  const std::shared_ptr<BreedingView> bred = m_breeding.Begin(m_link.asks.WhatToShow().RecordsBreeding());
  bool even = true;
  double diversity = 0.0;
  m_eval.TwoAtOnce([&] { even = m_ga.Select(m_workList, m_p); }, [&] { diversity = WeightDiversity(sample); });
  m_diversity.push_back(diversity);
  if (!even) m_link.tell.Notice({NoticeKind::PopulationNotEven});
  m_childrenPending = true;
  if (bred) {
    RecordBreeding(*bred);
    m_breeding.Keep(bred);
  }
  m_link.tell.GenerationDone({m_ga.Generation(), m_ga.BestFitness(), m_ga.AverageFitness(), false});
  m_link.tell.FrameReady([this] { return ChartFrame(); });
  m_at.pace = m_link.asks.WhatToShow().pace;
  if (m_at.pace == Pace::Watch) {
    // The generation's best network on level 1, at the demonstration's pace;
    // its own flight, so the numbers never change.
    m_watch.net = m_net;
    m_watch.net.LoadWeights(m_ga.Best().weights);
    m_watch.flight = ShownNetworkFlight(true);
    m_watch.p = m_p;
    m_watch.level = m_levels[0];
    m_at.phase = Phase::Watching;
    return {};
  }
  return Checkpoint();
}

void TrainingRun::Held() {
  KeepBest(WeightsSource::Kind::TrainingPaused);
  // Going a generation at a time, the charts stay on screen.
  if (m_at.pace != Pace::Step) m_link.tell.ShowLevel(1);
}

}  // namespace korvane
