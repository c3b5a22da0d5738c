#pragma once
#include <QMainWindow>

#include "engine/host.h"
#include "texts/text_table.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace korvane {

class CKorvaneView;
class DeferredClose;
class DialogCommands;
class NetworkPanelWidget;

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

 public slots:
  void OnAbout();
  // Lists the saved user maps 1..count (at most five) that are not listed yet.
  void ListUserMaps(int count);
  // 暂停… while a run may go on, 继续… while it is asked to pause.
  void UpdatePauseText(PauseKind kind, bool paused);
  // The status bar names the weights in force.
  void UpdateWeightsStatus();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QAction* AddCommand(QMenu* menu, int id, Tx text);
  QAction* AddBarCommand(int id, Tx text);
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();

  CKorvaneView* m_view = nullptr;
  QToolBar* m_toolBar = nullptr;
  QMenu* m_loadLevelMenu = nullptr;
  QLabel* m_weightsLabel = nullptr;
  QLabel* m_seedLabel = nullptr;
  QLabel* m_noteLabel = nullptr;  // the editor's hint, or the last run's note
  DeferredClose* m_closeRequests = nullptr;
  DialogCommands* m_dialogs = nullptr;
  NetworkPanelWidget* m_networkPanel = nullptr;
  int m_userMapsListed = 0;
};

// Object name of the action of a command id ("cmd32772").
QString CommandName(int id);

}  // namespace korvane
