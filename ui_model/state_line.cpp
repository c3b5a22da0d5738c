#include "ui_model/state_line.h"

#include <algorithm>

#include "net/weight_ga.h"
#include "texts/classroom_texts.h"
#include "texts/ui_texts.h"
#include "ui_model/formatted.h"

namespace korvane {
namespace {

const char* Name(RunKind kind) { return text::Say(text::RunNames[static_cast<int>(kind)]); }

bool IsSearch(RunKind kind) { return kind == RunKind::GA || kind == RunKind::Heuristic; }

std::string Ended(const StateLineInput& in) {
  const RunOutcome& r = in.outcome;
  const char* name = Name(in.kind);
  using text::Say;
  switch (r.end) {
    case RunEnd::Escaped:
      if (IsReplay(in.kind)) return Formatted(Say(text::ReplayEscaped), name);
      // The generation it escaped in, counted from 1 as the chart and the CSV count it.
      return Formatted(Say(text::StateEscaped), name, r.generation + 1);
    case RunEnd::NotEscaped:
      // A limit changed under way is said, as the note said it.
      if (IsSearch(in.kind) && r.limit != in.startLimit) return Formatted(text::SearchEndedAtNewLimit, r.limit, r.generation);
      return Formatted(Say(text::StateNoEscape), name, r.generation, r.best);
    case RunEnd::GaveUp: return Formatted(Say(text::StateNoEscape), name, r.generation, in.best);
    case RunEnd::Trained: return Formatted(Say(text::StateTrained), name, r.generation, r.best);
    case RunEnd::Stopped:
      if (in.kind == RunKind::Training && r.generation > 0)
        return Formatted(Say(text::StateTrainingStopped), name, r.generation);
      if (IsReplay(in.kind) || r.generation == 0) return Formatted(Say(text::ReplayStopped), name);
      return Formatted(Say(text::StateStopped), name, r.generation, in.best);
    case RunEnd::UsedUp: return Formatted(Say(text::ReplayUsedUp), name);
    case RunEnd::Crashed: return Formatted(Say(text::ReplayCrashed), name);
    case RunEnd::InvalidCode:
    case RunEnd::NetworkMismatch: return Formatted(Say(text::StateFailed), name);
  }
  return {};
}

}  // namespace

std::string StateLineText(const StateLineInput& in) {
  using Phase = StateLineInput::Phase;
  using text::Say;
  const char* name = Name(in.kind);
  switch (in.phase) {
    case Phase::Ready: return Say(text::StateReady);
    case Phase::Editing: return text::EditorStatus;
    case Phase::Manual: return Say(text::StateManual);
    case Phase::Running:
      if (IsReplay(in.kind)) return Formatted(Say(text::StateReplaying), name, in.replayOf.c_str());
      return Formatted(Say(text::StateRunning), name, in.generation, in.limit);
    case Phase::Pausing: return Formatted(Say(text::StatePausing), name, in.generation, in.limit);
    case Phase::Paused: return Formatted(Say(text::StatePaused), name, in.generation, in.limit);
    case Phase::Stepped: return Formatted(Say(text::StateStepped), name, in.generation, in.limit);
    case Phase::Stopping: return Formatted(Say(text::StateStopping), name);
    case Phase::Ended: return Ended(in);
  }
  return {};
}

std::string ReplayOrigin(RunKind search, int generation, bool escaped) {
  return Formatted(text::Say(escaped ? text::ReplayEscapedPlan : text::ReplayBestPlan), Name(search), generation);
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
