#include "plots/plots.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "plots/chart.h"
#include "texts/study_texts.h"

namespace korvane::plots {
namespace {

QString Q(Tx id) {
  const std::string_view s = text::En(id);
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The cells as groups (a field and its settings: the x axis's categories or
// the panels) and series (the methods), each in the order the report gives
// them. Where every group varies the same settings, a group's label holds
// only their values and `names` says which they are.
struct Model {
  QStringList groups;
  QStringList series;
  QString names;
  std::vector<std::vector<const study::Cell*>> at;  // [group][series], null where none
};

// "A=1 B=2" as its names and its values.
std::pair<QStringList, QStringList> SplitSettings(const std::string& settings) {
  QStringList names, values;
  for (const QString& item : QString::fromStdString(settings).split(' ', Qt::SkipEmptyParts)) {
    names << item.section('=', 0, 0);
    values << item.section('=', 1);
  }
  return {names, values};
}

Model MakeModel(const study::Report& r) {
  Model m;
  std::vector<std::string> keys;  // field and settings of each group
  bool sameNames = true;
  std::optional<QStringList> firstNames;
  for (const study::Cell& c : r.cells) {
    const QString method = QString::fromStdString(c.method);
    if (!m.series.contains(method)) m.series.push_back(method);
    const std::string key = c.field + "|" + c.settings;
    if (std::find(keys.begin(), keys.end(), key) != keys.end()) continue;
    keys.push_back(key);
    const QStringList names = SplitSettings(c.settings).first;
    if (!firstNames) firstNames = names;
    sameNames = sameNames && names == *firstNames;
  }
  const bool compact = sameNames && firstNames && !firstNames->isEmpty();
  if (compact) m.names = firstNames->join(" / ");
  m.at.assign(keys.size(), std::vector<const study::Cell*>(m.series.size(), nullptr));
  for (const study::Cell& c : r.cells) {
    const auto group = std::find(keys.begin(), keys.end(), c.field + "|" + c.settings) - keys.begin();
    if (group == m.groups.size()) {
      const QString values =
          compact ? SplitSettings(c.settings).second.join(" / ") : QString::fromStdString(c.settings);
      m.groups << QString::fromStdString(c.field) + (values.isEmpty() ? "" : "\n" + values);
    }
    m.at[group][m.series.indexOf(QString::fromStdString(c.method))] = &c;
  }
  return m;
}

constexpr int kLegendWidth = 300;
constexpr int kLeft = 80;
constexpr int kTop = 56;

// A category wide enough for its label and its series.
int CategoryWidth(const Model& m) {
  const QFontMetrics fm{QFont()};
  int widest = 0;
  for (const QString& g : m.groups)
    for (const QString& line : g.split('\n')) widest = std::max(widest, fm.horizontalAdvance(line));
  return std::max({widest + 16, static_cast<int>(m.series.size()) * 24 + 24, 120});
}

QSize CategorySize(const Model& m) {
  const int plot = std::max(620, static_cast<int>(m.groups.size()) * CategoryWidth(m));
  return {kLeft + plot + 20 + kLegendWidth, 520};
}

QRectF PlotArea(QSize size) {
  return QRectF(kLeft, kTop, size.width() - kLeft - 20 - kLegendWidth, size.height() - kTop - 84);
}

void DrawKey(QPainter& p, QSize size, const Model& m, double top) {
  DrawLegend(p, QPointF(size.width() - kLegendWidth + 10, top), m.series);
  if (m.names.isEmpty()) return;
  const QFontMetricsF fm(p.font());
  p.setPen(Qt::black);
  p.drawText(QRectF(size.width() - kLegendWidth + 10, top + (m.series.size() + 1) * (fm.height() + 2),
                    kLegendWidth - 20, 6 * fm.height()),
             Qt::TextWordWrap, Q(Tx::PlotSettingsKey) + m.names);
}

// Where series j of n sits within category i.
double Slot(int i, int j, int n) { return i + (j + 1.0) / (n + 1.0); }

void DrawRate(QPainter& p, QSize size, const Model& m) {
  const Axes axes(PlotArea(size), 0, m.groups.size(), 0, 1);
  axes.Draw(p, Q(Tx::PlotRateTitle), Q(Tx::PlotRateAxis), "");
  axes.DrawCategories(p, m.groups);
  for (int i = 0; i < m.groups.size(); ++i)
    for (int j = 0; j < m.series.size(); ++j) {
      const study::Cell* c = m.at[i][j];
      if (!c) continue;
      const double x = axes.X(Slot(i, j, m.series.size()));
      p.setPen(QPen(SeriesColor(j), 2));
      p.drawLine(QPointF(x, axes.Y(c->rate.lo)), QPointF(x, axes.Y(c->rate.hi)));
      for (const double end : {c->rate.lo, c->rate.hi})
        p.drawLine(QPointF(x - 5, axes.Y(end)), QPointF(x + 5, axes.Y(end)));
      p.setBrush(SeriesColor(j));
      p.drawEllipse(QPointF(x, axes.Y(static_cast<double>(c->escaped) / c->runs)), 4, 4);
    }
  DrawKey(p, size, m, kTop);
}

void DrawGenerations(QPainter& p, QSize size, const Model& m) {
  double most = 1;
  for (const auto& row : m.at)
    for (const study::Cell* c : row)
      if (c && !c->escapeGenerations.empty()) most = std::max(most, c->escapeGenerations.back());
  const Axes axes(PlotArea(size), 0, m.groups.size(), 0, most);
  axes.Draw(p, Q(Tx::PlotGenerationTitle), Q(Tx::PlotGenerationAxis), "");
  axes.DrawCategories(p, m.groups);
  const double half = (axes.X(1) - axes.X(0)) / (m.series.size() + 1) * 0.35;
  for (int i = 0; i < m.groups.size(); ++i)
    for (int j = 0; j < m.series.size(); ++j) {
      const study::Cell* c = m.at[i][j];
      if (!c) continue;
      const double x = axes.X(Slot(i, j, m.series.size()));
      if (c->escapeGenerations.empty()) {
        // A cross on the axis: this cell never escaped.
        p.setPen(QPen(SeriesColor(j), 2));
        p.drawLine(QPointF(x - 4, axes.Y(0) - 4), QPointF(x + 4, axes.Y(0) - 12));
        p.drawLine(QPointF(x - 4, axes.Y(0) - 12), QPointF(x + 4, axes.Y(0) - 4));
        continue;
      }
      p.setPen(QPen(SeriesColor(j), 1.5));
      p.drawLine(QPointF(x, axes.Y(c->escapeGenerations.front())), QPointF(x, axes.Y(*c->q1)));
      p.drawLine(QPointF(x, axes.Y(*c->q3)), QPointF(x, axes.Y(c->escapeGenerations.back())));
      QColor fill = SeriesColor(j);
      fill.setAlpha(90);
      p.setBrush(fill);
      p.drawRect(QRectF(QPointF(x - half, axes.Y(*c->q3)), QPointF(x + half, axes.Y(*c->q1))));
      p.setPen(QPen(SeriesColor(j).darker(150), 2.5));
      p.drawLine(QPointF(x - half, axes.Y(*c->median)), QPointF(x + half, axes.Y(*c->median)));
    }
  DrawKey(p, size, m, kTop);
}

constexpr int kPanelWidth = 420;
constexpr int kPanelHeight = 300;
int Columns(const Model& m) { return m.groups.size() > 4 ? 3 : m.groups.size() > 1 ? 2 : 1; }
int Rows(const Model& m) { return (static_cast<int>(m.groups.size()) + Columns(m) - 1) / Columns(m); }
QSize PanelsSize(const Model& m) {
  return {Columns(m) * kPanelWidth + kLegendWidth, std::max(520, Rows(m) * kPanelHeight)};
}

void DrawFitness(QPainter& p, QSize size, const Model& m) {
  for (int i = 0; i < m.groups.size(); ++i) {
    std::size_t length = 1;
    double lo = INFINITY, hi = -INFINITY;
    for (const study::Cell* c : m.at[i])
      if (c)
        for (const double v : c->meanBest) {
          length = std::max(length, c->meanBest.size());
          lo = std::min(lo, v);
          hi = std::max(hi, v);
        }
    if (lo > hi) lo = 0, hi = 1;
    const QRectF panel((i % Columns(m)) * kPanelWidth, (i / Columns(m)) * kPanelHeight, kPanelWidth, kPanelHeight);
    const Axes axes(QRectF(panel.left() + 80, panel.top() + 40, panel.width() - 100, panel.height() - 40 - 56), 1,
                    static_cast<double>(length), lo, hi);
    axes.Draw(p, QString(m.groups[i]).replace('\n', ": "), Q(Tx::PlotFitnessAxis), Q(Tx::PlotGenerationAxis));
    axes.DrawXTicks(p);
    for (int j = 0; j < m.series.size(); ++j) {
      const study::Cell* c = m.at[i][j];
      if (!c || c->meanBest.empty()) continue;
      QPolygonF line;
      for (std::size_t g = 0; g < c->meanBest.size(); ++g) line << axes.At(g + 1.0, c->meanBest[g]);
      p.setPen(QPen(SeriesColor(j), 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawPolyline(line);
    }
  }
  DrawKey(p, size, m, 40);
}

using Draw = std::function<void(QPainter&, QSize, const Model&)>;

std::string Save(const std::string& stem, QSize size, const Draw& draw, const Model& m) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, size, m);
  }
  const QString png = QString::fromStdString(stem + ".png");
  if (!image.save(png, "PNG")) return text::En<Tx::CannotWriteFile>(stem + ".png", text::En(Tx::PlotNotSaved));
  const QString svg = QString::fromStdString(stem + ".svg");
  QSvgGenerator generator;
  generator.setFileName(svg);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setTitle(QString::fromStdString(std::filesystem::path(stem).filename().string()));
  QPainter p;
  if (!p.begin(&generator)) return text::En<Tx::CannotWriteFile>(stem + ".svg", text::En(Tx::PlotNotSaved));
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  draw(p, size, m);
  p.end();
  if (QFileInfo(svg).size() == 0) return text::En<Tx::CannotWriteFile>(stem + ".svg", text::En(Tx::PlotNotSaved));
  return {};
}

// Qt's own notes (a missing runtime directory and the like) are not the
// user's business here; a file that is not written is reported.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

std::string WriteEach(const study::Report& report, const std::string& dir) {
  // Text needs a GUI application; drawing needs no screen.
  std::unique_ptr<QGuiApplication> app;
  static int argc = 3;
  static char arg0[] = "korvane-cli", arg1[] = "-platform", arg2[] = "offscreen";
  static char* argv[] = {arg0, arg1, arg2, nullptr};
  if (!QGuiApplication::instance()) app = std::make_unique<QGuiApplication>(argc, argv);
  const Model m = MakeModel(report);
  const Draw draws[] = {DrawRate, DrawGenerations, DrawFitness};
  const QSize sizes[] = {CategorySize(m), CategorySize(m), PanelsSize(m)};
  for (std::size_t i = 0; i < kPlotNames.size(); ++i)
    if (std::string error = Save(dir + "/" + kPlotNames[i], sizes[i], draws[i], m); !error.empty()) return error;
  return {};
}

}  // namespace

std::string WritePlots(const study::Report& report, const std::string& dir) {
  const QtMessageHandler previous = qInstallMessageHandler(Quiet);
  const std::string error = WriteEach(report, dir);
  qInstallMessageHandler(previous);
  return error;
}

}  // namespace korvane::plots
