// 开始遗传算法 and 开始启发式遗传算法: the plan search, plain or repaired by
// the network.
#include "engine/autopilot.h"
#include "engine/run_settings.h"
#include "engine/shown_flight.h"
#include "texts/messages.h"

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

void CAutoPilot::ReportMismatch(IHost& host) {
  host.ShowMessage(msg::NetworkError);
  host.ShowMessage(msg::NetworkMismatch);
}

SearchResult CAutoPilot::RunPlanSearch(IHost& host, const SimParams& start, CPlanGA& ga, CNeuralNet* net,
                                       const MeteorField& field, std::uint32_t seed, FlyVariant variant,
                                       PauseKind pause) {
  SearchResult result;
  CRand rng(seed);
  SimParams p = start;
  if (net) net->LoadWeights(Weights());
  ga.Init(start.PopulationSize, start.DurationMutationRate, start.ChromosomeLength, p, rng);
  m_workList = ga.Genomes();
  ChartData history;  // best and average after each epoch
  PathsPtr paths;     // the last generation's, when they are shown
  // Histories are copied into a frame only when they are shown: at the end,
  // and under the two slower paces.
  auto frame = [&](const FlightState& fs, bool withChart) {
    FrameSnapshot f = PlanProgressFrame(ga, fs, field);
    if (withChart) f.planChart = history;
    f.paths = paths;
    return f;
  };
  // Between flights the camera follows the generation's best path.
  auto resting = [&](bool withChart) {
    FrameSnapshot f = frame(m_flight, withChart);
    if (paths && paths->best >= 0) {
      const PathPoint end = paths->paths[static_cast<std::size_t>(paths->best)].Last();
      f.boat.m_position = {end.x, end.y};
    }
    return f;
  };
  auto keepBest = [&] {
    if (const CPlanGenome* best = ga.Best()) SetBestPlan(CPlanGenome(best->m_actions, best->m_durations, 0.0));
  };
  auto stop = [&] {
    keepBest();
    host.Repaint(resting(true));
    host.ShowMessage(msg::SearchStopped);
    result.aborted = true;
    return result;
  };
  for (int g = 0; g <= p.MaxGenerations; ++g) {
    Showing showing = host.WhatToShow();
    const GenerationEnd end = FlyGeneration(host, variant, p, field, net, &rng, ga.PopSize(), showing.paths);
    paths = end.paths;
    if (end.escapedPlan >= 0) {
      const CPlanGenome& plan = m_workList[end.escapedPlan];
      SetBestPlan(CPlanGenome(plan.m_actions, plan.m_durations, EscapedFitness));
      result.escaped = true;
      result.escapeGeneration = g;
      result.escapePlan = end.escapedPlan;
      history.escaped = true;
      host.Repaint(resting(true));
      host.ShowMessage(msg::Success);
      return result;
    }
    if (end.stopped) return stop();
    if (end.last.outcome == FlyOutcome::InvalidCode || end.last.outcome == FlyOutcome::NetworkMismatch) {
      result.aborted = true;
      return result;
    }
    if (!ga.Epoch(m_workList, p, rng)) host.ShowMessage(msg::PopulationNotOdd);
    history.generation = ga.Generation();
    history.best = ga.BestFitness();
    history.average = ga.AverageFitness();
    history.bestHistory.push_back(ga.BestFitness());
    history.averageHistory.push_back(ga.AverageFitness());
    showing = host.WhatToShow();
    const Pace pace = showing.pace;
    host.Repaint(resting(pace != Pace::Fastest));
    if (pace == Pace::Watch && ga.Best()) {
      ShownPlanFlight shown;
      SimParams screen = p;
      shown.Start(*ga.Best(), screen);
      shown.FlyToEnd(host, screen, field, PerceivedCount(start), DemoTickMs, [&] {
        FrameSnapshot f = frame(shown.State(), true);
        // The heuristic search's network, as it sees the shown flight.
        if (net && showing.network) f.network = ViewNetwork(*net, shown.State(), screen);
        return f;
      });
    }
    if (pace == Pace::Step) host.RequestPause(pause);
    if (host.PauseRequested(pause)) {
      keepBest();
      host.WaitWhilePaused(pause);
    }
    if (host.StopRequested()) return stop();
    p = BetweenGenerations(host, start);
  }
  keepBest();
  host.Repaint(resting(true));
  result.generationLimit = p.MaxGenerations;
  return result;
}

SearchResult CAutoPilot::OnStartGenAlg(IHost& host, const SimParams& start, CPlanGA& ga, const MeteorField& field,
                                       std::uint32_t seed) {
  return RunPlanSearch(host, start, ga, nullptr, field, seed, FlyVariant::GA, PauseKind::GA);
}

SearchResult CAutoPilot::OnStartHeuristicGenAlg(IHost& host, const SimParams& start, CPlanGA& ga, CNeuralNet& net,
                                                const MeteorField& field, std::uint32_t seed) {
  return RunPlanSearch(host, start, ga, &net, field, seed, FlyVariant::Heuristic, PauseKind::Heuristic);
}

}  // namespace korvane
