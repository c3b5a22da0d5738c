#pragma once
#include <optional>

#include "engine/host.h"
#include "ui_model/shapes.h"
#include "ui_model/view_size.h"
#include "ui_model/view_state.h"

namespace korvane {

inline constexpr int ClassroomStripWidth = 320;

// What the classroom strip beside the field shows: the numbers of the
// activity that owns the screen, nothing of any other.
struct StripInput {
  std::optional<RunKind> activity;  // none: the strip is empty
  const PlanPanelData* panel = nullptr;
  const ChartData* chart = nullptr;  // the plan search's or training's history
  bool training = false;             // the chart is the weight search's
  bool hideChart = false;            // 隐藏得分图表: the lines stay
};

// The strip: the activity's name, the score panel's lines (numbers with two
// decimals), and one chart of best and average fitness on a shared scale
// with numbered axes, diversity on a right-hand axis, the escape's
// generation marked, and a key. Every shape lies within W × H.
Shapes ClassroomStrip(const StripInput& in, int W = ClassroomStripWidth, int H = ViewHeight);

// The vertical range a chart of values needs: from the least of 0 and the
// smallest value to a round number (1, 2, 2.5 or 5 times a power of ten) at
// or above the largest. Never empty; non-finite values are left out.
struct ChartRange {
  double lo = 0.0;
  double hi = 1.0;
};
ChartRange RoundRange(double smallest, double largest);

}  // namespace korvane
