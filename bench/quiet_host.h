// Plays the part of the window without waiting for anything.
#pragma once
#include <string>

#include "engine/host.h"

namespace korvane::bench {

class QuietHost : public IHost {
 public:
  SimParams params;
  Showing showing;
  SimParams Params() override { return params; }
  void ShowMessage(const std::string&) override {}
  void Repaint(const FrameSnapshot&) override {}
  bool PauseRequested(PauseKind) override { return false; }
  void WaitWhilePaused(PauseKind) override {}
  bool StopRequested() override { return false; }
  void Sleep(int) override {}
  Showing WhatToShow() override { return showing; }
  void RequestPause(PauseKind) override {}
  void LoadBuiltInLevel(int) override {}
  void ShowPerceptionMarks(bool) override {}
};

}  // namespace korvane::bench
