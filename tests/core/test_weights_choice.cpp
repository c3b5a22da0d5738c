// The weights a user keeps: the built-in sets, loading a block of a file, and
// what the status bar says.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli_run.h"
#include "engine/autopilot.h"
#include "files/weights_file.h"
#include "net/default_weights.h"
#include "net/trained_weights.h"
#include "temp_dir.h"
#include "ui_model/weights_choice.h"

namespace korvane {
namespace {

NetFlightResult Fly(std::span<const double> weights, int level) {
  SimParams p;
  CNeuralNet net;
  CRand rng;
  net.Build(p, rng);
  net.LoadWeights(weights);
  FlightState fs;
  return CAutoPilot::FlyNetworkScored(fs, net, p, BuiltInLevel(level));
}

// What a save writes: six decimals.
std::vector<double> AsSaved(std::span<const double> w) {
  std::vector<double> out;
  for (double v : w) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lf", v);
    out.push_back(std::strtod(buf, nullptr));
  }
  return out;
}

TEST(BuiltinWeights, TheTrainedSetEscapesEveryLevelAndSoDoesItsSavedForm) {
  for (int level = 1; level <= 4; ++level) {
    EXPECT_EQ(Fly(TrainedWeights, level).end, NetFlightEnd::Escaped) << level;
    EXPECT_EQ(Fly(AsSaved(TrainedWeights), level).end, NetFlightEnd::Escaped) << level;
    // The table, as given, does not fly under these rules.
    EXPECT_EQ(Fly(DefaultWeights, level).end, NetFlightEnd::Crashed) << level;
  }
  // Four escapes make the fitness its training reached.
  double fitness = 0;
  for (int level = 1; level <= 4; ++level) fitness += Fly(TrainedWeights, level).score;
  EXPECT_EQ(fitness, TrainedWeightsFitness);
}

// The table is what `korvane-cli train --seed 1` prints, to the last bit.
TEST(BuiltinWeights, TheTrainedSetIsTheOutputOfItsCommand) {
#ifdef KORVANE_SANITIZED
  GTEST_SKIP() << "a whole training run is too slow under the sanitizers";
#endif
  const test::CliRun r = test::Cli("train --seed 1");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto at = r.out.rfind("\"weights\":[");
  ASSERT_NE(at, std::string::npos);
  std::vector<double> printed;
  const char* s = r.out.c_str() + at + 11;
  while (*s && *s != ']') {
    char* end = nullptr;
    printed.push_back(std::strtod(s, &end));
    s = *end == ',' ? end + 1 : end;
  }
  EXPECT_EQ(printed, std::vector<double>(TrainedWeights.begin(), TrainedWeights.end()));
}

class WeightsChoiceTest : public test::TempDirTest {};

TEST_F(WeightsChoiceTest, BlocksAreLoadedOnlyWhenWholeAndOfTheRightCount) {
  const std::string good = FormatWeightsText(TrainedWeights);
  const std::string table = FormatWeightsText(DefaultWeights);
  const std::string wrong = FormatWeightsText(std::vector<double>(96, 1.0));
  const std::string path = Path("weights.txt");
  WriteFile(path, good + wrong + table + table.substr(0, 300));  // the last block cut off
  const SimParams p;

  struct Case {
    std::optional<int> block;
    bool ok;
    const char* says;
  };
  for (const Case& c :
       {Case{std::nullopt, false, "第4组权值已损坏"}, Case{1, true, ""},
        Case{2, false, "第2组有96个权值，但神经网络需要95个"}, Case{3, true, ""}, Case{5, false, "没有第5组"}}) {
    const WeightsLoad load = LoadWeightsFile(path, c.block, p);
    EXPECT_EQ(load.ok, c.ok) << load.message;
    EXPECT_NE(load.message.find(c.says), std::string::npos) << load.message;
    if (load.ok) {
      EXPECT_EQ(load.source.kind, WeightsSource::Kind::File);
      EXPECT_EQ(load.source.file, "weights.txt");
      EXPECT_EQ(load.source.block, *c.block);
      EXPECT_EQ(load.weights.size(), 95u);
    }
  }
  EXPECT_EQ(WeightsBlockChoices(path), (std::vector<std::string>{"第1组（95个权值）", "第2组（96个权值）",
                                                                 "第3组（95个权值）", "第4组（已损坏）"}));
  EXPECT_FALSE(LoadWeightsFile(Path("none.txt"), std::nullopt, p).ok);
}

TEST(WeightsStatus, NamesTheSourceAndWhatIsKnownOfIt) {
  WeightsSource file{WeightsSource::Kind::File, "w.txt", 2, 0, std::nullopt};
  WeightsSource paused{WeightsSource::Kind::TrainingPaused, "", 0, 12, 4800.5};
  WeightsSource table;
  table.kind = WeightsSource::Kind::Table;
  EXPECT_EQ(WeightsStatusText(BuiltinSource()), "当前权重：内置训练网络，训练得分 15507.000000");
  EXPECT_EQ(WeightsStatusText(table), "当前权重：原始权重表");
  EXPECT_EQ(WeightsStatusText(file), "当前权重：文件 w.txt 第2组");
  EXPECT_EQ(WeightsStatusText(paused), "当前权重：训练暂停时的最优网络（第12代），训练得分 4800.500000");
}

}  // namespace
}  // namespace korvane
