// Draws Korvane's pictures: the nebula background, the meteor and lifeboat
// sprites, the toolbar strips (toolbar.cpp) and the icon (icon.cpp). Every picture is computed from fixed seeds,
// so running this again writes the same files.
//
// Usage: make_pictures OUTPUT_DIR

#include <QDir>
#include <QImage>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "icon.h"
#include "toolbar.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct V3 {
  double x = 0, y = 0, z = 0;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
V3 mul(V3 a, V3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 norm(V3 a) { return a * (1.0 / std::sqrt(dot(a, a))); }
V3 mix(V3 a, V3 b, double t) { return a + (b - a) * t; }

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double smoothstep(double e0, double e1, double x) {
  const double t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// --- Deterministic value noise ---------------------------------------------

uint32_t hashU32(uint32_t h) {
  h ^= h >> 16;
  h *= 0x7feb352dU;
  h ^= h >> 15;
  h *= 0x846ca68bU;
  h ^= h >> 16;
  return h;
}

double lattice(int x, int y, int z, uint32_t seed) {
  uint32_t h = hashU32(static_cast<uint32_t>(z) * 0xcb1ab31fU ^ seed);
  h = hashU32(static_cast<uint32_t>(y) * 0xd8163841U ^ h);
  h = hashU32(static_cast<uint32_t>(x) * 0x8da6b343U ^ h);
  return (h >> 8) * (1.0 / 16777216.0);
}

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

double noise3(double x, double y, double z, uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy), iz = static_cast<int>(fz);
  const double tx = fade(x - fx), ty = fade(y - fy), tz = fade(z - fz);
  double v[2][2];
  for (int dz = 0; dz < 2; ++dz)
    for (int dy = 0; dy < 2; ++dy) {
      const double a = lattice(ix, iy + dy, iz + dz, seed);
      const double b = lattice(ix + 1, iy + dy, iz + dz, seed);
      v[dz][dy] = a + (b - a) * tx;
    }
  const double y0 = v[0][0] + (v[0][1] - v[0][0]) * ty;
  const double y1 = v[1][0] + (v[1][1] - v[1][0]) * ty;
  return y0 + (y1 - y0) * tz;
}

// Fractal sum of octaves, normalised to roughly [0, 1] around 0.5.
double fbm(double x, double y, double z, int octaves, uint32_t seed) {
  double sum = 0, amp = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * noise3(x, y, z, seed + static_cast<uint32_t>(i) * 101U);
    total += amp;
    amp *= 0.5;
    x *= 2.03;
    y *= 2.03;
    z *= 2.03;
  }
  return sum / total;
}
double fbm(V3 p, int octaves, uint32_t seed) { return fbm(p.x, p.y, p.z, octaves, seed); }

// Raw 32-bit outputs of mt19937 are fixed by the standard; distributions are not.
class Rng {
 public:
  explicit Rng(uint32_t seed) : gen_(seed) {}
  double uniform() { return gen_() * (1.0 / 4294967296.0); }
  double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

 private:
  std::mt19937 gen_;
};

// --- Pixel output ------------------------------------------------------------

// Exact white is the program's transparent key: drawn pixels must never be it.
QRgb toRgb(V3 c) {
  auto ch = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
  int r = ch(c.x), g = ch(c.y), b = ch(c.z);
  if (r == 255 && g == 255 && b == 255) r = g = b = 250;
  return qRgb(r, g, b);
}

// Light comes from the upper left and a little from the front (y points up).
const V3 kLight = norm({-0.55, 0.62, 0.58});

// Renders a sprite with sub-samples: a pixel belongs to the craft when at least
// half its samples hit, and its colour is the mean of the hits. The outline is
// thus hard, so keying white leaves no pale fringe against dark space.
template <class Shade>
QImage renderSprite(int w, int h, int sub, Shade shade) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int py = 0; py < h; ++py) {
    for (int px = 0; px < w; ++px) {
      V3 acc;
      int hits = 0;
      for (int sy = 0; sy < sub; ++sy)
        for (int sx = 0; sx < sub; ++sx) {
          V3 c;
          if (shade(px + (sx + 0.5) / sub, py + (sy + 0.5) / sub, c)) {
            acc = acc + c;
            ++hits;
          }
        }
      img.setPixel(px, py, hits * 2 >= sub * sub ? toRgb(acc * (1.0 / hits)) : qRgb(255, 255, 255));
    }
  }
  return img;
}

