#pragma once
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "cli/progress.h"
#include "engine/host.h"

// The CLI's side of a run: it records the generations and the notices the
// run tells, shows progress and the notices' English lines on stderr and,
// when streaming, prints each generation as it finishes.
namespace korvane::cli {

struct GenerationRecord {
  int generation;
  double best;
  double average;
};

class CliHost : public IHost {
 public:
  struct Setup {
    std::string command;
    int totalGenerations = 0;
    bool progress = true;
    bool stream = false;
    bool echoMessages = true;  // what the run says on stderr; errors always go there
  };
  explicit CliHost(const Setup& setup);

  // A stream that can no longer be written stops the run: its work is lost.
  bool StopRequested() override { return m_streamFailed.load(); }
  // Generations as the population completes them (an escape cuts its
  // generation short: that one is not recorded).
  void GenerationDone(const GenerationEvent& g) override;
  void Notice(const RunNotice& notice) override;

  // Ends the progress bar's line, before the result is printed.
  void EndProgress() { m_progress.BreakLine(); }

  const std::vector<GenerationRecord>& Generations() const { return m_generations; }
  // The program's own texts of what the run told, as its boxes show them.
  const std::vector<std::string>& Messages() const { return m_messages; }
  // Why the stream failed, if it did.
  const std::optional<std::string>& StreamFailure() const { return m_streamFailure; }

 private:
  bool m_stream;
  bool m_echo;
  Progress m_progress;
  std::vector<GenerationRecord> m_generations;
  std::vector<std::string> m_messages;
  std::optional<std::string> m_streamFailure;
  std::atomic<bool> m_streamFailed{false};
};

}  // namespace korvane::cli
