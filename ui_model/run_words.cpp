#include "ui_model/run_words.h"

#include "ui_model/formatted.h"

namespace korvane {

std::vector<std::string> BoxTexts(const RunNotice& n) {
  switch (n.kind) {
    case NoticeKind::SearchEscaped: return {Say(Tx::Success)};
    case NoticeKind::SearchStopped: return {Say(Tx::SearchStopped)};
    case NoticeKind::PopulationNotEven: return {Say(Tx::PopulationNotOdd)};
    case NoticeKind::InvalidCode:
      return {text::Ui<Tx::BadActionFormat>(n.code, n.plan, n.gene,
                                            n.variant == FlyVariant::StepByStep ? "StepByStep" : "OnStartGenAlg")};
    case NoticeKind::NetworkMismatch: return {Say(Tx::NetworkError), Say(Tx::NetworkMismatch)};
    case NoticeKind::GaveUp: return {Say(Tx::GiveUp)};
    case NoticeKind::ReplayOver: return {Say(Tx::ReplayOver)};
    case NoticeKind::ReplayInvalidCode: return {Say(Tx::BadActionReplay)};
    case NoticeKind::DemoInvalidCode: return {Say(Tx::BadActionDemo)};
    case NoticeKind::FlightEscaped: return {Say(Tx::Escaped)};
    case NoticeKind::FlightCrashed: return {Say(Tx::Stardust)};
    case NoticeKind::TrainingStopped: return {text::Ui<Tx::TrainingStopped>(n.generation)};
    case NoticeKind::TrainingStoppedEarly: return {Say(Tx::TrainingStoppedEarly)};
    case NoticeKind::TrainingDone: return {text::Ui<Tx::TrainingDone>(text::Formatted("%lf", n.fitness))};
    case NoticeKind::SaveOpenFailed: return {Say(Tx::FileOpenError)};
    case NoticeKind::SaveWriteFailed: return {Say(Tx::FileWriteError)};
  }
  return {};
}

}  // namespace korvane
