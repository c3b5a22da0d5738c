#pragma once
#include <chrono>
#include <string>

// How far a long run is, on stderr: a bar redrawn each generation on a
// terminal; otherwise a line at most every interval, so that a log or a
// pipe shows the run is alive.
namespace korvane::cli {

class Progress {
 public:
  using Clock = std::chrono::steady_clock;

  // Off: nothing is written. The interval is KORVANE_PROGRESS_MS when set
  // (0: a line per generation, for tests), else two seconds.
  Progress(std::string command, int total, bool on);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Generation(int generation, double best, double average);
  // A study's runs: done of the total, and how many escaped.
  void Runs(int done, int escaped);
  // Ends the bar's line before another text goes to stderr.
  void BreakLine();

 private:
  // The bar on a terminal, else the line when the interval has passed.
  void Show(const std::string& bar, const std::string& line);

  std::string m_command;
  int m_total;
  bool m_on;
  bool m_terminal;
  bool m_barShown = false;
  Clock::duration m_interval;
  Clock::time_point m_last;
};

}  // namespace korvane::cli
