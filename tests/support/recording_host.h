#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/host.h"

namespace korvane::test {

// A host that records what a run reports and answers from scripted hooks.
class RecordingHost : public IHost {
 public:
  SimParams params;
  std::vector<std::string> messages;
  std::vector<FrameSnapshot> frames;
  std::vector<int> levelsLoaded;
  std::vector<bool> marks;
  int pauses = 0;
  Pace pace = Pace::Fastest;
  bool paths = false;
  bool network = false;
  std::vector<PauseKind> pausesRequested;
  int sleeps = 0;
  std::function<bool(PauseKind)> pauseHook;
  std::function<bool()> stopHook;
  std::function<void(RecordingHost&)> onRepaint;
  std::function<void()> onWait;
  // What the run did, in order: "frame" (a run of frames counts once),
  // "box:TEXT", "level:N", "marks:0|1", "ask-pause", "paused".
  std::vector<std::string> log;

  void Note(const std::string& what) {
    if (what == "frame" && !log.empty() && log.back() == "frame") return;
    log.push_back(what);
  }

  SimParams Params() override { return params; }
  void ShowMessage(const std::string& text) override {
    messages.push_back(text);
    Note("box:" + text);
  }
  void Repaint(const FrameSnapshot& frame) override {
    frames.push_back(frame);
    Note("frame");
    if (onRepaint) onRepaint(*this);
  }
  bool PauseRequested(PauseKind kind) override { return pauseHook && pauseHook(kind); }
  void WaitWhilePaused(PauseKind) override {
    ++pauses;
    Note("paused");
    if (onWait) onWait();
  }
  bool StopRequested() override { return stopHook && stopHook(); }
  void Sleep(int) override { ++sleeps; }
  Showing WhatToShow() override { return {pace, paths, network}; }
  void RequestPause(PauseKind kind) override {
    pausesRequested.push_back(kind);
    Note("ask-pause");
  }
  void LoadBuiltInLevel(int n) override {
    levelsLoaded.push_back(n);
    Note("level:" + std::to_string(n));
  }
  void ShowPerceptionMarks(bool on) override {
    marks.push_back(on);
    Note(on ? "marks:1" : "marks:0");
  }

  // Generations a plan search painted: frames showing a generation not shown
  // before (its last frame, shown again at the end, counts once).
  int PlanFrames() const {
    int n = 0;
    int last = 0;
    for (const auto& f : frames)
      if (f.planPanel && f.planPanel->generation > last) {
        last = f.planPanel->generation;
        ++n;
      }
    return n;
  }
};

inline MeteorField EmptyField() {
  MeteorField f;
  f.count = 0;
  return f;
}

}  // namespace korvane::test
