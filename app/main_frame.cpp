#include "app/main_frame.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <tuple>

#include "app/about_dialog.h"
#include "app/command_ids.h"
#include "app/deferred_close.h"
#include "app/dialog_commands.h"
#include "app/korvane_view.h"
#include "app/network_panel_widget.h"
#include "app/qt_text.h"
#include "app/scene_renderer.h"
#include "app/shapes_panel.h"
#include "app/ui_language.h"
#include "files/obstacle_map_file.h"
#include "ui_model/breeding_panel.h"
#include "ui_model/classroom_strip.h"
#include "ui_model/seed_book.h"
#include "ui_model/settings_store.h"
#include "ui_model/state_line.h"
#include "ui_model/weights_choice.h"

namespace korvane {
QString CommandName(int id) { return QStringLiteral("cmd%1").arg(id); }

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  // The view, and beside it (when asked for) the classroom strip and the
  // network at work, below it the breeding: the window grows, the field
  // stays whole.
  auto* centre = new QWidget(this);
  auto* column = new QVBoxLayout(centre);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  m_view = new CKorvaneView(centre);
  m_dialogs = new DialogCommands(m_view);
  const ViewState& state = m_view->State();
  m_classroom.strip = new ShapesPanel(
      ClassroomStripWidth, ViewHeight, [&state] { return ClassroomStrip(state.Strip(GlobalParams().Get())); }, centre);
  m_classroom.strip->setObjectName(QStringLiteral("classroomStrip"));
  m_classroom.strip->hide();
  m_networkPanel = new NetworkPanelWidget(state, centre);
  m_networkPanel->setObjectName(QStringLiteral("networkPanel"));
  m_networkPanel->hide();
  m_classroom.breeding = new ShapesPanel(
      ViewWidth, BreedingPanelHeight,
      [&state] {
        const BreedingView* b = state.Breeding();
        if (b) return BreedingPanel(*b, state.BreedingChild());
        Shapes none;  // nothing bred yet: the panel's ground only
        none.Fill({0, 0, ViewWidth, BreedingPanelHeight}, PanelGround);
        return none;
      },
      centre,
      [&state]() -> ShapesCache::Key {
        const BreedingView* b = state.Breeding();
        if (!b) return {};
        return {b, b->generation, state.BreedingChild(), b->total};
      });
  m_classroom.breeding->setObjectName(QStringLiteral("breedingPanel"));
  m_classroom.breeding->hide();
  row->addWidget(m_view);
  row->addWidget(m_classroom.strip);
  row->addWidget(m_networkPanel);
  column->addLayout(row);
  column->addWidget(m_classroom.breeding, 0, Qt::AlignLeft);
  setCentralWidget(centre);
  for (QWidget* panel : {static_cast<QWidget*>(m_networkPanel), static_cast<QWidget*>(m_classroom.strip),
                         static_cast<QWidget*>(m_classroom.breeding)})
    connect(&m_view->Runs(), &RunManager::ScreenChanged, panel, qOverload<>(&QWidget::update));
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
  connect(&m_view->Runs(), &RunManager::PauseChanged, this, &CMainFrame::UpdatePauseText);
  connect(m_view, &CKorvaneView::UserMapsFound, this, &CMainFrame::ListUserMaps);
  // The playfield has one size; the window fits it exactly, and is never
  // narrower than the menu bar with every entry shown.
  centre->setMinimumWidth(menuBar()->sizeHint().width());
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  m_closeRequests = new DeferredClose(this);
  setWindowTitle(U(Tx::MainTitle));
  setWindowIcon(QIcon(QPixmap::fromImage(SceneRenderer::LoadPicture(":/res/lifeboat.png"))));
}

QAction* CMainFrame::Command(int id) const { return findChild<QAction*>(CommandName(id)); }

QAction* CMainFrame::AddCommand(QMenu* menu, int id, Tx text) {
  QAction* a = menu->addAction(U(text));
  a->setObjectName(CommandName(id));
  return a;
}

QAction* CMainFrame::AddBarCommand(int id, Tx text) {
  QAction* a = menuBar()->addAction(U(text));
  a->setObjectName(CommandName(id));
  return a;
}

