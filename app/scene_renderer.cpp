#include "app/scene_renderer.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "ui_model/score_panel.h"
#include "ui_model/see_inside.h"

static void InitKorvaneResources() { Q_INIT_RESOURCE(korvane); }

namespace korvane {
namespace {

QColor Colour(unsigned rgb) { return QColor::fromRgb(rgb); }

QPolygon ToPolygon(const IPoint* pts, std::size_t n) {
  QPolygon poly(static_cast<int>(n));
  for (std::size_t i = 0; i < n; ++i) poly.setPoint(static_cast<int>(i), pts[i].x, pts[i].y);
  return poly;
}

QRect ToRect(const IRect& r) { return QRect(r.x, r.y, r.w, r.h); }

}  // namespace

bool SameMeteors(const MeteorField& a, const MeteorField& b) {
  if (a.count != b.count) return false;
  const int n = std::clamp(a.count, 0, MaxObstacles);
  for (int i = 0; i < n; ++i) {
    const Obstacle& x = a.obstacles[static_cast<std::size_t>(i)];
    const Obstacle& y = b.obstacles[static_cast<std::size_t>(i)];
    if (x.x != y.x || x.y != y.y || x.radius != y.radius) return false;
  }
  return true;
}

QImage SceneRenderer::LoadPicture(const char* resource) {
  InitKorvaneResources();
  QImage img(QString::fromLatin1(resource));
  img = img.convertToFormat(QImage::Format_ARGB32);
  // Pure white is the transparent colour of every picture; key it once here.
  for (int y = 0; y < img.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((line[x] & 0x00ffffffu) == 0x00ffffffu) line[x] = 0;
  }
  return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QFont SceneRenderer::PanelFont() {
  QFont f;
  // The Song face first, then any face that has the Chinese characters.
  QStringList families = {
      QStringLiteral("AR PL UMing CN"),   QStringLiteral("AR PL UMing TW"),     QStringLiteral("宋体"),
      QStringLiteral("SimSun"),           QStringLiteral("Noto Serif CJK SC"),  QStringLiteral("WenQuanYi Zen Hei"),
      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")};
  for (const QString& fam : QFontDatabase::families(QFontDatabase::SimplifiedChinese))
    if (!families.contains(fam)) families.push_back(fam);
  f.setFamilies(families);
  f.setPixelSize(PanelFontPixels);
  f.setWeight(QFont::Normal);
  // Crisp white strokes read better over the nebula than grey-edged ones.
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

SceneRenderer::SceneRenderer(std::uint32_t starSeed) : m_font(PanelFont()), m_stars(starSeed) {
  m_background = LoadPicture(":/res/background.png").copy(ToRect(BackgroundSource));
  m_meteor = LoadPicture(":/res/meteor.png");
  m_lifeboat = LoadPicture(":/res/lifeboat.png").copy(ToRect(LifeboatSource));
}

void SceneRenderer::RebuildMeteorLayer(const MeteorField& field) {
  m_meteorLayer = QImage(PlayfieldWidth, PlayfieldHeight, QImage::Format_ARGB32_Premultiplied);
  m_meteorLayer.fill(Qt::transparent);
  QPainter p(&m_meteorLayer);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const int n = std::clamp(field.count, 0, MaxObstacles);
  for (int i = 0; i < n; ++i) {
    const IRect r = MeteorRect(field.obstacles[static_cast<std::size_t>(i)]);
    if (r.w > 0) p.drawImage(ToRect(r), m_meteor);
  }
  p.end();
  m_layerField = field;
  m_haveLayer = true;
  ++m_layerBuilds;
}

void SceneRenderer::Compose(QImage& scene, const SceneInput& in) {
  if (!m_haveLayer || !SameMeteors(m_layerField, *in.field)) RebuildMeteorLayer(*in.field);
  const int c = CameraOffset(in.boat->m_position.x);
  {
    QPainter p(&scene);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(0, 0, ViewWidth, ViewHeight), m_background);
  }
  DrawStars(scene);
  {
    QPainter p(&scene);
    DrawMeteorLayer(p, in, c);
  }
  if (in.paths) DrawPaths(scene, *in.paths, c);
  QPainter p(&scene);
  if (!in.editMode) DrawLifeboat(p, in);
  DrawPanel(p, in);
}

void SceneRenderer::DrawStars(QImage& scene) {
  for (const StarPixel& s : m_stars.NextFrame(scene.width(), scene.height()))
    scene.setPixel(s.x, s.y, qRgb(255, 240, s.blue));
}

void SceneRenderer::DrawMeteorLayer(QPainter& p, const SceneInput& in, int c) {
  p.drawImage(-c, 0, m_meteorLayer);
  if (!in.showPerception || in.params.HidePerceived) return;
  const int k = in.params.PerceivedMeteors();
  const std::vector<PerceptionMark> marks = PerceptionMarks(*in.boat, *in.perception, *in.field, c, k);
  const QPen ring(Colour(PerceptionColour), 3, Qt::SolidLine);
  QPen cross(Colour(CrossHairColour), 1, Qt::DashLine);
  for (const PerceptionMark& m : marks) {
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(ToPolygon(m.circle.data(), m.circle.size()));
    p.setBrush(Qt::white);
    p.drawEllipse(QRect(m.rim.x - 4, m.rim.y - 4, 8, 8));
    p.setBrush(Qt::NoBrush);
    p.setPen(cross);
    p.drawLine(m.rim.x, 0, m.rim.x, ViewHeight);
    p.drawLine(0, m.rim.y, ViewWidth, m.rim.y);
  }
}

namespace {

// A one-pixel line blended into an RGB32 image, clipped to it: a whole
// generation's paths are tens of thousands of short lines, too many for
// QPainter's general path.
struct Pixels {
  QRgb* base;
  int stride;  // pixels a line
  int w, h;
};

void BlendLine(const Pixels& img, IPoint a, IPoint b, QRgb colour, int alpha) {
  const int w = img.w, h = img.h;
  if ((a.x < 0 && b.x < 0) || (a.y < 0 && b.y < 0) || (a.x >= w && b.x >= w) || (a.y >= h && b.y >= h)) return;
  const int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
  const int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
  const int r = qRed(colour) * alpha, g = qGreen(colour) * alpha, bl = qBlue(colour) * alpha, keep = 255 - alpha;
  int err = dx + dy;
  for (int x = a.x, y = a.y;;) {
    if (x >= 0 && y >= 0 && x < w && y < h) {
      QRgb* px = img.base + static_cast<std::ptrdiff_t>(y) * img.stride + x;
      *px = qRgb((qRed(*px) * keep + r) / 255, (qGreen(*px) * keep + g) / 255, (qBlue(*px) * keep + bl) / 255);
    }
    if (x == b.x && y == b.y) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

}  // namespace

void SceneRenderer::DrawPaths(QImage& scene, const PopulationPaths& paths, int c) {
  // Thin, translucent, no antialiasing; escapes green, the best gold and
  // doubled, each crash crossed where it happened.
  const Pixels img{reinterpret_cast<QRgb*>(scene.bits()), static_cast<int>(scene.bytesPerLine() / 4), scene.width(),
                   scene.height()};
  for (const PathLine& l : PathLines(paths, c)) {
    const PathPen pen = PathPenOf(l.style);
    const QRgb colour = 0xff000000u | pen.rgb;
    const int alpha = pen.alpha;
    for (std::size_t i = 1; i < l.points.size(); ++i) {
      BlendLine(img, l.points[i - 1], l.points[i], colour, alpha);
      if (l.style == PathStyle::Best)
        BlendLine(img, {l.points[i - 1].x, l.points[i - 1].y + 1}, {l.points[i].x, l.points[i].y + 1}, colour, alpha);
    }
    if (l.crashed && !l.points.empty()) {
      const IPoint e = l.points.back();
      const QRgb crash = 0xff000000u | CrashMarkColour;
      BlendLine(img, {e.x - 2, e.y - 2}, {e.x + 2, e.y + 2}, crash, CrashMarkAlpha);
      BlendLine(img, {e.x - 2, e.y + 2}, {e.x + 2, e.y - 2}, crash, CrashMarkAlpha);
    }
  }
}

void SceneRenderer::DrawLifeboat(QPainter& p, const SceneInput& in) {
  const CLifeboat& boat = *in.boat;
  const int sx = SpriteX(boat.m_position.x);
  const std::vector<IPoint> flame = FlamePoints(boat, sx);
  if (!flame.empty()) {
    p.setPen(QPen(Colour(FlameColour), 2, Qt::SolidLine));
    p.drawPolyline(ToPolygon(flame.data(), flame.size()));
  }
  if (!in.params.HideThrustMarker) {
    const int current = boat.m_thrustMarker;
    if (current >= 2 && current <= 5) {
      const auto arrow = ArrowOutline(current);
      p.setPen(QPen(Colour(CurrentArrowColour), 2, Qt::SolidLine));
      p.drawPolyline(ToPolygon(arrow.data(), arrow.size()));
    }
    p.setPen(QPen(Colour(OtherArrowColour), 1, Qt::DotLine));
    for (int m = 2; m <= 5; ++m) {
      if (m == current) continue;
      const auto arrow = ArrowOutline(m);
      p.drawPolyline(ToPolygon(arrow.data(), arrow.size()));
    }
  }
  const IRect r = LifeboatSpriteRect(sx, boat.m_position.y, in.params.LifeboatSize);
  p.save();
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  if (r.w > 0) p.drawImage(ToRect(r), m_lifeboat);
  p.restore();
}

void SceneRenderer::DrawPanel(QPainter& p, const SceneInput& in) {
  const ChartGeometry g = ScoreOverlay(in.planPanel, in.chart, in.planChart, in.params.HideScoreChart != 0);
  for (const Segment& s : g.segments) {
    p.setPen(QPen(QColor::fromRgb(s.rgb), s.width, Qt::SolidLine));
    p.drawLine(s.x1, s.y1, s.x2, s.y2);
  }
  if (g.lines.empty()) return;
  p.setFont(m_font);
  const int ascent = QFontMetrics(m_font).ascent();
  // A dark shadow keeps the white text readable over bright meteors.
  for (const TextLine& l : g.lines) {
    const QString t = QString::fromStdString(l.text);
    p.setPen(Colour(TextShadowColour));
    p.drawText(l.x + 1, l.y + ascent + 1, t);
    p.setPen(Colour(TextColour));
    p.drawText(l.x, l.y + ascent, t);
  }
}

}  // namespace korvane
