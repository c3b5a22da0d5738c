// The memory a run takes stays under the budget its settings were checked
// against: each kind of run, set just under a lowered budget, is flown by
// korvane-cli as a child whose peak resident size is read back; just over
// it, the run is refused. Skipped under the sanitizers, whose own memory
// would be measured.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "sim/run_memory.h"
#include "temp_dir.h"

namespace korvane {
namespace {

constexpr int kBudgetMiB = 64;
constexpr double kBudget = kBudgetMiB * 1024.0 * 1024;

struct Child {
  int status = -1;
  double peakBytes = 0;
};

// korvane-cli with the words of args, the budget lowered, its output to
// errPath; its exit status and peak resident size (wait4's rusage: this
// child's alone).
Child RunCli(const std::vector<std::string>& args, const std::string& errPath) {
  std::vector<char*> argv{const_cast<char*>(KORVANE_CLI_PATH)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("KORVANE_MEMORY_LIMIT_MIB", std::to_string(kBudgetMiB).c_str(), 1);
    const int out = ::open("/dev/null", O_WRONLY);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  Child c;
  int raw = 0;
  rusage usage{};
  if (pid > 0 && ::wait4(pid, &raw, 0, &usage) == pid) {
    c.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    c.peakBytes = usage.ru_maxrss * 1024.0;  // kilobytes on Linux
  }
  return c;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

class CliMemory : public test::TempDirTest {};

TEST_F(CliMemory, ARunJustUnderTheBudgetStaysUnderIt) {
#ifdef KORVANE_SANITIZED
  GTEST_SKIP() << "the sanitizers' memory would be measured";
#endif
  RunScope one;  // as korvane-cli scopes each command
  one.paths = false;
  one.threads = 1;
  one.planSearch = one.network = one.training = false;
  RunScope search = one, training = one, study = one;
  search.planSearch = true;
  training.training = true;
  study.planSearch = true;
  study.threads = study.runsAtOnce = 2;
  const std::string out = Path("runs.jsonl");
  // A command, the setting that grows the run and its values to search, the
  // other settings as words and as a SimParams.
  const struct Row {
    const char* what;
    std::string command;
    const char* grows;
    int lo, hi, step;
    std::string sets;
    RunScope scope;
  } rows[] = {
      {"training: the population", "train --seed 1 --threads 1", "NetPopulationSize", 4, 100000, 2,
       "TrainingGenerations=1 NeuronsPerHiddenLayer=30", training},
      {"training: the network", "train --seed 1 --threads 1", "HiddenLayerCount", 1, 100, 1,
       "TrainingGenerations=1 NetPopulationSize=2 NetEliteCount=0 NeuronsPerHiddenLayer=100", training},
      {"search: the plans", "ga --level 4 --seed 1 --threads 1", "PopulationSize", 4, 100000, 2,
       "MaxGenerations=1 ChromosomeLength=200", search},
      {"search: the generations", "ga --level 4 --seed 1 --threads 1", "MaxGenerations", 1, 1000000, 1,
       "PopulationSize=2 EliteCount=0 ChromosomeLength=2", search},
      {"study: two runs at once", "study --methods ga --levels 4 --seeds 1-2 --threads 2 --out " + out,
       "PopulationSize", 4, 100000, 2, "MaxGenerations=1 ChromosomeLength=200", study},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::vector<std::string> base = Words(row.command + " --quiet");
    SimParams p;
    for (const std::string& s : Words(row.sets)) {
      ASSERT_EQ(ApplySetting(p, s), "") << s;
      base.insert(base.end(), {"--set", s});
    }
    auto with = [&](int value) {
      SimParams q = p;
      EXPECT_EQ(ApplySetting(q, std::string(row.grows) + "=" + std::to_string(value)), "");
      return q;
    };
    // The largest value the budget takes (the estimate grows with it).
    int under = row.lo;
    for (int step = row.step << 20; step >= row.step; step /= 2)
      while (under + step <= row.hi && RunBytes(with(under + step), row.scope) <= kBudget) under += step;
    ASSERT_LT(under, row.hi) << "the budget never binds";
    auto args = [&](int value) {
      std::vector<std::string> a = base;
      a.insert(a.end(), {"--set", std::string(row.grows) + "=" + std::to_string(value)});
      return a;
    };
    std::filesystem::remove(out);
    const Child small = RunCli(args(row.lo), Path("err"));
    ASSERT_EQ(small.status, 0) << ReadFile(Path("err"));
    std::filesystem::remove(out);
    const Child near = RunCli(args(under), Path("err"));
    ASSERT_EQ(near.status, 0) << under << "\n" << ReadFile(Path("err"));
    // What the run took beyond the program itself (its smallest run).
    EXPECT_LE(near.peakBytes - small.peakBytes, kBudget) << row.grows << "=" << under;
    const Child over = RunCli(args(under + row.step), Path("err"));
    EXPECT_EQ(over.status, 2) << row.grows << "=" << under + row.step;
    EXPECT_NE(ReadFile(Path("err")).find("the limit is 64 MiB"), std::string::npos) << ReadFile(Path("err"));
  }

  // A study's grid at the 5,000,000-run cap is made run by run: a shard of a
  // few runs takes the memory of those runs, not of the grid.
  std::string plans = "PopulationSize=4", genes = "ChromosomeLength=1";
  for (int v = 6; v <= 1002; v += 2) plans.append(",").append(std::to_string(v));
  for (int v = 2; v <= 200; ++v) genes.append(",").append(std::to_string(v));
  std::filesystem::remove(out);
  const Child grid = RunCli({"study", "--methods", "ga", "--levels", "1", "--seeds", "1-50", "--vary", plans, "--vary",
                             genes, "--set", "MaxGenerations=0", "--shard", "1/1000000", "--quiet", "--out", out},
                            Path("err"));
  ASSERT_EQ(grid.status, 0) << ReadFile(Path("err"));
  EXPECT_LE(grid.peakBytes, kBudget) << "a grid of 5,000,000 runs";
  EXPECT_LE(test::Lines(ReadFile(out)).size(), 30u);
}

}  // namespace
}  // namespace korvane
