#include "app/korvane_view.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <ctime>

#include "app/settings_sheet.h"
#include "app/view_host.h"
#include "texts/messages.h"
#include "texts/ui_texts.h"
#include "ui_model/settings_store.h"

namespace korvane {
namespace {

constexpr int ManualTickMs = 25;

std::optional<PauseKind> PauseKindOf(CKorvaneView::RunKind kind) {
  switch (kind) {
    case CKorvaneView::RunKind::GA: return PauseKind::GA;
    case CKorvaneView::RunKind::Training: return PauseKind::Training;
    case CKorvaneView::RunKind::Heuristic: return PauseKind::Heuristic;
    default: return std::nullopt;
  }
}

bool IsReplay(CKorvaneView::RunKind kind) {
  return kind == CKorvaneView::RunKind::Replay || kind == CKorvaneView::RunKind::NetworkFlight;
}

}  // namespace

CKorvaneView::CKorvaneView(QWidget* parent)
    : QWidget(parent),
      m_renderer(static_cast<std::uint32_t>(std::time(nullptr))),
      m_scene(ViewWidth, ViewHeight, QImage::Format_RGB32),
      m_presenter(std::make_unique<BoxPresenter>()),
      m_seedSource([] { return static_cast<std::uint32_t>(std::time(nullptr)); }) {
  setFixedSize(ViewWidth, ViewHeight);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The editor scrolls when the pointer merely rests near an edge.
  setMouseTracking(true);

  WriteBuiltInLevel(m_field, 1);
  const SimParams p = GlobalParams().Get();
  m_lifeboat.ResetToStart(p);
  m_netShape = {p.NetInputCount, p.HiddenLayerCount, p.NeuronsPerHiddenLayer};

  m_manualTimer.setInterval(ManualTickMs);
  m_manualTimer.setTimerType(Qt::PreciseTimer);
  connect(&m_manualTimer, &QTimer::timeout, this, &CKorvaneView::OnManualTick);

  m_mailbox = new UiMailbox(this);
  connect(m_mailbox, &UiMailbox::ready, this, &CKorvaneView::OnMailbox);
}

CKorvaneView::~CKorvaneView() { Shutdown(); }

void CKorvaneView::InitialUpdate() {
  emit UserMapsFound(m_mapFile.ScanMaps());
  setFocus();
  ShowMessage(text::Introduction);
}

void CKorvaneView::Shutdown() {
  if (m_shutDown) return;
  m_shutDown = true;
  m_manualTimer.stop();
  m_manual.Stop();
  // Wakes runs waiting at a pause, in a sleep or on a message box.
  m_control.RequestStop();
  if (m_presenter) m_presenter->CloseAll();
  for (std::unique_ptr<Run>* run : {&m_worker, &m_replay}) {
    if (*run && (*run)->thread.joinable()) (*run)->thread.join();
    run->reset();
  }
}

void CKorvaneView::SetPresenter(std::unique_ptr<IMessagePresenter> presenter) {
  m_presenter = std::move(presenter);
}

void CKorvaneView::SetSeedSource(std::function<std::uint32_t()> source) { m_seedSource = std::move(source); }

void CKorvaneView::SetPauseActions(QAction* ga, QAction* training, QAction* heuristic) {
  m_pauseActions[static_cast<int>(PauseKind::GA)] = ga;
  m_pauseActions[static_cast<int>(PauseKind::Training)] = training;
  m_pauseActions[static_cast<int>(PauseKind::Heuristic)] = heuristic;
  for (PauseKind k : {PauseKind::GA, PauseKind::Training, PauseKind::Heuristic}) UpdatePauseText(k);
}

bool CKorvaneView::WorkerPaused() const {
  if (!m_worker) return false;
  const std::optional<PauseKind> kind = PauseKindOf(m_worker->kind);
  return kind && m_control.IsWaitingInPause(*kind);
}

void CKorvaneView::ShowOwnScene() {
  m_runFrame.reset();
  update();
}

void CKorvaneView::ShowMessage(const char* text) {
  if (m_presenter) m_presenter->Show(window(), QString::fromUtf8(text));
}

void CKorvaneView::ShowMessage(const std::string& text) {
  if (m_presenter) m_presenter->Show(window(), QString::fromStdString(text));
}

// ------------------------------------------------------------- painting --

const QImage& CKorvaneView::ComposeScene() {
  SceneInput in;
  in.params = GlobalParams().Get();
  in.editMode = m_editor.Editing();
  in.showPerception = m_showPerception != 0;
  CLifeboat* boat = &m_lifeboat;
  if (m_runFrame) {
    boat = &m_runFrame->boat;
    in.field = &m_runFrame->field;
    in.perception = &m_runFrame->perception;
    if (m_runFrame->planPanel) in.planPanel = &*m_runFrame->planPanel;
    if (m_runFrame->chart) in.chart = &*m_runFrame->chart;
  } else {
    in.field = &m_field;
    in.perception = &m_perception;
  }
  in.boat = boat;
  if (!in.planPanel && m_showPlanChart && m_lastPlanPanel) in.planPanel = &*m_lastPlanPanel;
  m_renderer.Compose(m_scene, in);
  // A flame and a solid arrow are seen for one frame after each thrust.
  boat->m_thrustMarker = 1;
  return m_scene;
}

void CKorvaneView::paintEvent(QPaintEvent*) {
  const QImage& frame = ComposeScene();
  QPainter p(this);
  p.drawImage(0, 0, frame);
}

// -------------------------------------------------------- manual flight --

void CKorvaneView::OnManualFlight() {
  if (m_worker || m_replay) {
    ShowMessage(text::ManualBusy);
    return;
  }
  ShowMessage(text::ManualStart);
  m_editor.Stop();
  m_showPerception = 0;
  m_manualTimer.start();
  m_manual.Start(m_lifeboat, GlobalParams().Get());
  ShowOwnScene();
  setFocus();
}

void CKorvaneView::OnManualTick() {
  const SimParams p = GlobalParams().Get();
  const ManualFlight::Tick t = m_manual.OnTick(m_lifeboat, m_perception, m_field, p);
  if (t == ManualFlight::Tick::StopTimer) {
    m_manualTimer.stop();
    return;
  }
  update();
  if (t == ManualFlight::Tick::Escaped) ShowMessage(text::ManualEscaped);
  if (t == ManualFlight::Tick::Crashed) ShowMessage(text::ManualCrashed);
}

void CKorvaneView::keyPressEvent(QKeyEvent* event) {
  std::optional<Arrow> a;
  switch (event->key()) {
    case Qt::Key_Up: a = Arrow::Up; break;
    case Qt::Key_Down: a = Arrow::Down; break;
    case Qt::Key_Left: a = Arrow::Left; break;
    case Qt::Key_Right: a = Arrow::Right; break;
    default: break;
  }
  if (!a) {
    QWidget::keyPressEvent(event);
    return;
  }
  m_manual.OnArrow(m_lifeboat, *a, GlobalParams().Get());
  event->accept();
}

// ----------------------------------------------------------------- runs --

CKorvaneView::Run* CKorvaneView::FindRun(int id) {
  if (m_worker && m_worker->id == id) return m_worker.get();
  if (m_replay && m_replay->id == id) return m_replay.get();
  return nullptr;
}

bool CKorvaneView::MayStartComputing() {
  if (m_worker) {
    ShowMessage(text::BusyComputing);
    return false;
  }
  if (m_replay) {
    ShowMessage(text::BusyReplay);
    return false;
  }
  return true;
}

bool CKorvaneView::MayStartReplay() {
  if (m_replay) {
    ShowMessage(text::BusyReplay);
    return false;
  }
  // A replay may only watch a run that is held at its pause.
  if (m_worker && !WorkerPaused()) {
    ShowMessage(text::PauseFirst);
    return false;
  }
  return true;
}

void CKorvaneView::StartRun(RunKind kind, std::function<void(IHost&)> body) {
  if (m_shutDown) return;
  // The computer takes the lifeboat over from the hands.
  if (m_manualTimer.isActive()) {
    m_manual.Stop();
    m_manualTimer.stop();
  }
  auto run = std::make_unique<Run>();
  run->id = ++m_nextRunId;
  run->kind = kind;
  run->host = std::make_unique<ViewHost>(m_control, *m_mailbox, run->id, m_paceScale);
  IHost* host = run->host.get();
  UiMailbox* mailbox = m_mailbox;
  const int id = run->id;
  run->thread = std::thread([host, mailbox, id, body = std::move(body)] {
    body(*host);
    UiEvent done;
    done.kind = UiEvent::Kind::Finished;
    done.runId = id;
    mailbox->Post(std::move(done));
  });
  (IsReplay(kind) ? m_replay : m_worker) = std::move(run);
  // Whatever an earlier run left on screen gives way to the new one.
  m_runFrame.reset();
}

CNeuralNet CKorvaneView::BuildStoredNetwork() const {
  SimParams p = GlobalParams().Get();
  p.NetInputCount = m_netShape.inputs;
  p.HiddenLayerCount = m_netShape.hiddenLayers;
  p.NeuronsPerHiddenLayer = m_netShape.neurons;
  CNeuralNet net;
  CRand rng;  // the run loads the weights in force over these
  net.Build(p, rng);
  return net;
}

void CKorvaneView::OnStartGenAlg() {
  if (!MayStartComputing()) return;
  m_editor.Stop();
  const std::uint32_t seed = NextSeed();
  StartRun(RunKind::GA, [this, start = GlobalParams().Get(), field = m_field, seed](IHost& h) {
    m_pilot.OnStartGenAlg(h, start, m_planGA, field, seed);
  });
  m_gaResultReady = true;
}

void CKorvaneView::OnStepByStep() {
  if (!MayStartComputing()) return;
  m_editor.Stop();
  m_showPlanChart = 1;
  const std::uint32_t seed = NextSeed();
  StartRun(RunKind::StepByStep, [this, start = GlobalParams().Get(), field = m_field, seed](IHost& h) {
    m_pilot.onTimer3(h, start, m_planGA, field, seed);
  });
}

void CKorvaneView::OnShowResult() {
  if (!m_gaResultReady) {
    ShowMessage(msg::RunGaFirst);
    return;
  }
  if (!MayStartReplay()) return;
  m_editor.Stop();
  StartRun(RunKind::Replay,
           [this, start = GlobalParams().Get(), field = m_field](IHost& h) { m_pilot.onTimer2(h, start, field); });
}

void CKorvaneView::OnTrainNetwork() {
  if (!MayStartComputing()) return;
  m_editor.Stop();
  // The network trained now becomes the one every later flight is built as.
  const SimParams p = GlobalParams().Get();
  m_netShape = {p.NetInputCount, p.HiddenLayerCount, p.NeuronsPerHiddenLayer};
  const std::uint32_t seed = NextSeed();
  StartRun(RunKind::Training, [this, p, seed](IHost& h) {
    CNeuralNet net;
    m_pilot.TrainNetwork(h, p, m_weightGA, net, seed);
  });
}

void CKorvaneView::OnShowTrainingResult() {
  if (!MayStartReplay()) return;
  m_editor.Stop();
  m_showPerception = 1;
  StartRun(RunKind::NetworkFlight,
           [this, start = GlobalParams().Get(), field = m_field, net = BuildStoredNetwork()](IHost& h) mutable {
             m_pilot.FlyByNetwork(h, start, net, field);
           });
}

void CKorvaneView::OnStartHeuristicGenAlg() {
  if (!MayStartComputing()) return;
  m_editor.Stop();
  const std::uint32_t seed = NextSeed();
  StartRun(RunKind::Heuristic,
           [this, start = GlobalParams().Get(), field = m_field, seed, net = BuildStoredNetwork()](IHost& h) mutable {
             m_pilot.OnStartHeuristicGenAlg(h, start, m_planGA, net, field, seed);
           });
  m_gaResultReady = true;
}

void CKorvaneView::OnPauseGA() { TogglePause(PauseKind::GA); }
void CKorvaneView::OnPauseTraining() { TogglePause(PauseKind::Training); }
void CKorvaneView::OnPauseHeuristicGenAlg() { TogglePause(PauseKind::Heuristic); }

void CKorvaneView::TogglePause(PauseKind kind) {
  m_control.SetPause(kind, !m_control.PauseRequested(kind));
  UpdatePauseText(kind);
}

void CKorvaneView::UpdatePauseText(PauseKind kind) {
  QAction* a = m_pauseActions[static_cast<int>(kind)];
  if (!a) return;
  const bool paused = m_control.PauseRequested(kind);
  const char* t = nullptr;
  switch (kind) {
    case PauseKind::GA: t = paused ? text::MenuContinueGA : text::MenuPauseGA; break;
    case PauseKind::Training: t = paused ? text::MenuContinueTraining : text::MenuPauseTraining; break;
    case PauseKind::Heuristic: t = paused ? text::MenuContinueHeuristic : text::MenuPauseHeuristic; break;
  }
  a->setText(QString::fromUtf8(t));
}

// --------------------------------------------------------------- levels --

void CKorvaneView::OnLoadBuiltInLevel(int n) {
  if (!WriteBuiltInLevel(m_field, n)) return;
  m_lifeboat.ResetToStart(GlobalParams().Get());
  ShowOwnScene();
}

void CKorvaneView::OnLoadUserMap(int n) {
  const MapLoadResult r = m_mapFile.LoadMap(n, m_field);
  // Reset and repaint whether or not the map came in, as for a built-in level.
  m_lifeboat.ResetToStart(GlobalParams().Get());
  ShowOwnScene();
  if (r.status != MapLoadStatus::Loaded) ShowMessage(MapLoadMessage(r, n, m_mapFile.FileName()));
}

void CKorvaneView::OnSaveCustomLevel() {
  const MapSaveResult r = m_mapFile.SaveMap(m_field, [this](const std::string& mapText) {
    // Line breaks a box shows; the last one would only leave a blank line.
    QString shown = QString::fromStdString(mapText);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
    if (m_presenter) m_presenter->Show(window(), shown);
  });
  if (r.status == MapSaveStatus::Saved) emit UserMapsFound(r.number);
  ShowMessage(MapSaveMessage(r, m_mapFile.FileName()));
}

// ------------------------------------------------------------- settings --

void CKorvaneView::OnSettings() {
  SimParams p = GlobalParams().Get();
  if (!EditSettings(window(), p, m_presenter.get())) return;
  GlobalParams().Set(p);
  // The lifeboat's picture and the display switches follow at once.
  update();
}

// --------------------------------------------------------------- editor --

void CKorvaneView::OnCustomLevel() {
  // The run owns the screen and, for training, the field; drawing now
  // would fight it.
  if (m_worker || m_replay) {
    ShowMessage(text::EditBusy);
    return;
  }
  // The lifeboat becomes the camera; a flight going on would move it.
  if (m_manualTimer.isActive()) {
    m_manual.Stop();
    m_manualTimer.stop();
  }
  double centre = m_lifeboat.m_position.x;
  m_editor.Start(m_field, centre);
  m_lifeboat.m_position.x = centre;
  // A network flight's marks would ring the new meteors by their numbers.
  m_showPerception = 0;
  ShowOwnScene();
}

double CKorvaneView::EditorCentre() const {
  // A level load in edit mode puts the lifeboat back at x 20; the frame then
  // shows playfield 0..900, as it does for centre 450.
  return std::clamp(m_lifeboat.m_position.x, EditorMinCentre, EditorMaxCentre);
}

void CKorvaneView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && m_editor.Editing()) {
    const QPoint at = event->position().toPoint();
    if (m_editor.Press(m_field, at.x(), at.y(), EditorCentre()) == CLevelEditor::PressResult::FieldFull)
      ShowMessage(text::FieldFull);
  }
  QWidget::mousePressEvent(event);
}