void CMainFrame::BuildMenus() {
  CKorvaneView* v = m_view;
  RunManager* runs = &m_view->Runs();
  QMenuBar* bar = menuBar();
  auto wire = [](QAction* a, auto* to, auto slot) {
    connect(a, &QAction::triggered, to, slot);
    return a;
  };
  auto pause = [runs](PauseKind kind) { return [runs, kind] { runs->TogglePause(kind); }; };

  QAction* manual = wire(AddBarCommand(cmd::ManualFlight, Tx::MenuManual), v, &CKorvaneView::OnManualFlight);
  manual->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  manual->setShortcutContext(Qt::ApplicationShortcut);

  QMenu* ga = bar->addMenu(U(Tx::MenuGA));
  wire(AddCommand(ga, cmd::StartGA, Tx::MenuStartGA), runs, &RunManager::OnStartGenAlg);
  wire(AddCommand(ga, cmd::StepByStep, Tx::MenuStepByStep), runs, &RunManager::OnStepByStep);
  // One command, listed under both searches.
  QAction* showResult = wire(AddCommand(ga, cmd::ShowResult, Tx::MenuShowResult), runs, &RunManager::OnShowResult);
  wire(AddCommand(ga, cmd::PauseGA, Tx::MenuPauseGA), runs, pause(PauseKind::GA));

  QMenu* net = bar->addMenu(U(Tx::MenuNetwork));
  wire(AddCommand(net, cmd::Train, Tx::MenuTrain), runs, &RunManager::OnTrainNetwork);
  wire(AddCommand(net, cmd::ShowTraining, Tx::MenuShowTraining), runs, &RunManager::OnShowTrainingResult);
  wire(AddCommand(net, cmd::PauseTraining, Tx::MenuPauseTraining), runs, pause(PauseKind::Training));
  net->addSeparator();
  wire(AddCommand(net, cmd::LoadWeights, Tx::MenuLoadWeights), m_dialogs, &DialogCommands::OnLoadWeights);
  wire(AddCommand(net, cmd::SaveWeights, Tx::MenuSaveWeights), m_dialogs, &DialogCommands::OnSaveWeights);
  wire(AddCommand(net, cmd::BuiltinWeights, Tx::MenuBuiltinWeights), runs, &RunManager::OnUseBuiltinWeights);
  wire(AddCommand(net, cmd::TableWeights, Tx::MenuTableWeights), runs, &RunManager::OnUseTableWeights);

  QMenu* hga = bar->addMenu(U(Tx::MenuHeuristic));
  wire(AddCommand(hga, cmd::StartHeuristic, Tx::MenuStartHeuristic), runs, &RunManager::OnStartHeuristicGenAlg);
  hga->addAction(showResult);
  wire(AddCommand(hga, cmd::PauseHeuristic, Tx::MenuPauseHeuristic), runs, pause(PauseKind::Heuristic));

  wire(AddBarCommand(cmd::CustomLevel, Tx::MenuCustomLevel), v, &CKorvaneView::OnCustomLevel);
  wire(AddBarCommand(cmd::SaveLevel, Tx::MenuSaveLevel), v, &CKorvaneView::OnSaveCustomLevel);

  m_loadLevelMenu = bar->addMenu(U(Tx::MenuLoadLevel));
  for (int n = 1; n <= 4; ++n)
    wire(AddCommand(m_loadLevelMenu, cmd::Level[n - 1], text::MenuLevels[n - 1]), v,
         [v, n] { v->OnLoadBuiltInLevel(n); });
  // The saved user maps are appended after this separator.
  m_loadLevelMenu->addSeparator();

  wire(AddBarCommand(cmd::Settings, Tx::MenuSettings), v, &CKorvaneView::OnSettings);

  QMenu* help = bar->addMenu(U(Tx::MenuHelp));
  wire(AddCommand(help, cmd::About, Tx::MenuAbout), this, &CMainFrame::OnAbout);

  // Last on the bar: the menu that steers the runs.
  QMenu* control = bar->addMenu(U(Tx::MenuRunControl));
  QAction* stop = wire(AddCommand(control, cmd::Stop, Tx::MenuStop), runs, &RunManager::OnStop);
  stop->setShortcut(QKeySequence(Qt::Key_Escape));
  stop->setShortcutContext(Qt::ApplicationShortcut);
  control->addSeparator();
  auto* paces = new QActionGroup(this);
  for (const auto& [id, label, pace] : {std::tuple{cmd::PaceFastest, Tx::MenuPaceFastest, Pace::Fastest},
                                        std::tuple{cmd::PaceWatch, Tx::MenuPaceWatch, Pace::Watch},
                                        std::tuple{cmd::PaceStep, Tx::MenuPaceStep, Pace::Step}}) {
    QAction* a = wire(AddCommand(control, id, label), runs, [runs, pace = pace] { runs->SetPace(pace); });
    a->setCheckable(true);
    a->setChecked(pace == runs->CurrentShowing().pace);
    paces->addAction(a);
  }
  control->addSeparator();
  QAction* paths = wire(AddCommand(control, cmd::ShowPaths, Tx::MenuShowPaths), runs,
                        [this, runs] { runs->SetShowPaths(Command(cmd::ShowPaths)->isChecked()); });
  paths->setCheckable(true);
  QAction* network = wire(AddCommand(control, cmd::ShowNetwork, Tx::MenuShowNetwork), runs, [this, runs] {
    const bool on = Command(cmd::ShowNetwork)->isChecked();
    runs->SetShowNetwork(on);
    m_networkPanel->setVisible(on);
  });
  network->setCheckable(true);
  control->addSeparator();
  wire(AddCommand(control, cmd::Rerun, Tx::MenuRerun), runs, &RunManager::OnRerun);
  wire(AddCommand(control, cmd::SetSeed, Tx::MenuSetSeed), m_dialogs, &DialogCommands::OnSetSeed);
  control->addSeparator();
  wire(AddCommand(control, cmd::ExportChart, Tx::MenuExportChart), m_dialogs, &DialogCommands::OnExportChart);
  wire(AddCommand(control, cmd::ExportHistory, Tx::MenuExportHistory), m_dialogs, &DialogCommands::OnExportHistory);
  // A plot that korvane-cli report --plots drew.
  wire(AddCommand(control, cmd::OpenReportPlot, Tx::MenuOpenReportPlot), m_dialogs, &DialogCommands::OnOpenReportPlot);
  AddLanguageMenu(control, m_view);
  BuildClassroomCommands(control);
}

