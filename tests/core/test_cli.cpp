// korvane-cli as a user meets it: refusals, help, the stream, the settings
// list, failed writes and progress. Its numbers are the golden test's.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "engine/pilot_results.h"
#include "files/weights_file.h"
#include "sim/params.h"
#include "temp_dir.h"
#include "texts/version.h"

namespace korvane {
namespace {

using nlohmann::json;
using test::Cli;
using test::CliRun;
using test::kTableWeights;
using test::Lines;

const std::string kSmallGa = "ga --level 4 --seed 3 --set MaxGenerations=2 --set PopulationSize=20";
const std::string kSmallTrain = "train --seed 1 --set TrainingGenerations=2 --set NetPopulationSize=10";

// A plan file of n genes.
std::string PlanOf(int n) {
  json plan{{"actions", std::vector<int>(n, 4)}, {"durations", std::vector<double>(n, 2.0)}};
  return plan.dump();
}

class CliTest : public test::TempDirTest {};

TEST_F(CliTest, RefusalsExitTwoWithOneLineAndNothingOnStdout) {
  for (const auto& [name, text] : std::vector<std::pair<std::string, std::string>>{
           {"uneven.json", R"({"actions":[1,2],"durations":[3]})"},
           {"cut.json", R"({"actions":[1])"},
           {"half.json", R"({"actions":[1.5],"durations":[3]})"},
           {"huge.json", R"({"actions":[1],"durations":[1e400]})"},
           {"extra.json", R"({"actions":[1],"durations":[3],"speed":[1]})"},
           {"list.json", "[1, 2]"},
           {"long.json", PlanOf(31)},
           {"longest.json", PlanOf(201)},
           {"forever.json", R"({"actions":[2,4],"durations":[2147483000,1000]})"},
           {"cut.txt", FormatWeightsText(TableWeights()) + FormatWeightsText(TableWeights()).substr(0, 200)},
           {"wide.txt", FormatWeightsText(std::vector<double>(96, 1.0))},
           {"negative.json", R"({"actions":[1,2],"durations":[3,-5]})"},
           {"far.json", R"({"actions":[1],"durations":[1e300]})"},
           {"beyond.txt", "m_weight[0] = 1e400;\r\n"},
       })
    WriteFile(Path(name), text);
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);  // refused without waiting for a writer
  const std::string dir = m_dir.string();
  const struct {
    std::string args;
    std::string says;
  } cases[] = {
      {"", "no command given"},
      {"fly", "unknown command 'fly'"},
      {"ga", "ga needs --level N"},
      {"ga --level 5", "--level must be a whole number from 1 to 4, got '5'"},
      {"ga --level 1 --bogus", "--bogus"},
      {"--bogus", "the command comes first, then its options: got '--bogus'"},
      {"ga -level 1", "'-level' is not an option; options take two dashes: --level"},
      {"train --weights-out --quiet", "--weights-out needs a name, got the option '--quiet'"},
      {"fly-plan --level 1 --plan --quiet", "--plan needs a name, got the option '--quiet'"},
      {"ga --level 1 --set InsertionRate=1e-400",
       "InsertionRate: '1e-400' is too close to 0 to be held as a number (it underflows)"},
      // A line end and an escape in the value stay on the refusal's one line.
      {"ga --level 1 --set \"$(printf 'Gravity=1\\n2\\033')\"", "got '1\\n2\\x1b'"},
      {"ga --level 1 --seed -3", "--seed must be a whole number from 0 to 4294967295, got '-3'"},
      {"ga --level 1 --threads 0", "--threads must be a whole number from 1 to 256, got '0'"},
      {"ga --level 1 --set Nope=1", "unknown parameter 'Nope'"},
      {"ga --level 1 --set PopulationSize=0", "PopulationSize must be between 1 and 100000, got '0'"},
      {"ga --level 1 --set PopulationSize=9999999999", "PopulationSize must be a whole number from 1 to 100000"},
      {"ga --level 1 --set Gravity=1e400", "Gravity must be a number from -1000 to 1000, got '1e400'"},
      {"fly-net --level 1 --set Gravity=1e10", "Gravity must be between -1000 and 1000, got '1e10'"},
      {"fly-net --level 1 --set TimeStep=0", "TimeStep must be above 0 and at most 10"},
      {"ga --level 1 --set PopulationSize=21", "PopulationSize minus EliteCount must be even"},
      {"train --set HiddenLayerCount=100 --set NeuronsPerHiddenLayer=1000",
       "training (NetPopulationSize x the network's weights) needs"},
      {"train --set NetPopulationSize=2 --set NetEliteCount=0 --set HiddenLayerCount=100 --set "
       "NeuronsPerHiddenLayer=1000",
       "GiB; the limit is 2 GiB"},
      {"fly-net --level 1 --set HiddenLayerCount=100 --set NeuronsPerHiddenLayer=1000",
       "the network (HiddenLayerCount x"},
      // Each command checks what it runs: fly-net breeds no population, train no plans.
      {"fly-net --level 1 --set PopulationSize=41 --set NetPopulationSize=0", "NetPopulationSize must be between 1"},
      {"train --set PopulationSize=41 --set NetPopulationSize=41",
       "NetPopulationSize minus NetEliteCount must be even"},
      {"ga --level 1 --set EliteCount=600", "EliteCount must be between 0 and 500 (the population size)"},
      {"ga --level 1 --set PerceivedMeteors=50", "PerceivedMeteors must be a whole number from 0 to 10"},
      {"train --set TrainingGenerations=5001", "TrainingGenerations must be between 0 and 5000"},
      // Options the command would ignore.
      {"fly-net --level 1 --seed 3", "fly-net does not use --seed"},
      {"fly-net --level 1 --threads 2", "fly-net does not use --threads"},
      {"fly-plan --level 1 --plan " + test::kGoldenPlan + " --seed 3", "fly-plan does not use --seed"},
      {"train --level 1", "train does not use --level"},
      {"settings --set Gravity=1", "settings does not use --set"},
      {"ga --level 1 --weights " + kTableWeights, "--weights is used only with --heuristic"},
      {"fly-plan --level 1 --plan " + test::kGoldenPlan + " --weights " + kTableWeights,
       "only with --variant heuristic"},
      {"fly-plan --level 1 --plan " + test::kGoldenPlan + " --variant step --weights " + kTableWeights,
       "only with --variant heuristic"},
      // Files: empty names, directories, unwritable, missing, endless, too long.
      {"fly-net --level 1 --weights ''", "--weights needs a file name"},
      {"train --weights-out ''", "--weights-out needs a file name"},
      {"fly-plan --level 1 --plan ''", "--plan needs a file name"},
      {"fly-net --level 1 --weights " + dir, "is a directory"},
      {"fly-plan --level 1 --plan " + dir, "is a directory"},
      {"train --weights-out " + dir, "is a directory"},
      {"train --weights-out " + dir + "/no/such/w.txt", "--weights-out: cannot write to"},
      {"fly-net --level 2 --weights /no/such/weights.txt", "cannot open '/no/such/weights.txt'"},
      {"fly-net --level 1 --weights " + Path("cut.txt"), "block 2 of '" + Path("cut.txt") + "' is damaged"},
      {"fly-net --level 1 --weights " + Path("cut.txt") + " --block 3", "holds 2 blocks; there is no block 3"},
      {"fly-net --level 1 --weights " + Path("wide.txt"), "block 1 holds 96 weights but the network needs 95"},
      {"fly-net --level 1 --block 1", "--block needs --weights FILE"},
      {"fly-net --level 1 --weights table --block 1", "--block needs --weights FILE"},
      {"fly-net --level 1 --weights table --set HiddenLayerCount=1", "the weight table hold"},
      {"fly-plan --level 1 --plan " + Path("forever.json"), "more than a flight can count"},
      {"fly-net --level 1 --set HiddenLayerCount=1", "the built-in weights hold"},
      {"fly-plan --level 1", "fly-plan needs --plan FILE"},
      {"fly-plan --level 1 --plan /no/such/plan.json", "no such file"},
      {"fly-plan --level 1 --plan /dev/zero", "--plan needs a regular file, but '/dev/zero' is not one"},
      {"fly-net --level 1 --weights " + Path("fifo"), "--weights needs a regular file"},
      {"fly-net --map " + Path("fifo") + " --map-index 1", "--map needs a regular file"},
      {"fly-plan --level 1 --plan " + Path("negative.json"), "durations must not be negative: gene 2 lasts -5"},
      {"fly-plan --level 1 --plan " + Path("far.json"),
       "add up to 1e+300 ticks, more than a flight can count (2147483647)"},
      {"fly-net --level 1 --weights " + Path("beyond.txt"), "line 1: the value is out of range"},
      {"fly-plan --level 1 --plan " + test::kGoldenPlan + " --variant fast", "--variant must be ga, heuristic or step"},
      {"fly-plan --level 1 --plan " + Path("long.json"), "raise it with --set ChromosomeLength=31"},
      {"fly-plan --level 1 --plan " + Path("longest.json"), "more than ChromosomeLength allows (200)"},
      {"fly-plan --level 1 --plan " + Path("uneven.json"), "\"durations\" has 1"},
      {"fly-plan --level 1 --plan " + Path("cut.json"), "not valid JSON"},
      {"fly-plan --level 1 --plan " + Path("half.json"), "actions must be whole numbers"},
      {"fly-plan --level 1 --plan " + Path("huge.json"), "a number is too large"},
      {"fly-plan --level 1 --plan " + Path("extra.json"), "unknown key \"speed\""},
      {"fly-plan --level 1 --plan " + Path("list.json"), "must hold a JSON object"},
  };
  for (const auto& c : cases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_NE(r.err.find("korvane-cli: "), std::string::npos) << c.args;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << "\n" << r.err;
    // One line, and at most a hint to --help after it; never the usage text.
    EXPECT_LE(Lines(r.err).size(), 2u) << c.args << "\n" << r.err;
  }
  EXPECT_NE(Cli("ga").err.find("Try 'korvane-cli ga --help'."), std::string::npos);
}

TEST(Cli, HelpForTheToolAndEachCommand) {
  for (const char* args : {"--help", "-h"}) {
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, 0) << args;
    for (const char* command : {"ga", "train", "fly-net", "fly-plan", "settings", "Exit status", "--version"})
      EXPECT_NE(r.out.find(command), std::string::npos) << args << " " << command;
  }
  // The first line is what help2man takes as the name and version.
  const CliRun version = Cli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(Lines(version.out).at(0), std::string("korvane-cli ") + kVersion);
  EXPECT_NE(version.out.find("License MIT"), std::string::npos);
  // How the escape's generation is counted, in the tool's help and ga's.
  for (const char* args : {"--help", "ga --help"})
    EXPECT_NE(Cli(args).out.find("escape_generation counts the generations completed before the escape"),
              std::string::npos)
        << args;
  // Each command lists what it uses and hides what it would refuse.
  const struct {
    const char* command;
    const char* lists;
    const char* hides;
  } cases[] = {{"ga", "--heuristic", "--plan"},
               {"train", "--weights-out", "--level"},
               {"fly-net", "--weights", "--seed"},
               {"fly-plan", "--variant", "--threads"},
               {"settings", "--json", "--set"}};
  for (const auto& c : cases) {
    for (const char* help : {" --help", " -h"}) {
      const CliRun r = Cli(std::string(c.command) + help);
      EXPECT_EQ(r.status, 0) << c.command;
      EXPECT_NE(r.out.find(std::string("Usage: korvane-cli ") + c.command), std::string::npos) << c.command;
      EXPECT_NE(r.out.find(c.lists), std::string::npos) << c.command;
      EXPECT_EQ(r.out.find(c.hides), std::string::npos) << c.command;
    }
  }
}

