// The toolbar's pixel-art strips: six buttons for the specified commands and
// three for run control, 24 x 17 each, drawn from bitmap glyphs.

#include "toolbar.h"

#include <QImage>

#include <string>
#include <vector>

namespace {

// --- Toolbar strip: six 24 x 17 pixel-art buttons ----------------------------

using Glyph = std::vector<std::string>;  // '#' set, '.' clear; rows top to bottom

// Bold capitals, 6 x 9.
const Glyph kG = {".####.", "##..##", "##....", "##....", "##.###", "##..##", "##..##", "##..##", ".####."};
const Glyph kA = {"..##..", ".####.", "##..##", "##..##", "##..##", "######", "##..##", "##..##", "##..##"};
const Glyph kN = {"##..##", "###.##", "###.##", "######", "######", "##.###", "##.###", "##..##", "##..##"};
const Glyph kH = {"##..##", "##..##", "##..##", "##..##", "######", "##..##", "##..##", "##..##", "##..##"};
// Bold lower case; 'base' is the row of the baseline counted from the top.
struct LowerGlyph {
  Glyph rows;
  int base;  // rows above the baseline
};
const LowerGlyph kLs = {{".####", "##...", "###..", "..###", "...##", "####."}, 6};
const LowerGlyph kLe = {{".###.", "##.##", "#####", "##...", "##...", ".####"}, 6};
const LowerGlyph kLt = {{".##.", ".##.", "####", ".##.", ".##.", ".##.", ".##.", "..##"}, 8};
const LowerGlyph kLh = {{"##...", "##...", "##...", "####.", "##.##", "##.##", "##.##", "##.##", "##.##"}, 9};
const LowerGlyph kLl = {{"##", "##", "##", "##", "##", "##", "##", "##", "##"}, 9};
const LowerGlyph kLp = {{"####.", "##.##", "##.##", "##.##", "##.##", "####.", "##...", "##...", "##..."}, 6};

// A cell's drawing as a mask; the outline is added around it afterwards.
struct Cell {
  static constexpr int W = 24, H = 17;
  std::array<std::array<bool, W>, H> on{};
  void put(const Glyph& g, int x0, int y0) {
    for (size_t r = 0; r < g.size(); ++r)
      for (size_t c = 0; c < g[r].size(); ++c)
        if (g[r][c] == '#') set(x0 + static_cast<int>(c), y0 + static_cast<int>(r));
  }
  void set(int x, int y) {
    if (x >= 0 && y >= 0 && x < W && y < H) on[static_cast<size_t>(y)][static_cast<size_t>(x)] = true;
  }
  bool at(int x, int y) const {
    return x >= 0 && y >= 0 && x < W && y < H && on[static_cast<size_t>(y)][static_cast<size_t>(x)];
  }
};

// Writes a text of capitals centred in the cell.
Cell capitals(const std::vector<const Glyph*>& text) {
  Cell cell;
  int width = -1;
  for (const Glyph* g : text) width += static_cast<int>((*g)[0].size()) + 1;
  int x = (Cell::W - width) / 2;
  const int y = (Cell::H - 9) / 2;
  for (const Glyph* g : text) {
    cell.put(*g, x, y);
    x += static_cast<int>((*g)[0].size()) + 1;
  }
  return cell;
}

// Writes a text of lower-case letters centred on its full height in the cell.
Cell lowercase(const std::vector<const LowerGlyph*>& text) {
  int width = -1, above = 0, below = 0;
  for (const LowerGlyph* g : text) {
    width += static_cast<int>(g->rows[0].size()) + 1;
    above = std::max(above, g->base);
    below = std::max(below, static_cast<int>(g->rows.size()) - g->base);
  }
  Cell cell;
  int x = (Cell::W - width) / 2;
  const int baseline = (Cell::H - (above + below)) / 2 + above;
  for (const LowerGlyph* g : text) {
    cell.put(g->rows, x, baseline - g->base);
    x += static_cast<int>(g->rows[0].size()) + 1;
  }
  return cell;
}

// A four-way arrow cross: the thrust directions of manual flight.
Cell arrowCross() {
  Cell cell;
  const int cx = 12, cy = 8, reach = 7;
  for (int i = 0; i <= reach; ++i) {
    const int half = i <= 2 ? i : 0;  // arrow head widens for 3 rows, then the shaft
    for (int k = -half; k <= half; ++k) {
      cell.set(cx + k, cy - reach + i);
      cell.set(cx + k, cy + reach - i);
      cell.set(cx - reach + i, cy + k);
      cell.set(cx + reach - i, cy + k);
    }
  }
  return cell;
}

void drawCell(QImage& strip, int index, const Cell& cell, QRgb fill, QRgb outline) {
  const int x0 = index * Cell::W;
  for (int y = 0; y < Cell::H; ++y)
    for (int x = 0; x < Cell::W; ++x) {
      QRgb c = qRgb(255, 255, 255);
      if (cell.at(x, y)) {
        c = fill;
      } else {
        for (int dy = -1; dy <= 1 && c != outline; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            if (cell.at(x + dx, y + dy)) {
              c = outline;
              break;
            }
      }
      strip.setPixel(x0 + x, y, c);
    }
}

}  // namespace

QImage MakeToolbar() {
  QImage strip(6 * Cell::W, Cell::H, QImage::Format_RGB32);
  strip.fill(qRgb(255, 255, 255));
  const QRgb black = qRgb(0, 0, 0), grey = qRgb(192, 192, 192);
  // Manual flight, GA result, trained network, heuristic GA result, settings, about.
  drawCell(strip, 0, arrowCross(), black, grey);
  drawCell(strip, 1, capitals({&kG, &kA}), qRgb(0, 160, 0), black);
  drawCell(strip, 2, capitals({&kA, &kN, &kN}), qRgb(255, 230, 0), black);
  drawCell(strip, 3, capitals({&kH, &kG, &kA}), qRgb(0, 220, 230), black);
  drawCell(strip, 4, lowercase({&kLs, &kLe, &kLt}), black, grey);
  drawCell(strip, 5, lowercase({&kLh, &kLe, &kLl, &kLp}), qRgb(220, 0, 0), black);
  return strip;
}

namespace {

// A play triangle pointing right: start a run.
Cell playTriangle() {
  Cell cell;
  for (int x = 6; x <= 18; ++x) {
    const int half = (18 - x) * 7 / 12;
    for (int y = 8 - half; y <= 8 + half; ++y) cell.set(x, y);
  }
  return cell;
}

// A filled square: stop.
Cell stopSquare() {
  Cell cell;
  for (int y = 3; y <= 13; ++y)
    for (int x = 7; x <= 17; ++x) cell.set(x, y);
  return cell;
}

}  // namespace

// The run-control buttons that follow the strip: start a search, start
// training, stop.
QImage MakeRunToolbar() {
  QImage strip(3 * Cell::W, Cell::H, QImage::Format_RGB32);
  strip.fill(qRgb(255, 255, 255));
  const QRgb black = qRgb(0, 0, 0);
  drawCell(strip, 0, playTriangle(), qRgb(0, 160, 0), black);
  drawCell(strip, 1, playTriangle(), qRgb(255, 230, 0), black);
  drawCell(strip, 2, stopSquare(), qRgb(220, 0, 0), black);
  return strip;
}
