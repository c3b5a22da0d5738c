// 演示遗传算法过程: the plan search one generation at a time, the best plan
// of each flown on screen in between.
#include "engine/autopilot.h"
#include "engine/run_settings.h"
#include "engine/shown_flight.h"
#include "texts/messages.h"

namespace korvane {

int CAutoPilot::StepByStep(IHost& host, CPlanGA& ga, const MeteorField& field, const SimParams& p, CRand& rng,
                           PathsPtr* paths) {
  const bool record = paths && host.WhatToShow().paths;
  const GenerationEnd end =
      FlyGeneration(host, FlyVariant::StepByStep, p, field, nullptr, nullptr, ga.PopSize(), record);
  if (paths) *paths = end.paths;
  if (end.last.outcome == FlyOutcome::InvalidCode || end.stopped) return 0;
  if (const CPlanGenome* best = ga.Best()) SetBestPlan(CPlanGenome(best->m_actions, best->m_durations, 0.0));
  CPlanGenome escapedPlan;
  if (end.escapedPlan >= 0) escapedPlan = m_workList[end.escapedPlan];
  if (!ga.Epoch(m_workList, p, rng)) host.ShowMessage(msg::PopulationNotOdd);
  if (end.escapedPlan < 0) return 0;
  // A plan escaped, the event that ends the plain search: keep it for the replay.
  SetBestPlan(CPlanGenome(escapedPlan.m_actions, escapedPlan.m_durations, EscapedFitness));
  return 1;
}

void CAutoPilot::onTimer3(IHost& host, const SimParams& start, CPlanGA& ga, const MeteorField& field,
                          std::uint32_t seed) {
  CRand rng(seed);
  SimParams p = start;
  ga.Init(start.PopulationSize, start.DurationMutationRate, start.ChromosomeLength, p, rng);
  m_workList = ga.Genomes();
  ShownPlanFlight shown;
  PathsPtr paths;  // the last step's generation, when shown
  const FrameMaker frame = [&] {
    FrameSnapshot f = PlanProgressFrame(ga, shown.State(), field);
    f.paths = paths;
    return f;
  };
  // Steps 0, 1, 2, ...; between two, the kept plan is flown on screen.
  for (int s = 0;; ++s) {
    if (s > 0) p = BetweenGenerations(host, start);
    if (StepByStep(host, ga, field, p, rng, &paths)) {
      host.ShowMessage(msg::Success);
      host.Repaint(frame());
      return;
    }
    if (host.StopRequested()) return;
    if (s > 0 && s > p.MaxGenerations) {
      host.ShowMessage(msg::GiveUp);
      host.Repaint(frame());
      return;
    }
    SimParams screen = p;
    shown.Start(BestPlan(), screen);
    host.Repaint(frame());
    switch (shown.FlyToEnd(host, screen, field, PerceivedCount(start), DemoTickMs, frame)) {
      case ShownEnd::InvalidCode: host.ShowMessage(msg::BadActionDemo); return;
      case ShownEnd::Stopped: return;
      default: break;
    }
  }
}

}  // namespace korvane