TEST(Cli, StreamPrintsEachGenerationThenTheResult) {
  for (const std::string& run : {kSmallGa, kSmallTrain}) {
    const CliRun plain = Cli(run + " --threads 1");
    const CliRun streamed = Cli(run + " --threads 1 --stream");
    ASSERT_EQ(streamed.status, 0) << run << streamed.err;
    const std::vector<std::string> lines = Lines(streamed.out);
    ASSERT_GE(lines.size(), 2u) << run;
    // The last line is the usual result, value for value.
    EXPECT_EQ(json::parse(lines.back()), json::parse(plain.out)) << run;
    const json generations = json::parse(lines.back()).at("generations");
    ASSERT_EQ(generations.size(), lines.size() - 1) << run;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
      const auto line = nlohmann::ordered_json::parse(lines[i]);
      std::vector<std::string> keys;
      for (const auto& item : line.items()) keys.push_back(item.key());
      EXPECT_EQ(keys, (std::vector<std::string>{"generation", "best", "average"})) << lines[i];
      EXPECT_EQ(json::parse(lines[i]), generations[i]) << run;
    }
  }
}

TEST(Cli, SettingsListEverySettingWithItsLimits) {
  const CliRun r = Cli("settings --json");
  ASSERT_EQ(r.status, 0) << r.err;
  const json list = json::parse(r.out);
  const SimParams defaults;
  for (const ParamInfo& info : ParamTable()) {
    SCOPED_TRACE(info.name);
    const auto it = std::find_if(list.begin(), list.end(), [&](const json& s) { return s.at("name") == info.name; });
    ASSERT_NE(it, list.end());
    EXPECT_EQ(it->at("default").get<double>(), GetParam(defaults, info));
    EXPECT_EQ(it->at("min").get<double>(), info.lo);
    EXPECT_EQ(it->at("max").get<double>(), info.hi);
    EXPECT_EQ(it->at("integer").get<bool>(), info.isInt);
    EXPECT_EQ(it->at("min_exclusive").get<bool>(), info.loOpen);
    EXPECT_FALSE(it->at("meaning").get<std::string>().empty());
  }
  const auto perceived =
      std::find_if(list.begin(), list.end(), [](const json& s) { return s.at("name") == "PerceivedMeteors"; });
  ASSERT_NE(perceived, list.end());
  EXPECT_EQ(perceived->at("max"), 10);
  EXPECT_EQ(list.size(), ParamTable().size());

  const CliRun text = Cli("settings");
  ASSERT_EQ(text.status, 0);
  for (const ParamInfo& info : ParamTable()) EXPECT_NE(text.out.find(info.name), std::string::npos) << info.name;
  EXPECT_NE(text.out.find("a whole number from 1 to 200"), std::string::npos);  // ChromosomeLength
}

