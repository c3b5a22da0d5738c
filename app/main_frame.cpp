#include "app/main_frame.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QToolBar>
#include <algorithm>

#include "app/about_dialog.h"
#include "app/command_ids.h"
#include "app/korvane_view.h"
#include "app/qt_text.h"
#include "app/scene_renderer.h"
#include "files/obstacle_map_file.h"
#include "texts/file_texts.h"
#include "texts/ui_texts.h"

namespace korvane {
QString CommandName(int id) { return QStringLiteral("cmd%1").arg(id); }

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  m_view = new CKorvaneView(this);
  setCentralWidget(m_view);
  BuildMenus();
  BuildToolBar();
  m_view->SetPauseActions(Command(cmd::PauseGA), Command(cmd::PauseTraining), Command(cmd::PauseHeuristic));
  connect(m_view, &CKorvaneView::UserMapsFound, this, &CMainFrame::ListUserMaps);
  // The playfield has one size; the window fits it exactly.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setWindowTitle(U(text::MainTitle));
  setWindowIcon(QIcon(QPixmap::fromImage(SceneRenderer::LoadPicture(":/res/lifeboat.png"))));
}

QAction* CMainFrame::Command(int id) const { return findChild<QAction*>(CommandName(id)); }

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const char* text) {
  QAction* a = menu->addAction(U(text));
  a->setObjectName(CommandName(id));
  return a;
}

QAction* CMainFrame::AddBarCommand(int id, const char* text) {
  QAction* a = menuBar()->addAction(U(text));
  a->setObjectName(CommandName(id));
  return a;
}

void CMainFrame::BuildMenus() {
  CKorvaneView* v = m_view;
  QMenuBar* bar = menuBar();

  QAction* manual = AddBarCommand(cmd::ManualFlight, text::MenuManual);
  manual->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  manual->setShortcutContext(Qt::ApplicationShortcut);
  connect(manual, &QAction::triggered, v, &CKorvaneView::OnManualFlight);

  QMenu* ga = bar->addMenu(U(text::MenuGA));
  connect(AddCommand(ga, cmd::StartGA, text::MenuStartGA), &QAction::triggered, v, &CKorvaneView::OnStartGenAlg);
  connect(AddCommand(ga, cmd::StepByStep, text::MenuStepByStep), &QAction::triggered, v,
          &CKorvaneView::OnStepByStep);
  // One command, listed under both searches.
  QAction* showResult = AddCommand(ga, cmd::ShowResult, text::MenuShowResult);
  connect(showResult, &QAction::triggered, v, &CKorvaneView::OnShowResult);
  connect(AddCommand(ga, cmd::PauseGA, text::MenuPauseGA), &QAction::triggered, v, &CKorvaneView::OnPauseGA);

  QMenu* net = bar->addMenu(U(text::MenuNetwork));
  connect(AddCommand(net, cmd::Train, text::MenuTrain), &QAction::triggered, v, &CKorvaneView::OnTrainNetwork);
  connect(AddCommand(net, cmd::ShowTraining, text::MenuShowTraining), &QAction::triggered, v,
          &CKorvaneView::OnShowTrainingResult);
  connect(AddCommand(net, cmd::PauseTraining, text::MenuPauseTraining), &QAction::triggered, v,
          &CKorvaneView::OnPauseTraining);

  QMenu* hga = bar->addMenu(U(text::MenuHeuristic));
  connect(AddCommand(hga, cmd::StartHeuristic, text::MenuStartHeuristic), &QAction::triggered, v,
          &CKorvaneView::OnStartHeuristicGenAlg);
  hga->addAction(showResult);
  connect(AddCommand(hga, cmd::PauseHeuristic, text::MenuPauseHeuristic), &QAction::triggered, v,
          &CKorvaneView::OnPauseHeuristicGenAlg);

  connect(AddBarCommand(cmd::CustomLevel, text::MenuCustomLevel), &QAction::triggered, v,
          &CKorvaneView::OnCustomLevel);
  connect(AddBarCommand(cmd::SaveLevel, text::MenuSaveLevel), &QAction::triggered, v,
          &CKorvaneView::OnSaveCustomLevel);

  m_loadLevelMenu = bar->addMenu(U(text::MenuLoadLevel));
  for (int n = 1; n <= 4; ++n) {
    QAction* a = AddCommand(m_loadLevelMenu, cmd::Level[n - 1], text::MenuLevel[n - 1]);
    connect(a, &QAction::triggered, v, [v, n] { v->OnLoadBuiltInLevel(n); });
  }
  // The saved user maps are appended after this separator.
  m_loadLevelMenu->addSeparator();

  connect(AddBarCommand(cmd::Settings, text::MenuSettings), &QAction::triggered, v, &CKorvaneView::OnSettings);

  QMenu* help = bar->addMenu(U(text::MenuHelp));
  connect(AddCommand(help, cmd::About, text::MenuAbout), &QAction::triggered, this, &CMainFrame::OnAbout);
}

void CMainFrame::BuildToolBar() {
  m_toolBar = addToolBar(QStringLiteral("Standard"));
  m_toolBar->setObjectName(QStringLiteral("toolbar"));
  m_toolBar->setMovable(false);
  m_toolBar->setFloatable(false);
  m_toolBar->setIconSize(QSize(24, 17));
  m_toolBar->setFixedHeight(25);  // client area: the view plus 25 pixels

  const QImage strip = SceneRenderer::LoadPicture(":/res/toolbar.png");
  auto button = [&](int image, int id, const char* tip, auto slot) {
    QAction* a = m_toolBar->addAction(QIcon(QPixmap::fromImage(strip.copy(image * 24, 0, 24, 17))), U(tip));
    a->setObjectName(QStringLiteral("tool%1_%2").arg(id).arg(image));
    a->setToolTip(U(tip));
    connect(a, &QAction::triggered, m_view, slot);
  };
  button(0, cmd::ManualFlight, text::TipManual, &CKorvaneView::OnManualFlight);
  m_toolBar->addSeparator();
  button(1, cmd::ShowResult, text::TipShowResult, &CKorvaneView::OnShowResult);
  button(2, cmd::ShowTraining, text::TipShowTraining, &CKorvaneView::OnShowTrainingResult);
  button(3, cmd::ShowResult, text::TipShowResult, &CKorvaneView::OnShowResult);
  m_toolBar->addSeparator();
  button(4, cmd::Settings, text::TipSettings, &CKorvaneView::OnSettings);
  m_toolBar->addSeparator();
  QAction* about = m_toolBar->addAction(QIcon(QPixmap::fromImage(strip.copy(5 * 24, 0, 24, 17))), U(text::TipAbout));
  about->setObjectName(QStringLiteral("tool%1_5").arg(cmd::About));
  about->setToolTip(U(text::TipAbout));
  connect(about, &QAction::triggered, this, &CMainFrame::OnAbout);
}

void CMainFrame::ListUserMaps(int count) {
  // Only ids 111..115 have a command; a re-scan adds nothing already there.
  const int last = std::min(count, MaxSavedMaps);
  for (int n = m_userMapsListed + 1; n <= last; ++n) {
    QAction* a = m_loadLevelMenu->addAction(QString::fromStdString(text::UserMapLabel(n)));
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

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Every run stops and is joined before the view and its engine go away.
  m_view->Shutdown();
  QMainWindow::closeEvent(event);
}

}  // namespace korvane