// --- Background: a deep-space nebula -----------------------------------------

QImage makeBackground() {
  constexpr int W = 742, H = 303;
  // Only the top-left 650 x 300 is shown, stretched to 900 x 400: work in
  // shown pixels / 400 so that clouds keep their shape on screen.
  constexpr double kSx = 900.0 / 650.0 / 400.0, kSy = 400.0 / 300.0 / 400.0;
  std::vector<V3> buf(static_cast<size_t>(W) * H);

  const V3 teal{0.05, 0.50, 0.55}, blue{0.10, 0.26, 0.85}, purple{0.42, 0.14, 0.78}, magenta{0.85, 0.16, 0.58};
  auto palette = [&](double t) {
    t = clamp01(t) * 3.0;
    if (t < 1) return mix(teal, blue, t);
    if (t < 2) return mix(blue, purple, t - 1);
    return mix(purple, magenta, t - 2);
  };

  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const double px = x * kSx, py = y * kSy;  // px in [0, 2.25], py in [0, 1]
      // A broad band of gas from the lower left to the upper right.
      const double centre = 0.80 - 0.26 * px + 0.10 * std::sin(px * 2.4 + 0.6);
      const double width = 0.20 + 0.16 * fbm(px * 0.9, 0.5, 0.0, 3, 11);
      const double d = (py - centre) / width;
      const double band = std::exp(-d * d);

      const double qx = px * 2.1, qy = py * 2.1;
      const double wx = fbm(qx, qy, 1.7, 4, 21) - 0.5;
      const double wy = fbm(qx + 5.2, qy + 1.3, 4.1, 4, 22) - 0.5;
      const double gas = fbm(qx + 1.6 * wx, qy + 1.6 * wy, 0.3, 6, 31);
      const double wisps = fbm(qx * 1.4 + 2.0 * wx, qy * 1.4 + 2.0 * wy, 8.0, 5, 32);
      double density = smoothstep(0.32, 0.78, gas) * band;
      density += 0.35 * smoothstep(0.50, 0.85, wisps) * (0.25 + 0.75 * band);
      // A second, fainter cloud in the upper left keeps that corner alive.
      const double dx2 = (px - 0.35) / 0.45, dy2 = (py - 0.22) / 0.25;
      density += 0.45 * std::exp(-(dx2 * dx2 + dy2 * dy2)) * smoothstep(0.40, 0.80, gas);

      // Dark dust lanes cut through the bright gas.
      const double dust = smoothstep(0.52, 0.70, fbm(qx * 1.8 + 0.8 * wx, qy * 1.8 + 0.8 * wy, 6.6, 5, 41));
      density *= 1.0 - 0.78 * dust * (0.4 + 0.6 * band);

      const double hue = smoothstep(0.40, 0.60, fbm(px * 1.3, py * 1.3, 9.0, 3, 51));
      const V3 colour = palette(0.55 * hue + 0.45 * (px / 2.25) + 0.1 * (wy + 0.5) - 0.05);

      const double vertical = 0.6 + 0.4 * py;
      V3 c = V3{0.010, 0.013, 0.042} * vertical + V3{0.02, 0.02, 0.06} * band;
      c = c + colour * (0.60 * density);
      c = c + V3{0.70, 0.62, 0.95} * (0.28 * std::pow(density, 3.0));
      buf[static_cast<size_t>(y) * W + x] = c;
    }
  }

  // Dim stars, denser inside the band, plus a few brighter ones with a halo.
  Rng rng(132);
  auto splat = [&](double sx, double sy, double sigma, V3 colour) {
    const int r = static_cast<int>(std::ceil(sigma * 3));
    for (int y = static_cast<int>(sy) - r; y <= static_cast<int>(sy) + r; ++y)
      for (int x = static_cast<int>(sx) - r; x <= static_cast<int>(sx) + r; ++x) {
        if (x < 0 || y < 0 || x >= W || y >= H) continue;
        const double dx = x + 0.5 - sx, dy = y + 0.5 - sy;
        const double g = std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma));
        V3& p = buf[static_cast<size_t>(y) * W + x];
        p = p + colour * g;
      }
  };
  const std::array<V3, 4> tints{V3{0.85, 0.90, 1.00}, V3{1.00, 0.95, 0.80}, V3{1.00, 0.80, 0.65}, V3{0.75, 0.85, 1.00}};
  for (int placed = 0; placed < 650;) {
    const double sx = rng.range(0, W), sy = rng.range(0, H);
    const double keep = rng.uniform();
    const double px = sx * kSx, py = sy * kSy;
    const double centre = 0.80 - 0.26 * px + 0.10 * std::sin(px * 2.4 + 0.6);
    const double d = (py - centre) / 0.3;
    if (keep > 0.35 + 0.65 * std::exp(-d * d)) continue;
    ++placed;
    const double b = 0.05 + 0.45 * std::pow(rng.uniform(), 5.0);
    const V3 tint = tints[static_cast<size_t>(rng.uniform() * 4) % 4];
    splat(sx, sy, 0.45 + 0.25 * b, tint * b);
  }
  for (int i = 0; i < 9; ++i) {
    const double sx = rng.range(20, 630), sy = rng.range(15, 285);
    const V3 tint = tints[static_cast<size_t>(rng.uniform() * 4) % 4];
    const double b = rng.range(0.45, 0.75);
    splat(sx, sy, 0.6, tint * b);
    splat(sx, sy, 2.2, tint * (0.06 * b));
  }

  QImage img(W, H, QImage::Format_RGB32);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const V3 c = buf[static_cast<size_t>(y) * W + x];
      // Soft shoulder so dense gas glows instead of clipping.
      auto tone = [](double v) { return 0.94 * (1.0 - std::exp(-1.7 * v)); };
      img.setPixel(x, y, toRgb({tone(c.x), tone(c.y), tone(c.z)}));
    }
  return img;
}

