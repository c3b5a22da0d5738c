#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace korvane::test {

// The golden runs' inputs: the table weights, a plan.
inline const std::string kGoldenDir = std::string(KORVANE_SOURCE_DIR) + "/tests/golden";
inline const std::string kTableWeights = kGoldenDir + "/table_weights.txt";
inline const std::string kGoldenPlan = kGoldenDir + "/plan.json";

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// A shell word holding s as it is.
inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  return q + "'";
}

// The lines of a text, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Runs korvane-cli with args (shell words) and collects its exit status,
// stdout and stderr; shell, when given, runs first in the same shell
// (ulimit -f 4;).
inline CliRun Cli(const std::string& args, const std::string& shell = "") {
  static int counter = 0;
  const auto errPath = std::filesystem::temp_directory_path() /
                       ("korvane-cli-err-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::string cmd = shell + KORVANE_CLI_PATH;
  cmd += ' ';
  cmd += args;
  cmd += " 2>";
  cmd += errPath.string();
  CliRun r;
  FILE* pipe = ::popen(cmd.c_str(), "r");
  if (!pipe) return r;
  std::array<char, 65536> buf;
  std::size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
  const int raw = ::pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream in(errPath);
  r.err.assign(std::istreambuf_iterator<char>(in), {});
  std::filesystem::remove(errPath);
  return r;
}

// Runs korvane-cli with args, its stdout piped into the shell command
// reader, and collects korvane-cli's own exit status (not the pipeline's)
// and its stderr.
inline CliRun CliInto(const std::string& args, const std::string& reader) {
  const auto errPath = std::filesystem::temp_directory_path() / ("korvane-cli-pipe-" + std::to_string(::getpid()));
  const std::string pipeline = std::string(KORVANE_CLI_PATH) + " " + args + " 2>" + errPath.string() + " | " + reader +
                               "; exit ${PIPESTATUS[0]}";
  CliRun r;
  const int raw = std::system(("bash -c " + Quote(pipeline)).c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream in(errPath);
  r.err.assign(std::istreambuf_iterator<char>(in), {});
  std::filesystem::remove(errPath);
  return r;
}

}  // namespace korvane::test
