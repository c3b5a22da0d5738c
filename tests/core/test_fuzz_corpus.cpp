// Replays the fuzzing seeds through every reader, so every build checks the
// inputs the fuzzers start from (and any finding added to them).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/plan_file.h"
#include "files/obstacle_map_file.h"
#include "files/weights_file.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  const fs::path root = fs::path(KORVANE_SOURCE_DIR) / "fuzz" / "corpus";
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files.push_back(entry.path());
  return files;
}

std::string Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(FuzzCorpus, EveryFileGoesThroughEveryReader) {
  const auto files = CorpusFiles();
  ASSERT_GE(files.size(), 10u);
  int loaded = 0;
  int weightBlocks = 0;
  int plans = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    const std::string text = Bytes(file);
    const int maps = CountMaps(text);
    for (int k = 1; k <= maps + 1; ++k) {
      MeteorField field;
      field.count = 0;
      MapLoadResult r = ParseMapText(text, k, field);
      if (r.status == MapLoadStatus::Loaded) {
        ++loaded;
        EXPECT_LE(k, maps);
        EXPECT_GE(field.count, 0);
        EXPECT_LE(field.count, MaxObstacles);
      } else {
        EXPECT_FALSE(MapLoadReason(r, k).empty());
      }
    }
    for (const WeightsBlock& b : SplitWeightsBlocks(text)) {
      const WeightsPick p = PickWeightsBlock(text, b.number);
      EXPECT_EQ(p.status == WeightsPickStatus::Ok, b.Whole());
      EXPECT_EQ(WeightsPickReason(p, "weights.txt").empty(), b.Whole());
      if (b.Whole()) ++weightBlocks;
    }
    std::string planError;
    if (auto plan = cli::ParsePlanText(text, &planError)) {
      ++plans;
      EXPECT_EQ(plan->actions.size(), plan->durations.size());
    } else {
      EXPECT_FALSE(planError.empty());
    }
  }
  // The seeds hold good files of every kind, not only damaged ones.
  EXPECT_GE(loaded, 5);
  EXPECT_GE(weightBlocks, 3);
  EXPECT_GE(plans, 3);
}

}  // namespace
}  // namespace korvane
