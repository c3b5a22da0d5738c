#pragma once
#include "app/run_control.h"
#include "app/ui_mailbox.h"
#include "engine/host.h"

namespace korvane {

// The host a run on a worker thread talks to. It never touches the view:
// frames, messages, level loads and marks go through the mailbox, pauses and
// waits through the run control.
class ViewHost : public IHost {
 public:
  // paced: a run whose flights under 观看 follow the speed control.
  ViewHost(RunControl& control, UiMailbox& mailbox, int runId, double paceScale, bool paced);

  // What a run asks.
  std::optional<SimParams> Params() override;
  bool PauseRequested(PauseKind kind) override;
  bool StopRequested() override;
  Showing WhatToShow() override;
  void RequestPause(PauseKind kind) override;
  // What a run tells: each notice's boxes, one after the other, the worker
  // waiting until each is closed.
  void FrameReady(const FrameMaker& frame) override;
  void Notice(const RunNotice& notice) override;
  void ShowLevel(int n) override;
  void PerceptionMarks(bool on) override;
  void RunEnded(const RunOutcome& outcome) override { m_outcome = outcome; }
  // How a worker drives a run.
  void WaitWhilePaused(PauseKind kind) override;
  void Wait(int milliseconds) override;

  // How the run ended (stopped, until it says otherwise).
  const RunOutcome& Outcome() const { return m_outcome; }

 private:
  UiEvent Event(UiEvent::Kind kind) const;
  void ShowMessage(const std::string& text);

  RunControl& m_control;
  UiMailbox& m_mailbox;
  int m_runId;
  double m_paceScale;
  bool m_paced;
  RunOutcome m_outcome{RunEnd::Stopped};
};

}  // namespace korvane
