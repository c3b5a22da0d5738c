// 演示遗传算法过程: the plan search one generation at a time, the best plan
// of each flown on screen in between.
#include "engine/demonstration.h"

#include "engine/run_settings.h"

namespace korvane {

bool StepByStep(const RunLink& link, GenerationEvaluator& eval, CPlanGA& ga, std::vector<CPlanGenome>& workList,
                const MeteorField& field, const SimParams& p, CRand& rng, PathsPtr* paths) {
  PlanGeneration g;
  g.variant = FlyVariant::StepByStep;
  g.params = &p;
  g.field = &field;
  g.plans = &workList;
  g.count = ga.PopSize();
  g.recordPaths = paths && link.asks.WhatToShow().paths;
  const PlanGenerationEnd end = eval.FlyPlans(link.asks, g);
  if (paths) *paths = end.paths;
  if (end.stopped) return false;
  if (end.last.outcome == FlyOutcome::InvalidCode) {
    RunNotice n{NoticeKind::InvalidCode};
    n.code = end.last.badCode;
    n.plan = end.lastPlan;
    n.gene = end.last.badGene;
    n.variant = FlyVariant::StepByStep;
    link.tell.Notice(n);
    return false;
  }
  if (const CPlanGenome* best = ga.Best())
    link.results.SetBestPlan(CPlanGenome(best->m_actions, best->m_durations, 0.0));
  CPlanGenome escapedPlan;
  if (end.escapedPlan >= 0) escapedPlan = workList[static_cast<std::size_t>(end.escapedPlan)];
  if (!ga.Epoch(workList, p, rng)) link.tell.Notice({NoticeKind::PopulationNotEven});
  link.tell.GenerationDone({ga.Generation(), ga.BestFitness(), ga.AverageFitness(), end.escapedPlan >= 0});
  if (end.escapedPlan < 0) return false;
  // A plan escaped, the event that ends the plain search: keep it for the replay.
  link.results.SetBestPlan(CPlanGenome(escapedPlan.m_actions, escapedPlan.m_durations, EscapedFitness));
  return true;
}

DemonstrationRun::DemonstrationRun(const RunLink& link, const SearchSetup& setup, CPlanGA& ga)
    : m_link(link), m_setup(setup), m_p(setup.start), m_ga(ga), m_rng(setup.seed), m_eval(setup.threads) {
  const SimParams& start = m_setup.start;
  m_ga.Init(start.PopulationSize, start.DurationMutationRate, start.ChromosomeLength, m_p, m_rng);
  m_workList = m_ga.Genomes();
}

FrameSnapshot DemonstrationRun::Frame() const {
  FrameSnapshot f = PlanProgressFrame(m_ga, m_shown.flight.State(), m_setup.field);
  f.paths = m_paths;
  return f;
}

RunStep DemonstrationRun::Step() {
  if (!m_shown.flying) return NextGeneration();
  const FrameMaker frame = [this] { return Frame(); };
  const std::optional<ShownEnd> end =
      m_shown.flight.Step(m_link.asks, m_link.tell, m_shown.p, m_setup.field, PerceivedCount(m_setup.start), frame);
  if (!end) return {DemoTickMs, {}};
  switch (*end) {
    case ShownEnd::InvalidCode:
      m_link.tell.Notice({NoticeKind::DemoInvalidCode});
      return Finish(m_link.tell, {RunEnd::InvalidCode, m_ga.Generation()});
    case ShownEnd::Stopped: return Finish(m_link.tell, {RunEnd::Stopped, m_ga.Generation()});
    default: break;
  }
  // However the flight ended, the next generation follows.
  m_shown.flying = false;
  ++m_steps;
  return {};
}

// Steps 0, 1, 2, ...; between two, the kept plan is flown on screen.
RunStep DemonstrationRun::NextGeneration() {
  RunEvents& tell = m_link.tell;
  const FrameMaker frame = [this] { return Frame(); };
  if (m_steps > 0) m_p = BetweenGenerations(m_link.asks, m_setup.start, m_p);
  if (StepByStep(m_link, m_eval, m_ga, m_workList, m_setup.field, m_p, m_rng, &m_paths)) {
    tell.Notice({NoticeKind::SearchEscaped});
    tell.FrameReady(frame);
    return Finish(tell, {RunEnd::Escaped, m_steps});
  }
  if (m_link.asks.StopRequested()) return Finish(tell, {RunEnd::Stopped, m_ga.Generation()});
  if (m_steps > 0 && m_steps > m_p.MaxGenerations) {
    tell.Notice({NoticeKind::GaveUp});
    tell.FrameReady(frame);
    return Finish(tell, {RunEnd::GaveUp, m_ga.Generation()});
  }
  m_shown.p = m_p;
  m_shown.flight.Start(m_link.results.BestPlan(), m_shown.p);
  m_shown.flying = true;
  tell.FrameReady(frame);
  return {};
}

}  // namespace korvane
