// 演示遗传算法过程: the plan search one generation at a time, the best plan
// of each flown on screen in between.
#include "engine/autopilot.h"
#include "engine/run_settings.h"
#include "engine/shown_flight.h"
#include "texts/messages.h"

namespace korvane {
namespace {

// The demonstration's flights are paced like the replay so they can be watched.
constexpr int kDemoTickMs = 20;

}  // namespace

int CAutoPilot::StepByStep(IHost& host, CPlanGA& ga, const MeteorField& field, const SimParams& p, CRand& rng) {
  const GenerationEnd end = FlyGeneration(host, FlyVariant::StepByStep, p, field, nullptr, nullptr, ga.PopSize());
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
  auto frame = [&] { return PlanProgressFrame(ga, shown.State(), field); };
  auto succeed = [&] {
    host.ShowMessage(msg::Success);
    host.Repaint(frame());
  };
  if (StepByStep(host, ga, field, p, rng)) return succeed();
  if (host.StopRequested()) return;
  SimParams screen = p;
  shown.Start(BestPlan(), screen);
  host.Repaint(frame());
  const int k = PerceivedCount(start);
  bool ended = false;
  for (int s = 0;;) {
    if (host.StopRequested()) return;
    if (ended) {
      ++s;
      p = BetweenGenerations(host, start);
      if (StepByStep(host, ga, field, p, rng)) return succeed();
      if (host.StopRequested()) return;
      if (s > p.MaxGenerations) {
        host.ShowMessage(msg::GiveUp);
        host.Repaint(frame());
        return;
      }
      screen = p;
      shown.Start(BestPlan(), screen);
      ended = false;
      host.Repaint(frame());
      continue;
    }
    switch (shown.Fly(host, screen, kDemoTickMs, frame)) {
      case ShownPlanFlight::Tick::UsedUp: ended = true; continue;
      case ShownPlanFlight::Tick::InvalidCode: host.ShowMessage(msg::BadActionDemo); return;
      case ShownPlanFlight::Tick::Flew: break;
    }
    FlightState& fs = shown.State();
    if (HasEscaped(fs.boat)) ended = true;
    if (CheckCollision(fs.per, fs.boat, field, k)) ended = true;
  }
}

}  // namespace korvane
