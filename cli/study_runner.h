#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "cli/options.h"
#include "cli/runs_appender.h"
#include "sim/meteor_field.h"
#include "study/grid.h"

// Flies a study's runs, --threads of them at once, each on one thread as
// `ga --threads 1` flies it, and appends each run's line as it finishes.
namespace korvane::cli {

struct StudyTally {
  int flown = 0;
  int escaped = 0;
};

// What the runs fly: the grid and which of its runs, and by the grid's
// field and method indexes, the fields and the weights (with their
// fingerprints).
struct StudyWork {
  const study::Grid& grid;
  std::vector<std::uint64_t> pending;
  std::vector<MeteorField> fields;
  std::vector<std::vector<double>> weights;
  std::vector<std::optional<std::uint64_t>> weightsFnv;
};

// A line that cannot be written stops the study: the runs under way
// finish, no other starts, and WriteFailure is thrown.
StudyTally FlyStudy(const Options& o, const StudyWork& work, RunsAppender& out);

}  // namespace korvane::cli
