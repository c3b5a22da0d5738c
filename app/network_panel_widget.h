#pragma once
#include <QWidget>

#include "ui_model/view_state.h"

namespace korvane {

// Beside the field, never over it: the network the flight on screen flies
// with, its inputs labelled, each neuron coloured by its activation, the
// connections by their weights' sign and size, the thrust it takes ringed.
// In the classroom layout a key to the colours stands at its foot; the value
// under the pointer is told in a tip.
class NetworkPanelWidget : public QWidget {
  Q_OBJECT
 public:
  NetworkPanelWidget(const ViewState& state, QWidget* parent = nullptr);

  // Draws the panel for a view (also for the benchmark); with the key, the
  // network takes the height above it.
  static void Paint(QPainter& p, const NetworkView* view, bool key = false);
  // What the tip says at (x, y) for the view shown.
  static QString HoverText(const NetworkView& view, int x, int y, bool key);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  const ViewState& m_state;
};

}  // namespace korvane
