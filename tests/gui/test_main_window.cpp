// The main window: menu tree, toolbar, shortcut, sizes, about and intro.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "app/command_ids.h"
#include "app/korvane_view.h"
#include "app/main_frame.h"
#include "files/weights_file.h"
#include "gui_test_support.h"
#include "texts/text_table.h"
#include "texts/version.h"
#include "ui_model/breeding_panel.h"
#include "ui_model/classroom_strip.h"
#include "ui_model/settings_store.h"

using namespace korvane;
using korvane::test::RecordingPresenter;
using korvane::test::U;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CMainFrame> m_frame;
  std::shared_ptr<QStringList> m_log;

  CKorvaneView* View() { return m_frame->View(); }

 private slots:
  void init() {
    GlobalParams().Set(SimParams{});
    m_log = std::make_shared<QStringList>();
    m_frame = std::make_unique<CMainFrame>();
    View()->SetPresenter(std::make_unique<RecordingPresenter>(m_log));
  }
  void cleanup() { m_frame.reset(); }

  void menuBarHasTheEntriesInOrder() {
    const QList<QAction*> bar = m_frame->menuBar()->actions();
    const QStringList expected = {U("不，我不相信人工智能! "),
                                  U("遗传算法"),
                                  U("人工神经网络 "),
                                  U("启发式遗传算法"),
                                  U("自定关卡"),
                                  U("储存自定的关卡"),
                                  U("读取关卡"),
                                  U("参数设置"),
                                  U("说明"),
                                  U("运行控制")};  // the menu that steers the runs, last
    QCOMPARE(bar.size(), expected.size());
    for (int i = 0; i < bar.size(); ++i) QCOMPARE(bar[i]->text(), expected[i]);
    // Commands straight on the bar, popups elsewhere.
    const QList<int> commands = {0, 4, 5, 7};
    for (int i = 0; i < bar.size(); ++i) QCOMPARE(bar[i]->menu() == nullptr, commands.contains(i));
    QCOMPARE(bar[0]->objectName(), CommandName(cmd::ManualFlight));
    QCOMPARE(bar[4]->objectName(), CommandName(cmd::CustomLevel));
    QCOMPARE(bar[5]->objectName(), CommandName(cmd::SaveLevel));
    QCOMPARE(bar[7]->objectName(), CommandName(cmd::Settings));
  }

  void popupsHaveTheirItemsAndIds() {
    const QList<QAction*> bar = m_frame->menuBar()->actions();
    auto items = [](QAction* entry) {
      QStringList out;
      for (QAction* a : entry->menu()->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text() + QLatin1Char('#') + a->objectName());
      return out;
    };
    auto item = [](const char* t, int id) { return U(t) + QLatin1Char('#') + CommandName(id); };
    QCOMPARE(items(bar[1]), QStringList({item("开始遗传算法", 32774), item("演示遗传算法过程", 32775),
                                         item("演示结果", 32772), item("暂停遗传算法", 1012)}));
    // The three entries, then those that keep weights.
    QCOMPARE(
        items(bar[2]),
        QStringList({item("训练网络", 1003), item("演示训练结果", 1005), item("暂停训练", 1007), QStringLiteral("-"),
                     item("载入权重文件…", cmd::LoadWeights), item("保存当前权重…", cmd::SaveWeights),
                     item("使用内置训练权重", cmd::BuiltinWeights), item("使用原始权重表", cmd::TableWeights)}));
    QCOMPARE(items(bar[3]), QStringList({item("开始启发式遗传算法", 1008), item("演示结果", 32772),
                                         item("暂停启发式遗传算法", 1013)}));
    QCOMPARE(items(bar[6]), QStringList({item("默认关卡1", 32778), item("默认关卡2", 32779), item("默认关卡3", 32771),
                                         item("默认关卡4", 1006), QStringLiteral("-")}));
    QCOMPARE(items(bar[8]), QStringList({item("关于 Korvane(&A)...", 57664)}));
    // Both searches list the very same replay command.
    QCOMPARE(bar[1]->menu()->actions()[2], bar[3]->menu()->actions()[1]);
    // The user maps are appended to the popup at bar index 6.
    QCOMPARE(m_frame->LoadLevelMenu(), bar[6]->menu());
  }

  void toolbarFollowsTheResourceOrder() {
    QToolBar* tb = m_frame->ToolBar();
    QVERIFY(!tb->isMovable());
    QCOMPARE(tb->iconSize(), QSize(24, 17));
    struct Button {
      int id;
      const char* tip;
    };
    // 0 stands for a separator.
    const std::vector<Button> expected = {{32773, "亲自控制飞船"},
                                          {0, nullptr},
                                          {32772, "演示启发式遗传算法的结果"},
                                          {1005, "演示训练好的神经网络"},
                                          {32772, "演示启发式遗传算法的结果"},
                                          {0, nullptr},
                                          {1001, "参数设置"},
                                          {0, nullptr},
                                          {57664, "软件说明"}};
    const QList<QAction*> acts = tb->actions();
    // Then a separator, and start a search, start training, stop, and the
    // watch speed.
    QCOMPARE(acts.size(), static_cast<qsizetype>(expected.size() + 5));
    QVERIFY(acts[9]->isSeparator());
    QCOMPARE(acts[10]->toolTip(), U("开始遗传算法"));
    QCOMPARE(acts[11]->toolTip(), U("训练网络"));
    QCOMPARE(acts[12]->toolTip(), U("停止"));
    QVERIFY(tb->widgetForAction(acts[13]) == m_frame->findChild<QWidget*>(QStringLiteral("speedChoice")));
    QList<QImage> icons;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      QAction* a = acts[static_cast<int>(i)];
      if (expected[i].id == 0) {
        QVERIFY(a->isSeparator());
        continue;
      }
      QVERIFY(a->objectName().startsWith(QStringLiteral("tool%1_").arg(expected[i].id)));
      QCOMPARE(a->toolTip(), U(expected[i].tip));
      icons << a->icon().pixmap(QSize(24, 17)).toImage();
    }
    // Six different pictures cut from the strip.
    for (int i = 0; i < icons.size(); ++i)
      for (int j = i + 1; j < icons.size(); ++j)
        QVERIFY2(icons[i] != icons[j], qPrintable(QString("%1 %2").arg(i).arg(j)));
  }

  void toolbarButtonsReachTheCommands() {
    // The GA button and the HGA button both run the replay command.
    for (const char* name : {"tool32772_1", "tool32772_3"}) {
      m_log->clear();
      QAction* a = nullptr;
      for (QAction* x : m_frame->ToolBar()->actions())
        if (x->objectName() == QLatin1String(name)) a = x;
      QVERIFY(a);
      a->trigger();
      QCOMPARE(*m_log, QStringList({U("请先进行遗传算法!")}));
    }
  }

  void titleAndSizes() {
    QCOMPARE(m_frame->windowTitle(), U(Tx::MainTitle));
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    QCOMPARE(View()->size(), QSize(900, 400));
    QCOMPARE(m_frame->ToolBar()->height(), 25);
    // The toolbar sits right above the view, the menu bar above both.
    const QRect view(View()->mapTo(m_frame.get(), QPoint(0, 0)), View()->size());
    QCOMPARE(m_frame->ToolBar()->geometry().bottom() + 1, view.top());
    // Below the view only the status bar, which names the weights in force.
    QCOMPARE(view.bottom() + 1, m_frame->statusBar()->geometry().top());
    QCOMPARE(m_frame->statusBar()->geometry().bottom() + 1, m_frame->height());
    QCOMPARE(m_frame->width(), 900);
    // The network panel widens the window and leaves the field whole.
    m_frame->Command(cmd::ShowNetwork)->trigger();
    QTRY_COMPARE(m_frame->width(), 1200);
    QCOMPARE(View()->size(), QSize(900, 400));
    QCOMPARE(View()->mapTo(m_frame.get(), QPoint(0, 0)), view.topLeft());
    m_frame->Command(cmd::ShowNetwork)->trigger();
    QTRY_COMPARE(m_frame->width(), 900);
    // The classroom layout puts the strip beside the field, and the breeding
    // (under 单步 only) below it; the field stays whole and where it was, and
    // switched off every part is back where it was.
    const QRect frameBefore = m_frame->geometry(), statusBefore = m_frame->statusBar()->geometry();
    auto* strip = m_frame->findChild<QWidget*>(QStringLiteral("classroomStrip"));
    auto* breeding = m_frame->findChild<QWidget*>(QStringLiteral("breedingPanel"));
    QVERIFY(!m_frame->Command(cmd::ShowBreeding)->isEnabled());
    m_frame->Command(cmd::Classroom)->trigger();
    m_frame->Command(cmd::PaceStep)->trigger();
    QVERIFY(m_frame->Command(cmd::ShowBreeding)->isEnabled());
    m_frame->Command(cmd::ShowBreeding)->trigger();
    QTRY_COMPARE(m_frame->width(), 900 + ClassroomStripWidth);
    QTRY_COMPARE(m_frame->height(), frameBefore.height() + BreedingPanelHeight);
    QCOMPARE(View()->size(), QSize(900, 400));
    QCOMPARE(View()->mapTo(m_frame.get(), QPoint(0, 0)), view.topLeft());
    QCOMPARE(strip->mapTo(m_frame.get(), QPoint(0, 0)), view.topRight() + QPoint(1, 0));
    QCOMPARE(breeding->mapTo(m_frame.get(), QPoint(0, 0)), view.bottomLeft() + QPoint(0, 1));
    const SceneInput field = View()->State().Scene(GlobalParams().Get(), View()->Runs().CurrentShowing());
    QVERIFY(!field.chart && !field.planChart && !field.planPanel);
    for (int id : {cmd::ShowBreeding, cmd::PaceFastest, cmd::Classroom}) m_frame->Command(id)->trigger();
    QVERIFY(!m_frame->Command(cmd::ShowBreeding)->isEnabled());
    QTRY_COMPARE(m_frame->width(), 900);
    QTRY_COMPARE(m_frame->height(), frameBefore.height());
    QVERIFY(!strip->isVisible() && !breeding->isVisible());
    QCOMPARE(View()->mapTo(m_frame.get(), QPoint(0, 0)), view.topLeft());
    QCOMPARE(m_frame->statusBar()->geometry(), statusBefore);
  }

  void ctrlAStartsAManualFlightLikeTheMenu() {
    QCOMPARE(m_frame->Command(cmd::ManualFlight)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    QTest::keyClick(m_frame.get(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(*m_log, QStringList({U(Tx::ManualStart)}));
    QVERIFY(View()->State().ManualFlying());
  }

  // Esc stops what runs, as 停止 does.
  void escapeStopsTheRun() {
    QCOMPARE(m_frame->Command(cmd::Stop)->shortcut(), QKeySequence(Qt::Key_Escape));
    View()->Runs().SetPaceScale(1.0);
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    m_frame->Command(cmd::ShowTraining)->trigger();
    QVERIFY(View()->Runs().ReplayActive());
    QTest::keyClick(m_frame.get(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->Runs().ReplayActive(), 5000);
    QVERIFY(m_log->isEmpty());
  }

  void introductionIsShownAtTheFirstUpdate() {
    View()->InitialUpdate();
    QCOMPARE(*m_log, QStringList({U(Tx::Introduction)}));
    QVERIFY(m_log->front().startsWith(QStringLiteral("     主舰失事")));
  }

  void aboutBoxHasItsTexts() {
    QString title, version, description, build, button;
    QTimer::singleShot(0, this, [&] {
      QWidget* w = QApplication::activeModalWidget();
      QVERIFY(w);
      title = w->windowTitle();
      version = w->findChild<QLabel*>(QStringLiteral("version"))->text();
      description = w->findChild<QLabel*>(QStringLiteral("description"))->text();
      build = w->findChild<QLabel*>(QStringLiteral("build"))->text();
      QPushButton* ok = w->findChild<QPushButton*>();
      button = ok->text();
      ok->click();
    });
    m_frame->Command(cmd::About)->trigger();
    QCOMPARE(title, U("关于 Korvane"));
    QCOMPARE(version, U("Korvane 1.0 版"));
    QCOMPARE(button, U("确定"));
    QVERIFY(description.startsWith(U("简要说明：")));
    QCOMPARE(build, U("程序版本 ") + QString::fromLatin1(korvane::kVersion) + U("，MIT 许可证"));
  }

  void levelCommandsLoadTheBuiltInLevels() {
    const int counts[4] = {9, 7, 15, 4};
    for (int n = 0; n < 4; ++n) {
      korvane::test::ChangeLifeboat(View()->State(), [](CLifeboat& b) { b.m_position = {700, 33}; });
      m_frame->Command(cmd::Level[n])->trigger();
      QCOMPARE(View()->State().Field().count, counts[n]);
      QCOMPARE(View()->State().Lifeboat().m_position.x, 20.0);
      QCOMPARE(View()->State().Lifeboat().m_position.y, 200.0);
    }
    QCOMPARE(View()->State().Field().obstacles[0].radius, 158.0);  // level 4's first meteor
  }

  // The weights in force: switched, loaded from a block of a file, refused
  // while a run holds, and named in the status bar throughout.
  void weightsAreChosenAndNamedInTheStatusBar() {
    QLabel* status = m_frame->findChild<QLabel*>(QStringLiteral("weightsStatus"));
    QVERIFY(status);
    QVERIFY(status->text().startsWith(U("当前权重：内置训练网络")));
    m_frame->Command(cmd::TableWeights)->trigger();
    QCOMPARE(status->text(), U("当前权重：原始权重表"));
    QCOMPARE(View()->Runs().Results().Weights()[0], 1.787476);

    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("mine.txt")).toStdString();
    const std::string block = FormatWeightsText(BuiltinWeights());
    QFile f(QString::fromStdString(file));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(block + block.substr(0, 100)));
    f.close();
    QVERIFY(!View()->Runs().LoadWeights(file, std::nullopt));  // the last block is cut off
    QVERIFY(m_log->back().contains(U("第2组权值已损坏")));
    QCOMPARE(status->text(), U("当前权重：原始权重表"));
    QVERIFY(View()->Runs().LoadWeights(file, 1));
    QCOMPARE(status->text(), U("当前权重：文件 mine.txt 第1组"));

    // Saving appends the weights in force as training does.
    View()->Runs().SaveWeights(dir.filePath(QStringLiteral("kept.txt")).toStdString());
    QCOMPARE(m_log->back(), U(Tx::WeightsSaved));

    m_frame->Command(cmd::PauseGA)->trigger();
    m_frame->Command(cmd::StartGA)->trigger();
    m_log->clear();
    m_frame->Command(cmd::BuiltinWeights)->trigger();
    QCOMPARE(*m_log, QStringList({U(Tx::BusyComputing)}));
    QCOMPARE(status->text(), U("当前权重：文件 mine.txt 第1组"));
    m_frame->close();
    m_frame->Command(cmd::BuiltinWeights)->trigger();
    QVERIFY(status->text().startsWith(U("当前权重：内置训练网络")));
  }

  void pauseEntriesToggleTheirTexts() {
    struct Case {
      int id;
      const char* pause;
      const char* resume;
    };
    for (const Case& c : {Case{1012, "暂停遗传算法", "继续遗传算法"}, Case{1007, "暂停训练", "继续训练"},
                          Case{1013, "暂停启发式遗传算法", "继续启发式遗传算法"}}) {
      QAction* a = m_frame->Command(c.id);
      QCOMPARE(a->text(), U(c.pause));
      a->trigger();
      QCOMPARE(a->text(), U(c.resume));
      a->trigger();
      QCOMPARE(a->text(), U(c.pause));
    }
    // Each entry has its own flag.
    m_frame->Command(1012)->trigger();
    QCOMPARE(m_frame->Command(1007)->text(), U("暂停训练"));
    QCOMPARE(m_frame->Command(1013)->text(), U("暂停启发式遗传算法"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
