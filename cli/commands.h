#pragma once
#include "cli/options.h"

// The commands: each runs, prints its JSON on stdout and returns the exit
// status. They throw Refusal for an input that cannot be used (before
// anything is printed) and WriteFailure for output that cannot be written.
namespace korvane::cli {

int RunCommand(const Options& o);

// The settings list (settings_command.cpp).
int RunSettings(const Options& o);

}  // namespace korvane::cli
