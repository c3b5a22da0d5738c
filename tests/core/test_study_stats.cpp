// The study's pieces without the engine: the pinned statistics on small
// known inputs, the grid's keys and shards, and a report that does not
// depend on the order of its runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "study/grid.h"
#include "study/report.h"
#include "study/report_text.h"
#include "study/stats.h"

namespace korvane::study {
namespace {

TEST(StudyStats, WilsonIntervalOnKnownCounts) {
  const struct {
    int k, n;
    double lo, hi;
  } cases[] = {
      {0, 10, 0.0, 0.2775327998628892},
      {5, 10, 0.236593090512564, 0.7634069094874361},
      {10, 10, 0.7224672001371107, 1.0},
      {1, 3, 0.06149194472039615, 0.7923403991979523},
      {81, 100, 0.7222115462093562, 0.8748524849023126},
  };
  for (const auto& c : cases) {
    const Interval w = WilsonInterval(c.k, c.n);
    EXPECT_NEAR(w.lo, c.lo, 1e-12) << c.k << "/" << c.n;
    EXPECT_NEAR(w.hi, c.hi, 1e-12) << c.k << "/" << c.n;
  }
  // The ends are exact where nothing or everything escaped.
  EXPECT_EQ(WilsonInterval(0, 7).lo, 0.0);
  EXPECT_EQ(WilsonInterval(7, 7).hi, 1.0);
}

TEST(StudyStats, QuartilesAsNumpyLinear) {
  const struct {
    std::vector<double> sorted;
    double q1, median, q3;
  } cases[] = {
      {{7}, 7, 7, 7},
      {{0, 10}, 2.5, 5, 7.5},
      {{1, 2, 3, 4}, 1.75, 2.5, 3.25},
      {{1, 2, 3, 4, 5}, 2, 3, 4},
      {{3, 12, 15, 40}, 9.75, 13.5, 21.25},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Quantile(c.sorted, 0.25), c.q1);
    EXPECT_EQ(Quantile(c.sorted, 0.5), c.median);
    EXPECT_EQ(Quantile(c.sorted, 0.75), c.q3);
    EXPECT_EQ(Quantile(c.sorted, 0), c.sorted.front());
    EXPECT_EQ(Quantile(c.sorted, 1), c.sorted.back());
  }
}

TEST(StudyStats, ExactTwoSidedSignTest) {
  const struct {
    int wins, losses;
    double p;
  } cases[] = {
      {0, 0, 1.0},
      {5, 5, 1.0},
      {9, 1, 0.021484375},
      {1, 9, 0.021484375},
      {10, 0, 0.001953125},
      {60, 40, 0.05688793364098079},
      {33, 63, 0.002878610081200932},
      {18, 81, 1.0114972150081559e-10},
      {1500, 1400, 0.06598734966518381},  // past the range of a double's 2^-n
  };
  for (const auto& c : cases) EXPECT_NEAR(SignTestP(c.wins, c.losses), c.p, c.p * 1e-12) << c.wins << ":" << c.losses;
}

TEST(StudyGrid, MethodsAsWritten) {
  const struct {
    const char* text;
    const char* name;  // nullptr: refused
  } cases[] = {
      {"ga", "ga"},
      {"heuristic", "heuristic:builtin"},
      {"heuristic:table", "heuristic:table"},
      {"heuristic:builtin", "heuristic:builtin"},
      {"heuristic:w.txt", "heuristic:w.txt"},
      {"heuristic:train=7", "heuristic:train=7"},
      {"heuristic:train=x", nullptr},
      {"heuristic:train=4294967296", nullptr},
      {"heuristic:", nullptr},
      {"heuristics", nullptr},
      {"GA", nullptr},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto m = ParseMethod(c.text, &error);
    if (!c.name) {
      EXPECT_FALSE(m) << c.text;
      EXPECT_FALSE(error.empty()) << c.text;
      continue;
    }
    ASSERT_TRUE(m) << c.text << ": " << error;
    EXPECT_EQ(m->Name(), c.name);
    EXPECT_EQ(m->Search(), m->kind == Method::Kind::Ga ? "ga" : "heuristic");
  }
  std::string error;
  EXPECT_EQ(ParseMethod("heuristic:train=7", &error)->Weights(), "train=7");
  EXPECT_FALSE(ParseMethod("ga", &error)->Weights());
}

std::vector<study::Run> AllRuns(const Grid& grid) {
  std::vector<study::Run> runs;
  for (std::uint64_t i = 0; i < grid.Size(); ++i) runs.push_back(grid.At(i));
  return runs;
}

TEST(StudyGrid, KeysAreCanonicalAndShardsSplitThemOnce) {
  std::string error;
  EXPECT_EQ(CanonicalSetting("ChromosomeLength=060", &error)->value, "60");
  EXPECT_EQ(CanonicalSetting("Gravity=2.50", &error)->value, "2.5");
  EXPECT_FALSE(CanonicalSetting("Nope=1", &error));

  const std::vector<Method> methods = {*ParseMethod("ga", &error), *ParseMethod("heuristic:table", &error)};
  const std::vector<Field> fields = {{2, {}, 0, {}}, {0, "maps.txt", 3, {}}};
  // The varied settings are keyed by name, whatever order they were given in.
  const std::vector<Variation> vary = {{"PopulationSize", {"100", "200"}}, {"ChromosomeLength", {"30", "60", "90"}}};
  const std::vector<Variation> reversed = {vary[1], vary[0]};
  const std::vector<study::Run> runs = AllRuns(Grid(methods, fields, vary, 5, 8));
  ASSERT_EQ(runs.size(), 2u * 2 * 6 * 4);
  EXPECT_EQ(GridSize(2, 2, vary, 5, 8), 96.0);
  EXPECT_EQ(runs.front().key, "method=ga|level=2|vary:ChromosomeLength=30|vary:PopulationSize=100|seed=5");
  EXPECT_EQ(runs.back().key,
            "method=heuristic:table|map=maps.txt:3|vary:ChromosomeLength=90|vary:PopulationSize=200|seed=8");
  EXPECT_EQ(CellOfKey(runs.back().key),
            "method=heuristic:table|map=maps.txt:3|vary:ChromosomeLength=90|vary:PopulationSize=200");
  std::vector<std::string> keys, keysReversed;
  for (const study::Run& r : runs) keys.push_back(r.key);
  for (const study::Run& r : AllRuns(Grid(methods, fields, reversed, 5, 8))) keysReversed.push_back(r.key);
  EXPECT_EQ(keys, keysReversed);
  EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());

