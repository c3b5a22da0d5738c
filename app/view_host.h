#pragma once
#include "app/run_control.h"
#include "app/ui_mailbox.h"
#include "engine/host.h"

namespace korvane {

// The host a run on a worker thread talks to. It never touches the view:
// frames, messages, level loads and marks go through the mailbox, pauses and
// sleeps through the run control.
class ViewHost : public IHost {
 public:
  ViewHost(RunControl& control, UiMailbox& mailbox, int runId, double paceScale);

  SimParams Params() override;
  void ShowMessage(const std::string& text) override;
  void Repaint(const FrameSnapshot& frame) override;
  bool PauseRequested(PauseKind kind) override;
  void WaitWhilePaused(PauseKind kind) override;
  bool StopRequested() override;
  Showing WhatToShow() override;
  void RequestPause(PauseKind kind) override;
  void Sleep(int milliseconds) override;
  void LoadBuiltInLevel(int n) override;
  void ShowPerceptionMarks(bool on) override;

 private:
  UiEvent Event(UiEvent::Kind kind) const;

  RunControl& m_control;
  UiMailbox& m_mailbox;
  int m_runId;
  double m_paceScale;
};

}  // namespace korvane
