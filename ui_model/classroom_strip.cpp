#include "ui_model/classroom_strip.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "engine/flight.h"
#include "sim/trunc.h"
#include "ui_model/formatted.h"
#include "ui_model/scene_paint.h"
#include "ui_model/score_panel.h"
#include "ui_model/state_line.h"

namespace korvane {
namespace {

constexpr unsigned BestColour = 0xFFD24Au;
constexpr unsigned AverageColour = ChartCurveColour;
constexpr unsigned DiversityColour = 0x6EE08Cu;
constexpr unsigned EscapeColour = 0xFF5A46u;
constexpr unsigned TitleColour = BestColour;

// The chart's plot area.
struct Plot {
  int left, right, top, bottom;
  int firstGen, lastGen;  // along the bottom axis
  ChartRange y;           // the left axis: fitness
  ChartRange div;         // the right axis: diversity
  int X(int g) const {
    if (lastGen <= firstGen) return left;
    return left + TruncToInt(static_cast<double>(g - firstGen) * (right - left) / (lastGen - firstGen));
  }
  static int Y(double v, const ChartRange& r, int top, int bottom) {
    const double share = (v - r.lo) / (r.hi - r.lo);
    return bottom - TruncToInt(std::clamp(share, 0.0, 1.0) * (bottom - top));
  }
};

std::string Tick(double v, const ChartRange& r) { return r.hi - r.lo >= 20 ? text::Formatted("%.0f", v) : Two(v); }

// A curve over generations 1.., at most two points a pixel column; a value
// that is not finite breaks it.
void Curve(Shapes& out, const Plot& plot, std::span<const double> values, const ChartRange& r, unsigned rgb,
           bool dashed) {
  const std::size_t n = values.size();
  if (n == 0) return;
  const std::size_t most = static_cast<std::size_t>(2 * std::max(1, plot.right - plot.left));
  const std::size_t count = std::min(n, most);
  std::optional<IPoint> last;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t i = count == 1 ? 0 : k * (n - 1) / (count - 1);
    const double v = values[i];
    if (!std::isfinite(v)) {
      last.reset();
      continue;
    }
    const IPoint at{plot.X(static_cast<int>(i) + 1), Plot::Y(v, r, plot.top, plot.bottom)};
    if (last) out.Stroke(*last, at, rgb, dashed ? 1 : 2, dashed);
    if (count == 1) out.Fill({at.x - 2, at.y - 2, 5, 5}, rgb);
    last = at;
  }
}

double Largest(std::span<const double> v, double start) {
  for (double x : v)
    if (std::isfinite(x)) start = std::max(start, x);
  return start;
}

double Smallest(std::span<const double> v, double start) {
  for (double x : v)
    if (std::isfinite(x)) start = std::min(start, x);
  return start;
}

void Chart(Shapes& out, const ChartData& c, bool training, int W, int H) {
  const std::size_t n = std::min(c.bestHistory.size(), c.averageHistory.size());
  const std::span<const double> best(c.bestHistory.data(), n);
  const std::span<const double> avg(c.averageHistory.data(), n);
  const std::span<const double> div(c.diversityHistory.data(), std::min(n, c.diversityHistory.size()));
  const bool escaped = c.escaped && !training;
  Plot plot{52, W - 44, 134, H - 78, 1, static_cast<int>(n) + (escaped ? 1 : 0), {}, {}};
  const double top = escaped ? EscapedFitness : Largest(best, Largest(avg, 0.0));
  plot.y = RoundRange(std::min(Smallest(best, 0.0), Smallest(avg, 0.0)), top);
  // Plans differ by a share of their genes; weights by an amount.
  plot.div = training ? RoundRange(0.0, Largest(div, 0.0)) : ChartRange{0.0, 1.0};

  out.Stroke({plot.left, plot.top}, {plot.left, plot.bottom}, ChartAxisColour, 2);
  out.Stroke({plot.left, plot.bottom}, {plot.right, plot.bottom}, ChartAxisColour, 2);
  if (!div.empty()) out.Stroke({plot.right, plot.top}, {plot.right, plot.bottom}, DiversityColour, 1, true);
  const double mid = plot.y.lo < 0 ? 0.0 : (plot.y.lo + plot.y.hi) / 2;
  for (double v : {plot.y.lo, mid, plot.y.hi}) {
    const int y = Plot::Y(v, plot.y, plot.top, plot.bottom);
    out.Stroke({plot.left - 4, y}, {plot.left, y}, ChartAxisColour);
    out.Write(4, y - 7, Tick(v, plot.y), PanelLabelColour, 11);
  }
  if (!div.empty())
    for (double v : {plot.div.lo, (plot.div.lo + plot.div.hi) / 2, plot.div.hi})
      out.Write(plot.right + 5, Plot::Y(v, plot.div, plot.top, plot.bottom) - 7, Two(v), DiversityColour, 11);
  for (int g : {plot.firstGen, (plot.firstGen + plot.lastGen) / 2, plot.lastGen}) {
    if (g < 1) continue;
    const std::string label = std::to_string(g);
    out.Stroke({plot.X(g), plot.bottom}, {plot.X(g), plot.bottom + 4}, ChartAxisColour);
    out.Write(plot.X(g) - 3 * static_cast<int>(label.size()), plot.bottom + 6, label, PanelLabelColour, 11);
  }
  out.Write((plot.left + plot.right) / 2 - 12, plot.bottom + 20, Say(Tx::AxisGeneration), PanelLabelColour, 12);

  Curve(out, plot, div, plot.div, DiversityColour, true);
  Curve(out, plot, avg, plot.y, AverageColour, false);
  Curve(out, plot, best, plot.y, BestColour, false);
  if (escaped) {
    // The escape's generation, counted from 1, and its worth.
    const int x = plot.X(plot.lastGen);
    const int y = Plot::Y(EscapedFitness, plot.y, plot.top, plot.bottom);
    if (n > 0 && std::isfinite(best.back()))
      out.Stroke({plot.X(plot.lastGen - 1), Plot::Y(best.back(), plot.y, plot.top, plot.bottom)}, {x, y}, BestColour,
                 2);
    out.Stroke({x, plot.top}, {x, plot.bottom}, EscapeColour, 1, true);
    out.Fill({x - 3, y - 3, 7, 7}, EscapeColour);
    out.Write(std::clamp(x - 70, plot.left + 2, plot.right - 70), plot.top + 4, text::Ui<Tx::EscapeMark>(plot.lastGen),
              EscapeColour, 12);
  }

  // The key.
  const int row1 = H - 40, row2 = H - 22;
  out.Stroke({10, row1 + 7}, {28, row1 + 7}, BestColour, 2);
  out.Write(32, row1, Say(Tx::AxisBest), TextColour, 12);
  out.Stroke({84, row1 + 7}, {102, row1 + 7}, AverageColour, 2);
  out.Write(106, row1, Say(Tx::AxisAverage), TextColour, 12);
  if (!div.empty()) {
    out.Stroke({156, row1 + 7}, {174, row1 + 7}, DiversityColour, 1, true);
    out.Write(178, row1, Say(Tx::LegendDiversity), TextColour, 12);
  }
  if (escaped) {
    out.Fill({10, row2 + 3, 7, 7}, EscapeColour);
    out.Write(22, row2, Say(Tx::EscapeScore), TextColour, 12);
  }
}

}  // namespace

