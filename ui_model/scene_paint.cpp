#include "ui_model/scene_paint.h"

namespace korvane {

PathPen PathPenOf(PathStyle style) {
  switch (style) {
    case PathStyle::Best: return {0xFFD746u, 255};
    case PathStyle::Escaped: return {0x6EFF82u, 150};
    case PathStyle::Ordinary: break;
  }
  return {0xBEC8FFu, 70};
}

const std::vector<StarPixel>& StarField::NextFrame(int w, int h) {
  m_pixels.clear();
  const bool move = m_frameCounter % 10 == 0;
  // Every plot draws its blue, seen or not, so the stars twinkle alike
  // whatever the picture's size.
  auto plot = [&](int x, int y) {
    const int blue = m_rand() % 255;
    if (x >= 0 && y >= 0 && x < w && y < h) m_pixels.push_back({x, y, blue});
  };
  for (int i = 0; i < StarCount; ++i) {
    IPoint& s = m_stars[static_cast<std::size_t>(i)];
    if (move) {
      s.x = m_rand() % PlayfieldWidth;
      s.y = m_rand() % PlayfieldHeight;
    }
    if (i < 100) {
      // A cluster made with the next star's coordinates as they stand now.
      const IPoint& n = m_stars[static_cast<std::size_t>(i + 1)];
      plot(s.x, s.y);
      plot(n.x, s.y);
      plot(s.x, n.y);
      plot(n.x, n.y);
    } else {
      plot(s.x, s.y);
    }
  }
  m_frameCounter += move ? -9 : 1;
  return m_pixels;
}

}  // namespace korvane
