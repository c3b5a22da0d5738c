#include "app/korvane_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <ctime>
#include <optional>

#include "app/qt_text.h"
#include "app/settings_sheet.h"
#include "ui_model/settings_store.h"

namespace korvane {
namespace {

constexpr int ManualTickMs = 25;

}  // namespace

CKorvaneView::CKorvaneView(QWidget* parent)
    : QWidget(parent),
      m_state(GlobalParams().Get()),
      m_renderer(static_cast<std::uint32_t>(std::time(nullptr))),
      m_scene(ViewWidth, ViewHeight, QImage::Format_RGB32),
      m_presenter(std::make_unique<BoxPresenter>()) {
  setFixedSize(ViewWidth, ViewHeight);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The editor scrolls when the pointer merely rests near an edge.
  setMouseTracking(true);
  m_runs = new RunManager(m_state, this);
  m_runs->SetPresenter(m_presenter.get(), this);
  connect(m_runs, &RunManager::ScreenChanged, this, &CKorvaneView::Changed);
  m_manualTimer.setInterval(ManualTickMs);
  m_manualTimer.setTimerType(Qt::PreciseTimer);
  connect(&m_manualTimer, &QTimer::timeout, this, &CKorvaneView::OnManualTick);
}

CKorvaneView::~CKorvaneView() { Shutdown(); }

void CKorvaneView::InitialUpdate() {
  emit UserMapsFound(m_state.ScanMaps());
  setFocus();
  ShowMessage(Tx::Introduction);
}

void CKorvaneView::Shutdown() {
  m_manualTimer.stop();
  if (m_presenter) m_presenter->CloseAll();
  m_runs->Shutdown();
}

void CKorvaneView::SetPresenter(std::unique_ptr<IMessagePresenter> presenter) {
  m_presenter = std::move(presenter);
  m_runs->SetPresenter(m_presenter.get(), this);
}

void CKorvaneView::Changed() {
  update();
  if (m_state.EditMode() == m_editing) return;
  m_editing = m_state.EditMode();
  emit EditModeChanged(m_editing);
  emit ActivityChanged();
}

StateLineInput CKorvaneView::StateLine() const {
  StateLineInput in;
  if (m_state.EditMode())
    in.phase = StateLineInput::Phase::Editing;
  else if (m_state.ManualFlying())
    in.phase = StateLineInput::Phase::Manual;
  else
    in = m_runs->RunState();
  return in;
}

void CKorvaneView::ShowMessage(const std::string& text) {
  if (m_presenter) m_presenter->Show(window(), U(text));
}

const QImage& CKorvaneView::ComposeScene() {
  m_renderer.Compose(m_scene, m_state.Scene(GlobalParams().Get(), m_runs->CurrentShowing()));
  return m_scene;
}

void CKorvaneView::paintEvent(QPaintEvent*) {
  const QImage& frame = ComposeScene();
  QPainter p(this);
  p.drawImage(0, 0, frame);
  m_state.FramePainted();
}

// Manual flight: the start box, then one tick every 25 ms.
void CKorvaneView::OnManualFlight() {
  if (m_runs->Busy()) {
    ShowMessage(Tx::ManualBusy);
    return;
  }
  // A flight under way ends before the box: it must not crash behind it.
  m_manualTimer.stop();
  m_state.EndManual();
  ShowMessage(Tx::ManualStart);
  m_state.StartManual(GlobalParams().Get());
  m_runs->ForgetLastRun();
  m_manualTimer.start();
  Changed();
  emit ActivityChanged();
  setFocus();
}

void CKorvaneView::OnManualTick() {
  const ManualFlight::Tick t = m_state.ManualTick(GlobalParams().Get());
  if (t == ManualFlight::Tick::StopTimer) {
    m_manualTimer.stop();
    emit ActivityChanged();
    return;
  }
  update();
  if (t != ManualFlight::Tick::Flying) emit ActivityChanged();
  if (t == ManualFlight::Tick::Escaped) ShowMessage(Tx::ManualEscaped);
  if (t == ManualFlight::Tick::Crashed) ShowMessage(Tx::ManualCrashed);
}

void CKorvaneView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Undo)) {
    if (m_state.EditorUndo()) update();
    event->accept();
    return;
  }
  std::optional<Arrow> a;
  switch (event->key()) {
    case Qt::Key_Up: a = Arrow::Up; break;
    case Qt::Key_Down: a = Arrow::Down; break;
    case Qt::Key_Left: a = Arrow::Left; break;
    case Qt::Key_Right: a = Arrow::Right; break;
    default: QWidget::keyPressEvent(event); return;
  }
  m_state.OnArrow(*a, GlobalParams().Get());
  event->accept();
}

void CKorvaneView::OnLoadBuiltInLevel(int n) {
  m_state.LoadBuiltInLevel(n, GlobalParams().Get());
  update();
}

void CKorvaneView::OnLoadUserMap(int n) {
  const MapLoadResult r = m_state.LoadUserMap(n, GlobalParams().Get());
  update();
  if (r.status != MapLoadStatus::Loaded) ShowMessage(MapLoadMessage(r, n, m_state.MapFileName()));
}

void CKorvaneView::OnSaveCustomLevel() {
  const MapSaveResult r = m_state.SaveMap([this](const std::string& mapText) {
    // Line breaks a box shows; the last one would only leave a blank line.
    QString shown = U(mapText);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
    if (m_presenter) m_presenter->Show(window(), shown);
  });
  if (r.status == MapSaveStatus::Saved) emit UserMapsFound(r.number);
  ShowMessage(MapSaveMessage(r, m_state.MapFileName()));
}

void CKorvaneView::OnSettings() {
  SimParams p = GlobalParams().Get();
  if (!EditSettings(window(), p, m_presenter.get())) return;
  GlobalParams().Set(p);
  // The lifeboat's picture and the display switches follow at once.
  update();
}

void CKorvaneView::OnCustomLevel() {
  // The run owns the screen and, for training, the field; drawing now
  // would fight it.
  if (m_runs->Busy()) {
    ShowMessage(Tx::EditBusy);
    return;
  }
  m_state.StartEditor();
  Changed();
}

void CKorvaneView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && m_state.EditMode() &&
      m_state.EditorPress(at.x(), at.y()) == CLevelEditor::PressResult::FieldFull)
    ShowMessage(Tx::FieldFull);
  if (event->button() == Qt::RightButton && m_state.EditorDelete(at.x(), at.y())) update();
  QWidget::mousePressEvent(event);
}

void CKorvaneView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  // The meteor layer follows the field at the next frame.
  if (m_state.EditorMove(at.x(), at.y())) update();
  QWidget::mouseMoveEvent(event);
}

void CKorvaneView::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && m_state.EditorRelease(at.x(), at.y())) update();
  QWidget::mouseReleaseEvent(event);
}

}  // namespace korvane
