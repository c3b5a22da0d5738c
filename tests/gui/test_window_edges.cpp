// The window's edges: the editor's hint, the seed dialog's refusal, a close
// asked for while a worker's box is open, a search limit lowered under way,
// and the size that keeps the field and the menus whole.
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <cstdio>

#include "app/command_ids.h"
#include "app/deferred_close.h"
#include "app/korvane_view.h"
#include "app/main_frame.h"
#include "gui_test_support.h"
#include "texts/text_table.h"
#include "ui_model/settings_store.h"

using namespace korvane;
using korvane::test::RecordingPresenter;
using korvane::test::U;

class WindowEdgesTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CMainFrame> m_frame;
  std::shared_ptr<QStringList> m_log;

  CKorvaneView* View() { return m_frame->View(); }
  void Trigger(int id) { m_frame->Command(id)->trigger(); }
  QLabel* Label(const char* name) { return m_frame->findChild<QLabel*>(QLatin1String(name)); }
  void Show(CMainFrame& frame) {
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
  }
  static void SetParams(int population, int maxGenerations) {
    SimParams p = GlobalParams().Get();
    p.PopulationSize = population;
    p.MaxGenerations = maxGenerations;
    GlobalParams().Set(p);
  }

 private slots:
  void init() {
    GlobalParams().Set(SimParams{});
    m_log = std::make_shared<QStringList>();
    m_frame = std::make_unique<CMainFrame>();
    View()->SetPresenter(std::make_unique<RecordingPresenter>(m_log));
    View()->Runs().SetPaceScale(0.0);
  }
  void cleanup() { m_frame.reset(); }

  // The hint stays while the editor is on, whatever the menus send the bar.
  void theEditorsHintStaysWhileItIsOn() {
    Show(*m_frame);
    QLabel* note = Label("stateStatus");
    QLabel* weights = Label("weightsStatus");
    Trigger(cmd::CustomLevel);
    QCOMPARE(note->text(), U(Tx::EditorStatus));
    QVERIFY(note->isVisible());
    QVERIFY(!weights->isVisible());
    // A menu entry the pointer passes over sends its (empty) status tip.
    QStatusTipEvent tip{QString()};
    QApplication::sendEvent(m_frame.get(), &tip);
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(320, 200));
    QCOMPARE(View()->State().Field().count, 1);
    Trigger(cmd::Level[1]);  // the editor stays on over a level load
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), U(Tx::EditorStatus));
    Trigger(cmd::ManualFlight);
    QCOMPARE(note->text(), U(Tx::StateManual));
    QVERIFY(weights->isVisible());
  }

  // A refused seed is said in a box and the dialog stays open with it.
  void aRefusedSeedKeepsTheDialogOpen() {
    const QStringList refused = {"abc", "-1", "4294967296", " ", "12 3", "0x10", "+5"};
    QStringList keptTexts;
    bool stayedOpen = true;
    QTimer::singleShot(0, this, [&] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
      for (const QString& typed : refused) {
        dialog->setTextValue(typed);
        ok->click();
        stayedOpen = stayedOpen && dialog->isVisible();
        keptTexts << dialog->textValue();
      }
      dialog->setTextValue(QStringLiteral(" 4294967295 "));
      ok->click();
    });
    Trigger(cmd::SetSeed);
    QVERIFY(stayedOpen);
    QCOMPARE(keptTexts, refused);
    QCOMPARE(*m_log, QStringList(refused.size(), QStringLiteral("请键入一个整数。")));
    QCOMPARE(View()->Runs().Seeds().Next(), std::optional<std::uint32_t>(4294967295u));
  }

  // The window system's close, asked for while a worker's box is open, is
  // kept and honoured once the box is closed; with no box, Qt's own.
  void aCloseAskedForUnderAWorkersBoxIsHonouredWhenItCloses() {
    View()->SetPresenter(std::make_unique<BoxPresenter>());
    View()->Runs().SetSeedSource([] { return 2u; });  // escapes: the success box
    SetParams(60, 40);
    Show(*m_frame);
    QVERIFY(!m_frame->CloseRequests().Request());
    bool kept = false, openWhileBoxIs = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      poll.stop();
      kept = m_frame->CloseRequests().Request();
      QTest::qWait(50);
      openWhileBoxIs = m_frame->isVisible() && box->isVisible() && View()->Runs().WorkerActive();
      box->button(QMessageBox::Ok)->click();
    });
    poll.start(5);
    Trigger(cmd::StartGA);
    QTRY_VERIFY_WITH_TIMEOUT(!m_frame->isVisible(), 30000);
    QVERIFY(kept);
    QVERIFY(openWhileBoxIs);
    QVERIFY(!View()->Runs().Busy());
    QVERIFY(!m_frame->CloseRequests().Pending());
  }

  // A search whose limit is lowered below the generation it has reached ends
  // there, without a box, and the status bar says why.
  void aLimitLoweredUnderWayEndsTheSearchWithANote() {
    QLabel* note = Label("stateStatus");
    Trigger(cmd::Level[3]);  // level 4: no search escapes it
    for (const auto& [start, pause] :
         {std::pair{cmd::StartGA, cmd::PauseGA}, std::pair{cmd::StartHeuristic, cmd::PauseHeuristic}}) {
      SetParams(40, 100000);
      Trigger(pause);
      Trigger(start);
      QTRY_VERIFY_WITH_TIMEOUT(View()->Runs().WorkerPaused(), 30000);
      // The worker can be waiting before the window has taken its frame:
      // until then the panel is the last run's.
      auto shown = [&] { return View()->State().LastPlanPanel() ? View()->State().LastPlanPanel()->generation : -1; };
      QTRY_COMPARE_WITH_TIMEOUT(shown(), 1, 10000);
      SetParams(40, 0);
      Trigger(pause);  // continue
      QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().WorkerActive(), 30000);
      QVERIFY2(m_log->isEmpty(), qPrintable(m_log->join(' ')));
      QCOMPARE(note->text(), QStringLiteral("最大进化世代已改为0，搜索在第1代结束，没有找到逃出的计划"));
      // Running out under the limit it started with: no box, and the line
      // says there was no escape.
      SetParams(40, 1);
      Trigger(start);
      QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().WorkerActive(), 30000);
      QVERIFY2(note->text().contains(QStringLiteral("没有逃出")), qPrintable(note->text()));
      QVERIFY(m_log->isEmpty());
    }
  }

  // The least size shows the field and every menu whole, and a size forced
  // from outside the hints is taken back.
  void theWindowNeverClipsTheFieldOrFoldsTheMenus() {
    for (int menuFont : {0, 30}) {  // the system's, and one too wide for the field
      if (menuFont) {
        QFont big = QApplication::font("QMenuBar");
        big.setPixelSize(menuFont);
        QApplication::setFont(big, "QMenuBar");
        m_frame = std::make_unique<CMainFrame>();
        View()->SetPresenter(std::make_unique<RecordingPresenter>(m_log));
      }
      Show(*m_frame);
      QMenuBar* bar = m_frame->menuBar();
      const QSize least = m_frame->minimumSize();
      QCOMPARE(m_frame->size(), least);
      QCOMPARE(least.width(), std::max(900, bar->sizeHint().width()));
      QVERIFY(least.width() > 900 || !menuFont);
      QList<int> widths;
      connect(m_frame->windowHandle(), &QWindow::widthChanged, this, [&](int w) { widths << w; });
      m_frame->windowHandle()->resize(600, 350);
      QTRY_VERIFY(widths.contains(600));
      QTRY_COMPARE(m_frame->size(), least);
      QCOMPARE(View()->size(), QSize(900, 400));
      QVERIFY(m_frame->rect().contains(QRect(View()->mapTo(m_frame.get(), QPoint(0, 0)), View()->size())));
      for (QAction* a : bar->actions()) QVERIFY2(bar->rect().contains(bar->actionGeometry(a)), qPrintable(a->text()));
      auto* fold = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
      QVERIFY(!fold || !fold->isVisible());
    }
    QApplication::setFont(QApplication::font(), "QMenuBar");
  }
};

QTEST_MAIN(WindowEdgesTest)
#include "test_window_edges.moc"