// --- Meteor: a cratered blue-grey moon --------------------------------------

struct Crater {
  V3 dir;
  double radius;  // angular radius on the unit sphere
  double depth;
};

std::vector<Crater> makeCraters() {
  Rng rng(143);
  std::vector<Crater> craters;
  for (int i = 0; i < 26; ++i) {
    const double z = rng.range(-0.15, 1.0), phi = rng.range(0, 2 * kPi);
    const double s = std::sqrt(1 - z * z);
    double r;
    if (i < 4)
      r = rng.range(0.22, 0.34);
    else if (i < 11)
      r = rng.range(0.10, 0.18);
    else
      r = rng.range(0.04, 0.09);
    craters.push_back({{s * std::cos(phi), s * std::sin(phi), z}, r, r * rng.range(0.16, 0.24)});
  }
  return craters;
}

QImage makeMeteor() {
  constexpr int N = 160;
  constexpr double C = 80.0, R = 79.0;
  const std::vector<Crater> craters = makeCraters();

  auto surfacePoint = [&](double x, double y) {
    double X = (x - C) / R, Y = (C - y) / R;
    const double r2 = X * X + Y * Y;
    if (r2 > 0.998) {
      const double k = std::sqrt(0.998 / r2);
      X *= k;
      Y *= k;
    }
    return V3{X, Y, std::sqrt(std::max(0.0, 1 - X * X - Y * Y))};
  };
  // Height above the mean sphere, in radii; also reports how much a point
  // lies in crater floors and on fresh rims for the albedo.
  auto height = [&](V3 n, double* floorAmount, double* rimAmount) {
    double h = 0.030 * (fbm(n * 3.0, 5, 61) - 0.5) + 0.010 * (fbm(n * 14.0, 3, 62) - 0.5);
    double fl = 0, rim = 0;
    for (const Crater& c : craters) {
      const double ang = std::acos(std::clamp(dot(n, c.dir), -1.0, 1.0));
      const double t = ang / c.radius;
      if (t > 2.2) continue;
      if (t < 1) {
        h -= c.depth * (1 - t * t);
        fl = std::max(fl, 1 - t * t);
      }
      const double e = (t - 1) / 0.22;
      const double bump = std::exp(-e * e);
      h += c.depth * 0.45 * bump;
      rim = std::max(rim, bump * std::min(1.0, c.radius / 0.12));
    }
    if (floorAmount) *floorAmount = fl;
    if (rimAmount) *rimAmount = rim;
    return h;
  };

  auto shade = [&](double x, double y, V3& out) {
    const double X = (x - C) / R, Y = (C - y) / R;
    if (X * X + Y * Y > 1.0) return false;
    const V3 n0 = surfacePoint(x, y);
    double fl = 0, rim = 0;
    height(n0, &fl, &rim);
    const double e = 0.5;
    const double gx =
        (height(surfacePoint(x + e, y), nullptr, nullptr) - height(surfacePoint(x - e, y), nullptr, nullptr)) /
        (2 * e / R);
    const double gy =
        (height(surfacePoint(x, y - e), nullptr, nullptr) - height(surfacePoint(x, y + e), nullptr, nullptr)) /
        (2 * e / R);
    const V3 n = norm({n0.x - 1.3 * gx, n0.y - 1.3 * gy, n0.z});

    // Blue-grey highlands, darker smooth "seas", fine grain.
    const double sea = smoothstep(0.50, 0.62, fbm(n0 * 1.5 + V3{3, 1, 2}, 4, 71));
    const double grain = fbm(n0 * 22.0, 3, 72);
    V3 albedo = mix(V3{0.47, 0.54, 0.72}, V3{0.27, 0.33, 0.52}, sea);
    albedo = albedo * (0.82 + 0.36 * grain);
    albedo = mix(albedo, albedo * 0.78, 0.6 * fl);
    albedo = mix(albedo, V3{0.66, 0.70, 0.80}, 0.35 * rim);

    const double diff = std::max(0.0, dot(n, kLight));
    const double limb = 0.75 + 0.25 * n0.z;
    V3 c = albedo * (0.07 + 1.12 * diff * limb);
    // Cool rim light on the dark side keeps the silhouette readable in space.
    const double rimLight = std::pow(1 - n0.z, 2.2) * (1 - smoothstep(0.0, 0.5, dot(n0, kLight)));
    c = c + V3{0.16, 0.26, 0.50} * (0.45 * rimLight);
    c = c + V3{0.02, 0.03, 0.06};
    out = {std::min(c.x, 0.96), std::min(c.y, 0.96), std::min(c.z, 0.97)};
    return true;
  };
  return renderSprite(N, N, 4, shade);
}

