// The window's classroom controls: the layout and breeding switches, the
// keys a teacher drives runs with, the watch speed, and the display
// preferences kept between starts.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QSettings>
#include <QToolBar>

#include "app/command_ids.h"
#include "app/display_prefs.h"
#include "app/korvane_view.h"
#include "app/main_frame.h"
#include "app/network_panel_widget.h"
#include "app/qt_text.h"
#include "app/shapes_panel.h"

namespace korvane {

void CMainFrame::BuildClassroomCommands(QMenu* control) {
  RunManager* runs = &m_view->Runs();
  auto add = [&](int id, Tx label, QList<QKeySequence> keys = {}) {
    QAction* a = AddCommand(control, id, label);
    if (!keys.isEmpty()) {
      a->setShortcuts(keys);
      // The window's own keys: none of them reaches it while a box is open.
      a->setShortcutContext(Qt::WindowShortcut);
      addAction(a);
    }
    return a;
  };
  control->addSeparator();
  QAction* classroom = add(cmd::Classroom, Tx::MenuClassroom);
  classroom->setCheckable(true);
  connect(classroom, &QAction::triggered, this, [this](bool on) {
    m_view->State().SetClassroom(on);
    m_classroom.strip->setVisible(on);
    m_view->update();
    m_networkPanel->update();
    SavePreferences();
  });
  QAction* breeding = add(cmd::ShowBreeding, Tx::MenuShowBreeding);
  breeding->setCheckable(true);
  connect(breeding, &QAction::triggered, this, [this, runs](bool on) {
    runs->SetShowBreeding(on);
    UpdateClassroom();
    SavePreferences();
  });
  control->addSeparator();
  connect(add(cmd::Space, Tx::MenuSpace, {QKeySequence(Qt::Key_Space)}), &QAction::triggered, runs,
          &RunManager::OnSpace);
  auto step = [this](int by) {
    return [this, by] {
      m_classroom.speed->setCurrentIndex(std::clamp(m_classroom.speed->currentIndex() + by, 0, WatchSpeedCount - 1));
    };
  };
  connect(add(cmd::Faster, Tx::MenuFaster, {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)}),
          &QAction::triggered, this, step(1));
  connect(add(cmd::Slower, Tx::MenuSlower, {QKeySequence(Qt::Key_Minus)}), &QAction::triggered, this, step(-1));
  auto choose = [this](int by) {
    return [this, by] {
      if (m_view->State().ChooseChild(by)) m_classroom.breeding->update();
    };
  };
  connect(add(cmd::NextChild, Tx::MenuNextChild, {QKeySequence(Qt::Key_Right)}), &QAction::triggered, this, choose(1));
  connect(add(cmd::PreviousChild, Tx::MenuPreviousChild, {QKeySequence(Qt::Key_Left)}), &QAction::triggered, this,
          choose(-1));
  // The pace decides what breeding may show; the switches are kept.
  for (int id : {cmd::PaceFastest, cmd::PaceWatch, cmd::PaceStep, cmd::ShowPaths, cmd::ShowNetwork})
    connect(Command(id), &QAction::triggered, this, [this] {
      UpdateClassroom();
      SavePreferences();
    });
  connect(runs, &RunManager::ScreenChanged, this, &CMainFrame::UpdateClassroom);
  connect(m_view, &CKorvaneView::ActivityChanged, this, &CMainFrame::UpdateClassroom);
}

void CMainFrame::BuildSpeedChoice() {
  m_classroom.speed = new QComboBox(m_toolBar);
  m_classroom.speed->setObjectName(QStringLiteral("speedChoice"));
  for (Tx name : {Tx::SpeedQuarter, Tx::SpeedHalf, Tx::SpeedOne, Tx::SpeedTwo, Tx::SpeedFour})
    m_classroom.speed->addItem(U(name));
  m_classroom.speed->setCurrentIndex(NormalSpeed);
  m_classroom.speed->setToolTip(U(Tx::TipSpeed));
  m_classroom.speed->setFocusPolicy(Qt::NoFocus);  // the keys stay with the field
  m_classroom.speed->setFixedHeight(m_toolBar->height() - 2);
  m_toolBar->addWidget(m_classroom.speed);
  connect(m_classroom.speed, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i < 0 || i >= WatchSpeedCount) return;
    m_view->Runs().SetSpeed(WatchSpeeds[i]);
    SavePreferences();
  });
}

void CMainFrame::UpdateClassroom() {
  const bool stepping = Command(cmd::PaceStep)->isChecked();
  QAction* breeding = Command(cmd::ShowBreeding);
  breeding->setEnabled(stepping);
  const bool shown = stepping && breeding->isChecked();
  m_classroom.breeding->setVisible(shown);
  // The arrows choose a child only while there is one to choose; else they
  // are the flight's.
  const bool choose = shown && m_view->State().Breeding() && !m_view->State().ManualFlying();
  Command(cmd::NextChild)->setEnabled(choose);
  Command(cmd::PreviousChild)->setEnabled(choose);
}

DisplayPrefs CMainFrame::Preferences() const {
  DisplayPrefs d;
  d.pace = Command(cmd::PaceStep)->isChecked()    ? Pace::Step
           : Command(cmd::PaceWatch)->isChecked() ? Pace::Watch
                                                  : Pace::Fastest;
  d.paths = Command(cmd::ShowPaths)->isChecked();
  d.network = Command(cmd::ShowNetwork)->isChecked();
  d.classroom = Command(cmd::Classroom)->isChecked();
  d.breeding = Command(cmd::ShowBreeding)->isChecked();
  d.speed = m_classroom.speed->currentIndex();
  return d;
}

void CMainFrame::ApplyPreferences(const DisplayPrefs& d) {
  // Each as the user would set it, so everything that follows a switch follows.
  const int pace = d.pace == Pace::Step ? cmd::PaceStep : d.pace == Pace::Watch ? cmd::PaceWatch : cmd::PaceFastest;
  if (!Command(pace)->isChecked()) Command(pace)->trigger();
  for (const auto& [id, on] : {std::pair{cmd::ShowPaths, d.paths}, std::pair{cmd::ShowNetwork, d.network},
                               std::pair{cmd::Classroom, d.classroom}, std::pair{cmd::ShowBreeding, d.breeding}}) {
    QAction* a = Command(id);
    if (a->isChecked() == on) continue;
    // A greyed switch is set without its effect, which waits for its pace.
    if (a->isEnabled()) {
      a->trigger();
    } else {
      a->setChecked(on);
      if (id == cmd::ShowBreeding) m_view->Runs().SetShowBreeding(on);
    }
  }
  m_classroom.speed->setCurrentIndex(d.speed);
  UpdateClassroom();
}

void CMainFrame::UsePreferences(QSettings* store) {
  if (store) store->setParent(this);
  m_classroom.store = nullptr;  // what is put in force now is what the store holds
  if (store) ApplyPreferences(DisplayPrefs::Load(*store));
  m_classroom.store = store;
}

void CMainFrame::SavePreferences() {
  if (!m_classroom.store) return;
  Preferences().Save(*m_classroom.store);
  m_classroom.store->sync();
}

}  // namespace korvane
