// The settings sheet: tabs, texts, reading back, refusals and which pages
// are written.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "app/settings_sheet.h"
#include "gui_test_support.h"

using namespace korvane;
using korvane::test::RecordingPresenter;
using korvane::test::U;

class SettingsSheetTest : public QObject {
  Q_OBJECT

 private:
  std::shared_ptr<QStringList> m_log;
  std::unique_ptr<RecordingPresenter> m_presenter;

  std::unique_ptr<CPropSheet> Open(const SimParams& p = SimParams{}) {
    auto sheet = std::make_unique<CPropSheet>(p, m_presenter.get());
    sheet->show();
    return sheet;
  }
  static void Type(QLineEdit* edit, const char* text) {
    QVERIFY(edit);
    edit->setText(U(text));
  }
  static QPushButton* Ok(CPropSheet& sheet) {
    return sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
  }

 private slots:
  void init() {
    m_log = std::make_shared<QStringList>();
    m_presenter = std::make_unique<RecordingPresenter>(m_log);
  }

  void showsTitlesGroupsAndDefaults() {
    auto sheet = Open();
    QCOMPARE(sheet->windowTitle(), U("参数设置"));
    QCOMPARE(sheet->Tabs()->count(), 3);
    QCOMPARE(sheet->Tabs()->tabText(0), U("物理环境，遗传算法相关参数"));
    QCOMPARE(sheet->Tabs()->tabText(1), U("神经网络相关参数设置"));
    QCOMPARE(sheet->Tabs()->tabText(2), U("其他参数"));
    QCOMPARE(sheet->Tabs()->currentIndex(), 0);

    QCOMPARE(sheet->Edit(0, 1003)->text(), U("2.5"));
    QCOMPARE(sheet->Edit(0, 1002)->text(), U("0.04"));
    QCOMPARE(sheet->Edit(0, 1004)->text(), U("30"));
    QCOMPARE(sheet->Edit(0, 1020)->text(), U("0.1"));
    QCOMPARE(sheet->Edit(0, 1005)->text(), U("500"));
    QCOMPARE(sheet->Edit(1, 1013)->text(), U("1"));
    QCOMPARE(sheet->Edit(2, 1000)->text(), U("20"));
    QVERIFY(!sheet->Check(2, 1002)->isChecked());
    QCOMPARE(sheet->Check(2, 1002)->text(), U("不显示神经网络\"看到\"到的星球"));

    QStringList groups;
    for (QGroupBox* g : sheet->Tabs()->widget(1)->findChildren<QGroupBox*>()) groups << g->title();
    QCOMPARE(groups, QStringList({U("神经网络相关设置："), U("遗传算法训练网络相关参数："), U("总体参数："),
                                  U("初始化参数："), U("基因变异相关参数："), U("基因交换相关参数：")}));
    // Each label stands beside its own field.
    auto labelOf = [&](QWidget* field) {
      for (QFormLayout* form : sheet->findChildren<QFormLayout*>())
        if (auto* label = qobject_cast<QLabel*>(form->labelForField(field))) return label->text();
      return QString();
    };
    QCOMPARE(labelOf(sheet->Edit(0, 1000)), U("地心引力："));
    QCOMPARE(labelOf(sheet->Edit(0, 1020)), U("时间重要性:"));
    QCOMPARE(labelOf(sheet->Edit(1, 1019)), U("发生基因交换概率："));
    QCOMPARE(labelOf(sheet->Edit(2, 1003)), U("纵坐标:"));
  }

  void okWritesTheShownPagesOnly() {
    SimParams p;
    auto sheet = Open(p);
    sheet->Tabs()->setCurrentIndex(1);
    Type(sheet->Edit(1, 1013), "3");
    sheet->Tabs()->setCurrentIndex(0);
    Type(sheet->Edit(0, 1000), "9.5");
    // Typed into page 3 without ever showing it: not read.
    Type(sheet->Edit(2, 1000), "77");
    sheet->Check(2, 1001)->setChecked(true);
    Ok(*sheet)->click();
    QCOMPARE(sheet->result(), int(QDialog::Accepted));
    QVERIFY(m_log->isEmpty());
    QCOMPARE(sheet->Result().NetInputCount, 10);
    QCOMPARE(sheet->Result().Gravity, 9.5);
    QCOMPARE(sheet->Result().StartX, 20);
    QCOMPARE(sheet->Result().HideThrustMarker, 0);

    auto again = Open(sheet->Result());
    QCOMPARE(again->Edit(1, 1013)->text(), U("3"));
    QCOMPARE(again->Edit(0, 1000)->text(), U("9.5"));
  }

