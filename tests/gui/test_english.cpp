// The window in English: the built-in translation carries every window text,
// and the texts drawn into fixed boxes fit them.
#include <QFontMetrics>
#include <QSettings>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include "app/scene_renderer.h"
#include "app/ui_language.h"
#include "engine/pilot_results.h"
#include "texts/text_table.h"
#include "ui_model/classroom_strip.h"
#include "ui_model/network_hover.h"
#include "ui_model/score_panel.h"
#include "ui_model/see_inside.h"
#include "ui_model/seed_book.h"
#include "ui_model/weights_choice.h"

namespace korvane {

class EnglishTest : public QObject {
  Q_OBJECT

 private slots:
  void languageFollowsTheFirstEnglishOrChinese() {
    QCOMPARE(LanguageOf({QStringLiteral("de-DE"), QStringLiteral("en-GB"), QStringLiteral("zh-CN")}), text::Lang::En);
    QCOMPARE(LanguageOf({QStringLiteral("zh-Hans-CN"), QStringLiteral("en-US")}), text::Lang::Zh);
    QCOMPARE(LanguageOf({QStringLiteral("fr-FR")}), text::Lang::Zh);
    QCOMPARE(LanguageOf({}), text::Lang::Zh);
    // A choice kept from the menu comes first (settings in a scratch folder).
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QCoreApplication::setOrganizationName(QStringLiteral("KorvaneTest"));
    for (const text::Lang lang : {text::Lang::En, text::Lang::Zh}) {
      QSettings().setValue(QStringLiteral("language"), lang == text::Lang::En ? "en" : "zh");
      QCOMPARE(ChosenLanguage(), lang);
    }
  }

  void theTranslationCarriesEveryWindowText() {
    QTranslator qm;
    QVERIFY(qm.load(QStringLiteral(":/i18n/korvane_en.qm")));
    for (const text::Entry& e : text::Table()) {
      if (e.cliOnly) continue;
      const std::string zh(e.zh), id(e.id);
      QCOMPARE(qm.translate("korvane", zh.c_str(), id.c_str()).toStdString(), std::string(e.en));
    }
  }

  void textsInFixedBoxesFitInEnglish() {
    UseLanguage(text::Lang::En);
    QCOMPARE(text::Ui(Tx::PanelBest), std::string_view("Best score: "));
    const QFontMetrics fm(SceneRenderer::PanelFont());
    QStringList tooWide;
    auto fit = [&](const TextLine& l, int limit, const QFontMetrics* m = nullptr) {
      const int end = l.x + (m ? *m : fm).horizontalAdvance(QString::fromStdString(l.text));
      if (end > limit)
        tooWide << QStringLiteral("%1 ends at %2 > %3").arg(QString::fromStdString(l.text)).arg(end).arg(limit);
    };
    const double big = 12345678.123456;

    // The plan search's panel stands left of its charts; labels end inside the view.
    const ChartData chart{};
    const ChartGeometry plan = PlanChart(chart);
    int chartLeft = ViewWidth;
    for (const Segment& s : plan.segments) chartLeft = std::min(chartLeft, std::min(s.x1, s.x2));
    for (const TextLine& l : PlanPanelLines(99999, big, big, big, big, big)) fit(l, chartLeft - 1);
    for (const TextLine& l : plan.lines) fit(l, ViewWidth);
    const std::vector<double> h{1, 2};
    const ChartGeometry weights = WeightChart(99999, h, h, big, big, false);
    for (const TextLine& l : weights.lines) fit(l, ViewWidth);

    // The network panel: inputs left of the first column, outputs inside the panel.
    NetworkView view;
    view.layers = {std::vector<double>(4 + 2 * 9, 0.5), std::vector<double>(6, 0.5), std::vector<double>(5, 0.5)};
    view.weights = std::make_shared<std::vector<double>>((23 * 6) + (7 * 5), 0.1);
    const NetworkPanel panel = NetworkPanelGeometry(view);
    const int firstColumn = panel.neurons.front().x - panel.neurons.front().r;
    for (const TextLine& l : panel.labels) fit(l, l.x < firstColumn ? firstColumn : NetworkPanelWidth);

    // The classroom strip (plans escaped, and training) and the network panel's key: each text
    // within its panel, in the size it is drawn in.
    auto fitShapes = [&](const Shapes& shapes, int limit) {
      for (const Shapes::Text& t : shapes.texts) {
        QFont f = SceneRenderer::PanelFont();
        f.setPixelSize(t.px);
        const QFontMetrics m(f);
        fit({t.x, t.y, t.text}, limit, &m);
      }
    };
    ChartData history;
    history.bestHistory = {big, big};
    history.averageHistory = {big, big};
    history.diversityHistory = {0.5, 0.5};
    history.escaped = true;
    const PlanPanelData numbers{99999, big, big, big, big, big};
    for (const bool training : {false, true})
      fitShapes(ClassroomStrip({RunKind::GA, &numbers, &history, training}), ClassroomStripWidth);
    fitShapes(NetworkLegend(NetworkPanelWidth, 0), NetworkPanelWidth);

    // The status bar's fields beside each other within the window's width.
    SeedBook seeds([] { return 4294967295u; });
    seeds.Take(RunKind::GA);
    seeds.SetNext(4294967295u);
    WeightsSource source;
    source.kind = WeightsSource::Kind::TrainingStopped;
    source.generation = 99999;
    source.fitness = big;
    const QFontMetrics status(QApplication::font());
    fit({0, 0, SeedStatusText(seeds) + "   " + WeightsStatusText(source)}, ViewWidth, &status);
    QVERIFY2(tooWide.isEmpty(), qPrintable(tooWide.join(QStringLiteral("; "))));
  }
};

}  // namespace korvane

QTEST_MAIN(korvane::EnglishTest)
#include "test_english.moc"