void CKorvaneView::mouseMoveEvent(QMouseEvent* event) {
  if (m_editor.Editing()) {
    const QPoint at = event->position().toPoint();
    const double before = EditorCentre();
    double centre = before;
    const CLevelEditor::MoveResult r = m_editor.Move(m_field, at.x(), at.y(), centre);
    if (centre != before) m_lifeboat.m_position.x = centre;
    // The meteor layer follows the field at the next frame.
    if (r.repaint || r.radiusChanged) update();
  }
  QWidget::mouseMoveEvent(event);
}

void CKorvaneView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint at = event->position().toPoint();
    if (m_editor.Release(m_field, at.x(), at.y())) update();
  }
  QWidget::mouseReleaseEvent(event);
}

// -------------------------------------------------- events from the runs --

void CKorvaneView::OnMailbox() {
  // One at a time: a message box below runs a nested event loop that may
  // take the later events first, in order.
  while (std::optional<UiEvent> ev = m_mailbox->Take()) HandleEvent(*ev);
}

void CKorvaneView::HandleEvent(UiEvent& ev) {
  switch (ev.kind) {
    case UiEvent::Kind::Frame:
      if (m_shutDown || !FindRun(ev.runId)) return;
      if (ev.frame.planPanel) m_lastPlanPanel = ev.frame.planPanel;
      // A replay owns the screen while it lasts, even if the paused run it
      // watches is continued meanwhile.
      if (m_replay && m_replay->id != ev.runId) return;
      m_runFrame = std::move(ev.frame);
      m_runFrameId = ev.runId;
      update();
      return;
    case UiEvent::Kind::Message:
      if (!m_shutDown) m_presenter->Show(window(), QString::fromStdString(ev.text));
      m_control.CloseTicket(ev.ticket);
      return;
    case UiEvent::Kind::LoadLevel:
      if (!m_shutDown) OnLoadBuiltInLevel(ev.level);
      return;
    case UiEvent::Kind::Marks:
      if (!m_shutDown && FindRun(ev.runId)) m_showPerception = ev.marks ? 1 : 0;
      return;
    case UiEvent::Kind::Finished:
      FinishRun(ev.runId);
      return;
  }
}

void CKorvaneView::FinishRun(int id) {
  std::unique_ptr<Run>* slot = nullptr;
  if (m_worker && m_worker->id == id) slot = &m_worker;
  if (m_replay && m_replay->id == id) slot = &m_replay;
  if (!slot) return;
  if ((*slot)->thread.joinable()) (*slot)->thread.join();
  slot->reset();
  // The lifeboat stays where the run left it, with the meteors it last saw.
  if (m_runFrame && m_runFrameId == id) {
    m_lifeboat = m_runFrame->boat;
    m_perception = m_runFrame->perception;
    m_runFrame.reset();
  }
  update();
}

}  // namespace korvane