  void cancelAndEscapeWriteNothing() {
    SimParams p;
    auto sheet = Open(p);
    sheet->Tabs()->setCurrentIndex(2);
    Type(sheet->Edit(2, 1003), "123");
    sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    QCOMPARE(sheet->result(), int(QDialog::Rejected));

    // The real entry point: Escape closes it and leaves the settings alone.
    QTimer::singleShot(0, [] {
      QWidget* w = QApplication::activeModalWidget();
      if (auto* s = qobject_cast<CPropSheet*>(w)) {
        s->Edit(0, 1000)->setText(QStringLiteral("4"));
        QTest::keyClick(s, Qt::Key_Escape);
      }
    });
    QVERIFY(!EditSettings(nullptr, p, m_presenter.get()));
    QCOMPARE(p.Gravity, 2.0);
    QCOMPARE(p.StartY, 200);

    QTimer::singleShot(0, [] {
      if (auto* s = qobject_cast<CPropSheet*>(QApplication::activeModalWidget())) {
        s->Edit(0, 1000)->setText(QStringLiteral("4"));
        s->accept();
      }
    });
    QVERIFY(EditSettings(nullptr, p, m_presenter.get()));
    QCOMPARE(p.Gravity, 4.0);
  }

  void badTextKeepsTheSheetOpenWithTheFieldSelected() {
    auto sheet = Open();
    Type(sheet->Edit(0, 1000), "abc");
    Ok(*sheet)->click();
    QCOMPARE(*m_log, QStringList({U("请键入一个数。")}));
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->result(), int(QDialog::Rejected));
    QCOMPARE(sheet->focusWidget(), sheet->Edit(0, 1000));
    QCOMPARE(sheet->Edit(0, 1000)->selectedText(), U("abc"));

    Type(sheet->Edit(0, 1000), "2");
    Type(sheet->Edit(0, 1005), " 7 ");
    // 7 - 4 elites leaves one child without a pair.
    Ok(*sheet)->click();
    QCOMPARE(m_log->last(), U("人口数目减去精英数目必须是偶数。"));
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->focusWidget(), sheet->Edit(0, 1005));

    Type(sheet->Edit(0, 1014), "3");
    Ok(*sheet)->click();
    QCOMPARE(m_log->size(), 2);
    QCOMPARE(sheet->result(), int(QDialog::Accepted));
    QCOMPARE(sheet->Result().PopulationSize, 7);
  }

  void aBadPageCannotBeLeft() {
    auto sheet = Open();
    Type(sheet->Edit(0, 1006), "12.5");
    sheet->Tabs()->setCurrentIndex(2);
    QCOMPARE(*m_log, QStringList({U("请键入一个整数。")}));
    QCOMPARE(sheet->Tabs()->currentIndex(), 0);
    QVERIFY(!sheet->PageShown(2));
    QCOMPARE(sheet->focusWidget(), sheet->Edit(0, 1006));
    Type(sheet->Edit(0, 1006), "12");
    sheet->Tabs()->setCurrentIndex(2);
    QCOMPARE(sheet->Tabs()->currentIndex(), 2);
    QVERIFY(sheet->PageShown(2));
  }

  void valuesOutsideTheLimitsAreRefused() {
    auto sheet = Open();
    sheet->Tabs()->setCurrentIndex(1);
    Type(sheet->Edit(1, 1013), "50");
    Ok(*sheet)->click();
    QCOMPARE(*m_log, QStringList({U("“感知星球数目”的值必须在 0 到 10 之间。")}));
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->focusWidget(), sheet->Edit(1, 1013));

    // Leaving a page with a value out of its limits is refused as well.
    Type(sheet->Edit(1, 1013), "2");
    sheet->Tabs()->setCurrentIndex(0);
    Type(sheet->Edit(0, 1005), "0");
    sheet->Tabs()->setCurrentIndex(1);
    QCOMPARE(m_log->last(), U("“人口数目”的值必须在 1 到 100000 之间。"));
    QCOMPARE(sheet->Tabs()->currentIndex(), 0);
    Type(sheet->Edit(0, 1005), "10");
    Type(sheet->Edit(0, 1014), "-5");
    Ok(*sheet)->click();
    QCOMPARE(m_log->last(), U("“精英数目”的值必须在 0 到 10（人口数目）之间。"));
    QCOMPARE(sheet->result(), int(QDialog::Rejected));
  }
};

QTEST_MAIN(SettingsSheetTest)
#include "test_settings_sheet.moc"
