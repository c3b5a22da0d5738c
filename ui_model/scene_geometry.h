#pragma once
#include <array>
#include <vector>

#include "sim/lifeboat.h"
#include "sim/meteor_field.h"
#include "sim/perception.h"
#include "ui_model/view_size.h"

namespace korvane {

// Integer geometry of a frame, kept apart from the painting so it can be
// checked without a window.
struct IPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const IPoint&, const IPoint&) = default;
};

struct IRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  friend bool operator==(const IRect&, const IRect&) = default;
};

// The fixed thrust-direction indicator's centre, in window pixels.
inline constexpr IPoint IndicatorCentre{ViewWidth * 3 / 4, ViewHeight / 2};

// Playfield x shown at the window's left edge, following the lifeboat.
int CameraOffset(double x);
// The lifeboat's window x for the same camera.
int SpriteX(double x);
// Where the lifeboat picture goes: a square of side 12 × size around (sx, y).
IRect LifeboatSpriteRect(int sx, double y, double lifeboatSize);
// Where a meteor picture goes in the meteor layer (playfield pixels).
IRect MeteorRect(const Obstacle& o);

// The exhaust flame for the boat's marker: five points, or none when the
// marker shows no thrust.
std::vector<IPoint> FlamePoints(const CLifeboat& boat, int sx);

// The closed eight-point outline of the indicator arrow for marker 2..5
// (up, down, left, right), in window pixels.
std::array<IPoint, 8> ArrowOutline(int marker);

// What is drawn for one perceived meteor.
struct PerceptionMark {
  std::array<IPoint, 31> circle;  // closed 30-sided polygon
  IPoint rim;                     // centre of the dot and of the cross-hair
};
// The marks for the first k slots of the table, with camera offset c. Slots
// whose index names no meteor entry are skipped.
std::vector<PerceptionMark> PerceptionMarks(const CLifeboat& boat, const Perception& per, const MeteorField& field,
                                            int c, int k);

}  // namespace korvane
