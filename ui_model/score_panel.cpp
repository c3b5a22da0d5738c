#include "ui_model/score_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/trunc.h"
#include "texts/ui_texts.h"

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
  out.push_back({TextX, 20, text::PanelGeneration + FormatInt(generation)});
  out.push_back({TextX, 35, text::PanelBest + FormatLf(best)});
  out.push_back({TextX, 50, text::PanelAverage + FormatLf(average)});
}

// One curve: points at x0 + (k - 1) * dx joined at their tops, each with a
// drop to the baseline. A zero or non-finite scale puts every point on the
// baseline.
void AddCurve(std::vector<Segment>& out, std::span<const double> values, int count, int x0, int dx, int base,
              int H) {
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
  out.push_back({TextX, 65, text::PanelEnergy + FormatLf(energy)});
  out.push_back({TextX, 80, text::PanelSafety + FormatLf(safety)});
  out.push_back({TextX, 95, text::PanelTime + FormatLf(time)});
  return out;
}

ChartGeometry WeightChart(int n, std::span<const double> best, std::span<const double> avg, double bestFitness,
                          double avgFitness, bool hideChart, int W, int H) {
  ChartGeometry g;
  if (!hideChart) {
    const int x0 = W / 8;
    const int t = H / 16;
    const int y0 = H / 2 - t;
    const int y1 = H - t;
    const int A = (3 * H) / 8;
    const int B = (3 * W) / 4;
    g.segments.push_back({x0, y0, x0, y0 - A, 2, ChartAxisColour});
    g.segments.push_back({x0, y0, x0 + B, y0, 2, ChartAxisColour});
    g.segments.push_back({x0, y1, x0, y1 - A, 2, ChartAxisColour});
    g.segments.push_back({x0, y1, x0 + B, y1, 2, ChartAxisColour});

    const int dx = n > 1 ? B / (n - 1) : 0;
    const auto clampCount = [n](std::span<const double> s) {
      return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max(n, 0)), s.size()));
    };
    AddCurve(g.segments, best, clampCount(best), x0, dx, y0, H);
    AddCurve(g.segments, avg, clampCount(avg), x0, dx, y1, H);
  }
  AddHeaderLines(g.lines, n, bestFitness, avgFitness);
  return g;
}

ChartGeometry ScoreOverlay(const PlanPanelData* panel, const ChartData* chart, bool hideChart) {
  ChartGeometry g;
  if (panel)
    g.lines = PlanPanelLines(panel->generation, panel->best, panel->average, panel->energy, panel->safety,
                             panel->time);
  if (chart) {
    ChartGeometry c = WeightChart(chart->generation, chart->bestHistory, chart->averageHistory, chart->best,
                                  chart->average, hideChart);
    g.segments = std::move(c.segments);
    g.lines.insert(g.lines.end(), c.lines.begin(), c.lines.end());
  }
  return g;
}

}  // namespace korvane