TEST(Cli, AFailedWriteExitsOneWithAMessage) {
  // A full disk, a reader that reads one byte and goes, a reader gone before
  // the first line of a stream.
  const struct {
    std::string args;
    std::string reader;
  } cases[] = {
      {kSmallGa + " >/dev/full", "cat"},
      {kSmallGa, "head -c 1 >/dev/null"},
      {kSmallGa + " --stream", "true"},
      {"settings --json", "head -c 1 >/dev/null"},
  };
  for (const auto& c : cases) {
    const CliRun r = test::CliInto(c.args, c.reader);
    EXPECT_EQ(r.status, 1) << c.args << " | " << c.reader;
    EXPECT_NE(r.err.find("korvane-cli: cannot write the output"), std::string::npos) << c.args << "\n" << r.err;
  }
  // The trained weights that could not be appended are still printed.
  const CliRun train = Cli(kSmallTrain + " --weights-out /dev/full");
  EXPECT_EQ(train.status, 1);
  EXPECT_NE(train.err.find("could not be written to '/dev/full'"), std::string::npos) << train.err;
  EXPECT_EQ(json::parse(train.out).at("weights"), json::parse(Cli(kSmallTrain).out).at("weights"));
}

TEST(Cli, ProgressLinesOnAPipeUnlessQuiet) {
  // An interval of 0: a line each generation, without waiting two seconds.
  ::setenv("KORVANE_PROGRESS_MS", "0", 1);
  const CliRun ga = Cli(kSmallGa);
  const CliRun train = Cli(kSmallTrain);
  const CliRun quiet = Cli(kSmallGa + " --quiet");
  ::unsetenv("KORVANE_PROGRESS_MS");
  EXPECT_NE(ga.err.find("ga: generation 1 of 3, best "), std::string::npos) << ga.err;
  EXPECT_NE(ga.err.find("ga: generation 3 of 3"), std::string::npos) << ga.err;
  EXPECT_NE(train.err.find("train: generation 2 of 2"), std::string::npos) << train.err;
  EXPECT_EQ(quiet.err.find("generation"), std::string::npos) << quiet.err;
  EXPECT_EQ(quiet.out, ga.out);
}

