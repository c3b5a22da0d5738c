#pragma once
#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>

// What the report's plots share: axes with their ticks and grid, the
// series' colours and the legend. Qt only draws; the numbers come from the
// report.
namespace korvane::plots {

class Axes {
 public:
  // The data range x0..x1, y0..y1 drawn into the plot rectangle; the y range
  // is widened to round ticks.
  Axes(const QRectF& plot, double x0, double x1, double y0, double y1);

  QPointF At(double x, double y) const;
  double X(double x) const;
  double Y(double y) const;
  const QRectF& Plot() const { return m_plot; }

  // The frame, the y ticks with their grid lines and the titles.
  void Draw(QPainter& p, const QString& title, const QString& yTitle, const QString& xTitle) const;
  // Numeric x ticks, or one label (lines apart at '\n') centred under each
  // of the categories 0..n-1.
  void DrawXTicks(QPainter& p) const;
  void DrawCategories(QPainter& p, const QStringList& names) const;

 private:
  QRectF m_plot;
  double m_x0, m_x1, m_y0, m_y1;
  double m_yStep;
};

// A round step (1, 2 or 5 times a power of ten) giving about `ticks` ticks.
double NiceStep(double range, int ticks);

QColor SeriesColor(int i);

// The series' names, each with its colour, one under the other.
void DrawLegend(QPainter& p, const QPointF& topLeft, const QStringList& names);

}  // namespace korvane::plots
