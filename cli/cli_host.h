#pragma once
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "cli/progress.h"
#include "engine/host.h"

// The CLI's side of a run: it records what the run reports, shows progress
// and messages on stderr and, when streaming, prints each generation as it
// finishes.
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
    bool echoMessages = true;  // the run's messages on stderr as well
  };
  CliHost(const SimParams& p, const Setup& setup);

  SimParams Params() override { return m_params; }
  void ShowMessage(const std::string& text) override;
  void Repaint(const FrameSnapshot& frame) override;
  bool PauseRequested(PauseKind) override { return false; }
  void WaitWhilePaused(PauseKind) override {}
  // A stream that can no longer be written stops the run: its work is lost.
  bool StopRequested() override { return m_streamFailed.load(); }
  void Sleep(int) override {}
  Showing WhatToShow() override { return {}; }
  void RequestPause(PauseKind) override {}
  void LoadBuiltInLevel(int) override {}
  void ShowPerceptionMarks(bool) override {}

  // Ends the progress bar's line, before the result is printed.
  void EndProgress() { m_progress.BreakLine(); }

  const std::vector<GenerationRecord>& Generations() const { return m_generations; }
  const std::vector<std::string>& Messages() const { return m_messages; }
  // Why the stream failed, if it did.
  const std::optional<std::string>& StreamFailure() const { return m_streamFailure; }

 private:
  void Record(int generation, double best, double average);

  SimParams m_params;
  bool m_stream;
  bool m_echo;
  Progress m_progress;
  std::vector<GenerationRecord> m_generations;
  std::vector<std::string> m_messages;
  std::optional<std::string> m_streamFailure;
  std::atomic<bool> m_streamFailed{false};
};

}  // namespace korvane::cli