TEST_F(CliTest, TheEscapingPlanEscapesAgain) {
  const CliRun ga = Cli("ga --level 1 --seed 1");
  ASSERT_EQ(ga.status, 0) << ga.err;
  const json result = json::parse(ga.out);
  ASSERT_TRUE(result.at("escaped").get<bool>());
  const json& best = result.at("best_plan");
  WriteFile(Path("best.json"), json{{"actions", best.at("actions")}, {"durations", best.at("durations")}}.dump());
  const CliRun replay = Cli("fly-plan --level 1 --plan " + Path("best.json"));
  ASSERT_EQ(replay.status, 0) << replay.err;
  EXPECT_EQ(json::parse(replay.out).at("outcome"), "escaped");
}

TEST_F(CliTest, TrainedWeightsFlyThroughTheirFile) {
  const std::string out = Path("w.txt");
  const CliRun t = Cli(kSmallTrain + " --weights-out " + out);
  ASSERT_EQ(t.status, 0) << t.err;
  EXPECT_EQ(Cli(kSmallTrain + " --weights-out " + out).out, t.out);
  const CliRun fly = Cli("fly-net --level 2 --weights " + out);
  EXPECT_EQ(fly.status, 0) << fly.err;
}

TEST(Cli, ThreadCountNeverChangesTheNumbers) {
  const std::string heuristic = "ga --level 3 --seed 8 --set MaxGenerations=6 --set PopulationSize=80 --heuristic";
  for (const std::string& run : {heuristic, kSmallTrain}) {
    const CliRun one = Cli(run + " --threads 1");
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(Cli(run + " --threads 2").out, one.out) << run;
    EXPECT_EQ(Cli(run + " --threads 5").out, one.out) << run;
  }
}

// The built-in trained set is the default and flies out of every level; the
// table is there by name and flies as its file does.
TEST(Cli, WeightSetsAndAnEmptyTraining) {
  for (int level = 1; level <= 4; ++level) {
    const std::string at = "fly-net --level " + std::to_string(level);
    EXPECT_EQ(json::parse(Cli(at).out)["outcome"], "escaped") << level;
    EXPECT_EQ(Cli(at + " --weights builtin").out, Cli(at).out) << level;
    EXPECT_EQ(Cli(at + " --weights table").out, Cli(at + " --weights " + kTableWeights).out) << level;
  }
  // No generation flown, none reported.
  const CliRun none = Cli("train --quiet --set TrainingGenerations=0 --set NetPopulationSize=4");
  ASSERT_EQ(none.status, 0) << none.err;
  EXPECT_EQ(json::parse(none.out)["generations"], json::array());
}

}  // namespace
}  // namespace korvane
