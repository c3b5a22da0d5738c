#include "cli/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "texts/cli_texts.h"

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
  if (!m_on) return;
  if (m_terminal) {
    constexpr int kWidth = 30;
    const int filled = m_total > 0 ? static_cast<int>(static_cast<long long>(kWidth) *
                                                      std::clamp(generation, 0, m_total) / m_total)
                                   : kWidth;
    std::fprintf(stderr, "\r[%s%s] %d/%d best %.1f", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '.').c_str(), generation, m_total, best);
    m_barShown = true;
    return;
  }
  const Clock::time_point now = Clock::now();
  if (now - m_last < m_interval) return;
  m_last = now;
  std::fprintf(stderr, "%s\n", text::ProgressLine(m_command, generation, m_total, best, average).c_str());
}

void Progress::BreakLine() {
  if (m_barShown) std::fputs("\n", stderr);
  m_barShown = false;
}

}  // namespace korvane::cli
