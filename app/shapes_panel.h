#pragma once
#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

#include "ui_model/shapes.h"

class QPainter;

namespace korvane {

// Paints a panel's shapes: boxes, then lines, then texts, in the score
// texts' face.
void PaintShapes(QPainter& p, const Shapes& shapes);

// A panel's picture, painted again only when what it shows changes: the
// breeding of a generation stays the same while its best flies.
class ShapesCache {
 public:
  struct Key {
    const void* what = nullptr;
    int generation = 0;
    int child = 0;
    double total = 0.0;
    bool operator==(const Key&) const = default;
  };
  const QImage& Picture(const Key& key, int w, int h, const std::function<Shapes()>& source);

 private:
  std::optional<Key> m_key;
  QImage m_image;
};

// A panel beside or below the field that paints what its source lays out
// (the classroom strip, the breeding panel), W × H, never over the field.
class ShapesPanel : public QWidget {
  Q_OBJECT
 public:
  // key, when given, says what the shapes show: the same key, the same picture.
  ShapesPanel(int w, int h, std::function<Shapes()> source, QWidget* parent = nullptr,
              std::function<ShapesCache::Key()> key = {});

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<Shapes()> m_source;
  std::function<ShapesCache::Key()> m_key;
  ShapesCache m_cache;
};

}  // namespace korvane
