#pragma once
#include <functional>
#include <optional>
#include <string>

#include "engine/host.h"
#include "files/obstacle_map_file.h"
#include "sim/lifeboat.h"
#include "sim/meteor_field.h"
#include "sim/params.h"
#include "sim/perception.h"
#include "ui_model/level_editor.h"
#include "ui_model/manual_flight.h"
#include "ui_model/scene_input.h"

namespace korvane {
struct StripInput;
}

namespace korvane {

// The computer's activities. Replays watch; the others compute.
enum class RunKind { GA, StepByStep, Training, Heuristic, Replay, NetworkFlight };

inline bool IsReplay(RunKind kind) { return kind == RunKind::Replay || kind == RunKind::NetworkFlight; }
// The pause a run waits at, if it has one.
std::optional<PauseKind> PauseKindOf(RunKind kind);

// What is on screen, without a widget: the view's lifeboat and meteor field,
// the manual flight and the editor, the marks and panels to draw, and the
// frame a run last published. Lives on the UI thread.
class ViewState {
 public:
  explicit ViewState(const SimParams& p);  // level 1, the lifeboat at the start

  // --- one frame ---------------------------------------------------------
  // What the next frame shows, given what the user wants to see. Taking it
  // changes nothing.
  SceneInput Scene(const SimParams& p, const Showing& showing = {}) const;
  // What the network saw last in the flight on screen, if it is shown.
  const NetworkView* Network() const { return m_runFrame && m_runFrame->network ? m_runFrame->network.get() : nullptr; }
  // The thrust marker is shown for exactly one frame: set back once that
  // frame has been painted.
  void FramePainted();

  const CLifeboat& Lifeboat() const { return m_lifeboat; }
  const MeteorField& Field() const { return m_field; }
  bool ShowPerception() const { return m_showPerception != 0; }
  bool ShowPlanChart() const { return m_showPlanChart != 0; }
  bool EditMode() const { return m_editor.Editing(); }
  // The frame of the run that owns the screen, if one is shown.
  const FrameSnapshot* RunFrame() const { return m_runFrame ? &*m_runFrame : nullptr; }
  // The plan search's panel values last published by any run.
  const std::optional<PlanPanelData>& LastPlanPanel() const { return m_charts.lastPanel; }
  // The history of the last search or training shown (for export): its
  // chart data, and whether it was a plan search.
  const std::optional<ChartData>& LastHistory() const { return m_charts.history; }
  bool LastHistoryIsPlanSearch() const { return m_charts.historyIsPlan; }
  // Puts the lifeboat somewhere (tests place it to look at the scene).
  void SetLifeboat(const CLifeboat& boat) { m_lifeboat = boat; }

  // --- levels and the level file -------------------------------------------
  void LoadBuiltInLevel(int n, const SimParams& p);
  // The lifeboat is reset whether or not the map came in.
  MapLoadResult LoadUserMap(int n, const SimParams& p);
  MapSaveResult SaveMap(const std::function<void(const std::string&)>& preview);
  int ScanMaps() { return m_mapFile.ScanMaps(); }
  const std::string& MapFileName() const { return m_mapFile.FileName(); }

  // --- manual flight -------------------------------------------------------
  void StartManual(const SimParams& p);
  void EndManual() { m_manual.Stop(); }
  ManualFlight::Tick ManualTick(const SimParams& p);
  bool OnArrow(Arrow a, const SimParams& p);
  bool ManualFlying() const { return !m_manual.Stopped(); }
  const ManualFlight& Manual() const { return m_manual; }

  // --- the editor ------------------------------------------------------------
  void StartEditor();
  CLevelEditor::PressResult EditorPress(int x, int y);
  // True when the frame changed.
  bool EditorMove(int x, int y);
  bool EditorRelease(int x, int y);
  bool EditorDelete(int x, int y) { return m_editor.Delete(m_field, x, y, EditorCentre()); }
  bool EditorUndo() { return m_editor.Undo(m_field); }

  // --- the runs --------------------------------------------------------------
  // The computer takes the lifeboat over: the editor and a manual flight
  // end, and the screen is set up for the kind of run.
  void RunStarting(RunKind kind);
  // A run's frame; only the run that owns the screen is drawn.
  void ApplyRunFrame(int runId, FrameSnapshot frame, bool ownsScreen);
  void SetShowPerception(bool on) { m_showPerception = on ? 1 : 0; }
  // A run's frame; only the run that owns the screen is drawn. kind: the
  // run's, for the classroom strip.
  void ApplyRunFrame(int runId, FrameSnapshot frame, bool ownsScreen, std::optional<RunKind> kind);
  // The lifeboat stays where the run left it, with the meteors it last saw.
  void RunFinished(int runId);
  // Forgets a run's frame, and the charts a finished run left, so the view's
  // own lifeboat and field are drawn.
  void ShowOwnScene();

  // --- the classroom ---------------------------------------------------------
  // The layout with the score panel and charts in a strip beside the field:
  // the field then shows none of them.
  void SetClassroom(bool on) { m_classroom.on = on; }
  bool Classroom() const { return m_classroom.on; }
  // What the strip shows: the activity that owns the screen, or that ended
  // on it, and nothing of any other.
  StripInput Strip(const SimParams& p) const;
  // How the generation on screen was bred, when that is shown; and the child
  // chosen in it (the first, until → or ← choose another).
  const BreedingView* Breeding() const;
  int BreedingChild() const;
  // Moves the choice by step children; false when there is nothing to choose.
  bool ChooseChild(int step);

 private:
  // The camera centre the editor works with (the lifeboat's x, kept where
  // the frame's camera shows the same section).
  double EditorCentre() const;

  CLifeboat m_lifeboat;
  MeteorField m_field;
  Perception m_perception;  // the manual flight's
  int m_showPerception = 0;
  int m_showPlanChart = 0;
  CLevelEditor m_editor;  // edit mode and the press state
  ManualFlight m_manual;
  CObstacleMapFile m_mapFile;
  std::optional<FrameSnapshot> m_runFrame;
  int m_runFrameId = 0;
  struct {
    bool on = false;
    std::optional<RunKind> owner;  // the run that owns the screen, or is about to
    int child = 0;                 // the breeding child chosen
  } m_classroom;
  // What runs leave on screen and for export.
  struct Charts {
    std::optional<PlanPanelData> lastPanel;  // the plan panel last published
    std::optional<FrameSnapshot> ended;      // a finished run's charts, shown until the screen changes
    std::optional<RunKind> endedKind;        // whose they are
    std::optional<ChartData> history;
    bool historyIsPlan = false;
  };
  Charts m_charts;
};

}  // namespace korvane