void CMainFrame::UpdatePauseText(PauseKind kind, bool paused) {
  struct Texts {
    int id;
    Tx pause;
    Tx resume;
  };
  static constexpr Texts kTexts[] = {{cmd::PauseGA, Tx::MenuPauseGA, Tx::MenuContinueGA},
                                     {cmd::PauseTraining, Tx::MenuPauseTraining, Tx::MenuContinueTraining},
                                     {cmd::PauseHeuristic, Tx::MenuPauseHeuristic, Tx::MenuContinueHeuristic}};
  const Texts& t = kTexts[static_cast<int>(kind)];
  if (QAction* a = Command(t.id)) a->setText(U(paused ? t.resume : t.pause));
}

void CMainFrame::UpdateWeightsStatus() {
  m_weightsLabel->setText(U(WeightsStatusText(m_view->Runs().Results().Source())));
}

void CMainFrame::BuildStatusBar() {
  // Below the view: which weights are in force (not while the editor is on,
  // whose hint needs the room), the state line, and the seeds. Labels, not
  // the bar's passing messages, which any menu hovered over wipes out.
  m_weightsLabel = new QLabel(this);
  m_weightsLabel->setObjectName(QStringLiteral("weightsStatus"));
  statusBar()->addWidget(m_weightsLabel);
  m_stateLabel = new QLabel(this);
  m_stateLabel->setObjectName(QStringLiteral("stateStatus"));
  // A long line is cut off rather than widening the window.
  m_stateLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusBar()->addWidget(m_stateLabel, 1);
  m_seedLabel = new QLabel(this);
  m_seedLabel->setObjectName(QStringLiteral("seedStatus"));
  statusBar()->addPermanentWidget(m_seedLabel);
  statusBar()->setSizeGripEnabled(false);
  RunManager* runs = &m_view->Runs();
  connect(runs, &RunManager::WeightsChanged, this, &CMainFrame::UpdateWeightsStatus);
  connect(runs, &RunManager::SeedsChanged, this,
          [this] { m_seedLabel->setText(U(SeedStatusText(m_view->Runs().Seeds()))); });
  connect(runs, &RunManager::StateChanged, this, &CMainFrame::UpdateStateLine);
  connect(m_view, &CKorvaneView::ActivityChanged, this, &CMainFrame::UpdateStateLine);
  connect(m_view, &CKorvaneView::EditModeChanged, this, [this](bool on) { m_weightsLabel->setVisible(!on); });
  UpdateWeightsStatus();
  UpdateStateLine();
}

