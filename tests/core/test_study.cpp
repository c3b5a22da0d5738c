// korvane-cli study and report as a user meets them: each run is the `ga`
// call with the same arguments, a study goes on where it stopped, shards
// merge into the same report, and refusals name what is wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "engine/pilot_results.h"
#include "files/weights_file.h"
#include "study/fingerprint.h"
#include "temp_dir.h"

namespace korvane {
namespace {

using nlohmann::json;
using test::Cli;
using test::CliRun;
using test::kTableWeights;
using test::Lines;

const std::string kSmall = " --set MaxGenerations=20 --set PopulationSize=200 --quiet";

std::set<std::string> Keys(const std::string& text) {
  std::set<std::string> keys;
  for (const std::string& line : Lines(text)) keys.insert(json::parse(line).at("key").get<std::string>());
  return keys;
}

class StudyCli : public test::TempDirTest {
 protected:
  // A small study into out; its exit status.
  CliRun Study(const std::string& args, const std::string& out) {
    return Cli("study --methods ga,heuristic:table --levels 1,4 " + args + kSmall + " --out " + out);
  }
};

TEST_F(StudyCli, EachRunIsTheGaCallWithTheSameArguments) {
  const std::string out = Path("runs.jsonl");
  const CliRun r = Cli("study --methods ga,heuristic:table,heuristic:" + kTableWeights +
                       " --levels 1,4 --seeds 1-2 --vary EliteCount=2,4 --threads 2" + kSmall + " --out " + out);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(json::parse(r.out)["flown"], 24);
  const std::vector<std::string> lines = Lines(ReadFile(out));
  ASSERT_EQ(lines.size(), 24u);
  int escaped = 0;
  for (const std::string& text : lines) {
    const auto line = nlohmann::ordered_json::parse(text);
    std::vector<std::string> fields;
    for (const auto& item : line.items()) fields.push_back(item.key());
    EXPECT_EQ(fields, (std::vector<std::string>{"key", "method", "weights", "weights_fnv", "level", "seed", "settings",
                                                "escaped", "escape_generation", "generations", "seconds"}));
    // The network flown, by its contents: both spellings of the table are one.
    EXPECT_EQ(line["weights_fnv"], line["method"] == "ga"
                                       ? nlohmann::ordered_json()
                                       : nlohmann::ordered_json(study::FnvText(study::WeightsFnv(TableWeights()))));
    const int elites = line["key"].get<std::string>().find("EliteCount=2") != std::string::npos ? 2 : 4;
    json settings{{"MaxGenerations", 20}, {"PopulationSize", 200}};
    if (elites == 2) settings["EliteCount"] = 2;
    EXPECT_EQ(json::parse(line["settings"].dump()), settings) << line["key"];
    std::string ga = "ga --threads 1 --level " + line["level"].dump() + " --seed " + line["seed"].dump() + kSmall +
                     " --set EliteCount=" + std::to_string(elites);
    if (line["method"] == "heuristic") ga += " --heuristic --weights " + line["weights"].get<std::string>();
    const json want = json::parse(Cli(ga).out);
    EXPECT_EQ(json::parse(line["generations"].dump()), want["generations"]) << line["key"];
    EXPECT_EQ(line["escaped"], want["escaped"]) << line["key"];
    EXPECT_EQ(line["escape_generation"], want["escape_generation"]) << line["key"];
    escaped += line["escaped"].get<bool>();
  }
  EXPECT_GT(escaped, 0);  // both kinds of line are compared

  // A network trained in the study: once for all its runs, and not again
  // when there is nothing left to fly.
  const std::string trained =
      "study --methods heuristic:train=3 --levels 1,4 --seeds 1-2 --set TrainingGenerations=2"
      " --set NetPopulationSize=10 --set MaxGenerations=2 --set PopulationSize=20 --out " +
      Path("trained.jsonl");
  const CliRun train = Cli(trained);
  ASSERT_EQ(train.status, 0) << train.err;
  EXPECT_EQ(Lines(train.err).front(), "study: training the network with seed 3");
  EXPECT_EQ(train.err.find("training", 10), std::string::npos) << train.err;
  EXPECT_EQ(json::parse(Lines(ReadFile(Path("trained.jsonl"))).front())["weights"], "train=3");
  EXPECT_EQ(Cli(trained).err.find("training"), std::string::npos);
}

TEST_F(StudyCli, AStudyGoesOnWhereItStopped) {
  const std::string out = Path("runs.jsonl");
  ASSERT_EQ(Study("--seeds 1-2", out).status, 0);
  const std::string first = ReadFile(out);
  // More seeds: the runs flown are kept as they are, only the new ones fly.
  const CliRun more = Study("--seeds 1-3", out);
  ASSERT_EQ(more.status, 0) << more.err;
  EXPECT_EQ(json::parse(more.out)["already"], 8);
  EXPECT_EQ(json::parse(more.out)["flown"], 4);
  const std::string second = ReadFile(out);
  EXPECT_EQ(second.substr(0, first.size()), first);

  // A line cut short is reported and cut off before the next line goes on.
  WriteFile(out, second + R"({"key":"method=ga|level=1|seed=4","method":"g)");
  const CliRun cut = Study("--seeds 1-4", out);
  ASSERT_EQ(cut.status, 0) << cut.err;
  EXPECT_NE(cut.err.find("line 13 is damaged"), std::string::npos) << cut.err;
  const std::string third = ReadFile(out);
  EXPECT_EQ(third.substr(0, second.size()), second);
  EXPECT_EQ(Lines(third).size(), 16u);
  EXPECT_EQ(Keys(third).size(), 16u);

  // Killed while flying: what was written stays, nothing is flown twice.
  const std::string killed = Path("killed.jsonl");
  const std::string slow = std::string(KORVANE_CLI_PATH) +
                           " study --methods ga --levels 4 --seeds 1-6 --threads 1 --quiet --set MaxGenerations=200"
                           " --set PopulationSize=400 --out " +
                           killed;
  // While it flies, a second study on the same file is refused: the first
  // holds the file's lock for its life. It is stopped once its first line is
  // out, so that however fast it flies it cannot end before the second asks.
  const std::string refused = Path("second.err");
  const std::string kill = slow + " >/dev/null & pid=$!; for i in $(seq 3000); do [ -s " + killed +
                           " ] && break; sleep 0.02; done; kill -STOP $pid; " + slow + " >/dev/null 2>" + refused +
                           "; echo $? >" + refused + ".status; { kill -9 $pid; wait $pid; } 2>/dev/null";
  ASSERT_NE(std::system(("bash -c " + test::Quote(kill)).c_str()), -1);
  EXPECT_EQ(ReadFile(refused + ".status"), "2\n");
  EXPECT_NE(ReadFile(refused).find("is in use by another study"), std::string::npos) << ReadFile(refused);
  const std::string before = ReadFile(killed);
  ASSERT_FALSE(before.empty());
  const CliRun resumed = Cli(slow.substr(std::string(KORVANE_CLI_PATH).size() + 1));
  ASSERT_EQ(resumed.status, 0) << resumed.err;
  const std::string after = ReadFile(killed);
  const std::string whole = before.substr(0, before.rfind('\n') + 1);
  EXPECT_EQ(after.substr(0, whole.size()), whole);
  EXPECT_EQ(Lines(after).size(), 6u);
  EXPECT_EQ(Keys(after).size(), 6u);

  // The same runs with other settings are refused, and the file is untouched.
  const CliRun other = Study("--seeds 1-4 --set EliteCount=2", out);
  EXPECT_EQ(other.status, 2);
  EXPECT_NE(other.err.find("is in '" + out + "' (line "), std::string::npos) << other.err;
  EXPECT_NE(other.err.find("with other settings"), std::string::npos) << other.err;
  EXPECT_EQ(ReadFile(out), third);
  // Only a last line can be cut short.
  WriteFile(out, "{}\n" + third);
  const CliRun damaged = Study("--seeds 1-4", out);
  EXPECT_EQ(damaged.status, 2);
  EXPECT_NE(damaged.err.find("line 1 is not a run line"), std::string::npos) << damaged.err;
}

// A run is named by what it flies: a map by its meteors however its file
// is spelled, a network by its weights; a study that would mix two networks
// in one cell is refused, and so is one going on over lines that named
// their map by its file.
TEST_F(StudyCli, RunsAreKeyedByWhatTheyFly) {
  const std::string tiny = " --set MaxGenerations=2 --set PopulationSize=20 --quiet";
  const std::string map = Path("map.txt");
  WriteFile(map, "Obstacle1\r\n300,200,30,\r\nObstacle2\r\n300,200,30,\r\n");
  const std::string out = Path("runs.jsonl");
  // Levels and maps together.
  const CliRun first = Cli("study --methods ga --levels 1 --maps " + map + ":1 --seeds 1-2" + tiny + " --out " + out);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(json::parse(first.out)["flown"], 4);
  const std::string flown = ReadFile(out);
  std::string mapLine;
  for (const std::string& l : Lines(flown))
    if (l.find("\"map\":") != std::string::npos) mapLine = l;
  const auto line = json::parse(mapLine);
  const std::string fnv = line["map_fnv"].get<std::string>();
  EXPECT_EQ(fnv.size(), 16u);
  EXPECT_EQ(line["map"], map);
  EXPECT_EQ(line["key"].get<std::string>().substr(0, 30), "method=ga|map=" + fnv);
  // The same map spelled otherwise, or saved again as map 2: nothing to fly.
  for (const std::string& same : {m_dir.string() + "/./map.txt:1", map + ":2"}) {
    const CliRun again = Cli("study --methods ga --levels 1 --maps " + same + " --seeds 1-2" + tiny + " --out " + out);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(json::parse(again.out)["already"], 4) << same;
    EXPECT_EQ(json::parse(again.out)["runs_in_file"], 4) << same;
  }
  EXPECT_EQ(ReadFile(out), flown);

  // A weights file that gained a block names another network.
  const std::string weights = Path("w.txt");
  WriteFile(weights, ReadFile(kTableWeights));
  const std::string heuristic = "study --methods heuristic:" + weights + " --levels 1" + tiny;
  ASSERT_EQ(Cli(heuristic + " --seeds 1-2 --out " + Path("a.jsonl")).status, 0);
  const std::string a = ReadFile(Path("a.jsonl"));
  std::vector<double> other = TableWeights();
  other[0] += 1;
  WriteFile(weights, ReadFile(weights) + FormatWeightsText(other));
  const CliRun mixed = Cli(heuristic + " --seeds 1-3 --out " + Path("a.jsonl"));
  EXPECT_EQ(mixed.status, 2);
  EXPECT_NE(
      mixed.err.find("flown with another network (weights_fnv " + study::FnvText(study::WeightsFnv(TableWeights())) +
                     "; the weights now: " + study::FnvText(study::WeightsFnv(other)) + ")"),
      std::string::npos)
      << mixed.err;
  EXPECT_EQ(ReadFile(Path("a.jsonl")), a);
  // Flown into another file, the two networks meet in one cell of a report.
  ASSERT_EQ(Cli(heuristic + " --seeds 3 --out " + Path("b.jsonl")).status, 0);
  const CliRun report = Cli("report " + Path("a.jsonl") + " " + Path("b.jsonl"));
  EXPECT_EQ(report.status, 2);
  EXPECT_NE(report.err.find("of one cell were flown with different networks"), std::string::npos) << report.err;

  // A line of an older study names its map by its file: report reads it, a
  // study does not go on over it.
  auto old = nlohmann::ordered_json::parse(mapLine);
  old.erase("map_fnv");
  old.erase("weights_fnv");
  old["key"] = "method=ga|map=" + map + ":1|seed=" + old["seed"].dump();
  const std::string older = Path("older.jsonl");
  WriteFile(older, old.dump() + "\n");
  EXPECT_EQ(Cli("report " + older).status, 0);
  const CliRun over = Cli("study --methods ga --maps " + map + ":1 --seeds 1-2" + tiny + " --out " + older);
  EXPECT_EQ(over.status, 2);
  EXPECT_NE(over.err.find("line 1 names its map by the file's name"), std::string::npos) << over.err;
  EXPECT_NE(over.err.find("give a new --out"), std::string::npos) << over.err;
  EXPECT_EQ(ReadFile(older), old.dump() + "\n");
}

TEST_F(StudyCli, RefusalsOfStudyAndReport) {
  const std::string out = " --out " + Path("o.jsonl");
  const std::string grid = "study --methods ga --levels 1 --seeds 1-2";
  WriteFile(Path("middle.jsonl"), "not json\n{}\n");
  WriteFile(Path("file"), "");
  WriteFile(Path("cut.jsonl"), R"({"key":"method=ga|lev)");
  WriteFile(Path("field.jsonl"), R"({"key":"method=ga|level=1|seed=1","method":"ga","weights":null,"level":1,)"
                                 R"("seed":1,"settings":{},"escaped":"no","escape_generation":null,"generations":[]})"
                                 "\n");
  WriteFile(Path("map.txt"), "Obstacle1\r\n100,200,30,\r\nObstacle2\r\n100,200,30,\r\n");
  WriteFile(Path("long.jsonl"), "");
  std::filesystem::resize_file(Path("long.jsonl"), 100 << 20);  // sparse: a line of zeros with no end
  const std::string map = Path("map.txt");
  const struct {
    std::string args;
    std::string says;
  } cases[] = {
      {"study --levels 1 --seeds 1" + out, "study needs --methods"},
      {"study --methods ga --seeds 1" + out, "study needs --levels N,..., --maps FILE:K,... or both"},
      {"study --methods ga --levels 1" + out, "study needs --seeds"},
      {grid, "study needs --out"},
      {grid + out + " --level 1", "study does not use --level"},
      {"study --methods ga,heuristic,heuristic:builtin --levels 1 --seeds 1" + out,
       "'heuristic:builtin' is given twice"},
      {"study --methods ga,heur --levels 1 --seeds 1" + out, "a method must be ga, heuristic:table"},
      {"study --methods ga, --levels 1 --seeds 1" + out, "--methods holds an empty item"},
      {"study --methods ga --levels 1,5 --seeds 1" + out, "--levels takes levels 1 to 4, got '5'"},
      {"study --methods ga --maps x.txt --seeds 1" + out, "--maps takes FILE:K"},
      {"study --methods ga --maps /no/such.txt:1 --seeds 1" + out, "cannot use map 1 of '/no/such.txt'"},
      {"study --methods ga --levels 1 --seeds 5-3" + out, "--seeds must be A-B"},
      {"study --methods ga --levels 1 --seeds 0-4294967295" + out, "more than 5000000"},
      {grid + out + " --shard 4/3", "--shard must be K/N"},
      {grid + out + " --vary Nope=1", "unknown parameter 'Nope'"},
      {grid + out + " --vary PopulationSize=10,010", "--vary PopulationSize: '010' is given twice"},
      {grid + out + " --vary ChromosomeLength=0", "ChromosomeLength must be between 1 and 200"},
      {grid + out + " --vary PopulationSize=20,21", "--vary PopulationSize=21: PopulationSize minus EliteCount"},
      {grid + out + " --set PopulationSize=20 --vary PopulationSize=10", "given with both --vary and --set"},
      {grid + out + " --threads 0", "--threads must be a whole number from 1 to 256"},
      {"study --methods ga --levels 1 --seeds 1-4 --threads 4 --set PopulationSize=100000 --set ChromosomeLength=200" +
           out,
       "the search (PopulationSize x ChromosomeLength, and MaxGenerations) needs 2.8 GiB; the limit is 2 GiB"},
      {grid + out + " --vary PerceivedMeteors=1,2 --vary NetInputCount=6,8",
       "PerceivedMeteors and NetInputCount are one setting"},
      {grid + out + " --set NetInputCount=8 --vary PerceivedMeteors=1,2", "PerceivedMeteors and NetInputCount"},
      {grid + out + " --vary Gravity=-0,0", "--vary Gravity: '0' is given twice"},
      {"study --methods ga --maps " + map + ":1," + m_dir.string() + "/./map.txt:1 --seeds 1" + out,
       "are the same map (the same meteors); give it once"},
      {"study --methods ga --maps " + map + ":1," + map + ":2 --seeds 1" + out, "are the same map"},
      {"study --methods ga --maps /dev/zero:1 --seeds 1" + out, "--maps needs a regular file"},
      {grid + " --out --quiet", "--out needs a name, got the option '--quiet'"},
      {"report " + Path("file"), "the runs file holds no run"},
      {"report " + Path("file") + " " + Path("cut.jsonl"), "the runs files hold no run"},
      {"report " + Path("field.jsonl"), "line 1 is not a run line: the field \"escaped\" is missing or not"},
      {"report " + Path("long.jsonl"), "line 1 is longer than 90262234 bytes, more than any run writes"},
      {"report /dev/zero", "cannot use '/dev/zero': it is not a regular file"},
      {"study --methods heuristic:table --levels 1 --seeds 1 --vary HiddenLayerCount=2,1" + out,
       "heuristic:table hold 95 weights but the network needs"},
      {"study --methods heuristic:/no/such.txt --levels 1 --seeds 1" + out, "cannot open '/no/such.txt'"},
      {grid + " --out " + m_dir.string(), "is a directory"},
      {"report", "report needs at least one runs file"},
      {"report /no/such.jsonl", "cannot use '/no/such.jsonl': no such file"},
      {"report " + Path("middle.jsonl"), "line 1 is not a run line"},
      {"report " + Path("file") + " --csv " + m_dir.string(), "--csv needs a file, but"},
      {"report " + Path("file") + " --seeds 1", "report does not use --seeds"},
      {"ga --level 1 " + Path("file"), Path("file")},
#ifdef KORVANE_HAS_PLOTS
      {"report " + Path("file") + " --plots ''", "--plots needs a directory name"},
      {"report " + Path("file") + " --plots " + Path("file"), "is a file"},
#else
      {"report " + Path("file") + " --plots " + Path("plots"), "plots are not available in this build"},
#endif
  };
  for (const auto& c : cases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << "\n" << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("o.jsonl")));
  const CliRun help = Cli("study --help");
  EXPECT_NE(help.out.find("--vary"), std::string::npos);
  EXPECT_EQ(help.out.find("--plan"), std::string::npos);
  EXPECT_NE(Cli("report --help").out.find("--plots"), std::string::npos);
}

TEST_F(StudyCli, ReportFilesAndFailedWrites) {
  const std::string out = Path("runs.jsonl");
  ASSERT_EQ(Study("--seeds 1-3", out).status, 0);
  const CliRun report = Cli("report " + out + " --csv " + Path("r.csv"));
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_NE(report.out.find("level 4  heuristic:table  -         3     0        0.000  0.000-0.561"), std::string::npos)
      << report.out;
  EXPECT_EQ(Lines(ReadFile(Path("r.csv"))).size(), 5u);  // a header and four cells
  EXPECT_EQ(Lines(ReadFile(Path("r.pairs.csv"))).front(),
            "field,settings,method_a,method_b,pairs,a_wins,b_wins,ties,sign_test_p");
  const std::vector<std::string> curves = Lines(ReadFile(Path("r.fitness.csv")));
  EXPECT_EQ(curves.front(), "field,method,settings,generation,mean_best");
  EXPECT_EQ(curves.back().substr(0, 28), "level 4,heuristic:table,,21,");  // 21 generations
  // The lines in another order, one cut short: the same report.
  std::vector<std::string> lines = Lines(ReadFile(out));
  std::reverse(lines.begin(), lines.end());
  std::string reversed;
  for (const std::string& l : lines) reversed += l + "\n";
  WriteFile(Path("reversed.jsonl"), reversed + "{\"key\":");
  const CliRun again = Cli("report " + Path("reversed.jsonl"));
  EXPECT_EQ(again.out, report.out);
  EXPECT_NE(again.err.find("line 13 is damaged (a run stopped while it was written); left out"), std::string::npos);
#ifdef KORVANE_HAS_PLOTS
#ifdef KORVANE_SANITIZED
  // Qt is not built with ThreadSanitizer: QPainter's own threads need the
  // suppressions the desktop program's tests use.
  const char* tsan = std::getenv("TSAN_OPTIONS");
  const std::string options = tsan ? tsan : "";
  ::setenv("TSAN_OPTIONS", (options + " suppressions=" KORVANE_SOURCE_DIR "/tests/gui/tsan.supp").c_str(), 1);
#endif
  const CliRun plots = Cli("report " + out + " --plots " + Path("plots/new"));
#ifdef KORVANE_SANITIZED
  ::setenv("TSAN_OPTIONS", options.c_str(), 1);
#endif
  ASSERT_EQ(plots.status, 0) << plots.err;
  for (const char* name : {"escape_rate", "escape_generation", "fitness"}) {
    EXPECT_EQ(ReadFile(Path(std::string("plots/new/") + name + ".png")).substr(1, 3), "PNG") << name;
    EXPECT_NE(ReadFile(Path(std::string("plots/new/") + name + ".svg")).find("<svg"), std::string::npos) << name;
  }
#endif
  const CliRun full = Study("--seeds 1", "/dev/full");
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.err.find("cannot append to '/dev/full'"), std::string::npos) << full.err;
  const CliRun csv = Cli("report " + out + " --csv /dev/full");
  EXPECT_EQ(csv.status, 1);
  EXPECT_NE(csv.err.find("cannot write '/dev/full'"), std::string::npos) << csv.err;
}

