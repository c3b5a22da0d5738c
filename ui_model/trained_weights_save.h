#pragma once
#include <optional>
#include <string>

#include "engine/host.h"
#include "engine/training.h"
#include "files/weights_file.h"

namespace korvane {

// What follows a finished training: its weights (in force already) appended
// to path (none: nothing written), then level 1 with the charts and the
// training's score; a failed append is told instead, and nothing follows it.
SaveResult SaveTrainedWeights(TrainingRun& run, const std::vector<double>& weights, RunEvents& tell,
                              const std::string& path);

struct TrainedAndSaved {
  RunOutcome outcome;
  std::optional<SaveResult> saved;  // none: training did not finish
};

// 训练网络 as the program runs it: the training driven to its end, then its
// weights saved as above.
TrainedAndSaved TrainAndSave(IHost& host, PilotResults& results, const TrainingRun::Setup& setup, CWeightGA& weightGA,
                             CNeuralNet& net, const std::string& path);

}  // namespace korvane
