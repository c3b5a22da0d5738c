// The window's writes that cannot be made, and closing the window under
// every kind of load: what a random stress of the window under the
// sanitizers went through, kept as two tables.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/command_ids.h"
#include "app/dialog_commands.h"
#include "app/korvane_view.h"
#include "app/main_frame.h"
#include "files/weights_file.h"
#include "gui_test_support.h"
#include "texts/text_table.h"
#include "ui_model/settings_store.h"

using namespace korvane;
using korvane::test::RecordingPresenter;
using korvane::test::U;

namespace {

// Ends the program if what it guards has not returned in a time only a
// hang could take; the test then fails with the row's name.
class HangGuard {
 public:
  explicit HangGuard(QString what)
      : m_what(std::move(what)), m_watch([this] {
          std::unique_lock<std::mutex> lock(m_mutex);
          if (!m_changed.wait_for(lock, std::chrono::minutes(2), [this] { return m_done; }))
            qFatal("hung: %s", qPrintable(m_what));
        }) {}
  ~HangGuard() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_done = true;
    }
    m_changed.notify_all();
    m_watch.join();
  }

 private:
  QString m_what;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_done = false;
  std::thread m_watch;
};

QByteArray Read(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The files a user has beside the program, each with bytes of its own.
const QStringList Files = {"weights.txt", "kept.txt", "ObstacleMap.txt", "chart.png", "history.csv"};

QMap<QString, QByteArray> WriteFiles() {
  QMap<QString, QByteArray> bytes;
  const QByteArray block = QByteArray::fromStdString(FormatWeightsText(BuiltinWeights()));
  bytes["weights.txt"] = block;
  bytes["kept.txt"] = block + block;
  bytes["ObstacleMap.txt"] = "Obstacle1\r\n100,50,14,\r\n";
  bytes["chart.png"] = "not a picture";
  bytes["history.csv"] = "generation,best,average,escaped\n";
  for (auto it = bytes.cbegin(); it != bytes.cend(); ++it) {
    QFile f(it.key());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(it.value()) != it.value().size()) return {};
  }
  return bytes;
}

}  // namespace

class RefusalsAndClosingTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CMainFrame> m_frame;
  std::shared_ptr<QStringList> m_log;
  QTemporaryDir m_root;
  QString m_oldDir;

  CKorvaneView* View() { return m_frame->View(); }
  void Trigger(int id) { m_frame->Command(id)->trigger(); }
  void NewWindow() {
    m_frame = std::make_unique<CMainFrame>();
    View()->SetPresenter(std::make_unique<RecordingPresenter>(m_log));
    View()->Runs().SetSeedSource([] { return 2u; });
  }
  static void Set(int population, int generations, int training) {
    SimParams p;
    p.PopulationSize = population;
    p.MaxGenerations = generations;
    p.TrainingGenerations = training;
    p.NetPopulationSize = 10;
    GlobalParams().Set(p);
  }
  // Each row works in a directory of its own, the current one.
  void EnterFreshDir(const QString& name) {
    QVERIFY(QDir(m_root.path()).mkpath(name));
    QVERIFY(QDir::setCurrent(m_root.filePath(name)));
  }

 private slots:
  void initTestCase() {
    m_oldDir = QDir::currentPath();
    QVERIFY(m_root.isValid());
  }
  void cleanupTestCase() { QDir::setCurrent(m_oldDir); }
  void init() { m_log = std::make_shared<QStringList>(); }
  void cleanup() {
    m_frame.reset();
    GlobalParams().Set(SimParams{});
  }

  // Every write the window makes, into a directory or onto the always-full
  // device (so that it fails as root too): its box, and every other file as
  // it was.
  void aRefusedWriteSaysSoAndTouchesNothingElse() {
    struct Row {
      const char* name;
      int command;
      QString target;
      QString intoDirectory, ontoFullDevice;  // the last box shown
    };
    const QString writeFailed = U(Tx::FileWriteError), openFailed = U(Tx::FileOpenError);
    const QList<Row> rows = {
        {"training's append", cmd::Train, "weights.txt", openFailed, writeFailed},
        {"保存当前权重", cmd::SaveWeights, "kept.txt", openFailed, writeFailed},
        {"储存自定的关卡", cmd::SaveLevel, "ObstacleMap.txt", U(Tx::FileOpenError),
         U(text::Ui<Tx::MapWriteFailed>("ObstacleMap.txt"))},
        {"导出图表为PNG", cmd::ExportChart, "chart.png", U(Tx::FileWriteError), U(Tx::FileWriteError)},
        {"导出历史为CSV", cmd::ExportHistory, "history.csv", U(Tx::FileWriteError), U(Tx::FileWriteError)},
    };
    int dirs = 0;
    for (const Row& row : rows) {
      for (const bool fullDevice : {false, true}) {
        const QString what = QString("%1 %2").arg(row.name, fullDevice ? "onto /dev/full" : "into a directory");
        EnterFreshDir(QString::number(++dirs));
        const QMap<QString, QByteArray> before = WriteFiles();
        QVERIFY(!before.isEmpty());
        QVERIFY(QFile::remove(row.target));
        QVERIFY(fullDevice ? QFile::link("/dev/full", row.target) : QDir().mkdir(row.target));
        Set(20, 0, 1);
        NewWindow();
        m_frame->Dialogs().SetSavePathAsker(
            [&](const QString&, const QString&, const QString&, bool) { return QDir::current().filePath(row.target); });
        // A history to export: a one-generation search.
        Trigger(cmd::StartGA);
        QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().Busy(), 30000);
        m_log->clear();
        Trigger(row.command);
        QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().Busy(), 30000);
        QVERIFY2(!m_log->isEmpty(), qPrintable(what));
        QCOMPARE(m_log->last(), fullDevice ? row.ontoFullDevice : row.intoDirectory);
        const QFileInfo target(row.target);
        QVERIFY2(fullDevice ? target.symLinkTarget() == "/dev/full" : target.isDir() && QDir(row.target).isEmpty(),
                 qPrintable(what));
        for (const QString& other : Files)
          if (other != row.target) QVERIFY2(Read(other) == before[other], qPrintable(what + ": " + other));
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(), Files.size());
        m_frame.reset();
      }
    }
  }

  // The window closes under every kind of run, at every pace, with either
  // display switch, and once with a worker's box open: without hanging,
  // every run joined, nothing shown after, every file as it was.
  void closingUnderLoadEndsEveryRunAndKeepsTheFiles() {
    const QList<int> kinds = {cmd::StartGA,        cmd::StepByStep, cmd::Train,
                              cmd::StartHeuristic, cmd::ShowResult, cmd::ShowTraining};
    int row = 0;
    for (const int kind : kinds)
      for (const int pace : {cmd::PaceFastest, cmd::PaceWatch, cmd::PaceStep})
        for (const bool paths : {false, true})
          for (const bool network : {false, true}) {
            EnterFreshDir(QStringLiteral("load%1").arg(++row));
            const QMap<QString, QByteArray> before = WriteFiles();
            QVERIFY(!before.isEmpty());
            Set(40, 0, 5000);
            NewWindow();
            const QString what = QStringList({m_frame->Command(kind)->text(), m_frame->Command(pace)->text(),
                                              paths ? "paths" : "", network ? "network" : ""})
                                     .join(' ');
            Trigger(cmd::Level[3]);  // level 4: no search escapes it
            // 演示结果 needs a search started first; one generation will do.
            Trigger(cmd::StartGA);
            QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().Busy(), 30000);
            Set(40, 100000, 5000);
            Trigger(pace);
            if (paths) Trigger(cmd::ShowPaths);
            if (network) Trigger(cmd::ShowNetwork);
            Trigger(kind);
            QVERIFY2(View()->Runs().Busy(), qPrintable(what));
            QTRY_VERIFY_WITH_TIMEOUT(View()->State().RunFrame(), 30000);
            const qsizetype shown = m_log->size();
            {
              HangGuard guard(what);
              m_frame->close();
            }
            QVERIFY2(!View()->Runs().Busy() && !m_frame->isVisible(), qPrintable(what));
            QTest::qWait(5);
            QCOMPARE(m_log->size(), shown);
            for (const QString& f : Files) QVERIFY2(Read(f) == before[f], qPrintable(what + ": " + f));
            m_frame.reset();
          }

    // A search's success box is open when the window is closed.
    EnterFreshDir(QStringLiteral("box"));
    const QMap<QString, QByteArray> before = WriteFiles();
    Set(60, 40, 5000);
    NewWindow();
    View()->SetPresenter(std::make_unique<BoxPresenter>());
    bool closedUnderTheBox = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      if (!qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) return;
      poll.stop();
      HangGuard guard(QStringLiteral("closing under a box"));
      closedUnderTheBox = m_frame->close();
    });
    poll.start(5);
    Trigger(cmd::StartGA);
    QTRY_VERIFY_WITH_TIMEOUT(closedUnderTheBox, 30000);
    QVERIFY(!View()->Runs().Busy());
    QTRY_VERIFY(!QApplication::activeModalWidget());
    for (const QString& f : Files) QCOMPARE(Read(f), before[f]);
  }
};

QTEST_MAIN(RefusalsAndClosingTest)
#include "test_refusals_and_closing.moc"