// Three shards flown at once by GNU parallel make the report of the whole
// grid, byte for byte. Too slow under the sanitizers.
TEST_F(StudyCli, ShardsUnderGnuParallelMergeIntoTheSameReport) {
#ifdef KORVANE_SANITIZED
  GTEST_SKIP() << "release builds only";
#endif
  if (std::system("command -v parallel >/dev/null 2>&1") != 0) GTEST_SKIP() << "GNU parallel is not installed";
  const std::string grid = " --seeds 1-5 --vary EliteCount=2,4";
  ASSERT_EQ(Study(grid, Path("all.jsonl")).status, 0);
  const std::string shards = "parallel --will-cite " + std::string(KORVANE_CLI_PATH) +
                             " study --methods ga,heuristic:table --levels 1,4" + grid + kSmall +
                             " --shard {}/3 --out " + Path("shard{}.jsonl") + " ::: 1 2 3 >/dev/null";
  ASSERT_EQ(std::system(shards.c_str()), 0);
  std::set<std::string> keys;
  std::size_t lines = 0;
  for (int k = 1; k <= 3; ++k) {
    const std::string text = ReadFile(Path("shard" + std::to_string(k) + ".jsonl"));
    EXPECT_FALSE(text.empty()) << k;
    lines += Lines(text).size();
    for (const std::string& key : Keys(text)) keys.insert(key);
  }
  EXPECT_EQ(lines, keys.size());
  EXPECT_EQ(keys, Keys(ReadFile(Path("all.jsonl"))));
  const CliRun whole = Cli("report " + Path("all.jsonl") + " --csv " + Path("all.csv"));
  const CliRun merged = Cli("report " + Path("shard1.jsonl") + " " + Path("shard2.jsonl") + " " + Path("shard3.jsonl") +
                            " --csv " + Path("merged.csv"));
  ASSERT_EQ(whole.status, 0) << whole.err;
  EXPECT_EQ(merged.out, whole.out);
  for (const char* kind : {".csv", ".pairs.csv", ".fitness.csv"})
    EXPECT_EQ(ReadFile(Path(std::string("merged") + kind)), ReadFile(Path(std::string("all") + kind))) << kind;
}

}  // namespace
}  // namespace korvane
