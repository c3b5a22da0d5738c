#include "ui_model/run_words.h"

#include "texts/messages.h"
#include "ui_model/formatted.h"

namespace korvane {

std::vector<std::string> BoxTexts(const RunNotice& n) {
  switch (n.kind) {
    case NoticeKind::SearchEscaped: return {msg::Success};
    case NoticeKind::SearchStopped: return {msg::SearchStopped};
    case NoticeKind::PopulationNotEven: return {msg::PopulationNotOdd};
    case NoticeKind::InvalidCode:
      return {Formatted(msg::BadActionFormat, n.code, n.plan, n.gene,
                        n.variant == FlyVariant::StepByStep ? "StepByStep" : "OnStartGenAlg")};
    case NoticeKind::NetworkMismatch: return {msg::NetworkError, msg::NetworkMismatch};
    case NoticeKind::GaveUp: return {msg::GiveUp};
    case NoticeKind::ReplayOver: return {msg::ReplayOver};
    case NoticeKind::ReplayInvalidCode: return {msg::BadActionReplay};
    case NoticeKind::DemoInvalidCode: return {msg::BadActionDemo};
    case NoticeKind::FlightEscaped: return {msg::Escaped};
    case NoticeKind::FlightCrashed: return {msg::Stardust};
    case NoticeKind::TrainingStopped: return {Formatted(msg::TrainingStopped, n.generation)};
    case NoticeKind::TrainingStoppedEarly: return {msg::TrainingStoppedEarly};
    case NoticeKind::TrainingDone: return {Formatted(msg::TrainingDone, n.fitness)};
    case NoticeKind::SaveOpenFailed: return {msg::FileOpenError};
    case NoticeKind::SaveWriteFailed: return {msg::FileWriteError};
  }
  return {};
}

}  // namespace korvane
