#include "app/shapes_panel.h"

#include <QPainter>
#include <map>

#include "app/qt_text.h"
#include "app/scene_renderer.h"

namespace korvane {
namespace {

const QFont& FontOf(int px) {
  static std::map<int, QFont> fonts;
  auto it = fonts.find(px);
  if (it == fonts.end()) {
    QFont f = SceneRenderer::PanelFont();
    f.setPixelSize(px);
    it = fonts.emplace(px, f).first;
  }
  return it->second;
}

}  // namespace

void PaintShapes(QPainter& p, const Shapes& shapes) {
  for (const Shapes::Box& b : shapes.boxes) {
    const QRect r(b.rect.x, b.rect.y, b.rect.w, b.rect.h);
    if (b.fill != Shapes::None) p.fillRect(r, QColor::fromRgb(b.fill));
    if (b.outline == Shapes::None) continue;
    p.setPen(QPen(QColor::fromRgb(b.outline), b.outlineWidth));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
  for (const Shapes::Line& l : shapes.lines) {
    p.setPen(QPen(QColor::fromRgb(l.rgb), l.width, l.dashed ? Qt::DashLine : Qt::SolidLine));
    p.drawLine(l.a.x, l.a.y, l.b.x, l.b.y);
  }
  int px = 0;
  int ascent = 0;
  for (const Shapes::Text& t : shapes.texts) {
    if (t.px != px) {
      px = t.px;
      p.setFont(FontOf(px));
      ascent = QFontMetrics(p.font()).ascent();
    }
    p.setPen(QColor::fromRgb(t.rgb));
    p.drawText(t.x, t.y + ascent, U(t.text));
  }
}

const QImage& ShapesCache::Picture(const Key& key, int w, int h, const std::function<Shapes()>& source) {
  if (m_key == key && m_image.size() == QSize(w, h)) return m_image;
  m_image = QImage(w, h, QImage::Format_RGB32);
  QPainter p(&m_image);
  PaintShapes(p, source());
  m_key = key;
  return m_image;
}

ShapesPanel::ShapesPanel(int w, int h, std::function<Shapes()> source, QWidget* parent,
                         std::function<ShapesCache::Key()> key)
    : QWidget(parent), m_source(std::move(source)), m_key(std::move(key)) {
  setFixedSize(w, h);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ShapesPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (m_key)
    p.drawImage(0, 0, m_cache.Picture(m_key(), width(), height(), m_source));
  else
    PaintShapes(p, m_source());
}

}  // namespace korvane
