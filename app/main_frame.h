#pragma once
#include <QMainWindow>

#include "engine/host.h"
#include "texts/text_table.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSettings;
class QToolBar;

namespace korvane {

class CKorvaneView;
class DeferredClose;
class DialogCommands;
class NetworkPanelWidget;
class ShapesPanel;
struct DisplayPrefs;

// The main window: menu bar, toolbar and the view. It only wires actions to
// the view; the view does the work.
class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit CMainFrame(QWidget* parent = nullptr);

  CKorvaneView* View() const { return m_view; }
  QToolBar* ToolBar() const { return m_toolBar; }
  // The load-level popup, where the saved user maps are listed.
  QMenu* LoadLevelMenu() const { return m_loadLevelMenu; }
  // The action of a command id, as named in the resource tables.
  QAction* Command(int id) const;
  DialogCommands& Dialogs() const { return *m_dialogs; }
  // Close requests that arrive while a modal box blocks the window.
  DeferredClose& CloseRequests() const { return *m_closeRequests; }

  // Takes the store the display preferences are kept in: puts in force what
  // it holds and writes every change back. Without one nothing is kept.
  void UsePreferences(QSettings* store);
  DisplayPrefs Preferences() const;

 public slots:
  void OnAbout();
  // Lists the saved user maps 1..count (at most five) that are not listed yet.
  void ListUserMaps(int count);
  // 暂停… while a run may go on, 继续… while it is asked to pause.
  void UpdatePauseText(PauseKind kind, bool paused);
  // The status bar names the weights in force.
  void UpdateWeightsStatus();
  // The state line says what the program is doing.
  void UpdateStateLine();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QAction* AddCommand(QMenu* menu, int id, Tx text);
  QAction* AddBarCommand(int id, Tx text);
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  // The classroom's entries at the end of 运行控制, and the speed on the toolbar.
  void BuildClassroomCommands(QMenu* control);
  void BuildSpeedChoice();
  void ApplyPreferences(const DisplayPrefs& prefs);
  void SavePreferences();
  // What is shown and what may be chosen follow the pace and the switches.
  void UpdateClassroom();

  CKorvaneView* m_view = nullptr;
  QToolBar* m_toolBar = nullptr;
  QMenu* m_loadLevelMenu = nullptr;
  QLabel* m_weightsLabel = nullptr;
  QLabel* m_seedLabel = nullptr;
  QLabel* m_stateLabel = nullptr;  // what the program is doing, or the editor's hint
  DeferredClose* m_closeRequests = nullptr;
  DialogCommands* m_dialogs = nullptr;
  NetworkPanelWidget* m_networkPanel = nullptr;
  int m_userMapsListed = 0;
  struct {
    ShapesPanel* strip = nullptr;     // the scores and chart beside the field
    ShapesPanel* breeding = nullptr;  // how the generation was bred, below it
    QComboBox* speed = nullptr;       // 观看's speed
    QSettings* store = nullptr;       // where the display preferences are kept
  } m_classroom;
};

// Object name of the action of a command id ("cmd32772").
QString CommandName(int id);

}  // namespace korvane
