#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "study/runs_line.h"

// A study's runs file: one run line per run, appended as the run finishes,
// so that a study that is stopped can go on where it was.
namespace korvane::study {

// What a runs file holds.
struct RunsFile {
  std::vector<RunRecord> runs;
  std::vector<int> lines;     // the line of each run, from 1
  std::size_t goodBytes = 0;  // up to the end of the last whole line
  int damagedLastLine = 0;    // from 1: a last line cut short; 0: none
};

// Reads a runs file line by line, each line up to MaxRunLineBytes. A last
// line without its line end that starts a run line (a run killed while its
// line was written) is reported, not read. Throws InputError for anything
// else that is not a run line, for a file that is not a regular file and
// for one that cannot be read; a missing file holds no runs.
RunsFile ReadRunsFile(const std::string& path);
// The same through a descriptor open for reading, from its first byte;
// path names it in messages.
RunsFile ReadRunsFrom(int fd, const std::string& path);

// A runs file that cannot be used: the text says which and why.
struct InputError {
  std::string text;
};

}  // namespace korvane::study
