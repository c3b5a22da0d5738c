// Runs on worker threads: pause and continue, replays while paused, second
// starts, messages from workers, and closing the window under way.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

#include "app/command_ids.h"
#include "app/korvane_view.h"
#include "app/main_frame.h"
#include "app/run_control.h"
#include "app/ui_mailbox.h"
#include "gui_test_support.h"
#include "texts/text_table.h"
#include "ui_model/settings_store.h"

using namespace korvane;
using korvane::test::RecordingPresenter;
using korvane::test::U;

namespace {

const QStringList ReplayEnds = {U(Tx::ReplayOver), U(Tx::Escaped), U(Tx::Stardust)};

}  // namespace

class RunsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CMainFrame> m_frame;
  std::shared_ptr<QStringList> m_log;
  std::function<void(const QString&)> m_onShow;
  QTemporaryDir m_dir;
  QString m_oldDir;

  CKorvaneView* View() { return m_frame->View(); }
  void Trigger(int id) { m_frame->Command(id)->trigger(); }
  QString LastMessage() const { return m_log->isEmpty() ? QString() : m_log->back(); }

 private slots:
  void initTestCase() {
    // Training writes weights.txt into the current directory.
    m_oldDir = QDir::currentPath();
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
  }
  void cleanupTestCase() { QDir::setCurrent(m_oldDir); }

  void init() {
    SimParams p;
    p.PopulationSize = 60;
    p.MaxGenerations = 40;
    GlobalParams().Set(p);
    m_log = std::make_shared<QStringList>();
    m_onShow = {};
    m_frame = std::make_unique<CMainFrame>();
    View()->SetPresenter(std::make_unique<RecordingPresenter>(m_log, [this](const QString& t) {
      if (m_onShow) m_onShow(t);
    }));
    // Seed 2 finds an escape in generation 9 with these settings.
    View()->Runs().SetSeedSource([] { return 2u; });
    View()->Runs().SetPaceScale(0.0);
  }
  void cleanup() {
    m_frame.reset();
    QFile::remove(QStringLiteral("weights.txt"));
  }

  void replayBeforeAnySearchIsRefused() {
    Trigger(cmd::ShowResult);
    QCOMPARE(*m_log, QStringList({U("请先进行遗传算法!")}));
    QVERIFY(!View()->Runs().ReplayActive());
  }

  // Paused before it starts, replayed while paused, continued to its end.
  void searchPausedReplayedAndContinued() {
    Trigger(cmd::PauseGA);
    QCOMPARE(m_frame->Command(cmd::PauseGA)->text(), U("继续遗传算法"));
    Trigger(cmd::StartGA);
    QVERIFY(View()->Runs().WorkerActive());
    QTRY_VERIFY_WITH_TIMEOUT(View()->Runs().WorkerPaused(), 20000);
    // Held after generation 0: the panel shows generation 1 and the best
    // plan of that generation is kept.
    QTRY_VERIFY_WITH_TIMEOUT(View()->State().LastPlanPanel().has_value(), 5000);
    QCOMPARE(View()->State().LastPlanPanel()->generation, 1);
    const CPlanGenome kept = View()->Runs().Results().BestPlan();
    QCOMPARE(kept.Length(), 30);
    QCOMPARE(kept.m_fitness, 0.0);
    QVERIFY(m_log->isEmpty());

    Trigger(cmd::ShowResult);
    QVERIFY(View()->Runs().ReplayActive());
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().ReplayActive(), 20000);
    QCOMPARE(m_log->size(), 1);
    QVERIFY2(ReplayEnds.contains(LastMessage()), qPrintable(LastMessage()));
    QVERIFY(View()->Runs().WorkerPaused());

    Trigger(cmd::PauseGA);
    QCOMPARE(m_frame->Command(cmd::PauseGA)->text(), U("暂停遗传算法"));
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().WorkerActive(), 30000);
    QCOMPARE(LastMessage(), U(Tx::Success));
    QCOMPARE(View()->Runs().Results().BestPlan().m_fitness, 1801.0);
    QCOMPARE(View()->State().LastPlanPanel()->generation, 9);
  }

  void aReplayKeepsTheScreenWhenTheSearchIsContinued() {
    Trigger(cmd::PauseGA);
    Trigger(cmd::StartGA);
    QTRY_VERIFY_WITH_TIMEOUT(View()->Runs().WorkerPaused(), 20000);
    View()->Runs().SetPaceScale(1.0);
    Trigger(cmd::ShowResult);
    Trigger(cmd::PauseGA);  // continue while the replay flies
    bool sawSearchFrame = false;
    while (View()->Runs().ReplayActive()) {
      QTest::qWait(2);
      if (View()->State().RunFrame() && View()->State().RunFrame()->planPanel) sawSearchFrame = true;
    }
    QVERIFY(!sawSearchFrame);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().WorkerActive(), 30000);
    QVERIFY(m_log->contains(U(Tx::Success)));
    QCOMPARE(View()->State().LastPlanPanel()->generation, 9);  // the search went on unseen
  }

  void secondStartsAreRefusedWhileARunHolds() {
    Trigger(cmd::PauseGA);
    Trigger(cmd::StartGA);
    QTRY_VERIFY_WITH_TIMEOUT(View()->Runs().WorkerPaused(), 20000);
    for (int id : {cmd::StartGA, cmd::StepByStep, cmd::Train, cmd::StartHeuristic}) {
      m_log->clear();
      Trigger(id);
      QCOMPARE(*m_log, QStringList({U(Tx::BusyComputing)}));
    }
    QVERIFY(View()->Runs().WorkerPaused());

    // A replay holds the boat too: nothing else starts meanwhile.
    View()->Runs().SetPaceScale(1.0);
    Trigger(cmd::ShowTraining);
    QVERIFY(View()->Runs().ReplayActive());
    for (int id : {cmd::ShowResult, cmd::ShowTraining}) {
      m_log->clear();
      Trigger(id);
      QCOMPARE(*m_log, QStringList({U(Tx::BusyReplay)}));
    }
    m_frame->close();
    QVERIFY(!View()->Runs().WorkerActive());
    QVERIFY(!View()->Runs().ReplayActive());
  }

  void replayWaitsUntilTheRunIsHeld() {
    View()->Runs().SetPaceScale(1.0);
    // The demonstration has no pause, so a replay is never allowed beside it.
    Trigger(cmd::StepByStep);
    QVERIFY(View()->State().ShowPlanChart());
    m_log->clear();
    Trigger(cmd::ShowTraining);
    QCOMPARE(*m_log, QStringList({U(Tx::PauseFirst)}));
    QVERIFY(!View()->Runs().ReplayActive());
    // Its frames carry the panel.
    QTRY_VERIFY_WITH_TIMEOUT(View()->State().RunFrame() && View()->State().RunFrame()->planPanel, 20000);
    m_frame->close();
    QVERIFY(!View()->Runs().WorkerActive());
  }

  void networkFlightMarksWhatTheNetworkSees() {
    Trigger(cmd::ShowTraining);
    QVERIFY(View()->State().ShowPerception());
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().ReplayActive(), 20000);
    QVERIFY2(LastMessage() == U(Tx::Escaped) || LastMessage() == U(Tx::Stardust), qPrintable(LastMessage()));
    // Only an escape clears the marks.
    QCOMPARE(View()->State().ShowPerception(), LastMessage() != U(Tx::Escaped));
    // The lifeboat stays where the flight ended.
    QVERIFY(View()->State().Lifeboat().m_position.x != 20.0 || View()->State().Lifeboat().m_position.y != 200.0);
  }

  void networkWithAnotherInputCountReportsTheMismatch() {
    SimParams p = GlobalParams().Get();
    p.SetPerceivedMeteors(3);
    GlobalParams().Set(p);
    Trigger(cmd::ShowTraining);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().ReplayActive(), 20000);
    QCOMPARE(*m_log, QStringList({U(Tx::NetworkError), U(Tx::NetworkMismatch)}));
  }

  void trainingRecordsTheShapeItBuilds() {
    SimParams p = GlobalParams().Get();
    // Long enough that the worker cannot finish before the first check, even
    // when this thread is descheduled on a loaded machine.
    p.TrainingGenerations = 150;
    p.NetPopulationSize = 20;
    p.SetPerceivedMeteors(3);
    GlobalParams().Set(p);
    Trigger(cmd::Train);
    // The shape comes into force with the weights, not before.
    QCOMPARE(View()->Runs().Results().Shape().inputs, 6);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().WorkerActive(), 30000);
    QCOMPARE(View()->Runs().Results().Shape().inputs, 10);
    QVERIFY2(LastMessage().startsWith(U("训练完成,得分为")), qPrintable(LastMessage()));
    QVERIFY(QFile::exists(QStringLiteral("weights.txt")));
    QCOMPARE(View()->Runs().Results().Weights().size(), std::size_t(5 * 11 + 5 * 6 + 5 * 6));
    QCOMPARE(View()->State().Field().count, 9);  // level 1 again

    // The trained network now flies with three perceived meteors.
    m_log->clear();
    Trigger(cmd::ShowTraining);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().ReplayActive(), 20000);
    QCOMPARE(m_log->size(), 1);
    QVERIFY(LastMessage() == U(Tx::Escaped) || LastMessage() == U(Tx::Stardust));
  }

  void heuristicSearchRunsWithTheBuiltInNetwork() {
    Trigger(cmd::StartHeuristic);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().WorkerActive(), 60000);
    // An escape ends with the message; running out of generations is silent.
    QVERIFY(m_log->isEmpty() || *m_log == QStringList({U(Tx::Success)}));
    QCOMPARE(View()->Runs().Results().BestPlan().Length(), 30);
    // It counts as a search for the replay.
    m_log->clear();
    Trigger(cmd::ShowResult);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().ReplayActive(), 20000);
    QVERIFY(ReplayEnds.contains(LastMessage()));
  }

  void closingTheWindowDuringTrainingJoinsIt() {
    SimParams p = GlobalParams().Get();
    p.TrainingGenerations = 5000;
    GlobalParams().Set(p);
    Trigger(cmd::Train);
    QTRY_VERIFY_WITH_TIMEOUT(View()->State().RunFrame() && View()->State().RunFrame()->chart, 30000);
    QVERIFY(View()->Runs().WorkerActive());
    m_frame->close();
    QVERIFY(!View()->Runs().WorkerActive());
    QVERIFY(m_log->isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("weights.txt")));
    // Nothing arrives after the close.
    QTest::qWait(50);
    QVERIFY(m_log->isEmpty());
  }

  void closingWakesARunHeldAtItsPause() {
    Trigger(cmd::PauseTraining);
    Trigger(cmd::Train);
    QTRY_VERIFY_WITH_TIMEOUT(View()->Runs().WorkerPaused(), 30000);
    m_frame->close();
    QVERIFY(!View()->Runs().WorkerActive());
  }

  void closingWhileARunWaitsOnItsMessage() {
    // The window goes away while the success box is open.
    m_onShow = [this](const QString& t) {
      if (t == U(Tx::Success)) m_frame->close();
    };
    Trigger(cmd::StartGA);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().WorkerActive(), 30000);
    QCOMPARE(LastMessage(), U(Tx::Success));
  }

  void destroyingTheWindowMidRunIsSafe() {
    View()->Runs().SetPaceScale(1.0);
    Trigger(cmd::StepByStep);
    Trigger(cmd::PauseHeuristic);
    QTRY_VERIFY_WITH_TIMEOUT(View()->State().RunFrame() != nullptr, 20000);
    m_frame.reset();  // no close event: the view's destructor stops and joins
  }

  // Every run stops at 停止 (Esc): a search keeps its best plan, training
  // puts its best weights in force and writes nothing, and both say so. A
  // run stopped while 单步 holds it leaves no pause behind for the next.
  void everyRunStops() {
    SimParams p = GlobalParams().Get();
    p.MaxGenerations = 100000;
    p.TrainingGenerations = 5000;
    GlobalParams().Set(p);
    Trigger(cmd::Level[3]);  // level 4: no search escapes it
    struct Case {
      int start;
      const char* says;  // nullptr: stops without a word
      int pace = cmd::PaceFastest;
    };
    const char* stopped = "搜索已停止，目前最好的飞行计划已保留，可以用“演示结果”观看。";
    const char* trainingStopped = "训练已停止，第";
    auto noPauseStands = [&] {
      for (const PauseKind k : {PauseKind::GA, PauseKind::Training, PauseKind::Heuristic})
        if (View()->Runs().PauseRequested(k)) return false;
      return m_frame->Command(cmd::PauseGA)->text() == U("暂停遗传算法") &&
             m_frame->Command(cmd::PauseTraining)->text() == U("暂停训练");
    };
    for (const Case& c :
         {Case{cmd::StartGA, stopped, cmd::PaceStep}, Case{cmd::StartGA, stopped},
          Case{cmd::StartHeuristic, stopped, cmd::PaceStep}, Case{cmd::StartHeuristic, stopped},
          Case{cmd::Train, trainingStopped, cmd::PaceStep}, Case{cmd::Train, trainingStopped},
          Case{cmd::StepByStep, nullptr}, Case{cmd::ShowResult, nullptr}, Case{cmd::ShowTraining, nullptr}}) {
      m_log->clear();
      Trigger(c.pace);
      QVERIFY(noPauseStands());
      const bool replay = c.start == cmd::ShowResult || c.start == cmd::ShowTraining;
      View()->Runs().SetPaceScale(replay || c.start == cmd::StepByStep ? 1.0 : 0.0);
      Trigger(c.start);
      QVERIFY(replay ? View()->Runs().ReplayActive() : View()->Runs().WorkerActive());
      // Under way: a generation painted, or a frame of the flight.
      QTRY_VERIFY_WITH_TIMEOUT(View()->State().RunFrame() != nullptr, 20000);
      QTRY_VERIFY_WITH_TIMEOUT(View()->State().RunFrame()->planPanel || View()->State().RunFrame()->chart || replay,
                               20000);
      Trigger(cmd::Stop);
      QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().Busy(), 20000);
      QVERIFY(noPauseStands());
      if (c.says) {
        QCOMPARE(m_log->size(), 1);
        QVERIFY2(LastMessage().startsWith(U(c.says)), qPrintable(LastMessage()));
      } else {
        QVERIFY2(m_log->isEmpty(), qPrintable(m_log->join(' ')));
      }
    }
    QCOMPARE(View()->Runs().Results().BestPlan().Length(), 30);
    QCOMPARE(View()->Runs().Results().Source().kind, WeightsSource::Kind::TrainingStopped);
    QVERIFY(!QFile::exists(QStringLiteral("weights.txt")));
  }

  // A seed shown and re-run gives the numbers korvane-cli gives for it.
  void aSeedRerunGivesTheCliNumbers() {
    SimParams p = GlobalParams().Get();
    p.MaxGenerations = 6;
    GlobalParams().Set(p);
    Trigger(cmd::Level[1]);
    View()->Runs().SetSeedSource([] { return 4242u; });
    Trigger(cmd::StartGA);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().WorkerActive(), 30000);
    QCOMPARE(View()->Runs().Seeds().Last().value(), 4242u);
    const ChartData first = View()->State().LastHistory().value();
    View()->Runs().SetSeedSource([] { return 1u; });  // the re-run must not ask the clock
    Trigger(cmd::Rerun);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().WorkerActive(), 30000);
    const ChartData again = View()->State().LastHistory().value();
    QCOMPARE(again.bestHistory, first.bestHistory);
    QCOMPARE(again.averageHistory, first.averageHistory);

    QProcess cli;
    cli.start(QStringLiteral(KORVANE_CLI_PATH), {"ga", "--level", "2", "--seed", "4242", "--quiet", "--set",
                                                 "PopulationSize=60", "--set", "MaxGenerations=6"});
    QVERIFY(cli.waitForFinished(30000));
    const QJsonObject out = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    const QJsonArray gens = out["generations"].toArray();
    QCOMPARE(gens.size(), static_cast<qsizetype>(first.bestHistory.size()));
    for (qsizetype i = 0; i < gens.size(); ++i) {
      QCOMPARE(gens[i].toObject()["best"].toDouble(), first.bestHistory[static_cast<std::size_t>(i)]);
      QCOMPARE(gens[i].toObject()["average"].toDouble(), first.averageHistory[static_cast<std::size_t>(i)]);
    }
    QCOMPARE(out["escaped"].toBool(), first.escaped);
  }

  void levelLoadShowsTheViewsOwnScene() {
    Trigger(cmd::PauseGA);
    Trigger(cmd::StartGA);
    QTRY_VERIFY_WITH_TIMEOUT(View()->Runs().WorkerPaused() && View()->State().RunFrame(), 20000);
    Trigger(cmd::Level[1]);
    QVERIFY(!View()->State().RunFrame());
    QCOMPARE(View()->State().Field().count, 7);
    m_frame->close();
  }
};

