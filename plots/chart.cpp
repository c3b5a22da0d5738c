#include "plots/chart.h"

#include <cmath>

namespace korvane::plots {

double NiceStep(double range, int ticks) {
  if (!(range > 0)) return 1;
  const double raw = range / ticks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0})
    if (raw <= m * power) return m * power;
  return 10 * power;
}

Axes::Axes(const QRectF& plot, double x0, double x1, double y0, double y1)
    : m_plot(plot), m_x0(x0), m_x1(x1 > x0 ? x1 : x0 + 1), m_y0(y0), m_y1(y1 > y0 ? y1 : y0 + 1) {
  m_yStep = NiceStep(m_y1 - m_y0, 5);
  m_y0 = std::floor(m_y0 / m_yStep) * m_yStep;
  m_y1 = std::ceil(m_y1 / m_yStep) * m_yStep;
}

double Axes::X(double x) const { return m_plot.left() + (x - m_x0) / (m_x1 - m_x0) * m_plot.width(); }

double Axes::Y(double y) const { return m_plot.bottom() - (y - m_y0) / (m_y1 - m_y0) * m_plot.height(); }

QPointF Axes::At(double x, double y) const { return {X(x), Y(y)}; }

void Axes::Draw(QPainter& p, const QString& title, const QString& yTitle, const QString& xTitle) const {
  p.setPen(Qt::black);
  p.save();
  const QFontMetricsF fm(p.font());
  for (double y = m_y0; y <= m_y1 + m_yStep / 2; y += m_yStep) {
    p.setPen(QPen(QColor(225, 225, 225), 1));
    p.drawLine(QPointF(m_plot.left(), Y(y)), QPointF(m_plot.right(), Y(y)));
    p.setPen(Qt::black);
    const QString label = QString::number(y, 'g', 6);
    p.drawText(QPointF(m_plot.left() - fm.horizontalAdvance(label) - 6, Y(y) + fm.ascent() / 2 - 1), label);
  }
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(m_plot);
  QFont bold = p.font();
  bold.setBold(true);
  p.setFont(bold);
  p.drawText(QRectF(m_plot.left(), m_plot.top() - 2 * fm.height() - 4, m_plot.width(), fm.height() * 1.5),
             Qt::AlignHCenter | Qt::AlignVCenter, title);
  p.restore();
  p.drawText(QRectF(m_plot.left(), m_plot.bottom() + fm.height() + 6, m_plot.width(), fm.height() * 1.5),
             Qt::AlignHCenter | Qt::AlignTop, xTitle);
  p.save();
  p.translate(m_plot.left() - 52, m_plot.center().y());
  p.rotate(-90);
  p.drawText(QRectF(-m_plot.height() / 2, -fm.height(), m_plot.height(), fm.height() * 1.5), Qt::AlignCenter, yTitle);
  p.restore();
}

void Axes::DrawXTicks(QPainter& p) const {
  const double step = std::max(1.0, NiceStep(m_x1 - m_x0, 8));
  const QFontMetricsF fm(p.font());
  p.setPen(Qt::black);
  for (double x = std::ceil(m_x0 / step) * step; x <= m_x1; x += step) {
    p.drawLine(QPointF(X(x), m_plot.bottom()), QPointF(X(x), m_plot.bottom() + 4));
    const QString label = QString::number(x, 'g', 6);
    p.drawText(QPointF(X(x) - fm.horizontalAdvance(label) / 2, m_plot.bottom() + 4 + fm.ascent()), label);
  }
}

void Axes::DrawCategories(QPainter& p, const QStringList& names) const {
  const QFontMetricsF fm(p.font());
  p.setPen(Qt::black);
  for (int i = 0; i < names.size(); ++i) {
    const QStringList lines = names[i].split('\n');
    for (int l = 0; l < lines.size(); ++l)
      p.drawText(
          QPointF(X(i + 0.5) - fm.horizontalAdvance(lines[l]) / 2, m_plot.bottom() + 4 + fm.ascent() + l * fm.height()),
          lines[l]);
  }
}

QColor SeriesColor(int i) {
  static const QColor kColors[] = {
      QColor(31, 119, 180), QColor(255, 127, 14),  QColor(44, 160, 44),   QColor(214, 39, 40),  QColor(148, 103, 189),
      QColor(140, 86, 75),  QColor(227, 119, 194), QColor(127, 127, 127), QColor(188, 189, 34), QColor(23, 190, 207)};
  return kColors[i % 10];
}

void DrawLegend(QPainter& p, const QPointF& topLeft, const QStringList& names) {
  const QFontMetricsF fm(p.font());
  p.save();
  for (int i = 0; i < names.size(); ++i) {
    const double y = topLeft.y() + i * (fm.height() + 2);
    p.setPen(Qt::NoPen);
    p.setBrush(SeriesColor(i));
    p.drawRect(QRectF(topLeft.x(), y + fm.height() / 2 - 5, 10, 10));
    p.setPen(Qt::black);
    p.drawText(QPointF(topLeft.x() + 16, y + fm.ascent()), names[i]);
  }
  p.restore();
}

}  // namespace korvane::plots
