// A mistyped command or a failing write never costs a file: each case is
// refused (status 2) or fails (status 1), and every file in the directory
// is left byte for byte as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "cli_run.h"
#include "engine/pilot_results.h"
#include "files/weights_file.h"
#include "temp_dir.h"

namespace korvane {
namespace {

using test::Cli;
using test::CliRun;

class CliFiles : public test::TempDirTest {
 protected:
  // Every regular file under the directory, by path, with its bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(m_dir))
      if (e.is_regular_file() && !e.is_symlink()) files[e.path().string()] = ReadFile(e.path().string());
    return files;
  }
};

TEST_F(CliFiles, AMistakeOrAFailedWriteLeavesEveryFileAsItWas) {
  const std::string tiny = " --set MaxGenerations=20 --set PopulationSize=20 --quiet";
  // Level 4: nothing escapes, every line holds all 21 generations (over 1 KiB).
  const std::string study = "study --methods ga --levels 4" + tiny + " --out ";
  ASSERT_EQ(Cli(study + Path("runs.jsonl") + " --seeds 1-2").status, 0);
  const std::string runs = ReadFile(Path("runs.jsonl"));
  WriteFile(Path("plan-last.jsonl"), runs + R"({"actions":[1],"durations":[3]})" + "\n");
  WriteFile(Path("note-last.jsonl"), runs + "checked by hand");
  WriteFile(Path("empty-object-last.jsonl"), runs + "{}\n");
  WriteFile(Path("r.pairs.csv"), runs);
  std::filesystem::create_directory(Path("plots"));
  WriteFile(Path("plots/fitness.svg"), runs);
  std::filesystem::create_symlink(Path("runs.jsonl"), Path("link.jsonl"));
  // Weights to append to, close to a file-size limit of 16 KiB.
  const std::string block = FormatWeightsText(TableWeights());
  std::string weights;
  while (weights.size() + block.size() < 16 * 1024) weights += block;
  WriteFile(Path("weights.txt"), weights);
  // A runs file within a limit of whole KiB, the next line beyond it.
  const std::string limit = std::to_string((runs.size() + 1023) / 1024);

  const struct {
    std::string args;
    std::string shell;
    int status;
    std::string says;
  } cases[] = {
      // A runs file whose last line is whole but not a run's, or not JSON cut short.
      {study + Path("plan-last.jsonl") + " --seeds 1-3", "", 2, "line 3 is not a run line: the field \"key\""},
      {study + Path("note-last.jsonl") + " --seeds 1-3", "", 2, "line 3 is not a run line, nor the start of one cut"},
      {study + Path("empty-object-last.jsonl") + " --seeds 1-3", "", 2, "line 3 is not a run line"},
      // Outputs that are inputs, however spelled.
      {"report " + Path("runs.jsonl") + " --csv " + Path("runs.jsonl"), "", 2, "--csv would write '"},
      {"report " + Path("link.jsonl") + " --csv " + m_dir.string() + "/./runs.jsonl", "", 2, "which is the runs file"},
      {"report " + Path("r.pairs.csv") + " --csv " + Path("r.csv"), "", 2, "would write '" + Path("r.pairs.csv")},
#ifdef KORVANE_HAS_PLOTS
      {"report " + Path("plots/fitness.svg") + " --plots " + Path("plots"), "", 2, "--plots would write"},
#endif
      // A file-size limit: the write fails, is taken back and is reported.
      {"train --seed 1 --set TrainingGenerations=1 --set NetPopulationSize=10 --quiet --weights-out " +
           Path("weights.txt"),
       "ulimit -f 16; ", 1, "could not be written to"},
      {study + Path("runs.jsonl") + " --seeds 1-3", "ulimit -f " + limit + "; ", 1, "cannot append to"},
  };
  for (const auto& c : cases) {
    const std::map<std::string, std::string> before = Snapshot();
    const CliRun r = Cli(c.args, c.shell);
    EXPECT_EQ(r.status, c.status) << c.shell << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << "\n" << r.err;
    EXPECT_EQ(Snapshot(), before) << c.shell << c.args;
  }
}

}  // namespace
}  // namespace korvane
