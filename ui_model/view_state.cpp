#include "ui_model/view_state.h"

#include <algorithm>

#include "ui_model/classroom_strip.h"

namespace korvane {

std::optional<PauseKind> PauseKindOf(RunKind kind) {
  switch (kind) {
    case RunKind::GA: return PauseKind::GA;
    case RunKind::Training: return PauseKind::Training;
    case RunKind::Heuristic: return PauseKind::Heuristic;
    default: return std::nullopt;
  }
}

ViewState::ViewState(const SimParams& p) {
  WriteBuiltInLevel(m_field, 1);
  m_lifeboat.ResetToStart(p);
}

SceneInput ViewState::Scene(const SimParams& p, const Showing& showing) const {
  SceneInput in;
  in.params = p;
  in.editMode = m_editor.Editing();
  in.showPerception = m_showPerception != 0;
  if (m_runFrame) {
    in.boat = &m_runFrame->boat;
    in.field = &m_runFrame->field;
    in.perception = &m_runFrame->perception;
    if (m_runFrame->planPanel) in.planPanel = &*m_runFrame->planPanel;
    if (m_runFrame->chart) in.chart = &*m_runFrame->chart;
  } else {
    in.boat = &m_lifeboat;
    in.field = &m_field;
    in.perception = &m_perception;
  }
  if (m_runFrame && m_runFrame->planChart) in.planChart = &*m_runFrame->planChart;
  if (m_runFrame && m_runFrame->paths && showing.paths) in.paths = m_runFrame->paths.get();
  // A finished search or training leaves its charts until the screen changes.
  if (!m_runFrame && m_charts.ended) {
    const FrameSnapshot& e = *m_charts.ended;
    if (e.chart) in.chart = &*e.chart;
    if (e.planChart) in.planChart = &*e.planChart;
    if (e.planPanel && in.planChart) in.planPanel = &*e.planPanel;
  }
  // The demonstration's panel stays on every frame.
  if (!in.planPanel && m_showPlanChart && m_charts.lastPanel) in.planPanel = &*m_charts.lastPanel;
  // The classroom layout shows them beside the field, never over it.
  if (m_classroom.on) {
    in.planPanel = nullptr;
    in.chart = in.planChart = nullptr;
  }
  return in;
}

StripInput ViewState::Strip(const SimParams& p) const {
  StripInput s;
  s.hideChart = p.HideScoreChart != 0;
  const bool ended = !m_runFrame && m_charts.ended;
  s.activity = ended ? m_charts.endedKind : m_classroom.owner;
  const FrameSnapshot* f = m_runFrame ? &*m_runFrame : ended ? &*m_charts.ended : nullptr;
  if (f && f->planPanel) s.panel = &*f->planPanel;
  if (f && f->planChart) {
    s.chart = &*f->planChart;
  } else if (f && f->chart) {
    s.chart = &*f->chart;
    s.training = true;
  }
  // The demonstration's panel stays between its frames.
  if (!s.panel && s.activity == RunKind::StepByStep && m_charts.lastPanel) s.panel = &*m_charts.lastPanel;
  return s;
}

const BreedingView* ViewState::Breeding() const {
  const FrameSnapshot* f = m_runFrame ? &*m_runFrame : m_charts.ended ? &*m_charts.ended : nullptr;
  return f && f->breeding ? f->breeding.get() : nullptr;
}

namespace {

std::size_t ChildCount(const BreedingView& b) {
  if (b.plans) return b.plans->record.children.size();
  if (b.weights) return b.weights->record.children.size();
  return 0;
}

}  // namespace

int ViewState::BreedingChild() const {
  const BreedingView* b = Breeding();
  const int n = b ? static_cast<int>(ChildCount(*b)) : 0;
  return n > 0 ? std::clamp(m_classroom.child, 0, n - 1) : 0;
}

bool ViewState::ChooseChild(int step) {
  const BreedingView* b = Breeding();
  const int n = b ? static_cast<int>(ChildCount(*b)) : 0;
  if (n == 0) return false;
  m_classroom.child = std::clamp(BreedingChild() + step, 0, n - 1);
  return true;
}

void ViewState::FramePainted() {
  // The flame and the solid arrow of a thrust are seen for one frame.
  if (m_runFrame)
    m_runFrame->boat.m_thrustMarker = 1;
  else
    m_lifeboat.m_thrustMarker = 1;
}

void ViewState::ShowOwnScene() {
  m_runFrame.reset();
  m_charts.ended.reset();
  m_classroom.owner.reset();
}

void ViewState::LoadBuiltInLevel(int n, const SimParams& p) {
  if (!WriteBuiltInLevel(m_field, n)) return;
  m_lifeboat.ResetToStart(p);
  ShowOwnScene();
}

MapLoadResult ViewState::LoadUserMap(int n, const SimParams& p) {
  const MapLoadResult r = m_mapFile.LoadMap(n, m_field);
  m_lifeboat.ResetToStart(p);
  ShowOwnScene();
  return r;
}

MapSaveResult ViewState::SaveMap(const std::function<void(const std::string&)>& preview) {
  return m_mapFile.SaveMap(m_field, preview);
}

void ViewState::StartManual(const SimParams& p) {
  m_editor.Stop();
  m_showPerception = 0;
  m_manual.Start(m_lifeboat, p);
  ShowOwnScene();
}

ManualFlight::Tick ViewState::ManualTick(const SimParams& p) {
  return m_manual.OnTick(m_lifeboat, m_perception, m_field, p);
}

bool ViewState::OnArrow(Arrow a, const SimParams& p) { return m_manual.OnArrow(m_lifeboat, a, p); }

void ViewState::StartEditor() {
  // The lifeboat becomes the camera; a flight going on would move it.
  m_manual.Stop();
  double centre = m_lifeboat.m_position.x;
  m_editor.Start(m_field, centre);
  m_lifeboat.m_position.x = centre;
  // A network flight's marks would ring the new meteors by their numbers.
  m_showPerception = 0;
  ShowOwnScene();
}

double ViewState::EditorCentre() const {
  // A level load in edit mode puts the lifeboat back at x 20; the frame then
  // shows playfield 0..900, as it does for centre 450.
  return std::clamp(m_lifeboat.m_position.x, EditorMinCentre, EditorMaxCentre);
}

CLevelEditor::PressResult ViewState::EditorPress(int x, int y) { return m_editor.Press(m_field, x, y, EditorCentre()); }

bool ViewState::EditorMove(int x, int y) {
  if (!m_editor.Editing()) return false;
  const double before = EditorCentre();
  double centre = before;
  const CLevelEditor::MoveResult r = m_editor.Move(m_field, x, y, centre);
  if (centre != before) m_lifeboat.m_position.x = centre;
  return r.repaint || r.radiusChanged;
}

bool ViewState::EditorRelease(int x, int y) { return m_editor.Release(m_field, x, y); }

void ViewState::RunStarting(RunKind kind) {
  m_editor.Stop();
  m_manual.Stop();
  if (kind == RunKind::StepByStep) m_showPlanChart = 1;
  // The marks belong to the network flight that draws them.
  m_showPerception = kind == RunKind::NetworkFlight ? 1 : 0;
  // Whatever an earlier run left on screen gives way to the new one.
  ShowOwnScene();
  m_classroom.owner = kind;
  if (!IsReplay(kind)) m_classroom.child = 0;
}

void ViewState::ApplyRunFrame(int runId, FrameSnapshot frame, bool ownsScreen) {
  ApplyRunFrame(runId, std::move(frame), ownsScreen, std::nullopt);
}

void ViewState::ApplyRunFrame(int runId, FrameSnapshot frame, bool ownsScreen, std::optional<RunKind> kind) {
  if (frame.planPanel) m_charts.lastPanel = frame.planPanel;
  if (frame.planChart) {
    m_charts.history = frame.planChart;
    m_charts.historyIsPlan = true;
  } else if (frame.chart) {
    m_charts.history = frame.chart;
    m_charts.historyIsPlan = false;
  }
  if (!ownsScreen) return;
  m_runFrame = std::move(frame);
  m_runFrameId = runId;
  if (kind) m_classroom.owner = kind;
}

void ViewState::RunFinished(int runId) {
  if (!m_runFrame || m_runFrameId != runId) return;
  m_lifeboat = m_runFrame->boat;
  m_perception = m_runFrame->perception;
  if (m_runFrame->chart || m_runFrame->planChart) {
    m_charts.ended = std::move(m_runFrame);
    m_charts.endedKind = m_classroom.owner;
  }
  m_runFrame.reset();
}

}  // namespace korvane
