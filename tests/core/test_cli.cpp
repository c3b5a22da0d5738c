#include <gtest/gtest.h>

#include "cli_run.h"
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

using korvane::test::Cli;
using korvane::test::CliRun;

std::string Between(const std::string& s, const std::string& from, const std::string& to) {
  auto a = s.find(from);
  if (a == std::string::npos) return {};
  a += from.size();
  return s.substr(a, s.find(to, a) - a);
}

}  // namespace

TEST(Cli, BadArgumentsExitTwoWithNothingOnStdout) {
  for (const char* args : {"", "fly", "ga", "ga --level 5", "ga --level 1 --set Nope=1",
                           "ga --level 1 --set PopulationSize=0", "ga --level 1 --set EliteCount=600",
                           "ga --level 1 --set ChromosomeLength=201", "ga --level 1 --seed -3",
                           "ga --level 1 --set PerceivedMeteors=50", "fly-plan --level 1",
                           "fly-plan --level 1 --plan /no/such/file.json", "train --set TrainingGenerations=5001",
                           "fly-net --level 2 --weights /no/such/weights.txt", "ga --level 1 --bogus"}) {
    CliRun r = Cli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_TRUE(r.out.empty()) << args;
    EXPECT_NE(r.err.find("korvane-cli:"), std::string::npos) << args;
  }
}

TEST(Cli, PlanFilesThatDoNotFitAreRefused) {
  const auto dir = std::filesystem::temp_directory_path() / ("korvane-cli-plan-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  auto write = [&](const char* name, const char* text) {
    std::ofstream(dir / name) << text;
    return (dir / name).string();
  };
  CliRun uneven = Cli("fly-plan --level 1 --plan " + write("a.json", R"({"actions":[1,2],"durations":[3]})"));
  EXPECT_EQ(uneven.status, 2);
  EXPECT_NE(uneven.err.find("durations"), std::string::npos);
  EXPECT_EQ(Cli("fly-plan --level 1 --plan " + write("b.json", "{\"actions\":[1]")).status, 2);
  EXPECT_EQ(Cli("fly-plan --level 1 --plan " + write("c.json", R"({"actions":[1.5],"durations":[3]})")).status, 2);
  CliRun invalid = Cli("fly-plan --level 1 --plan " + write("d.json", R"({"actions":[0,9],"durations":[1,1]})"));
  EXPECT_EQ(invalid.status, 0);
  EXPECT_NE(invalid.out.find("\"outcome\":\"invalid\""), std::string::npos);
  EXPECT_NE(invalid.err.find("action9 i0 j1"), std::string::npos);
  std::filesystem::remove_all(dir);
}

TEST(Cli, GaIsReproducibleAndItsEscapingPlanEscapesAgain) {
  CliRun a = Cli("ga --level 1 --seed 1");
  CliRun b = Cli("ga --level 1 --seed 1");
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.out, b.out);
  for (const char* key : {"\"escaped\":", "\"escape_generation\":", "\"escape_plan\":", "\"generations\":[",
                          "\"best_plan\":{\"actions\":[", "\"messages\":["})
    EXPECT_NE(a.out.find(key), std::string::npos) << key;
  ASSERT_NE(a.out.find("\"escaped\":true"), std::string::npos);
  const std::string actions = Between(a.out, "\"best_plan\":{\"actions\":[", "]");
  const std::string durations = Between(a.out, "\"durations\":[", "]");
  const auto plan = std::filesystem::temp_directory_path() / ("korvane-cli-best-" + std::to_string(::getpid()));
  std::ofstream(plan) << "{\"actions\":[" << actions << "],\"durations\":[" << durations << "]}";
  CliRun replay = Cli("fly-plan --level 1 --plan " + plan.string());
  std::filesystem::remove(plan);
  EXPECT_EQ(replay.status, 0) << replay.err;
  EXPECT_NE(replay.out.find("\"outcome\":\"escaped\""), std::string::npos) << replay.out;
  EXPECT_NE(Cli("ga --level 1 --seed 2").out, a.out);
}

TEST(Cli, SettingsReachTheRun) {
  CliRun r = Cli("ga --level 4 --seed 3 --set MaxGenerations=2 --set PopulationSize=20");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"generation\":3"), std::string::npos);
  EXPECT_EQ(r.out.find("\"generation\":4"), std::string::npos);
  // Children come in pairs: 21 - 4 elites is refused before anything runs.
  CliRun odd = Cli("ga --level 4 --seed 3 --set MaxGenerations=0 --set PopulationSize=21");
  EXPECT_EQ(odd.status, 2);
  EXPECT_NE(odd.err.find("must be even"), std::string::npos) << odd.err;
}

TEST(Cli, NetworkCommands) {
  CliRun fly = Cli("fly-net --level 1");
  ASSERT_EQ(fly.status, 0) << fly.err;
  for (const char* key : {"\"outcome\":", "\"ticks\":", "\"x\":", "\"y\":", "\"vx\":", "\"vy\":", "\"score\":"})
    EXPECT_NE(fly.out.find(key), std::string::npos) << key;
  EXPECT_EQ(Cli("fly-net --level 1").out, fly.out);
  // The built-in weights do not fit another shape.
  EXPECT_EQ(Cli("fly-net --level 1 --set HiddenLayerCount=1").status, 2);

  const auto out = std::filesystem::temp_directory_path() / ("korvane-cli-w-" + std::to_string(::getpid()));
  std::filesystem::remove(out);
  const std::string train = "train --seed 1 --set TrainingGenerations=2 --set NetPopulationSize=10 --weights-out ";
  CliRun t1 = Cli(train + out.string());
  ASSERT_EQ(t1.status, 0) << t1.err;
  EXPECT_EQ(Cli(train + out.string()).out, t1.out);
  // The trained weights fly through --weights exactly as through the program.
  CliRun withFile = Cli("fly-net --level 2 --weights " + out.string());
  EXPECT_EQ(withFile.status, 0) << withFile.err;
  std::filesystem::remove(out);
}

TEST(Cli, ThreadCountNeverChangesTheNumbers) {
  const std::string ga = "ga --level 3 --seed 8 --set MaxGenerations=6 --set PopulationSize=80 --heuristic";
  CliRun one = Cli(ga + " --threads 1");
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(Cli(ga + " --threads 2").out, one.out);
  EXPECT_EQ(Cli(ga + " --threads 5").out, one.out);
  const std::string train = "train --seed 2 --set TrainingGenerations=2 --set NetPopulationSize=16";
  CliRun t1 = Cli(train + " --threads 1");
  ASSERT_EQ(t1.status, 0) << t1.err;
  EXPECT_EQ(Cli(train + " --threads 3").out, t1.out);
  EXPECT_EQ(Cli("ga --level 1 --threads 0").status, 2);
  EXPECT_EQ(Cli("fly-net --level 1 --threads 2").status, 2);
}