// --- Lifeboat: a round escape pod with four thruster stubs --------------------

struct Hit {
  double z = -1e9;
  V3 n;
  V3 albedo;
  double shine = 0;  // strength of the mirror highlight
  double gloss = 0;  // sharpness of the mirror highlight
  bool glass = false;
};

QImage makeLifeboat() {
  constexpr int N = 314;
  // The program uses the top-left 312 x 312: centre the craft in that part.
  constexpr double C = 156.0, S = 156.0;
  const double sphereR = 0.73 * S;
  const V3 hull{0.64, 0.77, 0.93};
  const V3 steel{0.58, 0.64, 0.74};
  const V3 dark{0.20, 0.22, 0.28};
  const V3 window = norm({0.52, 0.14, 0.84});  // the port faces the flight direction

  // One thruster stub along axis (ax, ay): collar, barrel, nozzle bell.
  auto stub = [&](double X, double Y, double ax, double ay, Hit& best) {
    const double t = X * ax + Y * ay;   // along the axis
    const double s = -X * ay + Y * ax;  // across it
    const V3 across{-ay, ax, 0};
    const V3 along{ax, ay, 0};
    struct Seg {
      double t0, t1, r0, r1;
      V3 albedo;
      double shine;
    };
    const Seg segs[] = {
        {0.00 * S, 0.80 * S, 0.25 * S, 0.25 * S, steel * 0.92, 0.35},  // collar
        {0.80 * S, 0.84 * S, 0.19 * S, 0.19 * S, steel * 0.80, 0.30},  // neck
        {0.84 * S, 0.97 * S, 0.19 * S, 0.25 * S, steel, 0.45},         // bell
    };
    for (const Seg& g : segs) {
      if (t < g.t0 || t > g.t1) continue;
      const double f = (t - g.t0) / (g.t1 - g.t0);
      const double r = g.r0 + (g.r1 - g.r0) * f;
      if (std::abs(s) > r) continue;
      const double z = std::sqrt(r * r - s * s);
      if (z <= best.z) continue;
      const double slope = (g.r1 - g.r0) / (g.t1 - g.t0);
      best.z = z;
      best.n = norm(across * (s / r) + V3{0, 0, z / r} + along * (-slope));
      V3 a = g.albedo;
      // A dark band marks the nozzle exit; a thin seam rings the collar.
      if (&g == &segs[2] && t > 0.93 * S) a = dark;
      if (&g == &segs[0] && std::abs(t - 0.76 * S) < 0.012 * S) a = a * 0.6;
      best.albedo = a;
      best.shine = g.shine;
      best.gloss = 24;
      best.glass = false;
    }
  };

  auto shade = [&](double x, double y, V3& out) {
    const double X = x - C, Y = C - y;
    Hit best;
    const double r2 = X * X + Y * Y;
    if (r2 <= sphereR * sphereR) {
      const double z = std::sqrt(sphereR * sphereR - r2);
      best.z = z;
      best.n = V3{X / sphereR, Y / sphereR, z / sphereR};
      best.albedo = hull;
      best.shine = 0.55;
      best.gloss = 80;
      // Porthole: glass inside a raised frame.
      const double ang = std::acos(std::clamp(dot(best.n, window), -1.0, 1.0));
      if (ang < 0.30) {
        best.albedo = {0.06, 0.12, 0.26};
        best.glass = true;
        best.shine = 1.0;
        best.gloss = 60;
      } else if (ang < 0.40) {
        best.albedo = steel * 0.85;
        // Tilt the frame's normal so it reads as a raised ring.
        const double k = (ang - 0.35) / 0.05;
        const V3 away = norm(best.n - window * dot(best.n, window));
        best.n = norm(best.n + away * (0.35 * k));
        best.shine = 0.5;
        best.gloss = 30;
      } else {
        // Panel seams: one ring around the middle, one meridian behind the port.
        const double lat = std::asin(std::clamp(best.n.y, -1.0, 1.0));
        const double lon = std::atan2(best.n.x, best.n.z);
        if (std::abs(lat + 0.05) < 0.018 || std::abs(lon + 0.35) < 0.02) best.albedo = hull * 0.62;
      }
    }
    stub(X, Y, 1, 0, best);
    stub(X, Y, -1, 0, best);
    stub(X, Y, 0, 1, best);
    stub(X, Y, 0, -1, best);
    if (best.z < -1e8) return false;

    const V3 n = best.n;
    const V3 view{0, 0, 1};
    const double diff = std::max(0.0, dot(n, kLight));
    const V3 half = norm(kLight + view);
    const double highlight = best.shine * std::pow(std::max(0.0, dot(n, half)), best.gloss);
    // Metal mirrors a bright sky above and dark space below.
    const V3 refl = n * (2 * dot(n, view)) - view;
    const double sky = smoothstep(-0.4, 0.8, refl.y);
    V3 c = mul(best.albedo, V3{0.16, 0.18, 0.24} + V3{1, 1, 1} * (0.85 * diff));
    c = c + mul(best.albedo, V3{0.10, 0.13, 0.18} + V3{0.25, 0.28, 0.32} * sky) * (best.glass ? 0.6 : 0.5);
    if (best.glass) {
      c = c + V3{0.25, 0.45, 0.70} * (0.35 * std::pow(smoothstep(0.2, 1.0, refl.y), 2));
      // A glint on the upper left of the pane says "glass" even when small.
      const double g = std::acos(std::clamp(dot(n, norm(window + V3{-0.13, 0.13, 0})), -1.0, 1.0));
      c = c + V3{0.60, 0.75, 0.90} * (0.9 * (1 - smoothstep(0.04, 0.08, g)));
    }
    c = c + V3{0.95, 0.97, 1.0} * highlight;
    // Cool back light on the lower right edge separates the craft from space.
    const double rim = std::pow(1 - std::max(0.0, n.z), 3) * smoothstep(-0.2, 0.6, n.x * 0.6 - n.y * 0.8);
    c = c + V3{0.20, 0.35, 0.55} * (0.45 * rim);
    out = {std::min(c.x, 0.965), std::min(c.y, 0.975), std::min(c.z, 0.98)};
    return true;
  };
  return renderSprite(N, N, 3, shade);
}

bool save(const QImage& img, const QDir& dir, const char* name) {
  const QString path = dir.filePath(QString::fromLatin1(name));
  if (!img.convertToFormat(QImage::Format_RGB888).save(path, "PNG")) {
    std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s %dx%d\n", qPrintable(path), img.width(), img.height());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_pictures OUTPUT_DIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.exists()) {
    std::fprintf(stderr, "make_pictures: no such directory: %s\n", argv[1]);
    return 1;
  }
  bool ok = save(makeBackground(), dir, "background.png");
  ok = save(makeMeteor(), dir, "meteor.png") && ok;
  ok = save(makeLifeboat(), dir, "lifeboat.png") && ok;
  ok = save(MakeToolbar(), dir, "toolbar.png") && ok;
  ok = save(MakeRunToolbar(), dir, "run_toolbar.png") && ok;
  ok = MakeIcons(dir) && ok;
  return ok ? 0 : 1;
}
