#include "ui_model/run_ledger.h"

#include <algorithm>

namespace korvane {

void RunLedger::Started(int id, RunKind kind, int startLimit, std::string replayOf) {
  m_running.push_back({id, kind, 0, 0.0, startLimit, std::move(replayOf)});
}

const RunLedger::Entry* RunLedger::Find(int id) const {
  for (const Entry& e : m_running)
    if (e.id == id) return &e;
  return nullptr;
}

void RunLedger::Frame(int id, const FrameSnapshot& f) {
  auto it = std::find_if(m_running.begin(), m_running.end(), [id](const Entry& e) { return e.id == id; });
  if (it == m_running.end()) return;
  if (f.planPanel) {
    it->generation = f.planPanel->generation;
    it->best = f.planPanel->best;
  } else if (f.chart) {
    it->generation = f.chart->generation;
    it->best = f.chart->best;
  }
}

void RunLedger::Ended(int id, const RunOutcome& outcome) {
  auto it = std::find_if(m_running.begin(), m_running.end(), [id](const Entry& e) { return e.id == id; });
  if (it == m_running.end()) return;
  StateLineInput in;
  in.phase = StateLineInput::Phase::Ended;
  in.kind = it->kind;
  in.generation = it->generation;
  in.best = it->best;
  in.outcome = outcome;
  in.startLimit = it->startLimit;
  m_ended = in;
  const bool plans = it->kind == RunKind::GA || it->kind == RunKind::Heuristic || it->kind == RunKind::StepByStep;
  if (plans && outcome.end == RunEnd::Escaped) m_keptPlan = ReplayOrigin(it->kind, outcome.generation + 1, true);
  // The demonstration keeps the best of the generation before its last.
  else if (plans)
    m_keptPlan = ReplayOrigin(it->kind, it->generation - (it->kind == RunKind::StepByStep), false);
  m_running.erase(it);
}

std::string RunLedger::KeptPlan(std::optional<int> heldRun) const {
  if (const Entry* e = heldRun ? Find(*heldRun) : nullptr) return ReplayOrigin(e->kind, e->generation, false);
  return m_keptPlan;
}

StateLineInput RunLedger::Under(const Entry& e, const Live& live) const {
  using Phase = StateLineInput::Phase;
  StateLineInput in;
  in.kind = e.kind;
  in.generation = e.generation;
  in.best = e.best;
  in.limit = live.limit;
  in.replayOf = e.replayOf;
  in.phase = live.stopAsked                         ? Phase::Stopping
             : live.held                            ? (live.stepping ? Phase::Stepped : Phase::Paused)
             : live.pauseAsked && !IsReplay(e.kind) ? Phase::Pausing
                                                    : Phase::Running;
  return in;
}

StateLineInput RunLedger::State(std::optional<Live> computing, std::optional<Live> replay) const {
  for (const std::optional<Live>& live : {replay, computing})
    if (const Entry* e = live ? Find(live->id) : nullptr) return Under(*e, *live);
  return m_ended.value_or(StateLineInput{});
}

}  // namespace korvane
