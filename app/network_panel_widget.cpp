#include "app/network_panel_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "app/qt_text.h"
#include "app/scene_renderer.h"
#include "app/shapes_panel.h"
#include "ui_model/network_hover.h"
#include "ui_model/scene_paint.h"

namespace korvane {
namespace {

int NetworkHeight(bool key) { return key ? ViewHeight - NetworkLegendHeight : ViewHeight; }

}  // namespace

NetworkPanelWidget::NetworkPanelWidget(const ViewState& state, QWidget* parent) : QWidget(parent), m_state(state) {
  setFixedSize(NetworkPanelWidth, ViewHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void NetworkPanelWidget::Paint(QPainter& p, const NetworkView* view, bool key) {
  p.fillRect(QRect(0, 0, NetworkPanelWidth, ViewHeight), QColor::fromRgb(PanelGround));
  if (!view) return;
  if (key) PaintShapes(p, NetworkLegend(NetworkPanelWidth, NetworkHeight(key)));
  const NetworkPanel g = NetworkPanelGeometry(*view, NetworkPanelWidth, NetworkHeight(key));
  p.setRenderHint(QPainter::Antialiasing, true);
  for (std::size_t i = 0; i < g.connections.size(); ++i) {
    const Segment& s = g.connections[i];
    QColor c = QColor::fromRgb(s.rgb);
    c.setAlpha(static_cast<int>(g.connectionAlpha[i]));
    p.setPen(QPen(c, s.width));
    p.drawLine(s.x1, s.y1, s.x2, s.y2);
  }
  for (const NeuronDot& n : g.neurons) {
    p.setPen(QPen(QColor::fromRgb(n.chosen ? ChosenRimColour : NeuronRimColour), n.chosen ? 3 : 1));
    p.setBrush(QColor::fromRgb(n.rgb));
    p.drawEllipse(QPoint(n.x, n.y), n.r, n.r);
  }
  p.setPen(Qt::NoPen);
  for (const LayerBar& b : g.bars) p.fillRect(QRect(b.rect.x, b.rect.y, b.rect.w, b.rect.h), QColor::fromRgb(b.rgb));
  static const QFont font = SceneRenderer::PanelFont();
  p.setFont(font);
  p.setPen(QColor::fromRgb(PanelLabelColour));
  const int ascent = QFontMetrics(p.font()).ascent();
  for (const TextLine& l : g.labels) p.drawText(l.x, l.y + ascent, U(l.text));
}

QString NetworkPanelWidget::HoverText(const NetworkView& view, int x, int y, bool key) {
  return U(NetworkHoverText(view, x, y, NetworkPanelWidth, NetworkHeight(key)));
}

void NetworkPanelWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Paint(p, m_state.Network(), m_state.Classroom());
}

void NetworkPanelWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const NetworkView* view = m_state.Network();
  const QString tip = view ? HoverText(*view, at.x(), at.y(), m_state.Classroom()) : QString();
  if (tip.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(event->globalPosition().toPoint(), tip, this);
  QWidget::mouseMoveEvent(event);
}

}  // namespace korvane
