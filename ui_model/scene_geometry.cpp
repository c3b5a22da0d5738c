#include "ui_model/scene_geometry.h"

#include <cmath>
#include <numbers>

#include "sim/trunc.h"

namespace korvane {
namespace {

constexpr int HalfView = ViewWidth / 2;

struct FlamePoint {
  double u;
  double v;
};
constexpr FlamePoint FlameOutline[5] = {{0.8, 5}, {0.6, 7}, {0, 8.5}, {-0.6, 7}, {-0.8, 5}};

constexpr std::array<IPoint, 8> UpArrow = {
    {{0, -40}, {10, -30}, {5, -30}, {5, -10}, {-5, -10}, {-5, -30}, {-10, -30}, {0, -40}}};
constexpr std::array<IPoint, 8> LeftArrow = {
    {{-40, 0}, {-30, 10}, {-30, 5}, {-10, 5}, {-10, -5}, {-30, -5}, {-30, -10}, {-40, 0}}};

}  // namespace

int CameraOffset(double x) {
  if (x <= HalfView) return 0;
  if (x < PlayfieldWidth - HalfView) return TruncToInt(x - HalfView);
  return PlayfieldWidth - ViewWidth;
}

int SpriteX(double x) {
  if (x <= HalfView) return TruncToInt(x);
  if (x < PlayfieldWidth - HalfView) return HalfView;
  return TruncToInt(x + ViewWidth - PlayfieldWidth);
}

IRect LifeboatSpriteRect(int sx, double y, double lifeboatSize) {
  const double half = lifeboatSize * 6.0;
  const int side = TruncToInt(2 * half);
  return {TruncToInt(sx - half), TruncToInt(y - half), side, side};
}

IRect MeteorRect(const Obstacle& o) {
  const int d = TruncToInt(2 * o.radius);
  return {TruncToInt(o.x - o.radius), TruncToInt(o.y - o.radius), d, d};
}

std::vector<IPoint> FlamePoints(const CLifeboat& boat, int sx) {
  std::vector<IPoint> out;
  const double s = boat.m_scale;
  const double y = boat.m_position.y;
  const int m = boat.m_thrustMarker;
  if (m < 2 || m > 5) return out;
  out.reserve(5);
  for (const FlamePoint& f : FlameOutline) {
    double px = 0.0;
    double py = 0.0;
    switch (m) {
      case 2:
        px = sx + f.u * s;
        py = y + f.v * s;
        break;  // thrust up: flame below
      case 3:
        px = sx - f.u * s;
        py = y - f.v * s;
        break;
      case 4:
        px = sx + f.v * s;
        py = y + f.u * s;
        break;
      case 5:
        px = sx - f.v * s;
        py = y - f.u * s;
        break;
    }
    out.push_back({TruncToInt(px), TruncToInt(py)});
  }
  return out;
}

std::array<IPoint, 8> ArrowOutline(int marker) {
  const bool vertical = marker == 2 || marker == 3;
  const bool flip = marker == 3 || marker == 5;
  std::array<IPoint, 8> out = vertical ? UpArrow : LeftArrow;
  for (IPoint& p : out) {
    if (flip && vertical) p.y = -p.y;
    if (flip && !vertical) p.x = -p.x;
    p.x += IndicatorCentre.x;
    p.y += IndicatorCentre.y;
  }
  return out;
}

std::vector<PerceptionMark> PerceptionMarks(const CLifeboat& boat, const Perception& per, const MeteorField& field,
                                            int c, int k) {
  std::vector<PerceptionMark> out;
  if (k > MaxPerceived) k = MaxPerceived;
  for (int slot = 0; slot < k; ++slot) {
    const int index = per.m_perceivedIndex[slot];
    if (index < 0 || index >= MaxObstacles) continue;
    const Obstacle& o = field.obstacles[static_cast<std::size_t>(index)];
    const int sx = TruncToInt(o.x - c);
    const int sy = TruncToInt(o.y);
    const int r = TruncToInt(o.radius);
    PerceptionMark mark;
    mark.circle[0] = {sx + r, sy};
    for (int i = 1; i < 30; ++i) {
      const double a = i * std::numbers::pi / 15;
      mark.circle[static_cast<std::size_t>(i)] = {TruncToInt(sx + r * std::cos(a)), TruncToInt(sy + r * std::sin(a))};
    }
    mark.circle[30] = {sx + r, sy};
    mark.rim = {TruncToInt(per.m_perceivedDx[slot] + boat.m_position.x - c),
                TruncToInt(boat.m_position.y + per.m_perceivedDy[slot])};
    out.push_back(mark);
  }
  return out;
}

}  // namespace korvane
