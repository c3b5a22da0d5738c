#pragma once
#include <QWidget>

#include "ui_model/view_state.h"

namespace korvane {

// Beside the field, never over it: the network the flight on screen flies
// with, its inputs labelled, each neuron coloured by its activation, the
// connections by their weights' sign and size, the thrust it takes ringed.
class NetworkPanelWidget : public QWidget {
  Q_OBJECT
 public:
  NetworkPanelWidget(const ViewState& state, QWidget* parent = nullptr);

  // Draws the panel for a view into image (also for the benchmark).
  static void Paint(QPainter& p, const NetworkView* view);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const ViewState& m_state;
};

}  // namespace korvane
