#include "cli/cli_host.h"

#include <unistd.h>

#include <cstdio>

#include "cli/exit_codes.h"
#include "cli/output.h"
#include "texts/cli_texts.h"
#include "ui_model/run_words.h"

namespace korvane::cli {
namespace {

// The English line of a notice, and whether it tells of an error; nothing
// for a notice the command reports itself.
struct Line {
  std::string text;
  bool error = false;
};

Line LineOf(const RunNotice& n) {
  switch (n.kind) {
    case NoticeKind::SearchEscaped: return {text::En<Tx::SaidEscaped>()};
    case NoticeKind::SearchStopped: return {text::En<Tx::SaidStopped>()};
    case NoticeKind::PopulationNotEven: return {text::En<Tx::SaidPopulationNotEven>(), true};
    case NoticeKind::InvalidCode: return {text::En<Tx::SaidInvalidCode>(n.plan, n.gene, n.code), true};
    case NoticeKind::NetworkMismatch: return {text::En<Tx::SaidNetworkMismatch>(), true};
    case NoticeKind::TrainingStopped: return {text::En<Tx::SaidTrainingStopped>(n.generation)};
    case NoticeKind::TrainingStoppedEarly: return {text::En<Tx::SaidTrainingStoppedEarly>()};
    case NoticeKind::TrainingDone: return {text::SaidTrainingDone(n.fitness)};
    default: return {};
  }
}

}  // namespace

CliHost::CliHost(const Setup& setup)
    : m_stream(setup.stream),
      m_echo(setup.echoMessages),
      m_progress(setup.command, setup.totalGenerations, setup.progress) {}

void CliHost::Notice(const RunNotice& notice) {
  for (std::string& text : BoxTexts(notice)) m_messages.push_back(std::move(text));
  const Line line = LineOf(notice);
  if (line.text.empty() || !(m_echo || line.error)) return;
  m_progress.BreakLine();
  std::fprintf(stderr, "%s\n", line.text.c_str());
}

void CliHost::GenerationDone(const GenerationEvent& g) {
  if (g.escaped) return;
  m_generations.push_back({g.generation, g.best, g.average});
  m_progress.Generation(g.generation, g.best, g.average);
  if (!m_stream || m_streamFailed) return;
  if (::isatty(STDOUT_FILENO)) m_progress.BreakLine();  // the bar and the lines share the screen
  try {
    WriteJsonLine(Json{{"generation", g.generation}, {"best", g.best}, {"average", g.average}});
  } catch (const WriteFailure& e) {
    m_streamFailure = e.text;
    m_streamFailed = true;
  }
}

}  // namespace korvane::cli
