#pragma once
#include <string>

// How korvane-cli ends, and the two ways a call can fail.
namespace korvane::cli {

enum ExitCode : int {
  kExitOk = 0,
  kExitFailed = 1,   // a write failed: stdout or an output file
  kExitRefused = 2,  // bad arguments or an input that cannot be used
};

// A bad argument or an unusable input: nothing has been written to stdout.
struct Refusal {
  std::string text;
};
[[noreturn]] inline void Refuse(std::string text) { throw Refusal{std::move(text)}; }

// Output that could not be written whole.
struct WriteFailure {
  std::string text;
};

}  // namespace korvane::cli
