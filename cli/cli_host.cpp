#include "cli/cli_host.h"

#include <unistd.h>

#include <cstdio>

#include "cli/exit_codes.h"
#include "cli/output.h"

namespace korvane::cli {

CliHost::CliHost(const SimParams& p, const Setup& setup)
    : m_params(p),
      m_stream(setup.stream),
      m_echo(setup.echoMessages),
      m_progress(setup.command, setup.totalGenerations, setup.progress) {}

void CliHost::ShowMessage(const std::string& text) {
  if (m_echo) {
    m_progress.BreakLine();
    std::fprintf(stderr, "%s\n", text.c_str());
  }
  m_messages.push_back(text);
}

void CliHost::Repaint(const FrameSnapshot& frame) {
  const int last = m_generations.empty() ? 0 : m_generations.back().generation;
  // A search shows its last generation again when it ends.
  if (frame.planPanel) {
    if (frame.planPanel->generation > last)
      Record(frame.planPanel->generation, frame.planPanel->best, frame.planPanel->average);
  } else if (frame.chart && frame.chart->generation > last) {
    // Training shows its last generation again when it ends; with no
    // generation flown it shows none.
    Record(frame.chart->generation, frame.chart->best, frame.chart->average);
  }
}

void CliHost::Record(int generation, double best, double average) {
  m_generations.push_back({generation, best, average});
  m_progress.Generation(generation, best, average);
  if (!m_stream || m_streamFailed) return;
  if (::isatty(STDOUT_FILENO)) m_progress.BreakLine();  // the bar and the lines share the screen
  try {
    WriteJsonLine(Json{{"generation", generation}, {"best", best}, {"average", average}});
  } catch (const WriteFailure& e) {
    m_streamFailure = e.text;
    m_streamFailed = true;
  }
}

}  // namespace korvane::cli
