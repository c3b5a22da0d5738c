#include "cli/progress.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "texts/cli_texts.h"
#include "texts/study_texts.h"

namespace korvane::cli {
namespace {

Progress::Clock::duration IntervalFromEnvironment() {
  const char* ms = std::getenv("KORVANE_PROGRESS_MS");
  if (ms && *ms) return std::chrono::milliseconds(std::strtol(ms, nullptr, 10));
  return std::chrono::seconds(2);
}

}  // namespace

Progress::Progress(std::string command, int total, bool on)
    : m_command(std::move(command)),
      m_total(total),
      m_on(on),
      m_terminal(::isatty(STDERR_FILENO) != 0),
      m_interval(IntervalFromEnvironment()),
      m_last(Clock::now()) {}

Progress::~Progress() { BreakLine(); }

void Progress::Generation(int generation, double best, double average) {
  if (m_on)
    Show(text::ProgressBar(generation, m_total, best),
         text::ProgressLine(m_command, generation, m_total, best, average));
}

void Progress::Runs(int done, int escaped) {
  if (m_on) Show(text::StudyBar(done, m_total, escaped), text::En<Tx::StudyLine>(done, m_total, escaped));
}

void Progress::Show(const std::string& bar, const std::string& line) {
  if (m_terminal) {
    std::fprintf(stderr, "\r%s", bar.c_str());
    m_barShown = true;
    return;
  }
  const Clock::time_point now = Clock::now();
  if (now - m_last < m_interval) return;
  m_last = now;
  std::fprintf(stderr, "%s\n", line.c_str());
}

void Progress::BreakLine() {
  if (m_barShown) std::fputs("\n", stderr);
  m_barShown = false;
}

}  // namespace korvane::cli
