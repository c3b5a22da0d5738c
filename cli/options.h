#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cli/study_options.h"
#include "engine/flight.h"
#include "sim/params.h"

// What a command line asks for, parsed and checked.
namespace korvane::cli {

enum class Command { Ga, Train, FlyNet, FlyPlan, Settings, Study, Report };

struct Options {
  Command command = Command::Ga;
  std::string commandName;
  // The field: a built-in level, or map mapIndex of mapFile.
  int level = 0;
  std::string mapFile;
  int mapIndex = 0;
  std::uint32_t seed = 0;
  bool heuristic = false;
  // --weights: the built-in trained set, the table, or a file (and a block
  // of it; none: its last).
  enum class Weights { Builtin, Table, File };
  Weights weights = Weights::Builtin;
  std::string weightsFile;
  int block = 0;
  std::string weightsOut;  // empty: train writes no file
  std::string planFile;
  FlyVariant variant = FlyVariant::GA;
  int threads = 1;
  SimParams params;
  bool stream = false;
  bool quiet = false;
  bool json = false;
  // study: its grid and its output; report: the runs files and where the
  // CSV and the plots go (empty: none).
  StudyPlan study;
  std::vector<std::string> runsFiles;
  std::string csv;
  std::string plots;
};

// Either the options of a run, or the help or version asked for (print it,
// exit 0).
struct CommandLine {
  Options options;
  std::string help;
};

// A command line that cannot be taken: one line of text, and the command
// when it is known (for the hint to its help). Exit status 2.
struct ArgumentError {
  std::string text;
  std::string command;
};
CommandLine ParseCommandLine(int argc, const char* const* argv);

}  // namespace korvane::cli
