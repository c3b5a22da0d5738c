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
  ViewHost(RunControl& control, UiMailbox& mailbox, int runId, double paceScale);

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
  // How a worker drives a run.
  void WaitWhilePaused(PauseKind kind) override;
  void Wait(int milliseconds) override;

 private:
  UiEvent Event(UiEvent::Kind kind) const;
  void ShowMessage(const std::string& text);

  RunControl& m_control;
  UiMailbox& m_mailbox;
  int m_runId;
  double m_paceScale;
};

}  // namespace korvane
