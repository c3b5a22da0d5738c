// Flying by hand: the tick and key rules, and the flight in the window.
#include <QAction>
#include <QtTest>

#include "app/command_ids.h"
#include "app/korvane_view.h"
#include "app/main_frame.h"
#include "gui_test_support.h"
#include "texts/text_table.h"
#include "ui_model/manual_flight.h"
#include "ui_model/settings_store.h"

using namespace korvane;
using korvane::test::RecordingPresenter;
using korvane::test::U;

class ManualFlightTest : public QObject {
  Q_OBJECT

  SimParams m_p;
  MeteorField m_field = BuiltInLevel(1);
  CLifeboat m_boat;
  Perception m_per;

  // Ticks until the flight ends; the tick that ended it is returned.
  int FlyToEnd(ManualFlight& f, ManualFlight::Tick* how) {
    for (int tick = 1; tick < 10000; ++tick) {
      const ManualFlight::Tick t = f.OnTick(m_boat, m_per, m_field, m_p);
      if (t != ManualFlight::Tick::Flying) {
        *how = t;
        return tick;
      }
    }
    return -1;
  }

 private slots:
  void init() { GlobalParams().Set(SimParams{}); }

  void withoutKeysTheBoatFallsOutAtTheSixtyThirdTick() {
    ManualFlight f;
    f.Start(m_boat, m_p);
    ManualFlight::Tick how{};
    QCOMPARE(FlyToEnd(f, &how), 63);
    QCOMPARE(how, ManualFlight::Tick::Crashed);
    QVERIFY(m_boat.m_position.y + 11.25 > 400);
    QCOMPARE(m_boat.m_position.x, 20.0);
    // The next tick only stops the timer and moves nothing.
    const Vec2 at = m_boat.m_position;
    QCOMPARE(f.OnTick(m_boat, m_per, m_field, m_p), ManualFlight::Tick::StopTimer);
    QCOMPARE(m_boat.m_position.y, at.y);
  }

  void oneThrustBetweenTwoTicks() {
    ManualFlight f;
    f.Start(m_boat, m_p);
    // Before the first tick of the first flight nothing is allowed.
    QVERIFY(!f.OnArrow(m_boat, Arrow::Right, m_p));
    QCOMPARE(m_boat.m_velocity.x, 0.0);
    QCOMPARE(m_boat.m_thrustMarker, 1);

    f.OnTick(m_boat, m_per, m_field, m_p);
    QVERIFY(f.OnArrow(m_boat, Arrow::Right, m_p));
    QVERIFY(!f.OnArrow(m_boat, Arrow::Right, m_p));
    QVERIFY(!f.OnArrow(m_boat, Arrow::Up, m_p));
    QCOMPARE(m_boat.m_velocity.x, m_p.TimeStep * m_p.LifeboatAccel);
    QCOMPARE(m_boat.m_thrustMarker, 5);

    f.OnTick(m_boat, m_per, m_field, m_p);
    const double vy = m_boat.m_velocity.y;
    QVERIFY(f.OnArrow(m_boat, Arrow::Up, m_p));
    QCOMPARE(m_boat.m_velocity.y, vy - m_p.TimeStep * m_p.LifeboatAccel);
    QCOMPARE(m_boat.m_thrustMarker, 2);
  }

  void eachArrowSetsItsMarker() {
    const std::pair<Arrow, int> cases[] = {{Arrow::Up, 2}, {Arrow::Down, 3}, {Arrow::Left, 4}, {Arrow::Right, 5}};
    for (auto [arrow, marker] : cases) {
      ManualFlight f;
      f.Start(m_boat, m_p);
      f.OnTick(m_boat, m_per, m_field, m_p);
      QVERIFY(f.OnArrow(m_boat, arrow, m_p));
      QCOMPARE(m_boat.m_thrustMarker, marker);
    }
  }

  void theLastTickOfAFlightAllowsOneKeyBeforeTheNext() {
    ManualFlight f;
    f.Start(m_boat, m_p);
    ManualFlight::Tick how{};
    FlyToEnd(f, &how);
    f.Start(m_boat, m_p);
    QVERIFY(f.OnArrow(m_boat, Arrow::Up, m_p));  // before the first tick of the second flight
    QVERIFY(!f.OnArrow(m_boat, Arrow::Up, m_p));

    // A key after the end uses the permission up: the next flight starts without it.
    FlyToEnd(f, &how);
    QVERIFY(f.OnArrow(m_boat, Arrow::Left, m_p));
    QCOMPARE(m_boat.m_thrustMarker, 4);
    f.Start(m_boat, m_p);
    QVERIFY(!f.OnArrow(m_boat, Arrow::Up, m_p));
  }

  void escapeIsTestedBeforeCollision() {
    ManualFlight f;
    f.Start(m_boat, m_p);
    // Crossing the right edge and the bottom edge in the same tick.
    m_boat.m_position = {1795.0, 395.0};
    m_boat.m_velocity = {5.0, 5.0};
    ManualFlight::Tick how{};
    QCOMPARE(FlyToEnd(f, &how), 1);
    QCOMPARE(how, ManualFlight::Tick::Escaped);
    QVERIFY(f.Stopped());
  }

