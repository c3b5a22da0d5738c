#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "sim/rand.h"
#include "ui_model/scene_geometry.h"
#include "ui_model/see_inside.h"

// How the scene and the network panel are painted beyond their geometry:
// colours (0xRRGGBB), the parts of the pictures drawn, and the stars. One
// place for every screen that paints them (the window, the page).
namespace korvane {

inline constexpr unsigned FlameColour = 0xF1DB8Du;         // pen 2
inline constexpr unsigned CurrentArrowColour = 0xFFFF80u;  // pen 2, solid
inline constexpr unsigned OtherArrowColour = 0xFFFF00u;    // pen 1, dotted
inline constexpr unsigned PerceptionColour = 0x75F4FFu;    // pen 3
inline constexpr unsigned CrossHairColour = 0xFFFF00u;     // pen 1, dashed
inline constexpr unsigned TextColour = 0xFFFFFFu;
inline constexpr unsigned TextShadowColour = 0x000028u;  // one pixel down and right
inline constexpr unsigned CrashMarkColour = 0xFF5A46u;
inline constexpr int CrashMarkAlpha = 200;

// A population path's pen: one pixel, translucent; the best drawn twice,
// one pixel apart.
struct PathPen {
  unsigned rgb;
  int alpha;  // 0..255
};
PathPen PathPenOf(PathStyle style);

inline constexpr unsigned PanelGround = 0x0C0E1Eu;
inline constexpr unsigned PanelLabelColour = 0xDCE1FFu;
inline constexpr unsigned NeuronRimColour = 0xC8C8DCu;  // pen 1; the chosen one's rim is pen 3
inline constexpr unsigned ChosenRimColour = 0xFFFF80u;

// The parts of the pictures drawn: the nebula's top-left corner stretched
// over the view, the lifeboat without its last row and column.
inline constexpr IRect BackgroundSource{0, 0, 650, 300};
inline constexpr IRect LifeboatSource{0, 0, 312, 312};
// The font of the score texts, in pixels.
inline constexpr int PanelFontPixels = 15;

// One star pixel: RGB(255, 240, blue).
struct StarPixel {
  int x;
  int y;
  int blue;
};

// The twinkling stars over the nebula: 300 stars that jump to new places
// every tenth frame, the first hundred drawn as clusters with the next
// star's coordinates. Its own generator, never a run's.
class StarField {
 public:
  static constexpr int StarCount = 300;
  explicit StarField(std::uint32_t seed) : m_rand(seed) {}

  // The next frame's pixels within a w x h picture.
  const std::vector<StarPixel>& NextFrame(int w, int h);

 private:
  std::array<IPoint, StarCount> m_stars{};
  std::vector<StarPixel> m_pixels;
  int m_frameCounter = 0;
  CRand m_rand;
};

}  // namespace korvane
