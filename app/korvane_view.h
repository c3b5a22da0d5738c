#pragma once
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/message_presenter.h"
#include "app/run_manager.h"
#include "app/scene_renderer.h"
#include "ui_model/state_line.h"
#include "ui_model/view_state.h"

namespace korvane {

// The one view: paints the view state, turns keys, mouse and the manual
// flight's timer into calls on it, and holds the run manager that starts the
// computer's runs.
class CKorvaneView : public QWidget {
  Q_OBJECT
 public:
  explicit CKorvaneView(QWidget* parent = nullptr);
  ~CKorvaneView() override;

  // The first update: lists the saved user maps, then the introduction box.
  void InitialUpdate();
  // Stops the manual flight and every run and joins the threads. Called when
  // the window closes; safe to call more than once.
  void Shutdown();

  void SetPresenter(std::unique_ptr<IMessagePresenter> presenter);
  // A modal message over the window.
  void ShowMessage(const std::string& text);
  void ShowMessage(Tx id) { ShowMessage(std::string(text::Ui(id))); }

  ViewState& State() { return m_state; }
  const ViewState& State() const { return m_state; }
  // What the state line says: the editor's hint, a flight by hand, or the runs.
  StateLineInput StateLine() const;
  RunManager& Runs() { return *m_runs; }

  // Composes the frame the next repaint shows. Changes nothing: the thrust
  // marker goes back to 1 only once a frame is painted.
  const QImage& ComposeScene();
  // How often the meteor layer was drawn (it is redrawn when the field changes).
  int MeteorLayerBuilds() const { return m_renderer.MeteorLayerBuilds(); }

 public slots:
  void OnManualFlight();           // 不，我不相信人工智能!
  void OnLoadBuiltInLevel(int n);  // 默认关卡1..4
  void OnLoadUserMap(int n);       // 自定关卡N
  void OnCustomLevel();            // 自定关卡
  void OnSaveCustomLevel();        // 储存自定的关卡
  void OnSettings();               // 参数设置

 signals:
  // The level file holds maps 1..count: the frame lists the ones it has
  // not listed yet.
  void UserMapsFound(int count);
  // The level editor was switched on or off.
  void EditModeChanged(bool on);
  // The user took the lifeboat, or gave it back: the editor or a flight by hand.
  void ActivityChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void OnManualTick();
  // Repaints, and tells the window when edit mode came or went.
  void Changed();

  // The state outlives the run manager, whose runs post into it.
  ViewState m_state;
  RunManager* m_runs = nullptr;
  SceneRenderer m_renderer;
  QImage m_scene;
  QTimer m_manualTimer;  // ManualFlightTimer: id 1, 25 ms
  std::unique_ptr<IMessagePresenter> m_presenter;
  bool m_editing = false;  // edit mode as the window last heard of it
};

}  // namespace korvane
