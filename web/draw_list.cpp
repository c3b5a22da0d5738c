#include "web/draw_list.h"

#include <algorithm>
#include <initializer_list>

#include "ui_model/score_panel.h"
#include "ui_model/see_inside.h"

namespace korvane::web {
namespace {

constexpr int kSolid = 0, kDashed = 1, kDotted = 2;

class Writer {
 public:
  explicit Writer(DrawList& out) : m_out(out) {}

  void Put(Op op, std::initializer_list<std::int32_t> args) {
    m_out.ops.push_back(static_cast<std::int32_t>(op));
    m_out.ops.insert(m_out.ops.end(), args);
  }
  void Image(Picture p, const IRect& from, const IRect& to) {
    Put(Op::Image, {static_cast<std::int32_t>(p), from.x, from.y, from.w, from.h, to.x, to.y, to.w, to.h});
  }
  template <class Points>
  void Polyline(unsigned rgb, int alpha, int width, int dash, const Points& pts, int dy = 0) {
    Put(Op::Polyline, {static_cast<std::int32_t>(rgb), alpha, width, dash, static_cast<std::int32_t>(pts.size())});
    for (const IPoint& p : pts) m_out.ops.insert(m_out.ops.end(), {p.x, p.y + dy});
  }
  void Line(unsigned rgb, int alpha, int width, int dash, IPoint a, IPoint b) {
    Polyline(rgb, alpha, width, dash, std::initializer_list<IPoint>{a, b});
  }
  void Text(unsigned rgb, int x, int y, const std::string& text) {
    Put(Op::Text, {static_cast<std::int32_t>(rgb), x, y, static_cast<std::int32_t>(m_out.texts.size())});
    m_out.texts.push_back(text);
  }
  void Ellipse(int fill, unsigned stroke, int width, const IRect& r) {
    Put(Op::Ellipse, {fill, static_cast<std::int32_t>(stroke), width, r.x, r.y, r.w, r.h});
  }
  void Rect(unsigned rgb, const IRect& r) { Put(Op::Rect, {static_cast<std::int32_t>(rgb), r.x, r.y, r.w, r.h}); }
  void Stars(const std::vector<StarPixel>& px) {
    Put(Op::Stars, {static_cast<std::int32_t>(px.size())});
    for (const StarPixel& s : px) m_out.ops.insert(m_out.ops.end(), {s.x, s.y, s.blue});
  }

 private:
  DrawList& m_out;
};

void Meteors(Writer& w, const MeteorField& field, int c) {
  const int n = std::clamp(field.count, 0, MaxObstacles);
  for (int i = 0; i < n; ++i) {
    IRect r = MeteorRect(field.obstacles[static_cast<std::size_t>(i)]);
    r.x -= c;
    if (r.w > 0) w.Image(Picture::Meteor, {}, r);
  }
}

void Marks(Writer& w, const SceneInput& in, int c) {
  if (!in.showPerception || in.params.HidePerceived) return;
  for (const PerceptionMark& m :
       PerceptionMarks(*in.boat, *in.perception, *in.field, c, in.params.PerceivedMeteors())) {
    w.Polyline(PerceptionColour, 255, 3, kSolid, m.circle);
    w.Ellipse(0xFFFFFF, PerceptionColour, 3, {m.rim.x - 4, m.rim.y - 4, 8, 8});
    w.Line(CrossHairColour, 255, 1, kDashed, {m.rim.x, 0}, {m.rim.x, ViewHeight});
    w.Line(CrossHairColour, 255, 1, kDashed, {0, m.rim.y}, {ViewWidth, m.rim.y});
  }
}

void Paths(Writer& w, const PopulationPaths& paths, int c) {
  for (const PathLine& l : PathLines(paths, c)) {
    const PathPen pen = PathPenOf(l.style);
    w.Polyline(pen.rgb, pen.alpha, 1, kSolid, l.points);
    if (l.style == PathStyle::Best) w.Polyline(pen.rgb, pen.alpha, 1, kSolid, l.points, 1);
    if (l.crashed && !l.points.empty()) {
      const IPoint e = l.points.back();
      w.Line(CrashMarkColour, CrashMarkAlpha, 1, kSolid, {e.x - 2, e.y - 2}, {e.x + 2, e.y + 2});
      w.Line(CrashMarkColour, CrashMarkAlpha, 1, kSolid, {e.x - 2, e.y + 2}, {e.x + 2, e.y - 2});
    }
  }
}

void Lifeboat(Writer& w, const SceneInput& in) {
  const CLifeboat& boat = *in.boat;
  const int sx = SpriteX(boat.m_position.x);
  const std::vector<IPoint> flame = FlamePoints(boat, sx);
  if (!flame.empty()) w.Polyline(FlameColour, 255, 2, kSolid, flame);
  if (!in.params.HideThrustMarker) {
    const int current = boat.m_thrustMarker;
    if (current >= 2 && current <= 5) w.Polyline(CurrentArrowColour, 255, 2, kSolid, ArrowOutline(current));
    for (int m = 2; m <= 5; ++m)
      if (m != current) w.Polyline(OtherArrowColour, 255, 1, kDotted, ArrowOutline(m));
  }
  const IRect r = LifeboatSpriteRect(sx, boat.m_position.y, in.params.LifeboatSize);
  if (r.w > 0) w.Image(Picture::Lifeboat, LifeboatSource, r);
}

void Overlay(Writer& w, const SceneInput& in) {
  const ChartGeometry g = ScoreOverlay(in.planPanel, in.chart, in.planChart, in.params.HideScoreChart != 0);
  for (const Segment& s : g.segments) w.Line(s.rgb, 255, s.width, kSolid, {s.x1, s.y1}, {s.x2, s.y2});
  // A dark shadow keeps the white text readable over bright meteors.
  for (const TextLine& l : g.lines) {
    w.Text(TextShadowColour, l.x + 1, l.y + 1, l.text);
    w.Text(TextColour, l.x, l.y, l.text);
  }
}

}  // namespace

void ComposeScene(const SceneInput& in, StarField& stars, DrawList& out) {
  Writer w(out);
  const int c = CameraOffset(in.boat->m_position.x);
  w.Image(Picture::Nebula, BackgroundSource, {0, 0, ViewWidth, ViewHeight});
  w.Stars(stars.NextFrame(ViewWidth, ViewHeight));
  Meteors(w, *in.field, c);
  Marks(w, in, c);
  if (in.paths) Paths(w, *in.paths, c);
  if (!in.editMode) Lifeboat(w, in);
  Overlay(w, in);
}

void ComposeNetworkPanel(const NetworkView* view, DrawList& out) {
  Writer w(out);
  w.Rect(PanelGround, {0, 0, NetworkPanelWidth, ViewHeight});
  if (!view) return;
  const NetworkPanel g = NetworkPanelGeometry(*view);
  for (std::size_t i = 0; i < g.connections.size(); ++i) {
    const Segment& s = g.connections[i];
    w.Line(s.rgb, static_cast<int>(g.connectionAlpha[i]), s.width, kSolid, {s.x1, s.y1}, {s.x2, s.y2});
  }
  for (const NeuronDot& n : g.neurons)
    w.Ellipse(static_cast<int>(n.rgb), n.chosen ? ChosenRimColour : NeuronRimColour, n.chosen ? 3 : 1,
              {n.x - n.r, n.y - n.r, 2 * n.r, 2 * n.r});
  for (const LayerBar& b : g.bars) w.Rect(b.rgb, b.rect);
  for (const TextLine& l : g.labels) w.Text(PanelLabelColour, l.x, l.y, l.text);
}

}  // namespace korvane::web
