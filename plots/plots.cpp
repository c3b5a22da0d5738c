#include "plots/plots.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "plots/chart.h"
#include "texts/study_texts.h"

namespace korvane::plots {
namespace {

// The cells as fields (the x axis or the panels) and series (method and
// settings), each in the order the report gives them.
struct Model {
  QStringList fields;
  QStringList series;
  std::vector<std::vector<const study::Cell*>> at;  // [field][series], null where none
};

Model MakeModel(const study::Report& r) {
  Model m;
  for (const study::Cell& c : r.cells) {
    const QString field = QString::fromStdString(c.field);
    const QString series = QString::fromStdString(c.settings.empty() ? c.method : c.method + " " + c.settings);
    if (!m.fields.contains(field)) m.fields.push_back(field);
    if (!m.series.contains(series)) m.series.push_back(series);
  }
  m.at.assign(m.fields.size(), std::vector<const study::Cell*>(m.series.size(), nullptr));
  for (const study::Cell& c : r.cells)
    m.at[m.fields.indexOf(QString::fromStdString(c.field))]
        [m.series.indexOf(QString::fromStdString(c.settings.empty() ? c.method : c.method + " " + c.settings))] = &c;
  return m;
}

constexpr int kWidth = 1000;
constexpr int kLegendWidth = 300;

QRectF PlotArea(QSize size) { return QRectF(80, 56, size.width() - 80 - kLegendWidth, size.height() - 56 - 64); }

// Where series j of n sits within category i.
double Slot(int i, int j, int n) { return i + (j + 1.0) / (n + 1.0); }

void DrawRate(QPainter& p, QSize size, const Model& m) {
  const Axes axes(PlotArea(size), 0, m.fields.size(), 0, 1);
  axes.Draw(p, text::PlotRateTitle, text::PlotRateAxis, text::PlotFieldAxis);
  axes.DrawCategories(p, m.fields);
  for (int i = 0; i < m.fields.size(); ++i)
    for (int j = 0; j < m.series.size(); ++j) {
      const study::Cell* c = m.at[i][j];
      if (!c) continue;
      const double x = axes.X(Slot(i, j, m.series.size()));
      p.setPen(QPen(SeriesColor(j), 2));
      p.drawLine(QPointF(x, axes.Y(c->rate.lo)), QPointF(x, axes.Y(c->rate.hi)));
      for (const double end : {c->rate.lo, c->rate.hi}) p.drawLine(QPointF(x - 5, axes.Y(end)), QPointF(x + 5, axes.Y(end)));
      p.setBrush(SeriesColor(j));
      p.drawEllipse(QPointF(x, axes.Y(static_cast<double>(c->escaped) / c->runs)), 4, 4);
    }
  DrawLegend(p, QPointF(size.width() - kLegendWidth + 20, 56), m.series);
}

void DrawGenerations(QPainter& p, QSize size, const Model& m) {
  double most = 1;
  for (const auto& row : m.at)
    for (const study::Cell* c : row)
      if (c && !c->escapeGenerations.empty()) most = std::max(most, c->escapeGenerations.back());
  const Axes axes(PlotArea(size), 0, m.fields.size(), 0, most);
  axes.Draw(p, text::PlotGenerationTitle, text::PlotGenerationAxis, text::PlotFieldAxis);
  axes.DrawCategories(p, m.fields);
  const double half = (axes.X(1) - axes.X(0)) / (m.series.size() + 1) * 0.35;
  for (int i = 0; i < m.fields.size(); ++i)
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
  DrawLegend(p, QPointF(size.width() - kLegendWidth + 20, 56), m.series);
}

constexpr int kPanelHeight = 300;
int Columns(const Model& m) { return m.fields.size() > 1 ? 2 : 1; }
int Rows(const Model& m) { return (static_cast<int>(m.fields.size()) + Columns(m) - 1) / Columns(m); }

void DrawFitness(QPainter& p, QSize size, const Model& m) {
  const double panelWidth = (size.width() - kLegendWidth) / static_cast<double>(Columns(m));
  for (int i = 0; i < m.fields.size(); ++i) {
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
    const QRectF panel((i % Columns(m)) * panelWidth, (i / Columns(m)) * kPanelHeight, panelWidth, kPanelHeight);
    const Axes axes(QRectF(panel.left() + 80, panel.top() + 40, panel.width() - 100, panel.height() - 40 - 56), 1,
                    static_cast<double>(length), lo, hi);
    axes.Draw(p, m.fields[i], text::PlotFitnessAxis, text::PlotGenerationAxis);
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
  DrawLegend(p, QPointF(size.width() - kLegendWidth + 20, 40), m.series);
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
  if (!image.save(png, "PNG")) return text::CannotWriteFile(stem + ".png", text::PlotNotSaved);
  const QString svg = QString::fromStdString(stem + ".svg");
  QSvgGenerator generator;
  generator.setFileName(svg);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  QPainter p;
  if (!p.begin(&generator)) return text::CannotWriteFile(stem + ".svg", text::PlotNotSaved);
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  draw(p, size, m);
  p.end();
  if (QFileInfo(svg).size() == 0) return text::CannotWriteFile(stem + ".svg", text::PlotNotSaved);
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
  const int tall = std::max(500, static_cast<int>(m.series.size()) * 20 + 120);
  const Draw draws[] = {DrawRate, DrawGenerations, DrawFitness};
  const QSize sizes[] = {{kWidth, tall}, {kWidth, tall}, {kWidth, std::max(tall, Rows(m) * kPanelHeight)}};
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
