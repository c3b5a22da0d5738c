#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "engine/pilot_results.h"
#include "engine/run.h"
#include "ui_model/seed_book.h"
#include "ui_model/settings_form.h"
#include "ui_model/view_state.h"
#include "web/draw_list.h"
#include "web/run_record.h"

// The program as the page runs it, inside its Web Worker: the view, the
// settings, the seeds and one run at a time, which the worker steps between
// the page's messages (a generation, or a tick of a flight on screen). The
// boxes a run or a command shows wait in a queue; the worker shows them one
// by one and steps on once they are closed.
namespace korvane::web {

// What the worker does after a step.
struct Next {
  enum class Kind { Idle, Now, Wait, Held };  // no run; step again; after waitMs; until continued or stopped
  Kind kind = Kind::Idle;
  int waitMs = 0;
};

class WebSession final : public RunAsks, public RunEvents {
 public:
  explicit WebSession(std::uint32_t starSeed);
  ~WebSession() override;

  // --- commands ----------------------------------------------------------
  // Starts a run; false (a box says why) while another is under way. The
  // page runs one at a time: a replay does not watch a paused search.
  bool Start(RunKind kind);
  // Stops the run, or ends a flight by hand.
  void Stop();
  // At a pause (单步): one generation more.
  void Continue() { m_flags.pause = false; }
  void SetShowing(const Showing& s) { m_showing = s; }
  void SetNextSeed(std::uint32_t seed) { m_seeds.SetNext(seed); }
  // 用同一种子重跑: the last run that took a seed, with that seed.
  void Rerun();
  void LoadLevel(int n);
  // The fields of one settings page, as the settings sheet reads them; a
  // refused field leaves every setting as it was.
  PageReadResult ApplySettings(int page, const std::map<int, FieldInput>& inputs);

  // --- flying by hand ----------------------------------------------------
  // Its start box first; the flight begins when that box is closed.
  void StartManual();
  ManualFlight::Tick ManualTick();
  void Arrow(korvane::Arrow a) { m_view.OnArrow(a, m_params); }
  bool ManualFlying() const { return m_view.ManualFlying(); }

  // --- stepping and what it shows ----------------------------------------
  Next Step();
  bool Running() const { return m_active != nullptr; }
  std::optional<RunKind> ActiveKind() const;
  bool Held() const;
  // The next box to show; the page calls BoxClosed when it is.
  std::optional<std::string> TakeBox();
  void BoxClosed();
  // The frame to paint now; the network panel when it is shown.
  void Compose(DrawList& scene, DrawList& panel);

  const SimParams& Settings() const { return m_params; }
  // The last search's or training's history as the window exports it;
  // empty when there is none.
  std::string HistoryCsv() const;
  std::string StatusText() const;
  // What the last run gave, and the same for a record built elsewhere.
  const RunRecord& Record() const { return m_record; }
  PilotResults& Results() { return *m_results; }

  // --- what a run asks and tells -----------------------------------------
  std::optional<SimParams> Params() override { return m_params; }
  bool StopRequested() override { return m_flags.stop; }
  bool PauseRequested(PauseKind) override { return m_flags.pause; }
  void RequestPause(PauseKind) override { m_flags.pause = true; }
  Showing WhatToShow() override { return m_showing; }
  void GenerationDone(const GenerationEvent& g) override;
  void FrameReady(const FrameMaker& frame) override;
  void FlightTick(const CLifeboat& boat) override;
  void Notice(const RunNotice& notice) override;
  void ShowLevel(int n) override { m_view.LoadBuiltInLevel(n, m_params); }
  void PerceptionMarks(bool on) override { m_view.SetShowPerception(on); }
  void RunEnded(const RunOutcome& outcome) override;

 private:
  struct Active;
  void Finish();

  SimParams m_params;
  ViewState m_view;
  StarField m_stars;
  std::shared_ptr<PilotResults> m_results;
  SeedBook m_seeds;
  Showing m_showing;
  std::unique_ptr<Active> m_active;
  std::deque<std::string> m_boxes;
  RunRecord m_record;
  struct {
    bool stop = false;
    bool pause = false;
    bool manualDue = false;  // the start box of a flight by hand is open
    bool searchRan = false;  // 演示结果 has a plan to replay
    int nextRunId = 0;
  } m_flags;
};

}  // namespace korvane::web
