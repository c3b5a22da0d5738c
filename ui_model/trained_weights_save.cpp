#include "ui_model/trained_weights_save.h"

namespace korvane {

SaveResult SaveTrainedWeights(TrainingRun& run, const std::vector<double>& weights, RunEvents& tell,
                              const std::string& path) {
  const SaveResult saved = path.empty() ? SaveResult::Ok : AppendWeightsFile(path, FormatWeightsText(weights));
  switch (saved) {
    case SaveResult::OpenFailed: tell.Notice({NoticeKind::SaveOpenFailed}); return saved;
    case SaveResult::WriteFailed: tell.Notice({NoticeKind::SaveWriteFailed}); return saved;
    case SaveResult::Ok: break;
  }
  tell.ShowLevel(1);
  tell.FrameReady([&run] { return run.FinalFrame(); });
  RunNotice done{NoticeKind::TrainingDone};
  done.fitness = run.Outcome().best;
  tell.Notice(done);
  return saved;
}

}  // namespace korvane

namespace korvane {

TrainedAndSaved TrainAndSave(IHost& host, PilotResults& results, const TrainingRun::Setup& setup, CWeightGA& weightGA,
                             CNeuralNet& net, const std::string& path) {
  TrainingRun run({host, host, results}, setup, weightGA, net);
  TrainedAndSaved out{RunToEnd(run, host), std::nullopt};
  if (out.outcome.end == RunEnd::Trained) out.saved = SaveTrainedWeights(run, results.Weights(), host, path);
  return out;
}

}  // namespace korvane
