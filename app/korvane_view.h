#pragma once
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "app/message_presenter.h"
#include "app/run_control.h"
#include "app/scene_renderer.h"
#include "app/ui_mailbox.h"
#include "engine/autopilot.h"
#include "files/obstacle_map_file.h"
#include "net/neural_net.h"
#include "net/weight_ga.h"
#include "plan_ga/plan_ga.h"
#include "ui_model/level_editor.h"
#include "ui_model/manual_flight.h"

class QAction;

namespace korvane {

class ViewHost;

// The one view: owns the lifeboat, the meteor field, the controller and the
// populations, flies by hand on the UI thread, starts the computer's runs on
// worker threads and composes every frame.
class CKorvaneView : public QWidget {
  Q_OBJECT
 public:
  enum class RunKind { GA, StepByStep, Training, Heuristic, Replay, NetworkFlight };

  explicit CKorvaneView(QWidget* parent = nullptr);
  ~CKorvaneView() override;

  // The first update: lists the saved user maps, then the introduction box.
  void InitialUpdate();

  // Stops every run, wakes every waiting worker and joins the threads.
  // Called when the window closes; safe to call more than once.
  void Shutdown();

  // --- wiring and test seams -------------------------------------------
  void SetPresenter(std::unique_ptr<IMessagePresenter> presenter);
  // Where a run's seed comes from; the time in seconds by default.
  void SetSeedSource(std::function<std::uint32_t()> source);
  // Multiplies the runs' pacing sleeps (1: real time, 0: as fast as possible).
  void SetPaceScale(double scale) { m_paceScale = scale; }
  // The three pause entries, whose texts the toggles change.
  void SetPauseActions(QAction* ga, QAction* training, QAction* heuristic);

  // Composes the frame that the next repaint shows (and, like a repaint,
  // sets the thrust marker back to 1).
  const QImage& ComposeScene();

  // --- state, read by the tests and by the editor and settings ---------
  bool WorkerActive() const { return m_worker != nullptr; }
  bool ReplayActive() const { return m_replay != nullptr; }
  // The computing run is held at its pause checkpoint.
  bool WorkerPaused() const;
  bool ManualFlightRunning() const { return m_manualTimer.isActive(); }
  CLifeboat& Lifeboat() { return m_lifeboat; }
  MeteorField& Field() { return m_field; }
  CAutoPilot& Pilot() { return m_pilot; }
  const ManualFlight& Manual() const { return m_manual; }
  bool ShowPerception() const { return m_showPerception != 0; }
  bool ShowPlanChart() const { return m_showPlanChart != 0; }
  bool EditMode() const { return m_editor.Editing(); }
  void SetShowPerception(bool on) { m_showPerception = on ? 1 : 0; }
  // Forgets a run's frame so the view draws its own lifeboat and field.
  void ShowOwnScene();
  // The network the runs fly: input count, hidden layers, neurons.
  struct NetShape {
    int inputs = 0;
    int hiddenLayers = 0;
    int neurons = 0;
  };
  NetShape NetworkShape() const { return m_netShape; }
  // The run frame on screen, if a run's frame is shown.
  const FrameSnapshot* RunFrame() const { return m_runFrame ? &*m_runFrame : nullptr; }
  // How often the meteor layer was drawn (it is redrawn when the field changes).
  int MeteorLayerBuilds() const { return m_renderer.MeteorLayerBuilds(); }
  // The plan search's panel values last seen.
  std::optional<PlanPanelData> LastPlanPanel() const { return m_lastPlanPanel; }

 public slots:
  void OnManualFlight();          // 不，我不相信人工智能!
  void OnStartGenAlg();           // 开始遗传算法
  void OnStepByStep();            // 演示遗传算法过程
  void OnShowResult();            // 演示结果
  void OnPauseGA();               // 暂停/继续遗传算法
  void OnTrainNetwork();          // 训练网络
  void OnShowTrainingResult();    // 演示训练结果
  void OnPauseTraining();         // 暂停/继续训练
  void OnStartHeuristicGenAlg();  // 开始启发式遗传算法
  void OnPauseHeuristicGenAlg();  // 暂停/继续启发式遗传算法
  void OnLoadBuiltInLevel(int n); // 默认关卡1..4
  void OnCustomLevel();           // 自定关卡
  void OnSaveCustomLevel();       // 储存自定的关卡
  void OnLoadUserMap(int n);      // 自定关卡N
  void OnSettings();              // 参数设置

 signals:
  // The level file holds maps 1..count: the frame lists the ones it has
  // not listed yet.
  void UserMapsFound(int count);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct Run {
    int id = 0;
    RunKind kind = RunKind::GA;
    std::unique_ptr<ViewHost> host;
    std::thread thread;
  };

  void ShowMessage(const char* text);
  void ShowMessage(const std::string& text);
  // The camera centre the editor works with (the lifeboat's x, kept where
  // the frame's camera shows the same section).
  double EditorCentre() const;
  void OnManualTick();
  void OnMailbox();
  void HandleEvent(UiEvent& ev);
  void FinishRun(int id);
  // Refuses, with a message, what would make two activities fight.
  bool MayStartComputing();
  bool MayStartReplay();
  void StartRun(RunKind kind, std::function<void(IHost&)> body);
  void TogglePause(PauseKind kind);
  void UpdatePauseText(PauseKind kind);
  CNeuralNet BuildStoredNetwork() const;
  std::uint32_t NextSeed() { return m_seedSource(); }
  Run* FindRun(int id);

  // Engine objects; the runs use them only one at a time.
  CAutoPilot m_pilot;
  CPlanGA m_planGA;
  CWeightGA m_weightGA;
  CLifeboat m_lifeboat;
  MeteorField m_field;
  Perception m_perception;  // the manual flight's
  NetShape m_netShape;

  SceneRenderer m_renderer;
  QImage m_scene;

  int m_showPlanChart = 0;
  CLevelEditor m_editor;  // edit mode and the press state
  CObstacleMapFile m_mapFile;
  int m_showPerception = 0;
  bool m_gaResultReady = false;

  ManualFlight m_manual;
  QTimer m_manualTimer;

  // The latest frame a run published, drawn instead of the view's own state.
  std::optional<FrameSnapshot> m_runFrame;
  int m_runFrameId = 0;
  std::optional<PlanPanelData> m_lastPlanPanel;

  std::unique_ptr<IMessagePresenter> m_presenter;
  std::function<std::uint32_t()> m_seedSource;
  double m_paceScale = 1.0;
  QAction* m_pauseActions[3] = {nullptr, nullptr, nullptr};

  // The runs' hosts refer to the control and the mailbox, so the runs are
  // declared after them; Shutdown has joined every thread by then.
  RunControl m_control;
  UiMailbox* m_mailbox = nullptr;
  std::unique_ptr<Run> m_worker;  // GA, demonstration, training, heuristic GA
  std::unique_ptr<Run> m_replay;  // result replay, network flight
  int m_nextRunId = 0;
  bool m_shutDown = false;
};

}  // namespace korvane
