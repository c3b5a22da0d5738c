// The level editor, the user maps in the load-level menu and the settings
// sheet, driven through the window as a user drives them.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cmath>

#include "app/command_ids.h"
#include "app/korvane_view.h"
#include "app/main_frame.h"
#include "app/settings_sheet.h"
#include "files/obstacle_map_file.h"
#include "gui_test_support.h"
#include "texts/text_table.h"
#include "ui_model/level_editor.h"
#include "ui_model/settings_store.h"

using namespace korvane;
using korvane::test::RecordingPresenter;
using korvane::test::U;

namespace {

const QString MapFile = QStringLiteral("ObstacleMap.txt");

QByteArray ReadFile(const QString& name) {
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

void WriteFile(const QString& name, const QByteArray& bytes) {
  QFile f(name);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(f.write(bytes), bytes.size());
}

// Pixels of one colour within a region of a frame.
int CountColour(const QImage& img, QRgb rgb, const QRect& within) {
  int n = 0;
  for (int y = within.top(); y <= within.bottom(); ++y)
    for (int x = within.left(); x <= within.right(); ++x)
      if ((img.pixel(x, y) & 0xffffffu) == (rgb & 0xffffffu)) ++n;
  return n;
}

const QRgb Ring = qRgb(117, 244, 255);

// Where a colour is, within the whole frame.
QList<QPoint> PixelsOf(const QImage& img, QRgb rgb) {
  QList<QPoint> out;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) & 0xffffffu) == (rgb & 0xffffffu)) out << QPoint(x, y);
  return out;
}

// Share of the pixels inside a disc that differ between two frames.
double ChangedInDisc(const QImage& a, const QImage& b, QPoint centre, int radius) {
  int inside = 0, changed = 0;
  for (int y = centre.y() - radius; y <= centre.y() + radius; ++y)
    for (int x = centre.x() - radius; x <= centre.x() + radius; ++x) {
      if (x < 0 || y < 0 || x >= a.width() || y >= a.height()) continue;
      const int dx = x - centre.x(), dy = y - centre.y();
      if (dx * dx + dy * dy > radius * radius) continue;
      ++inside;
      if (a.pixel(x, y) != b.pixel(x, y)) ++changed;
    }
  return inside ? static_cast<double>(changed) / inside : 0.0;
}

}  // namespace

class LevelsAndSettingsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CMainFrame> m_frame;
  std::shared_ptr<QStringList> m_log;
  QTemporaryDir m_dir;
  QString m_oldDir;

  CKorvaneView* View() { return m_frame->View(); }
  void Trigger(int id) {
    QAction* a = m_frame->Command(id);
    QVERIFY2(a, qPrintable(CommandName(id)));
    a->trigger();
  }
  // The entries after the built-in levels and their separator.
  QStringList UserMapEntries() const {
    QStringList out;
    const QList<QAction*> acts = m_frame->LoadLevelMenu()->actions();
    for (qsizetype i = 5; i < acts.size(); ++i) out << acts[i]->text() + QLatin1Char('#') + acts[i]->objectName();
    return out;
  }
  static QString Entry(int n) { return U("自定关卡") + QString::number(n) + QLatin1Char('#') + CommandName(110 + n); }

  QImage Frame() { return View()->grab().toImage(); }

  // A press, a drag through one point and a release, all in window pixels.
  void Draw(QPoint press, QPoint via, QPoint release) {
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, press);
    QTest::mouseMove(View(), via);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, release);
  }

  // Runs the settings command; act sees the open sheet and closes it.
  void RunSettings(const std::function<void(CPropSheet&)>& act) {
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
      auto* sheet = qobject_cast<CPropSheet*>(QApplication::activeModalWidget());
      if (!sheet) return;
      seen = true;
      act(*sheet);
      if (sheet->isVisible()) sheet->reject();  // a refused OK leaves it open
    });
    Trigger(cmd::Settings);
    QVERIFY(seen);
  }
  static QPushButton* Button(CPropSheet& s, QDialogButtonBox::StandardButton b) {
    return s.findChild<QDialogButtonBox*>()->button(b);
  }

 private slots:
  void initTestCase() {
    // The level file lives in the current directory.
    m_oldDir = QDir::currentPath();
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
  }
  void cleanupTestCase() { QDir::setCurrent(m_oldDir); }

  void init() {
    QFile::remove(MapFile);
    GlobalParams().Set(SimParams{});
    m_log = std::make_shared<QStringList>();
    m_frame = std::make_unique<CMainFrame>();
    View()->SetPresenter(std::make_unique<RecordingPresenter>(m_log));
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    // The pointer's last place outlives a window, and a move to where it
    // already is is not delivered: start every test from a neutral place.
    QTest::mouseMove(View(), QPoint(450, 399));
  }
  void cleanup() {
    m_frame.reset();
    QFile::remove(MapFile);
    QDir().rmdir(MapFile);
    GlobalParams().Set(SimParams{});
  }

  // ------------------------------------------------------------ editor --

  void editorPlacesSizesAndScrollsThroughTheMouse() {
    korvane::test::ChangeLifeboat(View()->State(), [](CLifeboat& b) { b.m_position.x = 700; });
    Trigger(cmd::CustomLevel);
    QVERIFY(View()->State().EditMode());
    QCOMPARE(View()->State().Field().count, 0);
    QCOMPARE(View()->State().Lifeboat().m_position.x, 450.0);

    const QImage empty = Frame();
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    QCOMPARE(View()->State().Field().count, 1);
    QCOMPARE(View()->State().Field().obstacles[0].x, 100.0);
    QCOMPARE(View()->State().Field().obstacles[0].y, 50.0);
    QCOMPARE(View()->State().Field().obstacles[0].radius, 0.0);
    QTest::mouseMove(View(), QPoint(130, 90));
    QCOMPARE(View()->State().Field().obstacles[0].radius, 50.0);
    const QImage sized = Frame();
    // The meteor is drawn as soon as it has a size.
    QVERIFY(ChangedInDisc(empty, sized, QPoint(100, 50), 40) > 0.5);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 130));
    QCOMPARE(View()->State().Field().obstacles[0].radius, 100.0);
    QVERIFY(ChangedInDisc(sized, Frame(), QPoint(100, 50), 95) > 0.5);
    // After the release a move no longer sizes it.
    QTest::mouseMove(View(), QPoint(300, 300));
    QCOMPARE(View()->State().Field().obstacles[0].radius, 100.0);

    // Three moves into the right edge zone scroll by 30 each; x 885 is
    // outside the zone.
    QTest::mouseMove(View(), QPoint(885, 200));
    QCOMPARE(View()->State().Lifeboat().m_position.x, 450.0);
    for (int i = 0; i < 3; ++i) QTest::mouseMove(View(), QPoint(886 + i, 200));
    QCOMPARE(View()->State().Lifeboat().m_position.x, 540.0);
    Draw(QPoint(100, 50), QPoint(100, 60), QPoint(103, 54));
    QCOMPARE(View()->State().Field().count, 2);
    QCOMPARE(View()->State().Field().obstacles[1].x, 190.0);
    QCOMPARE(View()->State().Field().obstacles[1].radius, 5.0);

    // The scroll stops at both ends of the playfield.
    for (int i = 0; i < 40; ++i) QTest::mouseMove(View(), QPoint(895 - i % 2, 200));
    QCOMPARE(View()->State().Lifeboat().m_position.x, 1350.0);
    Draw(QPoint(899, 399), QPoint(899, 399), QPoint(899, 399));
    QCOMPARE(View()->State().Field().obstacles[2].x, 1799.0);
    for (int i = 0; i < 40; ++i) QTest::mouseMove(View(), QPoint(i % 2, 200));
    QCOMPARE(View()->State().Lifeboat().m_position.x, 450.0);
    QCOMPARE(View()->State().Field().count, 3);
  }

  void aPressOnAFullFieldSaysSoAndAddsNothing() {
    Trigger(cmd::CustomLevel);
    for (int i = 0; i < MaxObstacles; ++i) {
      const int x = 40 * i + 20;
      Draw(QPoint(x, 100), QPoint(x, 110), QPoint(x, 110));
    }
    QCOMPARE(View()->State().Field().count, 20);
    QVERIFY(m_log->isEmpty());
    const MeteorField before = View()->State().Field();

    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, QPoint(500, 300));
    QCOMPARE(*m_log, QStringList({U(Tx::FieldFull)}));
    QCOMPARE(View()->State().Field().count, 20);
    // Nor does the drag that follows resize the last meteor.
    QTest::mouseMove(View(), QPoint(600, 350));
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(600, 350));
    for (int i = 0; i < MaxObstacles; ++i) {
      QCOMPARE(View()->State().Field().obstacles[i].x, before.obstacles[i].x);
      QCOMPARE(View()->State().Field().obstacles[i].radius, 10.0);
    }
  }

  void pressesOutsideEditModeDoNothing() {
    const MeteorField level1 = View()->State().Field();
    Draw(QPoint(100, 50), QPoint(200, 50), QPoint(200, 50));
    QCOMPARE(View()->State().Field().count, level1.count);
    QCOMPARE(View()->State().Field().obstacles[level1.count].radius, level1.obstacles[level1.count].radius);
    QTest::mouseMove(View(), QPoint(899, 200));
    QCOMPARE(View()->State().Lifeboat().m_position.x, 20.0);
  }

  // A level load resets the lifeboat to x 20; the window still shows the
  // left end, and presses land under the pointer.
  void aLevelLoadedInEditModeTakesMoreMeteorsUnderThePointer() {
    Trigger(cmd::CustomLevel);
    for (int i = 0; i < 4; ++i) QTest::mouseMove(View(), QPoint(890 + i, 200));
    Trigger(cmd::Level[1]);
    QVERIFY(View()->State().EditMode());
    QCOMPARE(View()->State().Field().count, 7);
    Draw(QPoint(100, 50), QPoint(100, 50), QPoint(100, 70));
    QCOMPARE(View()->State().Field().count, 8);
    QCOMPARE(View()->State().Field().obstacles[7].x, 100.0);
    QCOMPARE(View()->State().Field().obstacles[7].radius, 20.0);
    // Scrolling goes on from the left end.
    QTest::mouseMove(View(), QPoint(890, 200));
    QCOMPARE(View()->State().Lifeboat().m_position.x, 480.0);
  }

  void manualFlightAndRunsEndEditMode() {
    Trigger(cmd::CustomLevel);
    Trigger(cmd::ManualFlight);
    QVERIFY(!View()->State().EditMode());
    QVERIFY(View()->State().ManualFlying());
    // Starting the editor takes the lifeboat over as the camera.
    Trigger(cmd::CustomLevel);
    QVERIFY(View()->State().EditMode());
    QVERIFY(!View()->State().ManualFlying());
    QCOMPARE(View()->State().Lifeboat().m_position.x, 450.0);
  }

  void theEditorShowsNoPerceptionMarks() {
    View()->State().SetShowPerception(true);
    QVERIFY(!PixelsOf(Frame(), Ring).isEmpty());
    Trigger(cmd::CustomLevel);
    Draw(QPoint(300, 200), QPoint(300, 260), QPoint(300, 260));
    QVERIFY(!View()->State().ShowPerception());
    QVERIFY(PixelsOf(Frame(), Ring).isEmpty());
  }

  // After the network's flight the screen keeps its last marks, around the
  // meteors the network saw last.
  void aFinishedNetworkFlightKeepsItsLastMarks() {
    QList<QPoint> atTheEnd;
    View()->SetPresenter(
        std::make_unique<RecordingPresenter>(m_log, [&](const QString&) { atTheEnd = PixelsOf(Frame(), Ring); }));
    View()->Runs().SetPaceScale(0.0);
    Trigger(cmd::TableWeights);
    Trigger(cmd::ShowTraining);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().ReplayActive(), 20000);
    // Level 1 with the weight table ends in a crash.
    QCOMPARE(*m_log, QStringList({U(Tx::Stardust)}));
    QVERIFY(!atTheEnd.isEmpty());
    QCOMPARE(PixelsOf(Frame(), Ring), atTheEnd);
    // A run that does not draw them starts without them.
    SimParams p = GlobalParams().Get();
    p.TrainingGenerations = 1;
    p.NetPopulationSize = 4;
    GlobalParams().Set(p);
    Trigger(cmd::Train);
    QVERIFY(!View()->State().ShowPerception());
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().WorkerActive(), 20000);
    QVERIFY(PixelsOf(Frame(), Ring).isEmpty());
  }

  void editingIsRefusedWhileARunHoldsTheField() {
    SimParams p;
    p.PopulationSize = 40;
    p.MaxGenerations = 5;
    GlobalParams().Set(p);
    View()->Runs().SetSeedSource([] { return 2u; });
    View()->Runs().SetPaceScale(0.0);
    Trigger(cmd::CustomLevel);
    Draw(QPoint(300, 200), QPoint(300, 230), QPoint(300, 230));
    Trigger(cmd::PauseGA);
    Trigger(cmd::StartGA);
    QVERIFY(!View()->State().EditMode());
    QTRY_VERIFY_WITH_TIMEOUT(View()->Runs().WorkerPaused(), 20000);

    m_log->clear();
    Trigger(cmd::CustomLevel);
    QCOMPARE(*m_log, QStringList({U(Tx::EditBusy)}));
    QVERIFY(!View()->State().EditMode());
    QCOMPARE(View()->State().Field().count, 1);
    Draw(QPoint(500, 200), QPoint(520, 200), QPoint(520, 200));
    QCOMPARE(View()->State().Field().count, 1);
    // Saving the field is no business of the run's.
    Trigger(cmd::SaveLevel);
    QCOMPARE(m_log->last(), U(Tx::MapSaved));

    // A level load is a single step the run does not see (it flies its own
    // copy of the field), so it is allowed, like a built-in level.
    Trigger(cmd::UserMap(1));
    QCOMPARE(View()->State().Field().count, 1);
    QVERIFY(!View()->State().RunFrame());
    m_frame->close();
    QVERIFY(!View()->Runs().WorkerActive());
  }

  // --------------------------------------------------------- user maps --

  void savedMapIsListedAndLoadsBackTruncated() {
    Trigger(cmd::CustomLevel);
    Draw(QPoint(100, 50), QPoint(110, 60), QPoint(110, 60));  // radius 14.14
    for (int i = 0; i < 5; ++i) QTest::mouseMove(View(), QPoint(890 + i, 200));
    Draw(QPoint(20, 390), QPoint(23, 394), QPoint(23, 394));  // at playfield x 170
    const MeteorField drawn = View()->State().Field();
    QCOMPARE(drawn.count, 2);
    QCOMPARE(drawn.obstacles[1].x, 170.0);
    QVERIFY(drawn.obstacles[0].radius > 14.1 && drawn.obstacles[0].radius < 14.2);

    Trigger(cmd::SaveLevel);
    const QString saved = U("Obstacle1\n100,50,14,\n170,390,5,");
    QCOMPARE(*m_log, QStringList({saved, U("地图已经保存!")}));
    QCOMPARE(ReadFile(MapFile), QByteArray("Obstacle1\r\n100,50,14,\r\n170,390,5,\r\n"));
    QCOMPARE(UserMapEntries(), QStringList({Entry(1)}));
    // Saving and loading leave the editor on.
    QVERIFY(View()->State().EditMode());

    Trigger(cmd::Level[1]);
    QCOMPARE(View()->State().Field().count, 7);
    korvane::test::ChangeLifeboat(View()->State(), [](CLifeboat& b) { b.m_position = {900, 33}; });
    const int buildsBefore = View()->MeteorLayerBuilds();
    Trigger(cmd::UserMap(1));
    const MeteorField& f = View()->State().Field();
    QCOMPARE(f.count, 2);
    QCOMPARE(f.obstacles[0].x, 100.0);
    QCOMPARE(f.obstacles[0].y, 50.0);
    QCOMPARE(f.obstacles[0].radius, 14.0);
    QCOMPARE(f.obstacles[1].x, 170.0);
    QCOMPARE(f.obstacles[1].y, 390.0);
    QCOMPARE(f.obstacles[1].radius, 5.0);
    QCOMPARE(View()->State().Lifeboat().m_position.x, 20.0);
    QCOMPARE(View()->State().Lifeboat().m_position.y, 200.0);
    QCOMPARE(m_log->size(), 2);
    // The next frame draws the loaded field.
    Frame();
    QVERIFY(View()->MeteorLayerBuilds() > buildsBefore);
  }

  void theSixthSaveIsRefusedAndTheFileKept() {
    Trigger(cmd::CustomLevel);
    for (int n = 1; n <= 5; ++n) {
      Draw(QPoint(50 * n, 100), QPoint(50 * n, 110), QPoint(50 * n, 110));
      Trigger(cmd::SaveLevel);
      QCOMPARE(m_log->last(), U(Tx::MapSaved));
      QVERIFY(m_log->at(m_log->size() - 2).startsWith(QStringLiteral("Obstacle%1\n").arg(n)));
    }
    QCOMPARE(UserMapEntries(), QStringList({Entry(1), Entry(2), Entry(3), Entry(4), Entry(5)}));
    const QByteArray five = ReadFile(MapFile);
    m_log->clear();
    Trigger(cmd::SaveLevel);
    QCOMPARE(*m_log, QStringList({U(Tx::TooManyMaps)}));
    QCOMPARE(ReadFile(MapFile), five);
    QCOMPARE(UserMapEntries().size(), 5);

    // Map 3 is the field as it stood at the third save.
    Trigger(cmd::UserMap(1 + 2));
    QCOMPARE(View()->State().Field().count, 3);
    QCOMPARE(View()->State().Field().obstacles[2].x, 150.0);
  }

  void aRescanNeverListsMapsTwice() {
    WriteFile(MapFile, "Obstacle1\r\n1,2,3,\r\nObstacle2\r\nObstacle3\r\n-40,7,9,\r\n");
    View()->InitialUpdate();
    QCOMPARE(UserMapEntries(), QStringList({Entry(1), Entry(2), Entry(3)}));
    View()->InitialUpdate();
    QCOMPARE(UserMapEntries(), QStringList({Entry(1), Entry(2), Entry(3)}));
    // The introduction is shown each time, the maps once.
    QCOMPARE(*m_log, QStringList({U(Tx::Introduction), U(Tx::Introduction)}));

    // The next save is map 4.
    m_log->clear();
    Trigger(cmd::SaveLevel);
    QVERIFY(m_log->front().startsWith(QStringLiteral("Obstacle4\n")));
    QCOMPARE(UserMapEntries(), QStringList({Entry(1), Entry(2), Entry(3), Entry(4)}));

    // Map 2 is empty; map 3 has a negative x.
    Trigger(cmd::UserMap(1 + 1));
    QCOMPARE(View()->State().Field().count, 0);
    Trigger(cmd::UserMap(1 + 2));
    QCOMPARE(View()->State().Field().count, 1);
    QCOMPARE(View()->State().Field().obstacles[0].x, -40.0);
  }

  void onlyFiveMapsAreListed() {
    QByteArray seven;
    for (int n = 1; n <= 7; ++n) seven += "Obstacle" + QByteArray::number(n) + "\r\n5,5,5,\r\n";
    WriteFile(MapFile, seven);
    View()->InitialUpdate();
    QCOMPARE(UserMapEntries().size(), 5);
    QCOMPARE(UserMapEntries().last(), Entry(5));
  }

  void aMissingOrDamagedMapLeavesTheFieldAndSaysWhy() {
    WriteFile(MapFile, "Obstacle1\r\n10,20,30,\r\nObstacle2\r\n10,20\r\n");
    View()->InitialUpdate();
    QCOMPARE(UserMapEntries().size(), 2);
    const MeteorField level1 = View()->State().Field();
    QCOMPARE(level1.count, 9);
    auto unchanged = [&] {
      QCOMPARE(View()->State().Field().count, 9);
      for (int i = 0; i < 9; ++i) {
        QCOMPARE(View()->State().Field().obstacles[i].x, level1.obstacles[i].x);
        QCOMPARE(View()->State().Field().obstacles[i].radius, level1.obstacles[i].radius);
      }
    };

    m_log->clear();
    korvane::test::ChangeLifeboat(View()->State(), [](CLifeboat& b) { b.m_position = {600, 80}; });
    Trigger(cmd::UserMap(1 + 1));
    unchanged();
    QCOMPARE(m_log->size(), 1);
    QVERIFY2(m_log->front().contains(U("已损坏")) && m_log->front().contains(U("关卡没有改变")),
             qPrintable(m_log->front()));
    // The lifeboat goes back to the start all the same.
    QCOMPARE(View()->State().Lifeboat().m_position.x, 20.0);

    // The file lost its second map after the menu was filled.
    WriteFile(MapFile, "Obstacle1\r\n10,20,30,\r\n");
    m_log->clear();
    Trigger(cmd::UserMap(1 + 1));
    unchanged();
    QCOMPARE(*m_log, QStringList({U("文件ObstacleMap.txt中没有第2幅地图，关卡没有改变。")}));

    QVERIFY(QFile::remove(MapFile));
    m_log->clear();
    Trigger(cmd::UserMap(1));
    unchanged();
    QCOMPARE(*m_log, QStringList({U("无法打开文件ObstacleMap.txt，关卡没有改变。")}));
  }

  void aSaveThatCannotOpenTheFileSaysSo() {
    // A directory in the file's place cannot be opened for writing.
    QVERIFY(QDir().mkdir(MapFile));
    Trigger(cmd::SaveLevel);
    QCOMPARE(*m_log, QStringList({U("打开文件出错!!!")}));
    QVERIFY(UserMapEntries().isEmpty());
    QVERIFY(QDir().rmdir(MapFile));
  }

  // ---------------------------------------------------------- settings --

  void settingsOkStoresAndCancelDoesNot() {
    RunSettings([&](CPropSheet& s) {
      s.Edit(0, 1003)->setText(QStringLiteral("4"));
      s.Tabs()->setCurrentIndex(1);
      s.Edit(1, 1013)->setText(QStringLiteral("3"));
      Button(s, QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(GlobalParams().Get().LifeboatSize, 4.0);
    QCOMPARE(GlobalParams().Get().NetInputCount, 10);
    QVERIFY(m_log->isEmpty());

    RunSettings([&](CPropSheet& s) {
      // The sheet opens on what is in force.
      QCOMPARE(s.Edit(0, 1003)->text(), QStringLiteral("4"));
      s.Edit(0, 1000)->setText(QStringLiteral("9"));
      Button(s, QDialogButtonBox::Cancel)->click();
    });
    QCOMPARE(GlobalParams().Get().Gravity, 2.0);
    QCOMPARE(GlobalParams().Get().LifeboatSize, 4.0);

    // A refusal is shown through the view's messages and writes nothing.
    RunSettings([&](CPropSheet& s) {
      s.Edit(0, 1000)->setText(QStringLiteral("abc"));
      Button(s, QDialogButtonBox::Ok)->click();
      QVERIFY(s.isVisible());
    });
    QCOMPARE(*m_log, QStringList({U("请键入一个数。")}));
    QCOMPARE(GlobalParams().Get().Gravity, 2.0);
  }

  void displaySwitchesAndSizeShowAtTheNextFrame() {
    const QRect indicator(620, 140, 110, 120);
    const QRgb dotted = qRgb(255, 255, 0);
    QVERIFY(CountColour(Frame(), dotted, indicator) > 50);

    RunSettings([&](CPropSheet& s) {
      s.Tabs()->setCurrentIndex(2);
      s.Check(2, 1001)->setChecked(true);
      s.Edit(0, 1003)->setText(QStringLiteral("5"));
      Button(s, QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(GlobalParams().Get().HideThrustMarker, 1);
    QCOMPARE(GlobalParams().Get().LifeboatSize, 5.0);
    const QImage hidden = Frame();
    QCOMPARE(CountColour(hidden, dotted, indicator), 0);

    // The sprite is 12 × size pixels at once: a 60-pixel picture around
    // (20, 200) now reaches x 49, which the 30-pixel one did not.
    GlobalParams().Set(SimParams{});
    const QImage small = Frame();
    QVERIFY(ChangedInDisc(small, hidden, QPoint(44, 200), 3) > 0.5);
    QVERIFY(CountColour(small, dotted, indicator) > 50);
  }
};

QTEST_MAIN(LevelsAndSettingsTest)
#include "test_levels_and_settings.moc"
