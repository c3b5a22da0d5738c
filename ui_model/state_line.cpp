#include "ui_model/state_line.h"

#include <algorithm>

#include "net/weight_ga.h"
#include "ui_model/formatted.h"

namespace korvane {
namespace {

constexpr Tx kRunNames[] = {Tx::RunSearch,    Tx::RunDemonstration, Tx::RunTraining,
                            Tx::RunHeuristic, Tx::RunReplay,        Tx::RunNetworkFlight};

}  // namespace

std::string RunName(RunKind kind) { return Say(kRunNames[static_cast<int>(kind)]); }

namespace {

bool IsSearch(RunKind kind) { return kind == RunKind::GA || kind == RunKind::Heuristic; }

std::string Ended(const StateLineInput& in) {
  const RunOutcome& r = in.outcome;
  const std::string name = RunName(in.kind);
  switch (r.end) {
    case RunEnd::Escaped:
      if (IsReplay(in.kind)) return text::Ui<Tx::ReplayEscaped>(name);
      // The generation it escaped in, counted from 1 as the chart and the CSV count it.
      return text::Ui<Tx::StateEscaped>(name, r.generation + 1);
    case RunEnd::NotEscaped:
      // A limit changed under way is said, as the note said it.
      if (IsSearch(in.kind) && r.limit != in.startLimit)
        return text::Ui<Tx::SearchEndedAtNewLimit>(r.limit, r.generation);
      return text::Ui<Tx::StateNoEscape>(name, r.generation, Two(r.best));
    case RunEnd::GaveUp: return text::Ui<Tx::StateNoEscape>(name, r.generation, Two(in.best));
    case RunEnd::Trained: return text::Ui<Tx::StateTrained>(name, r.generation, Two(r.best));
    case RunEnd::Stopped:
      if (in.kind == RunKind::Training && r.generation > 0)
        return text::Ui<Tx::StateTrainingStopped>(name, r.generation);
      if (IsReplay(in.kind) || r.generation == 0) return text::Ui<Tx::ReplayStopped>(name);
      return text::Ui<Tx::StateStopped>(name, r.generation, Two(in.best));
    case RunEnd::UsedUp: return text::Ui<Tx::ReplayUsedUp>(name);
    case RunEnd::Crashed: return text::Ui<Tx::ReplayCrashed>(name);
    case RunEnd::InvalidCode:
    case RunEnd::NetworkMismatch: return text::Ui<Tx::StateFailed>(name);
  }
  return {};
}

}  // namespace

std::string StateLineText(const StateLineInput& in) {
  using Phase = StateLineInput::Phase;
  const std::string name = RunName(in.kind);
  switch (in.phase) {
    case Phase::Ready: return Say(Tx::StateReady);
    case Phase::Editing: return Say(Tx::EditorStatus);
    case Phase::Manual: return Say(Tx::StateManual);
    case Phase::Running:
      if (IsReplay(in.kind)) return text::Ui<Tx::StateReplaying>(name, in.replayOf);
      return text::Ui<Tx::StateRunning>(name, in.generation, in.limit);
    case Phase::Pausing: return text::Ui<Tx::StatePausing>(name, in.generation, in.limit);
    case Phase::Paused: return text::Ui<Tx::StatePaused>(name, in.generation, in.limit);
    case Phase::Stepped: return text::Ui<Tx::StateStepped>(name, in.generation, in.limit);
    case Phase::Stopping: return text::Ui<Tx::StateStopping>(name);
    case Phase::Ended: return Ended(in);
  }
  return {};
}

std::string ReplayOrigin(RunKind search, int generation, bool escaped) {
  return escaped ? text::Ui<Tx::ReplayEscapedPlan>(RunName(search), generation)
                 : text::Ui<Tx::ReplayBestPlan>(RunName(search), generation);
}

int GenerationLimit(RunKind kind, const SimParams& p) {
  switch (kind) {
    // Generations 0 to MaxGenerations.
    case RunKind::GA:
    case RunKind::Heuristic: return p.MaxGenerations + 1;
    // It gives up once it has stepped past MaxGenerations.
    case RunKind::StepByStep: return p.MaxGenerations + 2;
    case RunKind::Training: return std::min(p.TrainingGenerations, CWeightGA::MaxHistory);
    default: return 0;
  }
}

}  // namespace korvane
