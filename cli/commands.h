#pragma once
#include "cli/options.h"

// The commands: each runs, prints its JSON on stdout and returns the exit
// status. They throw Refusal for an input that cannot be used (before
// anything is printed) and WriteFailure for output that cannot be written.
namespace korvane::cli {

int RunCommand(const Options& o);

// The settings list (settings_command.cpp).
int RunSettings(const Options& o);

// A study's runs appended to its runs file (study_command.cpp), and the
// report of runs files (report_command.cpp).
int RunStudy(const Options& o);
int RunReport(const Options& o);

}  // namespace korvane::cli
