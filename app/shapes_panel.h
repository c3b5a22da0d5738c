#pragma once
#include <QWidget>
#include <functional>

#include "ui_model/shapes.h"

class QPainter;

namespace korvane {

// Paints a panel's shapes: boxes, then lines, then texts, in the score
// texts' face.
void PaintShapes(QPainter& p, const Shapes& shapes);

// A panel beside or below the field that paints what its source lays out
// (the classroom strip, the breeding panel), W × H, never over the field.
class ShapesPanel : public QWidget {
  Q_OBJECT
 public:
  ShapesPanel(int w, int h, std::function<Shapes()> source, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<Shapes()> m_source;
};

}  // namespace korvane
