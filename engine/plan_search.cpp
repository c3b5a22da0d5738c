// 开始遗传算法 and 开始启发式遗传算法: the plan search, plain or repaired by
// the network.
#include "engine/plan_search.h"

#include "engine/network_flight.h"
#include "engine/run_settings.h"

namespace korvane {

FrameSnapshot PlanProgressFrame(const CPlanGA& ga, const FlightState& fs, const MeteorField& field) {
  FrameSnapshot f = FlightFrame(fs, field);
  PlanPanelData panel;
  panel.generation = ga.Generation();
  panel.best = ga.BestFitness();
  panel.average = ga.AverageFitness();
  if (const CPlanGenome* best = ga.Best()) {
    panel.energy = best->m_energyScore;
    panel.safety = best->m_safetyScore;
    panel.time = best->m_timeScore;
  }
  f.planPanel = panel;
  return f;
}

void FillPlanBreeding(BreedingView& view, CPlanGA& ga, std::size_t made) {
  auto& bred = *view.plans;
  view.generation = ga.Generation();
  view.total = ga.TotalFitness();
  view.elites = static_cast<int>(made - std::min(made, bred.record.children.size()));
  bred.scored = std::min<std::size_t>(ga.Genomes().size(), static_cast<std::size_t>(ga.PopSize()));
  bred.generation = ga.LendGenomes();
}

PlanSearchRun::PlanSearchRun(const RunLink& link, const SearchSetup& setup, CPlanGA& ga, CNeuralNet* net)
    : GenerationalRun(link, setup.start, net ? PauseKind::Heuristic : PauseKind::GA, 0),
      m_field(setup.field),
      m_net(net),
      m_ga(ga),
      m_rng(setup.seed),
      m_eval(setup.threads, setup.everyThread) {
  if (m_net) m_net->LoadWeights(m_link.results.Weights());
  m_ga.Init(m_start.PopulationSize, m_start.DurationMutationRate, m_start.ChromosomeLength, m_p, m_rng);
  m_workList = m_ga.Genomes();
}

// Histories are copied into a frame only when they are shown: at the end,
// and under the two slower paces.
FrameSnapshot PlanSearchRun::Frame(const FlightState& fs, bool withChart) const {
  FrameSnapshot f = PlanProgressFrame(m_ga, fs, m_field);
  if (withChart) f.planChart = m_history;
  f.paths = m_paths;
  f.breeding = m_breeding.Last();
  return f;
}

// Between flights the camera follows the generation's best path.
FrameSnapshot PlanSearchRun::Resting(bool withChart) const {
  FrameSnapshot f = Frame(m_eval.ShownFlight(), withChart);
  if (m_paths && m_paths->best >= 0) {
    const PathPoint end = m_paths->paths[static_cast<std::size_t>(m_paths->best)].Last();
    f.boat.m_position = {end.x, end.y};
  }
  return f;
}

void PlanSearchRun::Held() { KeepBest(); }

void PlanSearchRun::MakeLeft() {
  for (std::size_t k = 0; m_toMake && k < m_workList.size(); ++k) m_ga.Breed(k, m_workList[k]);
  m_toMake = false;
}

void PlanSearchRun::KeepBest() {
  if (const CPlanGenome* best = m_ga.Best())
    m_link.results.SetBestPlan(CPlanGenome(best->m_actions, best->m_durations, 0.0));
}

RunStep PlanSearchRun::Stopped() {
  MakeLeft();
  KeepBest();
  m_link.tell.FrameReady([this] { return Resting(true); });
  m_link.tell.Notice({NoticeKind::SearchStopped});
  return Finish(m_link.tell, {RunEnd::Stopped, m_ga.Generation()});
}

RunStep PlanSearchRun::Step() {
  switch (m_at.phase) {
    case Phase::Generation: return FlyGeneration();
    case Phase::Paused: return NextGeneration();
    case Phase::Watching: {
      const FrameMaker frame = [this] {
        FrameSnapshot f = Frame(m_shown.flight.State(), true);
        // The heuristic search's network, as it sees the shown flight.
        if (m_net && m_link.asks.WhatToShow().network)
          f.network = ViewNetwork(*m_net, m_shown.flight.State(), m_shown.p);
        return f;
      };
      if (!m_shown.flight.Step(m_link.asks, m_link.tell, m_shown.p, m_field, PerceivedCount(m_start), frame))
        return {DemoTickMs, {}};
      return Checkpoint();
    }
  }
  return {};
}

RunStep PlanSearchRun::FlyGeneration() {
  // From generation 0 up to the last, read anew after each.
  if (m_at.generation > m_p.MaxGenerations) return NoMoreGenerations();
  const bool heuristic = m_net != nullptr;
  const Showing showing = m_link.asks.WhatToShow();
  PlanGeneration g;
  g.variant = heuristic ? FlyVariant::Heuristic : FlyVariant::GA;
  g.params = &m_p;
  g.field = &m_field;
  g.net = m_net;
  g.rng = &m_rng;
  g.plans = &m_workList;
  g.count = m_ga.PopSize();
  g.recordPaths = showing.paths;
  g.breeder = m_toMake ? &m_ga : nullptr;
  const PlanGenerationEnd end = m_eval.FlyPlans(m_link.asks, g);
  m_toMake = false;
  m_paths = end.paths;
  RunEvents& tell = m_link.tell;
  if (end.escapedPlan >= 0) {
    const CPlanGenome& plan = m_workList[static_cast<std::size_t>(end.escapedPlan)];
    m_link.results.SetBestPlan(CPlanGenome(plan.m_actions, plan.m_durations, EscapedFitness));
    m_history.escaped = true;
    tell.GenerationDone({m_at.generation + 1, EscapedFitness, GenerationEvent{}.average, true});
    tell.FrameReady([this] { return Resting(true); });
    tell.Notice({NoticeKind::SearchEscaped});
    return Finish(tell, {RunEnd::Escaped, m_at.generation, end.escapedPlan});
  }
  if (end.stopped) return Stopped();
  if (end.last.outcome == FlyOutcome::InvalidCode) {
    RunNotice n{NoticeKind::InvalidCode};
    n.code = end.last.badCode;
    n.plan = end.lastPlan;
    n.gene = end.last.badGene;
    n.variant = g.variant;
    tell.Notice(n);
    return Finish(tell, {RunEnd::InvalidCode, m_ga.Generation(), end.lastPlan});
  }
  if (end.last.outcome == FlyOutcome::NetworkMismatch) {
    tell.Notice({NoticeKind::NetworkMismatch});
    return Finish(tell, {RunEnd::NetworkMismatch, m_ga.Generation()});
  }
  m_history.diversityHistory.push_back(PlanDiversity(m_workList));
  // Breeding is recorded as it is drawn, and only while it is shown.
  const std::shared_ptr<BreedingView> bred = m_breeding.Begin(showing.RecordsBreeding());
  if (bred && !bred->plans) bred->plans.emplace();
  // On several workers, each makes the plans it flies next; a record is
  // written as the plans are made, here.
  m_toMake = !bred && m_eval.PlanThreads() > 1;
  const bool even = m_toMake ? m_ga.Select(m_workList, m_p, m_rng)
                             : m_ga.Epoch(m_workList, m_p, m_rng, bred ? &bred->plans->record : nullptr);
  if (!even) tell.Notice({NoticeKind::PopulationNotEven});
  if (bred) FillPlanBreeding(*bred, m_ga, m_workList.size());
  m_breeding.Keep(bred);
  m_history.generation = m_ga.Generation();
  m_history.best = m_ga.BestFitness();
  m_history.average = m_ga.AverageFitness();
  m_history.bestHistory.push_back(m_ga.BestFitness());
  m_history.averageHistory.push_back(m_ga.AverageFitness());
  tell.GenerationDone({m_ga.Generation(), m_ga.BestFitness(), m_ga.AverageFitness(), false});
  m_at.pace = m_link.asks.WhatToShow().pace;
  tell.FrameReady([this, chart = m_at.pace != Pace::Fastest] { return Resting(chart); });
  if (m_at.pace == Pace::Watch && m_ga.Best()) {
    m_shown.p = m_p;
    m_shown.flight.Start(*m_ga.Best(), m_shown.p);
    m_at.phase = Phase::Watching;
    return {};
  }
  return Checkpoint();
}

RunStep PlanSearchRun::NoMoreGenerations() {
  MakeLeft();
  KeepBest();
  m_link.tell.FrameReady([this] { return Resting(true); });
  return Finish(m_link.tell, {RunEnd::NotEscaped, m_ga.Generation(), -1, m_ga.BestFitness(), m_p.MaxGenerations});
}

}  // namespace korvane