  void aMeteorEndsTheFlight() {
    ManualFlight f;
    f.Start(m_boat, m_p);
    m_boat.m_position = {300.0, 310.0};  // just above level 1's first meteor, falling
    m_boat.m_velocity = {0.0, 1.0};
    ManualFlight::Tick how{};
    QVERIFY(FlyToEnd(f, &how) < 5);
    QCOMPARE(how, ManualFlight::Tick::Crashed);
  }

  // The same flight through the window: Ctrl+A, the 25 ms timer, the boxes.
  void flightInTheWindowEndsWithTheCrashMessage() {
    auto log = std::make_shared<QStringList>();
    CMainFrame frame;
    CKorvaneView* view = frame.View();
    view->SetPresenter(std::make_unique<RecordingPresenter>(log));
    korvane::test::ChangeLifeboat(view->State(), [](CLifeboat& b) { b.m_position = {500, 100}; });
    frame.Command(cmd::ManualFlight)->trigger();
    QCOMPARE(*log, QStringList({U(Tx::ManualStart)}));
    QVERIFY(view->State().ManualFlying());
    QCOMPARE(view->State().Lifeboat().m_position.x, 20.0);  // reset to the start
    QCOMPARE(view->State().Lifeboat().m_position.y, 200.0);

    // A key before the first tick of the first flight is ignored.
    QTest::keyClick(view, Qt::Key_Right);
    QCOMPARE(view->State().Lifeboat().m_velocity.x, 0.0);

    QTRY_COMPARE_WITH_TIMEOUT(log->size(), 2, 20000);
    QCOMPARE(log->back(), U(Tx::ManualCrashed));
    QVERIFY(view->State().Lifeboat().m_position.y + 11.25 > 400);
    // The stop flag was set before the box: the timer stops on the next tick.
    QTRY_VERIFY_WITH_TIMEOUT(!view->State().ManualFlying(), 5000);
  }

  // Ctrl+A again while flying: the old flight ends before the start box, so
  // nothing moves or crashes behind it.
  void aNewStartEndsTheFlightBeforeItsBox() {
    auto log = std::make_shared<QStringList>();
    CMainFrame frame;
    CKorvaneView* view = frame.View();
    bool checked = false;
    view->SetPresenter(std::make_unique<RecordingPresenter>(log, [&](const QString& text) {
      if (text != U(Tx::ManualStart) || log->size() < 2) return;
      QVERIFY(!view->State().ManualFlying());
      const Vec2 before = view->State().Lifeboat().m_position;
      QTest::qWait(300);  // as long as a user reads the box
      QCOMPARE(view->State().Lifeboat().m_position.y, before.y);
      QCOMPARE(log->size(), 2);  // no crash message behind it
      checked = true;
    }));
    frame.Command(cmd::ManualFlight)->trigger();
    QTest::qWait(100);
    frame.Command(cmd::ManualFlight)->trigger();
    QVERIFY(checked);
    QVERIFY(view->State().ManualFlying());
    view->Shutdown();
  }

  void arrowKeysInTheWindowThrust() {
    auto log = std::make_shared<QStringList>();
    CMainFrame frame;
    CKorvaneView* view = frame.View();
    view->SetPresenter(std::make_unique<RecordingPresenter>(log));
    frame.Command(cmd::ManualFlight)->trigger();
    // After the first tick one key lands, the second is ignored.
    QTRY_VERIFY_WITH_TIMEOUT(view->State().Manual().ThrustAllowed(), 5000);
    // Key clicks are delivered at once, with no timer tick in between.
    const double vy = view->State().Lifeboat().m_velocity.y;
    const SimParams p;
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(view->State().Lifeboat().m_velocity.y, vy - p.TimeStep * p.LifeboatAccel);
    QTest::keyClick(view, Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(view->State().Lifeboat().m_velocity.y, vy - p.TimeStep * p.LifeboatAccel);
    QCOMPARE(view->State().Lifeboat().m_velocity.x, 0.0);
    QCOMPARE(view->State().Lifeboat().m_thrustMarker, 2);
    QVERIFY(!view->State().Manual().ThrustAllowed());
    view->Shutdown();
  }

  void computerRunsRefuseToShareTheBoatWithTheHands() {
    auto log = std::make_shared<QStringList>();
    CMainFrame frame;
    CKorvaneView* view = frame.View();
    view->SetPresenter(std::make_unique<RecordingPresenter>(log));
    frame.Command(cmd::ManualFlight)->trigger();
    QVERIFY(view->State().ManualFlying());
    // Starting a search takes the boat over: the manual flight ends.
    frame.Command(cmd::PauseGA)->trigger();
    frame.Command(cmd::StartGA)->trigger();
    QVERIFY(!view->State().ManualFlying());
    QVERIFY(view->Runs().WorkerActive());
    // While the computer holds the boat, the hands must wait.
    log->clear();
    frame.Command(cmd::ManualFlight)->trigger();
    QCOMPARE(*log, QStringList({U(Tx::ManualBusy)}));
    QVERIFY(!view->State().ManualFlying());
    frame.close();
    QVERIFY(!view->Runs().WorkerActive());
  }
};

QTEST_MAIN(ManualFlightTest)
#include "test_manual_flight.moc"