void CMainFrame::UpdateStateLine() {
  const QString line = U(StateLineText(m_view->StateLine()));
  if (line == m_stateLabel->text()) return;
  m_stateLabel->setText(line);
  m_stateLabel->setToolTip(line);
}

void CMainFrame::BuildToolBar() {
  m_toolBar = addToolBar(QStringLiteral("Standard"));
  m_toolBar->setObjectName(QStringLiteral("toolbar"));
  m_toolBar->setMovable(false);
  m_toolBar->setFloatable(false);
  m_toolBar->setIconSize(QSize(24, 17));
  m_toolBar->setFixedHeight(25);  // client area: the view plus 25 pixels

  const QImage strip = SceneRenderer::LoadPicture(":/res/toolbar.png");
  auto button = [&](int image, int id, Tx tip, auto* to, auto slot) {
    QAction* a = m_toolBar->addAction(QIcon(QPixmap::fromImage(strip.copy(image * 24, 0, 24, 17))), U(tip));
    a->setObjectName(QStringLiteral("tool%1_%2").arg(id).arg(image));
    a->setToolTip(U(tip));
    connect(a, &QAction::triggered, to, slot);
  };
  RunManager* runs = &m_view->Runs();
  button(0, cmd::ManualFlight, Tx::TipManual, m_view, &CKorvaneView::OnManualFlight);
  m_toolBar->addSeparator();
  button(1, cmd::ShowResult, Tx::TipShowResult, runs, &RunManager::OnShowResult);
  button(2, cmd::ShowTraining, Tx::TipShowTraining, runs, &RunManager::OnShowTrainingResult);
  button(3, cmd::ShowResult, Tx::TipShowResult, runs, &RunManager::OnShowResult);
  m_toolBar->addSeparator();
  button(4, cmd::Settings, Tx::TipSettings, m_view, &CKorvaneView::OnSettings);
  m_toolBar->addSeparator();
  button(5, cmd::About, Tx::TipAbout, this, &CMainFrame::OnAbout);
  // After the strip's six buttons: start a search, start training, stop.
  m_toolBar->addSeparator();
  const QImage run = SceneRenderer::LoadPicture(":/res/run_toolbar.png");
  auto runButton = [&](int image, int id, Tx tip, auto slot) {
    QAction* a = m_toolBar->addAction(QIcon(QPixmap::fromImage(run.copy(image * 24, 0, 24, 17))), U(tip));
    a->setObjectName(QStringLiteral("tool%1").arg(id));
    a->setToolTip(U(tip));
    connect(a, &QAction::triggered, runs, slot);
  };
  runButton(0, cmd::StartGA, Tx::TipStartSearch, &RunManager::OnStartGenAlg);
  runButton(1, cmd::Train, Tx::TipStartTraining, &RunManager::OnTrainNetwork);
  runButton(2, cmd::Stop, Tx::TipStop, &RunManager::OnStop);
  BuildSpeedChoice();
}

void CMainFrame::ListUserMaps(int count) {
  // Only ids 111..115 have a command; a re-scan adds nothing already there.
  const int last = std::min(count, MaxSavedMaps);
  for (int n = m_userMapsListed + 1; n <= last; ++n) {
    QAction* a = m_loadLevelMenu->addAction(U(text::Ui<Tx::UserMapLabel>(n)));
    a->setObjectName(CommandName(cmd::UserMap(n)));
    CKorvaneView* v = m_view;
    connect(a, &QAction::triggered, v, [v, n] { v->OnLoadUserMap(n); });
  }
  m_userMapsListed = std::max(m_userMapsListed, last);
}

void CMainFrame::OnAbout() {
  CAboutDialog dlg(this);
  dlg.exec();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // The window manager keeps to the size hints; where none does (a bare X
  // server, a forced resize), the window takes its size back rather than
  // clip the field and fold the menus.
  const QSize least = minimumSize();
  if (width() < least.width() || height() < least.height())
    QMetaObject::invokeMethod(
        this, [this] { resize(size().expandedTo(minimumSize())); }, Qt::QueuedConnection);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Every run stops and is joined before the view and its engine go away.
  m_view->Shutdown();
  QMainWindow::closeEvent(event);
}

}  // namespace korvane
