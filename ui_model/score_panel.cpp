#include "ui_model/score_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/trunc.h"
#include "texts/text_table.h"

namespace korvane {

namespace {

constexpr int TextX = 20;

std::string FormatInt(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", v);
  return buf;
}

// The three lines both overlays begin with.
void AddHeaderLines(std::vector<TextLine>& out, int generation, double best, double average) {
  out.push_back({TextX, 20, std::string(text::Ui(Tx::PanelGeneration)) + FormatInt(generation)});
  out.push_back({TextX, 35, std::string(text::Ui(Tx::PanelBest)) + FormatLf(best)});
  out.push_back({TextX, 50, std::string(text::Ui(Tx::PanelAverage)) + FormatLf(average)});
}

// One curve: points at x0 + (k - 1) * dx joined at their tops, each with a
// drop to the baseline. A zero or non-finite scale puts every point on the
// baseline.
void AddCurve(std::vector<Segment>& out, std::span<const double> values, int count, int x0, int dx, int base, int H) {
  if (count <= 0) return;
  double maxV = values[0];
  for (int k = 1; k < count; ++k) maxV = std::max(maxV, values[static_cast<std::size_t>(k)]);
  const bool flat = maxV == 0.0 || !std::isfinite(maxV);
  auto Y = [&](int k) {
    if (flat) return base;
    return TruncToInt(base - values[static_cast<std::size_t>(k)] / maxV * H * 0.375);
  };
  auto line = [&](int x1, int y1, int x2, int y2) {
    if (x1 != x2 || y1 != y2) out.push_back({x1, y1, x2, y2, 1, ChartCurveColour});
  };
  int px = x0;
  int py = Y(0);
  int x = x0;
  for (int k = 0; k < count; ++k) {
    const int y = Y(k);
    line(px, py, x, y);
    line(x, y, x, base);
    px = x;
    py = y;
    x += dx;
  }
}

}  // namespace

std::string FormatLf(double v) {
  // Always through double: a wider long double must not change the text.
  const int len = std::snprintf(nullptr, 0, "%f", v);
  if (len <= 0) return {};
  std::string s(static_cast<std::size_t>(len) + 1, '\0');
  std::snprintf(s.data(), s.size(), "%f", v);
  s.resize(static_cast<std::size_t>(len));
  return s;
}

std::vector<TextLine> PlanPanelLines(int generation, double best, double average, double energy, double safety,
                                     double time) {
  std::vector<TextLine> out;
  AddHeaderLines(out, generation, best, average);
  out.push_back({TextX, 65, std::string(text::Ui(Tx::PanelEnergy)) + FormatLf(energy)});
  out.push_back({TextX, 80, std::string(text::Ui(Tx::PanelSafety)) + FormatLf(safety)});
  out.push_back({TextX, 95, std::string(text::Ui(Tx::PanelTime)) + FormatLf(time)});
  return out;
}

namespace {

// Where a pair of history charts stands: its left edge and axis length.
struct ChartFrame {
  int x0;
  int B;
};

// The two charts (upper: best, lower: average) with their axes.
void AddCharts(std::vector<Segment>& out, int n, std::span<const double> best, std::span<const double> avg,
               ChartFrame at, int H) {
  const int t = H / 16;
  const int y0 = H / 2 - t;
  const int y1 = H - t;
  const int A = (3 * H) / 8;
  const int x0 = at.x0;
  out.push_back({x0, y0, x0, y0 - A, 2, ChartAxisColour});
  out.push_back({x0, y0, x0 + at.B, y0, 2, ChartAxisColour});
  out.push_back({x0, y1, x0, y1 - A, 2, ChartAxisColour});
  out.push_back({x0, y1, x0 + at.B, y1, 2, ChartAxisColour});
  const int dx = n > 1 ? at.B / (n - 1) : 0;
  const auto clampCount = [n](std::span<const double> s) {
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max(n, 0)), s.size()));
  };
  AddCurve(out, best, clampCount(best), x0, dx, y0, H);
  AddCurve(out, avg, clampCount(avg), x0, dx, y1, H);
}

// What the axes hold: generations along, best and average up.
void AddAxisLabels(std::vector<TextLine>& out, ChartFrame at, int H) {
  const int t = H / 16;
  const int y0 = H / 2 - t;
  const int y1 = H - t;
  const int end = at.x0 + at.B;
  out.push_back({end + 6, y0 - 8, std::string(text::Ui(Tx::AxisBest))});
  out.push_back({end + 6, y1 - 8, std::string(text::Ui(Tx::AxisAverage))});
  out.push_back({end - 30, y0 + 4, std::string(text::Ui(Tx::AxisGeneration))});
  out.push_back({end - 30, y1 + 4, std::string(text::Ui(Tx::AxisGeneration))});
}

ChartFrame WeightChartFrame(int W) { return {W / 8, (3 * W) / 4}; }
// The plan search's charts stand right of its six-line panel.
ChartFrame PlanChartFrame(int W) { return {W / 8 + 150, (3 * W) / 4 - 210}; }

}  // namespace

ChartGeometry WeightChart(int n, std::span<const double> best, std::span<const double> avg, double bestFitness,
                          double avgFitness, bool hideChart, int W, int H) {
  ChartGeometry g;
  if (!hideChart) AddCharts(g.segments, n, best, avg, WeightChartFrame(W), H);
  AddHeaderLines(g.lines, n, bestFitness, avgFitness);
  return g;
}

ChartGeometry PlanChart(const ChartData& c, int W, int H) {
  ChartGeometry g;
  AddCharts(g.segments, c.generation, c.bestHistory, c.averageHistory, PlanChartFrame(W), H);
  AddAxisLabels(g.lines, PlanChartFrame(W), H);
  return g;
}

ChartGeometry ScoreOverlay(const PlanPanelData* panel, const ChartData* chart, const ChartData* planChart,
                           bool hideChart) {
  ChartGeometry g;
  if (panel)
    g.lines = PlanPanelLines(panel->generation, panel->best, panel->average, panel->energy, panel->safety, panel->time);
  auto add = [&](ChartGeometry c) {
    g.segments.insert(g.segments.end(), c.segments.begin(), c.segments.end());
    g.lines.insert(g.lines.end(), c.lines.begin(), c.lines.end());
  };
  if (planChart && !hideChart) add(PlanChart(*planChart));
  if (chart) {
    add(WeightChart(chart->generation, chart->bestHistory, chart->averageHistory, chart->best, chart->average,
                    hideChart));
    if (!hideChart) AddAxisLabels(g.lines, WeightChartFrame(ViewWidth), ViewHeight);
  }
  return g;
}

}  // namespace korvane