namespace {

// The least round number (1, 2, 2.5 or 5 times a power of ten) at or above v > 0.
double RoundUp(double v) {
  const double unit = std::pow(10.0, std::floor(std::log10(v)));
  for (double m : {1.0, 2.0, 2.5, 5.0})
    if (m * unit >= v) return m * unit;
  return 10.0 * unit;
}

}  // namespace

ChartRange RoundRange(double smallest, double largest) {
  const double lo = std::isfinite(smallest) && smallest < 0.0 ? -RoundUp(-smallest) : 0.0;
  const double hi = std::isfinite(largest) && largest > 0.0 ? RoundUp(largest) : 0.0;
  return {lo, hi > lo ? hi : lo + 1.0};
}

Shapes ClassroomStrip(const StripInput& in, int W, int H) {
  Shapes out;
  out.Fill({0, 0, W, H}, PanelGround);
  if (!in.activity) return out;
  out.Write(10, 6, RunName(*in.activity), TitleColour, 15);
  std::vector<std::string> lines;
  if (in.panel) {
    const PlanPanelData& p = *in.panel;
    lines = {Say(Tx::PanelGeneration) + std::to_string(p.generation),
             Say(Tx::PanelBest) + Two(p.best),
             Say(Tx::PanelAverage) + Two(p.average),
             Say(Tx::PanelEnergy) + Two(p.energy),
             Say(Tx::PanelSafety) + Two(p.safety),
             Say(Tx::PanelTime) + Two(p.time)};
  } else if (in.chart) {
    const ChartData& c = *in.chart;
    lines = {Say(Tx::PanelGeneration) + std::to_string(c.generation), Say(Tx::PanelBest) + Two(c.best),
             Say(Tx::PanelAverage) + Two(c.average)};
  }
  for (std::size_t i = 0; i < lines.size(); ++i) out.Write(10, 28 + 16 * static_cast<int>(i), lines[i], TextColour, 13);
  if (in.chart && !in.hideChart) Chart(out, *in.chart, in.training, W, H);
  return out;
}

}  // namespace korvane
