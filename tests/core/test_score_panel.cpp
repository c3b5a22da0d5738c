#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "ui_model/score_panel.h"

namespace korvane {
namespace {

bool SameSegment(const Segment& s, int x1, int y1, int x2, int y2) {
  return s.x1 == x1 && s.y1 == y1 && s.x2 == x2 && s.y2 == y2;
}

// Segments drawn with the curve pen, in drawing order.
std::vector<Segment> Curves(const ChartGeometry& g) {
  std::vector<Segment> out;
  for (const Segment& s : g.segments)
    if (s.width == 1) out.push_back(s);
  return out;
}

testing::AssertionResult HasSegments(const std::vector<Segment>& got, const std::vector<std::array<int, 4>>& want) {
  if (got.size() != want.size())
    return testing::AssertionFailure() << got.size() << " segments, expected " << want.size();
  for (std::size_t i = 0; i < want.size(); ++i) {
    const auto& w = want[i];
    if (!SameSegment(got[i], w[0], w[1], w[2], w[3]))
      return testing::AssertionFailure() << "segment " << i << " is (" << got[i].x1 << "," << got[i].y1 << ")-("
                                         << got[i].x2 << "," << got[i].y2 << ")";
  }
  return testing::AssertionSuccess();
}

TEST(ScorePanelText, FormatLfIsFixedWithSixDecimals) {
  EXPECT_EQ(FormatLf(1234.5), "1234.500000");
  EXPECT_EQ(FormatLf(0.0), "0.000000");
  EXPECT_EQ(FormatLf(-2.0000004), "-2.000000");
  EXPECT_EQ(FormatLf(0.0000005000001), "0.000001");
  EXPECT_EQ(FormatLf(1e20), "100000000000000000000.000000");
  const std::string huge = FormatLf(DBL_MAX);
  EXPECT_EQ(huge.size(), 309u + 7u);
  EXPECT_EQ(huge.substr(huge.size() - 7), ".000000");
}

TEST(ScorePanelText, PlanPanelHasSixLinesDownTheLeft) {
  const auto lines = PlanPanelLines(1, 3012.25, -17.5, 0.1, 6.0, 123456.789);
  ASSERT_EQ(lines.size(), 6u);
  const char* texts[] = {"基因的世代: 1",      "最优基因的得分: 3012.250000", "基因的平均得分: -17.500000",
                         "耗能评分: 0.100000", "安全性评分: 6.000000",        "耗时评分: 123456.789000"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(lines[i].x, 20);
    EXPECT_EQ(lines[i].y, 20 + 15 * i);
    EXPECT_EQ(lines[i].text, texts[i]);
  }
}

TEST(WeightChartGeometry, AxesAndTextLines) {
  const std::vector<double> best{5.0}, avg{2.0};
  const ChartGeometry g = WeightChart(1, best, avg, 5.0, 2.0, false);
  ASSERT_GE(g.segments.size(), 4u);
  EXPECT_TRUE(HasSegments({g.segments.begin(), g.segments.begin() + 4},
                          {{112, 175, 112, 25}, {112, 175, 787, 175}, {112, 375, 112, 225}, {112, 375, 787, 375}}));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(g.segments[i].width, 2);
    EXPECT_EQ(g.segments[i].rgb, 0x7DE9FFu);
  }
  ASSERT_EQ(g.lines.size(), 3u);
  EXPECT_EQ(g.lines[0].text, "基因的世代: 1");
  EXPECT_EQ(g.lines[1].text, "最优基因的得分: 5.000000");
  EXPECT_EQ(g.lines[2].text, "基因的平均得分: 2.000000");
  EXPECT_EQ(g.lines[2].y, 50);
  EXPECT_EQ(g.lines[2].x, 20);
}

TEST(WeightChartGeometry, OneGenerationIsOneDropAtTheTopOfEachAxis) {
  const std::vector<double> best{5.0}, avg{2.0};
  const auto curves = Curves(WeightChart(1, best, avg, 5.0, 2.0, false));
  EXPECT_TRUE(HasSegments(curves, {{112, 25, 112, 175}, {112, 225, 112, 375}}));
  for (const Segment& s : curves) EXPECT_EQ(s.rgb, 0x8EC4FFu);
}

TEST(WeightChartGeometry, ThreeGenerationsStandAt112_449_786) {
  const std::vector<double> best{1.0, 2.0, 4.0}, avg{3.0, 3.0, 3.0};
  const auto curves = Curves(WeightChart(3, best, avg, 4.0, 3.0, false));
  EXPECT_TRUE(HasSegments(curves, {
                                      // upper: 175 - v/4 * 150 -> 137 (137.5 truncated), 100, 25
                                      {112, 137, 112, 175},
                                      {112, 137, 449, 100},
                                      {449, 100, 449, 175},
                                      {449, 100, 786, 25},
                                      {786, 25, 786, 175},
                                      // lower: all at the top of its axis
                                      {112, 225, 112, 375},
                                      {112, 225, 449, 225},
                                      {449, 225, 449, 375},
                                      {449, 225, 786, 225},
                                      {786, 225, 786, 375},
                                  }));
}

TEST(WeightChartGeometry, PositionsTruncateTowardZero) {
  // 175 - 1.17 * 150 comes to -0.5, which truncates to 0 (flooring would
  // give -1).
  const std::vector<double> best{-1.0, -1.17}, avg{1.0, 1.0};
  const auto curves = Curves(WeightChart(2, best, avg, 0.0, 1.0, false));
  ASSERT_GE(curves.size(), 3u);
  EXPECT_TRUE(SameSegment(curves[0], 112, 25, 112, 175));
  EXPECT_TRUE(SameSegment(curves[1], 112, 25, 787, 0));
  EXPECT_TRUE(SameSegment(curves[2], 787, 0, 787, 175));
}

TEST(WeightChartGeometry, StepFallsToZeroBeyond676Generations) {
  for (int n : {677, 700, 5000}) {
    std::vector<double> best(n), avg(n);
    for (int k = 0; k < n; ++k) best[k] = avg[k] = 1.0 + k;
    for (const Segment& s : Curves(WeightChart(n, best, avg, n, n, false))) {
      ASSERT_EQ(s.x1, 112) << n;
      ASSERT_EQ(s.x2, 112) << n;
    }
  }
  std::vector<double> best(676, 1.0), avg(676, 1.0);
  const auto curves = Curves(WeightChart(676, best, avg, 1.0, 1.0, false));
  ASSERT_FALSE(curves.empty());
  EXPECT_EQ(curves.back().x1, 112 + 675);
}

TEST(WeightChartGeometry, ZeroOrNonFiniteScaleDrawsOnTheBaseline) {
  const std::vector<double> zeros{0.0, 0.0, 0.0};
  const std::vector<double> avg{1.0, 2.0, 2.0};
  const auto curves = Curves(WeightChart(3, zeros, avg, 0.0, 2.0, false));
  // Upper curve: only the runs along its baseline; drops have no length.
  ASSERT_GE(curves.size(), 2u);
  EXPECT_TRUE(SameSegment(curves[0], 112, 175, 449, 175));
  EXPECT_TRUE(SameSegment(curves[1], 449, 175, 786, 175));
  EXPECT_EQ(curves.size(), 2u + 5u);

  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> withInf{1.0, inf, 2.0};
  const std::vector<double> withNaN{std::nan(""), 2.0};
  for (const Segment& s : Curves(WeightChart(3, withInf, withInf, inf, inf, false))) {
    EXPECT_TRUE(s.y1 == 175 || s.y1 == 375);
    EXPECT_EQ(s.y1, s.y2);
  }
  for (const Segment& s : Curves(WeightChart(2, withNaN, withNaN, 0.0, 0.0, false))) EXPECT_EQ(s.y1, s.y2);
}

TEST(WeightChartGeometry, HiddenChartKeepsTheText) {
  const std::vector<double> best{1.0, 2.0}, avg{1.0, 1.5};
  const ChartGeometry g = WeightChart(2, best, avg, 2.0, 1.5, true);
  EXPECT_TRUE(g.segments.empty());
  ASSERT_EQ(g.lines.size(), 3u);
  EXPECT_EQ(g.lines[0].text, "基因的世代: 2");
  EXPECT_EQ(g.lines[1].text, "最优基因的得分: 2.000000");
  EXPECT_EQ(g.lines[2].text, "基因的平均得分: 1.500000");
}

TEST(WeightChartGeometry, NoHistoryMeansAxesOnly) {
  const ChartGeometry none = WeightChart(0, {}, {}, 0.0, 0.0, false);
  EXPECT_EQ(none.segments.size(), 4u);
  EXPECT_EQ(none.lines[0].text, "基因的世代: 0");
  // A counter beyond the recorded history reads only what is there.
  const std::vector<double> best{1.0, 2.0};
  const ChartGeometry more = WeightChart(5, best, best, 2.0, 2.0, false);
  EXPECT_EQ(Curves(more).size(), 2u * 3u);
  EXPECT_EQ(more.lines[0].text, "基因的世代: 5");
}

}  // namespace
}  // namespace korvane
