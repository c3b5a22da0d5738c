#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/host.h"
#include "ui_model/run_words.h"

namespace korvane::test {

// A host that records what a run tells and answers from scripted hooks;
// notices are recorded as the boxes the desktop program shows for them.
class RecordingHost : public IHost {
 public:
  SimParams params;
  std::vector<std::string> messages;
  std::vector<FrameSnapshot> frames;
  std::vector<GenerationEvent> generations;
  std::vector<RunOutcome> outcomes;
  std::vector<int> levelsLoaded;
  std::vector<bool> marks;
  int pauses = 0;
  Pace pace = Pace::Fastest;
  bool paths = false;
  bool network = false;
  bool breeding = false;
  std::vector<PauseKind> pausesRequested;
  int sleeps = 0;
  int ticks = 0;
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

  std::optional<SimParams> Params() override { return params; }
  void Notice(const RunNotice& notice) override {
    for (const std::string& text : BoxTexts(notice)) {
      messages.push_back(text);
      Note("box:" + text);
    }
  }
  void FrameReady(const FrameMaker& frame) override {
    frames.push_back(frame());
    Note("frame");
    if (onRepaint) onRepaint(*this);
  }
  void GenerationDone(const GenerationEvent& g) override { generations.push_back(g); }
  void FlightTick(const CLifeboat&) override { ++ticks; }
  void RunEnded(const RunOutcome& outcome) override { outcomes.push_back(outcome); }
  bool PauseRequested(PauseKind kind) override { return pauseHook && pauseHook(kind); }
  void WaitWhilePaused(PauseKind) override {
    ++pauses;
    Note("paused");
    if (onWait) onWait();
  }
  bool StopRequested() override { return stopHook && stopHook(); }
  void Wait(int) override { ++sleeps; }
  Showing WhatToShow() override { return {pace, paths, network, breeding}; }
  void RequestPause(PauseKind kind) override {
    pausesRequested.push_back(kind);
    Note("ask-pause");
  }
  void ShowLevel(int n) override {
    levelsLoaded.push_back(n);
    Note("level:" + std::to_string(n));
  }
  void PerceptionMarks(bool on) override {
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
