// The program's icon: the lifeboat, its flame behind it, flying past meteors
// along a learned path, on a rounded square of deep space. One drawing, as
// SVG; the fixed sizes are rendered from it. Up to 32 pixels the drawing
// drops the stars, craters, path and third meteor, which would only blur
// there, and the lifeboat grows.

#include "icon.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <random>
#include <string>

namespace {

constexpr const char* kIconName = "org.korvane.Korvane";

std::string Fmt(const char* format, double a, double b = 0, double c = 0, double d = 0) {
  char buf[160];
  std::snprintf(buf, sizeof buf, format, a, b, c, d);
  return buf;
}

// A meteor: shaded from the upper left like the game's own, with craters.
std::string Meteor(double cx, double cy, double r, bool detailed) {
  std::string s = Fmt("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"url(#rock)\"/>\n", cx, cy, r);
  if (!detailed) return s;
  const double craters[][3] = {{-0.35, -0.2, 0.22}, {0.3, 0.25, 0.18}, {0.05, -0.5, 0.12}, {-0.15, 0.45, 0.1}};
  for (const auto& c : craters)
    s += Fmt("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"#4a3a2e\" opacity=\"0.55\"/>\n", cx + c[0] * r,
             cy + c[1] * r, c[2] * r);
  return s;
}

std::string Stars() {
  // Raw mt19937 outputs are fixed by the standard: the same sky every run.
  std::mt19937 gen(2026);
  auto uniform = [&gen] { return gen() * (1.0 / 4294967296.0); };
  std::string s;
  for (int i = 0; i < 18; ++i) {
    const double x = 24 + 208 * uniform(), y = 24 + 208 * uniform(), r = 0.8 + 1.6 * uniform();
    s += Fmt("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"#ffffff\" opacity=\"%.2f\"/>\n", x, y, r,
             0.45 + 0.5 * uniform());
  }
  return s;
}

// The lifeboat points right; its centre sits at (128, 132).
std::string Lifeboat(double scale) {
  return Fmt("<g transform=\"translate(128 132) rotate(-12) scale(%.2f)\">\n", scale) +
         "<path d=\"M-44 0 C-64 -14 -86 -8 -104 0 C-86 8 -64 14 -44 0 Z\" fill=\"url(#flame)\"/>\n"
         "<path d=\"M-36 -16 L-52 -30 L-30 -22 Z M-36 16 L-52 30 L-30 22 Z\" fill=\"#c83c2c\"/>\n"
         "<path d=\"M-46 -18 L20 -20 C44 -20 58 -10 62 0 C58 10 44 20 20 20 L-46 18 Z\" fill=\"url(#hull)\" "
         "stroke=\"#2a3350\" stroke-width=\"3\"/>\n"
         "<circle cx=\"26\" cy=\"-2\" r=\"9\" fill=\"#56d8f0\" stroke=\"#2a3350\" stroke-width=\"3\"/>\n"
         "<rect x=\"-38\" y=\"-5\" width=\"40\" height=\"6\" rx=\"3\" fill=\"#c83c2c\"/>\n"
         "</g>\n";
}

std::string IconSvg(bool detailed) {
  std::string s =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
      "<defs>\n"
      "<radialGradient id=\"space\" cx=\"0.4\" cy=\"0.35\" r=\"0.8\">"
      "<stop offset=\"0\" stop-color=\"#2b3c7e\"/><stop offset=\"1\" stop-color=\"#080c24\"/></radialGradient>\n"
      "<radialGradient id=\"rock\" cx=\"0.35\" cy=\"0.3\" r=\"0.75\">"
      "<stop offset=\"0\" stop-color=\"#d2b48f\"/><stop offset=\"1\" stop-color=\"#5e4736\"/></radialGradient>\n"
      "<linearGradient id=\"hull\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
      "<stop offset=\"0\" stop-color=\"#ffffff\"/><stop offset=\"1\" stop-color=\"#9ea8c0\"/></linearGradient>\n"
      "<linearGradient id=\"flame\" x1=\"1\" y1=\"0\" x2=\"0\" y2=\"0\">"
      "<stop offset=\"0\" stop-color=\"#fff27a\"/><stop offset=\"0.5\" stop-color=\"#ff9a1f\"/>"
      "<stop offset=\"1\" stop-color=\"#ff4a00\" stop-opacity=\"0\"/></linearGradient>\n"
      "</defs>\n"
      "<rect x=\"8\" y=\"8\" width=\"240\" height=\"240\" rx=\"44\" fill=\"url(#space)\" stroke=\"#050818\" "
      "stroke-width=\"4\"/>\n";
  if (detailed) {
    s += Stars();
    // The path the search found, through the gap between the meteors.
    s += "<path d=\"M18 166 C48 164 76 156 100 146\" fill=\"none\" stroke=\"#ffd84a\" stroke-width=\"5\" "
         "stroke-linecap=\"round\" stroke-dasharray=\"2 11\"/>\n";
    s += "<path d=\"M196 112 C212 106 226 100 238 96\" fill=\"none\" stroke=\"#ffd84a\" stroke-width=\"5\" "
         "stroke-linecap=\"round\" stroke-dasharray=\"2 11\"/>\n";
  }
  s += Meteor(184, 62, detailed ? 38 : 44, detailed);
  s += Meteor(74, 206, detailed ? 26 : 30, detailed);
  if (detailed) s += Meteor(206, 204, 17, detailed);
  s += Lifeboat(detailed ? 1.0 : 1.3);
  return s + "</svg>\n";
}

bool Write(const QString& path, const std::string& bytes) {
  FILE* f = std::fopen(qPrintable(path), "wb");
  const bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f && std::fclose(f) != 0) return false;
  return ok;
}

}  // namespace

bool MakeIcons(const QDir& outputDir) {
  const QString root = outputDir.filePath(QStringLiteral("icons/hicolor"));
  const QString name = QString::fromLatin1(kIconName);
  bool ok = true;
  const QString scalable = root + QStringLiteral("/scalable/apps");
  const std::string detailed = IconSvg(true);
  ok = QDir().mkpath(scalable) && Write(scalable + "/" + name + ".svg", detailed) && ok;
  const std::string plain = IconSvg(false);
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string& svg = size <= 32 ? plain : detailed;
    QSvgRenderer renderer(QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter painter(&img);
    renderer.render(&painter);
    painter.end();
    const QString dir = root + QStringLiteral("/%1x%1/apps").arg(size);
    const QString path = dir + "/" + name + ".png";
    if (!renderer.isValid() || !QDir().mkpath(dir) || !img.save(path, "PNG")) {
      std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
      ok = false;
      continue;
    }
    std::printf("%s %dx%d\n", qPrintable(path), size, size);
  }
  return ok;
}
