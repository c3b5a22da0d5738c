#pragma once
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/run_control.h"
#include "app/ui_mailbox.h"
#include "engine/pilot_results.h"
#include "texts/text_table.h"
#include "ui_model/run_ledger.h"
#include "ui_model/seed_book.h"
#include "ui_model/view_state.h"

class QWidget;

namespace korvane {

class IMessagePresenter;
class ViewHost;

// Starts the computer's runs on worker threads, refuses what would make two
// activities fight, pauses, continues and joins them, and brings what they
// publish to the view state on the UI thread.
//
// One computing run at a time (m_workerThread: the searches, the
// demonstration, training) and one replay (m_replayThread: 演示结果,
// 演示训练结果), which may only start while the computing run, if any, is
// held at its pause. Runs share nothing but m_results.
class RunManager : public QObject {
  Q_OBJECT
 public:
  explicit RunManager(ViewState& state, QObject* parent = nullptr);
  ~RunManager() override;

  // Stops every run, wakes every waiting worker and joins the threads.
  // Safe to call more than once.
  void Shutdown();

  // --- wiring and test seams ---------------------------------------------
  // Where messages go: boxes over dialogParent.
  void SetPresenter(IMessagePresenter* presenter, QWidget* dialogParent);
  // Where a run's seed comes from; the time in seconds by default.
  void SetSeedSource(std::function<std::uint32_t()> source) { m_seeds.SetClock(std::move(source)); }
  // Multiplies the runs' pacing sleeps (1: real time, 0: as fast as possible).
  void SetPaceScale(double scale) { m_paceScale = scale; }

  // --- state ---------------------------------------------------------------
  bool WorkerActive() const { return m_workerThread != nullptr; }
  bool ReplayActive() const { return m_replayThread != nullptr; }
  bool Busy() const { return WorkerActive() || ReplayActive(); }
  // The computing run is held at its pause checkpoint.
  bool WorkerPaused() const;
  bool PauseRequested(PauseKind kind) const { return m_control.PauseRequested(kind); }
  // The plan kept for replay and the weights in force.
  PilotResults& Results() { return *m_results; }
  const SeedBook& Seeds() const { return m_seeds; }
  Showing CurrentShowing() const { return m_control.GetShowing(); }
  double Speed() const { return m_control.Speed(); }
  // What the state line says of the runs (the view adds the editor and the
  // flight by hand).
  StateLineInput RunState() const;
  // The screen was taken over by the user: the last run's end is past.
  void ForgetLastRun();

 public slots:
  void OnStartGenAlg();              // 开始遗传算法
  void OnStepByStep();               // 演示遗传算法过程
  void OnShowResult();               // 演示结果
  void OnTrainNetwork();             // 训练网络
  void OnShowTrainingResult();       // 演示训练结果
  void OnStartHeuristicGenAlg();     // 开始启发式遗传算法
  void TogglePause(PauseKind kind);  // 暂停/继续 the three runs that pause
  // 停止 (Esc): the replay on screen, or else the computing run.
  void OnStop();
  void SetPace(Pace pace);        // 最快 / 观看 / 单步
  void SetShowPaths(bool on);     // 显示种群路径
  void SetShowNetwork(bool on);   // 显示神经网络
  void SetShowBreeding(bool on);  // 显示繁殖过程
  void SetSpeed(double speed);    // 观看's speed, a multiple of the demonstration's
  // Space: the next generation under 单步, else pause or continue.
  void OnSpace();
  void OnRerun();  // 用同一种子重跑
  void SetNextSeed(std::uint32_t seed);
  // The weights in force, changed or kept by the user; refused while a run
  // is active or paused.
  void OnUseBuiltinWeights();  // 使用内置训练权重
  void OnUseTableWeights();    // 使用原始权重表
  bool LoadWeights(const std::string& path, std::optional<int> block);
  void SaveWeights(const std::string& path);

 public:
  // Whether the weights may change now; says why not.
  bool MayChangeWeights();

 signals:
  // The view state changed: repaint.
  void ScreenChanged();
  void PauseChanged(PauseKind kind, bool paused);
  // The weights in force changed (by the user, or by training).
  void WeightsChanged();
  // A run took a seed, or the next one was chosen.
  void SeedsChanged();
  // What the state line says may have changed.
  void StateChanged();

 private:
  struct Run;

  void ShowMessage(const std::string& text);
  void ShowMessage(Tx id) { ShowMessage(std::string(text::Ui(id))); }
  bool MayStartComputing();
  bool MayStartReplay();
  // body runs the run on its thread and returns how it ended.
  void StartRun(RunKind kind, std::function<RunOutcome(IHost&)> body);
  std::uint32_t TakeSeed(RunKind kind);
  void OnMailbox();
  void HandleEvent(UiEvent& ev);
  void FinishRun(int id);
  Run* FindRun(int id);
  // Tells the screen when the weights in force have changed.
  void NoteWeights();

  ViewState& m_state;
  std::shared_ptr<PilotResults> m_results;
  std::function<void(const std::string&)> m_show;  // a modal message
  SeedBook m_seeds;
  double m_paceScale = 1.0;
  bool m_gaResultReady = false;  // a search has been started: 演示结果 may replay
  int m_nextRunId = 0;
  int m_weightsSeen = 0;  // the weights version the screen last heard of
  RunLedger m_ledger;
  // The runs' hosts refer to the control and the mailbox, so the runs are
  // declared after them; Shutdown has joined every thread by then.
  RunControl m_control;
  UiMailbox* m_mailbox = nullptr;
  std::unique_ptr<Run> m_workerThread;
  std::unique_ptr<Run> m_replayThread;
};

}  // namespace korvane
