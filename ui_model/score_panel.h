#pragma once
#include <span>
#include <string>
#include <vector>

#include "engine/host.h"
#include "ui_model/view_size.h"

namespace korvane {

// Text drawn with its top-left corner at (x, y), UTF-8.
struct TextLine {
  int x;
  int y;
  std::string text;
};

// A straight line of the given pen width; rgb is 0xRRGGBB.
struct Segment {
  int x1, y1, x2, y2;
  int width;
  unsigned rgb;
};

inline constexpr unsigned ChartAxisColour = 0x7DE9FFu;   // RGB(125, 233, 255)
inline constexpr unsigned ChartCurveColour = 0x8EC4FFu;  // RGB(142, 196, 255)

// A double in fixed notation with six decimals, as "%Lf" shows it.
std::string FormatLf(double v);

// The six lines of the plan search's score panel.
std::vector<TextLine> PlanPanelLines(int generation, double best, double average, double energy, double safety,
                                     double time);

struct ChartGeometry {
  std::vector<Segment> segments;
  std::vector<TextLine> lines;
};

// The weight search's two history charts (upper: best, lower: average) and
// its three text lines. n is the generation counter; entry k - 1 of the
// histories holds generation k. Curves draw at most as many points as the
// histories hold. Zero-length segments are left out (a zero-length line
// draws nothing), so a point on its baseline has no vertical drop.
ChartGeometry WeightChart(int n, std::span<const double> best, std::span<const double> avg, double bestFitness,
                          double avgFitness, bool hideChart, int W = ViewWidth, int H = ViewHeight);

// The plan search's two history charts, drawn like the weight search's but
// right of the plan panel, with their axes labelled.
ChartGeometry PlanChart(const ChartData& c, int W = ViewWidth, int H = ViewHeight);

// What a frame draws over the scene: the plan search's panel and charts, the
// weight search's charts, with axis labels. hideChart hides every chart and
// keeps the text lines.
ChartGeometry ScoreOverlay(const PlanPanelData* panel, const ChartData* chart, const ChartData* planChart,
                           bool hideChart);

}  // namespace korvane