  // A map is named by its contents.
  Field named = fields[1];
  named.mapFnv = 0x0123456789abcdefull;
  EXPECT_EQ(named.KeyPart(), "map=0123456789abcdef");

  // FNV-1a's published values, and one key's shard, pinned so that shards
  // of one study flown by different builds still fit together.
  EXPECT_EQ(Fnv1a64(""), 0xcbf29ce484222325ull);
  EXPECT_EQ(Fnv1a64("a"), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(Fnv1a64("foobar"), 0x85944171f73967e8ull);
  EXPECT_TRUE(InShard("method=ga|level=1|seed=1", 1, 3));
  for (int n : {1, 2, 3, 7}) {
    std::vector<int> taken(n, 0);
    for (const std::string& key : keys) {
      int shards = 0;
      for (int k = 1; k <= n; ++k)
        if (InShard(key, k, n)) ++shards, ++taken[k - 1];
      EXPECT_EQ(shards, 1) << key << " of " << n;
    }
    // Every shard gets some of 96 runs.
    for (int k = 0; k < n; ++k) EXPECT_GT(taken[k], 0) << k + 1 << "/" << n;
  }
}

// A grid at the 5,000,000-run cap, every run made only when asked for, in
// the order of the small grid above: seeds fastest, then the settings.
TEST(StudyGrid, AGridAtTheCapIsMadeRunByRun) {
  std::string error;
  std::vector<Variation> vary = {{"PopulationSize", {}}, {"ChromosomeLength", {}}, {"EliteCount", {}}};
  for (int v = 0; v < 100; ++v) vary[0].values.push_back(std::to_string(2 * v + 10));
  for (int v = 0; v < 100; ++v) vary[1].values.push_back(std::to_string(v + 1));
  for (int v = 0; v < 250; ++v) vary[2].values.push_back(std::to_string(2 * v));
  const Grid grid({*ParseMethod("ga", &error), *ParseMethod("heuristic:table", &error)}, {{1, {}, 0, {}}}, vary, 7, 7);
  ASSERT_EQ(grid.Size(), 5000000u);
  EXPECT_EQ(grid.CombinationCount(), 2500000u);
  const struct {
    std::uint64_t index;
    const char* key;
  } cases[] = {
      {0, "method=ga|level=1|vary:ChromosomeLength=1|vary:EliteCount=0|vary:PopulationSize=10|seed=7"},
      {1, "method=ga|level=1|vary:ChromosomeLength=1|vary:EliteCount=0|vary:PopulationSize=12|seed=7"},
      {100, "method=ga|level=1|vary:ChromosomeLength=1|vary:EliteCount=2|vary:PopulationSize=10|seed=7"},
      {100 * 250, "method=ga|level=1|vary:ChromosomeLength=2|vary:EliteCount=0|vary:PopulationSize=10|seed=7"},
      {2500000,
       "method=heuristic:table|level=1|vary:ChromosomeLength=1|vary:EliteCount=0|vary:PopulationSize=10|seed=7"},
      {4999999,
       "method=heuristic:table|level=1|vary:ChromosomeLength=100|vary:EliteCount=498|vary:PopulationSize=208|seed=7"},
  };
  for (const auto& c : cases) {
    const study::Run r = grid.At(c.index);
    EXPECT_EQ(r.key, c.key) << c.index;
    EXPECT_EQ(static_cast<std::size_t>(r.method), grid.MethodOf(c.index)) << c.index;
    EXPECT_EQ(RunKey(grid.Methods()[r.method], grid.Fields()[r.field], r.varied, r.seed), r.key);
  }
}

// Fingerprints as a run line writes them: pinned, so that lines of one
// study written by different builds agree.
TEST(StudyGrid, FingerprintsOfNetworksAndMaps) {
  EXPECT_EQ(WeightsFnv({}), 0xcbf29ce484222325ull);
  // 1.0 is the bytes 00 00 00 00 00 00 f0 3f.
  EXPECT_EQ(WeightsFnv(std::vector<double>{1.0}), Fnv1a64(std::string("\0\0\0\0\0\0\xf0\x3f", 8)));
  MeteorField field;
  field.count = 1;
  field.obstacles[0] = {1.0, -1.0, 258.0};
  EXPECT_EQ(MapFnv(field), Fnv1a64(std::string("\1\0\0\0\xff\xff\xff\xff\2\1\0\0", 12)));
  field.count = 0;
  EXPECT_EQ(MapFnv(field), WeightsFnv({}));
  EXPECT_EQ(FnvText(0xabcull), "0000000000000abc");
  for (const char* bad : {"", "0000000000000ABC", "0000000000000abc0", "000000000000zabc"})
    EXPECT_FALSE(ParseFnvText(bad));
  EXPECT_EQ(ParseFnvText("ffffffffffffffff"), 0xffffffffffffffffull);
}

RunRecord Line(const std::string& method, const std::string& weights, int seed, std::optional<int> escape,
               std::vector<double> best) {
  RunRecord r;
  r.method = method;
  if (!weights.empty()) r.weights = weights;
  r.level = 3;
  r.seed = static_cast<std::uint32_t>(seed);
  r.key = "method=" + r.MethodName() + "|level=3|seed=" + std::to_string(seed);
  r.settings = Json{{"MaxGenerations", 4}};
  r.escaped = escape.has_value();
  r.escapeGeneration = escape;
  for (std::size_t g = 0; g < best.size(); ++g) r.generations.push_back({int(g) + 1, best[g], best[g] / 2});
  r.seconds = seed * 0.25;
  return r;
}

TEST(StudyReport, CellsPairsAndCurvesWhateverTheOrderOfTheLines) {
  // ga escapes on seeds 1 and 2; the heuristic search on 1 (sooner), 2
  // (later), 3 and 4; seed 5 escapes for neither.
  std::vector<RunRecord> runs = {
      Line("ga", "", 1, 3, {10, 20, 30}),
      Line("ga", "", 2, 2, {10, 40}),
      Line("ga", "", 3, {}, {5, 6, 7, 8, 9}),
      Line("ga", "", 4, {}, {1, 2, 3, 4, 5}),
      Line("ga", "", 5, {}, {1, 1, 1, 1, 1}),
      Line("heuristic", "table", 1, 1, {50}),
      Line("heuristic", "table", 2, 4, {1, 2, 3, 4}),
      Line("heuristic", "table", 3, 0, {}),
      Line("heuristic", "table", 4, 2, {7, 9}),
      Line("heuristic", "table", 5, {}, {2, 2, 2, 2, 2}),
  };
  for (const RunRecord& r : runs)
    ASSERT_EQ(ParseRunLine(FormatRunLine(r).substr(0, FormatRunLine(r).size() - 1))->key, r.key);
  const Report report = BuildReport(runs);
  ASSERT_EQ(report.cells.size(), 2u);
  const Cell& ga = report.cells[0];
  EXPECT_EQ(ga.method, "ga");
  EXPECT_EQ(ga.field, "level 3");
  EXPECT_EQ(ga.escaped, 2);
  EXPECT_EQ(ga.escapeGenerations, (std::vector<double>{2, 3}));
  EXPECT_EQ(*ga.median, 2.5);
  // Seeds 1 and 2 escaped and carry their last best on.
  EXPECT_EQ(ga.meanBest, (std::vector<double>{27.0 / 5, 69.0 / 5, 81.0 / 5, 83.0 / 5, 85.0 / 5}));
  const Cell& heuristic = report.cells[1];
  EXPECT_EQ(heuristic.method, "heuristic:table");
  EXPECT_EQ(heuristic.escaped, 4);
  EXPECT_EQ(*heuristic.q1, 0.75);
  // Seed 3 escaped before a generation was recorded: no value to carry.
  EXPECT_EQ(heuristic.meanBest.front(), (50 + 1 + 7 + 2) / 4.0);
  EXPECT_EQ(report.common, (std::vector<std::pair<std::string, std::string>>{{"MaxGenerations", "4"}}));
  ASSERT_EQ(report.pairs.size(), 1u);
  const Pair& p = report.pairs[0];
  EXPECT_EQ(p.pairs, 5);
  EXPECT_EQ(p.aWins, 1);  // seed 2
  EXPECT_EQ(p.bWins, 3);  // seeds 1, 3, 4
  EXPECT_EQ(p.ties, 1);   // seed 5
  EXPECT_EQ(p.signP, SignTestP(1, 3));

  const std::string table = ReportTable(report);
  const std::string csv = CellsCsv(report) + PairsCsv(report) + FitnessCsv(report);
  std::mt19937 shuffle(7);
  for (int i = 0; i < 5; ++i) {
    std::shuffle(runs.begin(), runs.end(), shuffle);
    for (RunRecord& r : runs) r.seconds += 1;  // timings never show
    const Report again = BuildReport(runs);
    EXPECT_EQ(ReportTable(again), table);
    EXPECT_EQ(CellsCsv(again) + PairsCsv(again) + FitnessCsv(again), csv);
  }
}

TEST(StudyReport, MergingRefusesRunsThatDisagree) {
  const RunRecord a = Line("ga", "", 1, 3, {1, 2, 3});
  RunRecord later = a;
  later.seconds = 99;
  RunsFile one, two;
  one.runs = {a};
  two.runs = {later};
  EXPECT_EQ(MergeRuns({{"one", one}, {"two", two}}).size(), 1u);
  two.runs[0].escapeGeneration = 2;
  EXPECT_THROW(MergeRuns({{"one", one}, {"two", two}}), InputError);
  // One cell from two studies of different settings.
  RunRecord other = Line("ga", "", 2, 3, {1, 2, 3});
  other.settings = Json{{"MaxGenerations", 5}};
  EXPECT_THROW(BuildReport({a, other}), InputError);
}

}  // namespace
}  // namespace korvane::study
