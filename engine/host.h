#pragma once
#include <functional>
#include <optional>

#include "engine/frame.h"
#include "engine/run_events.h"
#include "sim/params.h"

namespace korvane {

// What a run asks of whoever drives it, between its steps. Every answer has
// a default, so a host answers only what it cares about.
class RunAsks {
 public:
  virtual ~RunAsks() = default;
  // The settings as they are now, read only as engine/run_settings.h says;
  // none: they have not changed since the run started.
  virtual std::optional<SimParams> Params() { return std::nullopt; }
  // The user stopped this run, or the program is closing.
  virtual bool StopRequested() { return false; }
  virtual bool PauseRequested(PauseKind) { return false; }
  // A run that goes one generation at a time holds itself at its pause.
  virtual void RequestPause(PauseKind) {}
  // Pace and switches, read between generations.
  virtual Showing WhatToShow() { return {}; }
};

using FrameMaker = std::function<FrameSnapshot()>;

// What a run tells, as it happens. Every event has an empty default.
class RunEvents {
 public:
  virtual ~RunEvents() = default;
  virtual void GenerationDone(const GenerationEvent&) {}
  // A frame is ready: a host that shows frames makes the snapshot during
  // the call (only then is it made). Must not block for long.
  virtual void FrameReady(const FrameMaker&) {}
  // A tick of a flight on screen has been flown.
  virtual void FlightTick(const CLifeboat&) {}
  // The user is to be told; the host may hold the run here until they have
  // seen it.
  virtual void Notice(const RunNotice&) {}
  // The screen is to show built-in level n (field, lifeboat at the start).
  virtual void ShowLevel(int) {}
  // Mark, or stop marking, the meteors the network perceives.
  virtual void PerceptionMarks(bool) {}
  virtual void RunEnded(const RunOutcome&) {}
};

// A host that drives a run to its end on a thread of its own: it also holds
// the run at its pauses and between the ticks of a flight on screen.
class IHost : public RunAsks, public RunEvents {
 public:
  // Blocks while the pause lasts; returns at once when a stop is requested.
  virtual void WaitWhilePaused(PauseKind) {}
  // The host's clock: blocks for the pace of a flight on screen (the CLI and
  // the tests do not wait).
  virtual void Wait(int /*milliseconds*/) {}
};

}  // namespace korvane
