#pragma once
#include <string>
#include <vector>

#include "ui_model/scene_geometry.h"

namespace korvane {

// A panel's drawing as data: filled boxes, then lines, then texts, each in
// order. Colours are 0xRRGGBB.
struct Shapes {
  static constexpr unsigned None = 0xFFFFFFFFu;  // no fill, or no outline
  struct Box {
    IRect rect;
    unsigned fill = None;
    unsigned outline = None;
    int outlineWidth = 1;
  };
  struct Line {
    IPoint a;
    IPoint b;
    unsigned rgb = 0;
    int width = 1;
    bool dashed = false;
  };
  struct Text {
    int x = 0;
    int y = 0;  // the top of the text
    std::string text;
    unsigned rgb = 0xFFFFFFu;
    int px = 12;  // font size in pixels
  };
  std::vector<Box> boxes;
  std::vector<Line> lines;
  std::vector<Text> texts;

  void Fill(IRect r, unsigned rgb) { boxes.push_back({r, rgb, None, 1}); }
  void Frame(IRect r, unsigned rgb, int width = 1) { boxes.push_back({r, None, rgb, width}); }
  void Stroke(IPoint a, IPoint b, unsigned rgb, int width = 1, bool dashed = false) {
    lines.push_back({a, b, rgb, width, dashed});
  }
  void Write(int x, int y, std::string text, unsigned rgb, int px = 12) {
    texts.push_back({x, y, std::move(text), rgb, px});
  }
};

}  // namespace korvane
