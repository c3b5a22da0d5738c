#include "app/network_panel_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <utility>
#include <vector>

#include "app/qt_text.h"
#include "app/scene_renderer.h"
#include "app/shapes_panel.h"
#include "ui_model/network_hover.h"
#include "ui_model/scene_paint.h"

namespace korvane {
namespace {

int NetworkHeight(bool key) { return key ? ViewHeight - NetworkLegendHeight : ViewHeight; }

// The ground, the key and the connections: they change only with the
// weights, while neurons change every tick. Drawn once per network and
// copied in, since Qt hands each long antialiased line to its thread pool
// and waits for it, which a frame of some eighty lines felt.
class Backdrop {
 public:
  const QImage& For(const NetworkView& view, const NetworkPanel& g, bool key, qreal ratio) {
    std::vector<std::size_t> sizes;
    for (const auto& layer : view.layers) sizes.push_back(layer.size());
    if (m_image.isNull() || m_key != key || m_ratio != ratio || m_sizes != sizes || m_weights != *view.weights) {
      m_key = key;
      m_ratio = ratio;
      m_sizes = std::move(sizes);
      m_weights = *view.weights;
      m_image = QImage(QSize(NetworkPanelWidth, ViewHeight) * ratio, QImage::Format_ARGB32_Premultiplied);
      m_image.setDevicePixelRatio(ratio);
      QPainter p(&m_image);
      Draw(p, g, key);
    }
    return m_image;
  }

  static void Draw(QPainter& p, const NetworkPanel& g, bool key) {
    p.fillRect(QRect(0, 0, NetworkPanelWidth, ViewHeight), QColor::fromRgb(PanelGround));
    if (key) PaintShapes(p, NetworkLegend(NetworkPanelWidth, NetworkHeight(key)));
    p.setRenderHint(QPainter::Antialiasing, true);
    for (std::size_t i = 0; i < g.connections.size(); ++i) {
      const Segment& s = g.connections[i];
      QColor c = QColor::fromRgb(s.rgb);
      c.setAlpha(static_cast<int>(g.connectionAlpha[i]));
      p.setPen(QPen(c, s.width));
      p.drawLine(s.x1, s.y1, s.x2, s.y2);
    }
  }

 private:
  QImage m_image;
  bool m_key = false;
  qreal m_ratio = 1;
  std::vector<std::size_t> m_sizes;
  std::vector<double> m_weights;
};

}  // namespace

NetworkPanelWidget::NetworkPanelWidget(const ViewState& state, QWidget* parent) : QWidget(parent), m_state(state) {
  setFixedSize(NetworkPanelWidth, ViewHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void NetworkPanelWidget::Paint(QPainter& p, const NetworkView* view, bool key) {
  if (!view) {
    p.fillRect(QRect(0, 0, NetworkPanelWidth, ViewHeight), QColor::fromRgb(PanelGround));
    return;
  }
  const NetworkPanel g = NetworkPanelGeometry(*view, NetworkPanelWidth, NetworkHeight(key));
  if (view->weights) {
    thread_local Backdrop backdrop;  // painting happens on one thread, but a copy per thread costs nothing
    p.drawImage(QPoint(0, 0), backdrop.For(*view, g, key, p.device()->devicePixelRatioF()));
  } else {
    Backdrop::Draw(p, g, key);
  }
  p.setRenderHint(QPainter::Antialiasing, true);
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