// The hand-shake between the UI thread and the workers, without a window.
class RunControlTest : public QObject {
  Q_OBJECT

 private slots:
  void pauseHoldsUntilCleared() {
    RunControl c;
    c.SetPause(PauseKind::Training, true);
    std::atomic<bool> through{false};
    std::thread t([&] {
      c.WaitWhilePaused(PauseKind::Training);
      through = true;
    });
    QTRY_VERIFY(c.IsWaitingInPause(PauseKind::Training));
    QVERIFY(!through);
    QVERIFY(!c.IsWaitingInPause(PauseKind::GA));
    c.SetPause(PauseKind::GA, false);  // another kind's toggle does not release it
    QVERIFY(c.IsWaitingInPause(PauseKind::Training));
    c.SetPause(PauseKind::Training, false);
    t.join();
    QVERIFY(through);
    QVERIFY(!c.IsWaitingInPause(PauseKind::Training));
  }

  void stopReleasesEveryWait() {
    RunControl c;
    c.SetPause(PauseKind::GA, true);
    const std::uint64_t ticket = c.OpenTicket();
    std::thread paused([&] { c.WaitWhilePaused(PauseKind::GA); });
    std::thread message([&] { c.WaitTicket(ticket); });
    std::thread sleeping([&] { c.Sleep(3600 * 1000); });
    QTRY_VERIFY(c.IsWaitingInPause(PauseKind::GA));
    c.RequestStop();
    paused.join();
    message.join();
    sleeping.join();
    QVERIFY(c.StopRequested());
    // A pause request is still reported; the wait just does not hold.
    QVERIFY(c.PauseRequested(PauseKind::GA));
    c.WaitWhilePaused(PauseKind::GA);
  }

