#pragma once
#include <vector>

#include "cli/options.h"
#include "cli/runs_appender.h"
#include "sim/meteor_field.h"

// Flies a study's runs, --threads of them at once, each on one thread as
// `ga --threads 1` flies it, and appends each run's line as it finishes.
namespace korvane::cli {

struct StudyTally {
  int flown = 0;
  int escaped = 0;
};

// fields and weights are indexed as the runs' field and method. A line
// that cannot be written stops the study: the runs under way finish, no
// other starts, and WriteFailure is thrown.
StudyTally FlyStudy(const Options& o, const std::vector<study::Run>& runs, const std::vector<MeteorField>& fields,
                    const std::vector<std::vector<double>>& weights, RunsAppender& out);

}  // namespace korvane::cli