  void ticketsAreClosedOneByOne() {
    RunControl c;
    const std::uint64_t a = c.OpenTicket();
    const std::uint64_t b = c.OpenTicket();
    QVERIFY(a != b);
    std::atomic<bool> done{false};
    std::thread t([&] {
      c.WaitTicket(b);
      done = true;
    });
    c.CloseTicket(a);
    QTest::qWait(20);
    QVERIFY(!done);
    c.CloseTicket(b);
    t.join();
    QVERIFY(done);
  }

  void mailboxKeepsOrderAndOnlyTheLatestFrame() {
    UiMailbox box;
    int woken = 0;
    connect(&box, &UiMailbox::ready, this, [&] { ++woken; });
    auto frame = [](int run, double x) {
      UiEvent ev;
      ev.kind = UiEvent::Kind::Frame;
      ev.runId = run;
      ev.frame.boat.m_position.x = x;
      return ev;
    };
    std::thread worker([&] {
      box.Post(frame(1, 1));
      box.Post(frame(1, 2));
      UiEvent m;
      m.kind = UiEvent::Kind::Message;
      m.text = "hello";
      box.Post(m);
      box.Post(frame(1, 3));
      box.Post(frame(2, 4));
      box.Post(frame(2, 5));
    });
    worker.join();
    QTRY_VERIFY(woken > 0);
    std::vector<std::pair<UiEvent::Kind, double>> got;
    while (auto ev = box.Take()) got.emplace_back(ev->kind, ev->frame.boat.m_position.x);
    const std::vector<std::pair<UiEvent::Kind, double>> want = {
        {UiEvent::Kind::Frame, 2}, {UiEvent::Kind::Message, 0}, {UiEvent::Kind::Frame, 3}, {UiEvent::Kind::Frame, 5}};
    QCOMPARE(got, want);
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int status = 0;
  {
    RunControlTest t;
    status |= QTest::qExec(&t, argc, argv);
  }
  {
    RunsTest t;
    status |= QTest::qExec(&t, argc, argv);
  }
  return status;
}

#include "test_runs.moc"
