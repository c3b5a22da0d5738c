// Frame composition: camera, sprite, flame and indicator, perception marks,
// score overlays, the meteor layer and the stars.
#include <QPainter>
#include <QtTest>

#include "app/korvane_view.h"
#include "app/network_panel_widget.h"
#include "app/scene_renderer.h"
#include "engine/autopilot.h"
#include "gui_test_support.h"
#include "ui_model/scene_geometry.h"
#include "ui_model/settings_store.h"

using namespace korvane;

namespace {

constexpr std::uint32_t Seed = 77;

struct Scene {
  CLifeboat boat;
  MeteorField field = BuiltInLevel(1);
  Perception per;
  SimParams params;
  bool editMode = false;
  bool showPerception = false;
  std::optional<PlanPanelData> panel;
  std::optional<ChartData> chart;

  Scene() { boat.Reset(20, 200, params.LifeboatSize); }

  // A frame from a fresh renderer, so two scenes drawn this way have the
  // same stars and differ only in what the scenes differ in.
  QImage Render() const {
    SceneRenderer r(Seed);
    QImage img(ViewWidth, ViewHeight, QImage::Format_RGB32);
    SceneInput in;
    in.boat = &boat;
    in.field = &field;
    in.perception = &per;
    in.params = params;
    in.editMode = editMode;
    in.showPerception = showPerception;
    in.planPanel = panel ? &*panel : nullptr;
    in.chart = chart ? &*chart : nullptr;
    r.Compose(img, in);
    return img;
  }
};

// The box around every pixel where two frames differ, within a region.
QRect DiffBox(const QImage& a, const QImage& b, const QRect& within) {
  QRect box;
  for (int y = within.top(); y <= within.bottom(); ++y)
    for (int x = within.left(); x <= within.right(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) box |= QRect(x, y, 1, 1);
  return box;
}

int CountColour(const QImage& img, QRgb rgb, const QRect& within) {
  int n = 0;
  for (int y = within.top(); y <= within.bottom(); ++y)
    for (int x = within.left(); x <= within.right(); ++x)
      if ((img.pixel(x, y) & 0xffffffu) == (rgb & 0xffffffu)) ++n;
  return n;
}

const QRect Whole(0, 0, ViewWidth, ViewHeight);
const QRect IndicatorArea(620, 140, 110, 120);
const QRgb CurrentArrow = qRgb(255, 255, 128);
const QRgb OtherArrow = qRgb(255, 255, 0);
const QRgb Flame = qRgb(241, 219, 141);
const QRgb Ring = qRgb(117, 244, 255);
const QRgb Axis = qRgb(125, 233, 255);

}  // namespace

class SceneTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { GlobalParams().Set(SimParams{}); }

  void cameraFollowsTheLifeboat() {
    const struct {
      double x;
      int c;
      int sx;
    } cases[] = {{20, 0, 20},        {450, 0, 450},    {450.5, 0, 450},  {1000, 550, 450},
                 {1349.9, 899, 450}, {1350, 900, 450}, {1500, 900, 600}, {1799.9, 900, 899}};
    for (const auto& c : cases) {
      QCOMPARE(CameraOffset(c.x), c.c);
      QCOMPARE(SpriteX(c.x), c.sx);
    }
  }

  void spriteSquareFollowsTheSize() {
    QCOMPARE(LifeboatSpriteRect(20, 200, 2.5), (IRect{5, 185, 30, 30}));
    QCOMPARE(LifeboatSpriteRect(450, 100.7, 1.0), (IRect{444, 94, 12, 12}));
    QCOMPARE(MeteorRect(Obstacle{300, 350, 30}), (IRect{270, 320, 60, 60}));
    QCOMPARE(MeteorRect(Obstacle{10.5, 20.9, 7.7}), (IRect{2, 13, 15, 15}));
  }

  // The sprite lands where the camera puts it, for the three camera cases.
  void lifeboatIsDrawnInsideItsSquare() {
    for (double x : {20.0, 1000.0, 1500.0}) {
      Scene with;
      with.boat.m_position.x = x;
      with.params.HideThrustMarker = 1;
      Scene without = with;
      without.editMode = true;  // the editor draws no lifeboat
      const QRect box = DiffBox(with.Render(), without.Render(), Whole);
      const IRect r = LifeboatSpriteRect(SpriteX(x), 200, 2.5);
      const QRect square(r.x, r.y, r.w, r.h);
      QVERIFY2(square.contains(box), qPrintable(QString("x=%1").arg(x)));
      // The thrusters reach out to the square's sides.
      QVERIFY(box.width() >= 26 && box.height() >= 26);
    }
  }

  void flameFollowsTheMarker() {
    CLifeboat b;
    b.Reset(20, 200, 2.5);
    QVERIFY(FlamePoints(b, 20).empty());
    b.m_thrustMarker = 2;  // thrust up, flame below
    const auto up = FlamePoints(b, 20);
    QCOMPARE(up.size(), std::size_t(5));
    QCOMPARE(up[0], (IPoint{22, 212}));
    QCOMPARE(up[2], (IPoint{20, 221}));
    b.m_thrustMarker = 3;
    QCOMPARE(FlamePoints(b, 20)[0], (IPoint{18, 187}));
    b.m_thrustMarker = 4;  // thrust left, flame to the right
    QCOMPARE(FlamePoints(b, 20)[2], (IPoint{41, 200}));
    b.m_thrustMarker = 5;
    QCOMPARE(FlamePoints(b, 20)[2], (IPoint{-1, 200}));
  }

  void arrowsSurroundTheFixedCentre() {
    QCOMPARE(ArrowOutline(2)[0], (IPoint{675, 160}));
    QCOMPARE(ArrowOutline(3)[0], (IPoint{675, 240}));
    QCOMPARE(ArrowOutline(4)[0], (IPoint{635, 200}));
    QCOMPARE(ArrowOutline(5)[0], (IPoint{715, 200}));
    for (int m = 2; m <= 5; ++m) QCOMPARE(ArrowOutline(m)[0], ArrowOutline(m)[7]);
    QCOMPARE(ArrowOutline(3)[3], (IPoint{680, 210}));
  }

  void indicatorShowsTheCurrentThrust() {
    Scene s;
    const QImage idle = s.Render();
    QCOMPARE(CountColour(idle, CurrentArrow, IndicatorArea), 0);
    QVERIFY(CountColour(idle, OtherArrow, IndicatorArea) > 40);

    s.boat.m_thrustMarker = 2;
    const QImage up = s.Render();
    QVERIFY(CountColour(up, CurrentArrow, QRect(660, 155, 31, 50)) > 40);  // the up arrow
    QCOMPARE(CountColour(up, CurrentArrow, QRect(620, 215, 110, 40)), 0);  // not the down arrow
    QVERIFY(CountColour(up, Flame, QRect(5, 200, 30, 30)) > 5);

    // The switch hides the arrows, not the flame.
    s.params.HideThrustMarker = 1;
    const QImage hidden = s.Render();
    QCOMPARE(CountColour(hidden, CurrentArrow, IndicatorArea), 0);
    QCOMPARE(CountColour(hidden, OtherArrow, IndicatorArea), 0);
    QVERIFY(CountColour(hidden, Flame, QRect(5, 200, 30, 30)) > 5);
  }

  void editorDrawsNoLifeboatFlameOrIndicator() {
    Scene s;
    s.boat.m_thrustMarker = 2;
    s.editMode = true;
    const QImage img = s.Render();
    QCOMPARE(CountColour(img, OtherArrow, IndicatorArea), 0);
    QCOMPARE(CountColour(img, CurrentArrow, IndicatorArea), 0);
    QCOMPARE(CountColour(img, Flame, Whole), 0);
  }

  void perceptionMarksFollowTheSwitches() {
    Scene s;
    // Slot 0: meteor 0 (300, 350, r 30), its rim 100 px right and 120 px down.
    s.per.m_perceivedIndex[0] = 0;
    s.per.m_perceivedDx[0] = 100;
    s.per.m_perceivedDy[0] = 120;
    const QRect column(119, 0, 3, 60);  // the vertical cross-hair at x = 120, away from the rest
    QCOMPARE(CountColour(s.Render(), Ring, Whole), 0);

    s.showPerception = true;
    const QImage on = s.Render();
    QVERIFY(CountColour(on, Ring, QRect(265, 315, 70, 70)) > 60);  // the 30-sided circle
    QVERIFY(CountColour(on, OtherArrow, column) > 10);             // dashed: some, not all
    QVERIFY(CountColour(on, OtherArrow, column) < 60);

    s.params.HidePerceived = 1;
    const QImage hidden = s.Render();
    QCOMPARE(CountColour(hidden, Ring, Whole), 0);
    QCOMPARE(CountColour(hidden, OtherArrow, column), 0);
  }

  void emptySlotsDrawTheirCircleButNoCrossHair() {
    CLifeboat b;
    b.Reset(20, 200, 2.5);
    Perception per;  // every offset is the filler
    per.m_perceivedIndex[0] = 2;
    const MeteorField field = BuiltInLevel(1);
    const auto marks = PerceptionMarks(b, per, field, 0, 1);
    QCOMPARE(marks.size(), std::size_t(1));
    QCOMPARE(marks[0].circle[0], (IPoint{630, 50}));  // meteor 2 at (600, 50), r 30
    QCOMPARE(marks[0].circle[30], marks[0].circle[0]);
    QVERIFY(marks[0].rim.x > ViewWidth && marks[0].rim.y > ViewHeight);
    // The number of slots comes from the input count; a stale index is skipped.
    per.m_perceivedIndex[1] = 57;
    QCOMPARE(PerceptionMarks(b, per, field, 0, 2).size(), std::size_t(1));
  }

  void planPanelAppearsOnlyWithData() {
    Scene s;
    const QRect text(20, 20, 300, 92);
    const QImage none = s.Render();
    s.panel = PlanPanelData{1, 1712.96, 181.5, 16.2, 90.6, 18.6};
    const QImage with = s.Render();
    const int before = CountColour(none, qRgb(255, 255, 255), text);
    QVERIFY(CountColour(with, qRgb(255, 255, 255), text) > before + 200);
    // Nothing is drawn beyond the six lines.
    QVERIFY(DiffBox(none, with, Whole).bottom() < 115);
  }

  void weightChartDrawsAxesAndCurvesUnlessHidden() {
    Scene s;
    ChartData c;
    c.generation = 3;
    c.best = 30;
    c.average = 20;
    c.bestHistory = {10, 20, 30};
    c.averageHistory = {5, 10, 20};
    s.chart = c;
    const QImage with = s.Render();
    QVERIFY(CountColour(with, Axis, QRect(111, 25, 3, 150)) > 100);  // upper axis at x0 = 112
    QVERIFY(CountColour(with, Axis, QRect(112, 174, 675, 3)) > 500);
    s.params.HideScoreChart = 1;
    const QImage hidden = s.Render();
    QCOMPARE(CountColour(hidden, Axis, Whole), 0);
    // The text lines stay.
    QVERIFY(CountColour(hidden, qRgb(255, 255, 255), QRect(20, 20, 300, 45)) > 100);
  }

  void allZeroHistoriesLieOnTheBaseline() {
    Scene s;
    ChartData c;
    c.generation = 2;
    c.bestHistory = {0, 0};
    c.averageHistory = {0, 0};
    s.chart = c;
    const QImage img = s.Render();  // must not divide by zero
    QCOMPARE(CountColour(img, qRgb(142, 196, 255), QRect(113, 25, 680, 148)), 0);
  }

  void meteorLayerIsRebuiltOnlyWhenTheFieldChanges() {
    SceneRenderer r(Seed);
    QImage img(ViewWidth, ViewHeight, QImage::Format_RGB32);
    CLifeboat b;
    b.Reset(20, 200, 2.5);
    MeteorField field = BuiltInLevel(1);
    Perception per;
    SceneInput in;
    in.boat = &b;
    in.field = &field;
    in.perception = &per;
    r.Compose(img, in);
    r.Compose(img, in);
    QCOMPARE(r.MeteorLayerBuilds(), 1);
    field.obstacles[3].radius += 1;
    r.Compose(img, in);
    QCOMPARE(r.MeteorLayerBuilds(), 2);
    // Entries beyond the count do not matter.
    field.obstacles[15].x = 1234;
    r.Compose(img, in);
    QCOMPARE(r.MeteorLayerBuilds(), 2);
  }

  // The panel keeps the drawing of its connections between frames: another
  // network, other weights of the same shape or the key must each be drawn
  // anew, and coming back gives the first picture again.
  void networkPanelRedrawsItsConnectionsWhenTheNetworkChanges() {
    SimParams params;
    CRand rng(5);
    FlightState fs;
    fs.boat.Reset(300, 180, 2.5);
    const MeteorField field = BuiltInLevel(2);
    CheckCollision(fs.per, fs.boat, field, 1);
    CNeuralNet a, b;
    a.Build(params, rng);
    b.Build(params, rng);
    const auto viewA = CAutoPilot::ViewNetwork(a, fs, params);
    auto viewB = CAutoPilot::ViewNetwork(b, fs, params);
    // Same shape and activations as A, B's weights.
    auto mixed = std::make_unique<NetworkView>(*viewA);
    mixed->weights = viewB->weights;
    auto paint = [](const NetworkView* v, bool key) {
      QImage img(NetworkPanelWidth, ViewHeight, QImage::Format_RGB32);
      QPainter p(&img);
      NetworkPanelWidget::Paint(p, v, key);
      return img;
    };
    const QImage first = paint(viewA.get(), false);
    QVERIFY(paint(viewB.get(), false) != first);
    QVERIFY(paint(mixed.get(), false) != first);
    QVERIFY(paint(viewA.get(), true) != first);
    QCOMPARE(paint(viewA.get(), false), first);
    QCOMPARE(paint(viewA.get(), false), first);
  }

  void meteorsScrollWithTheCamera() {
    Scene s;
    s.field.count = 1;
    s.field.obstacles[0] = {1200, 200, 40};
    s.params.HideThrustMarker = 1;
    Scene empty = s;
    empty.field.count = 0;
    s.boat.m_position.x = 1000;  // camera 550: the meteor is at window x 650
    empty.boat.m_position.x = 1000;
    const QRect box = DiffBox(s.Render(), empty.Render(), QRect(500, 0, 400, 400));
    QVERIFY(QRect(610, 160, 80, 80).contains(box));
    QVERIFY(box.width() > 70);
  }

  void starsMoveEveryTenthFrame() {
    SceneRenderer r(Seed);
    QImage img(ViewWidth, ViewHeight, QImage::Format_RGB32);
    CLifeboat b;
    b.Reset(20, 200, 2.5);
    MeteorField field;
    field.count = 0;
    Perception per;
    SceneInput in;
    in.boat = &b;
    in.field = &field;
    in.perception = &per;
    in.params.HideThrustMarker = 1;
    // Star pixels are (255, 240, b); compare where they are, frame to frame.
    auto starMask = [](const QImage& f) {
      QImage m(f.size(), QImage::Format_Mono);
      m.fill(0);
      for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x)
          if (qRed(f.pixel(x, y)) == 255 && qGreen(f.pixel(x, y)) == 240) m.setPixel(x, y, 1);
      return m;
    };
    std::vector<QImage> masks;
    for (int i = 0; i < 13; ++i) {
      r.Compose(img, in);
      masks.push_back(starMask(img));
    }
    // Frames 0 and 10 give new places; on those frames a cluster still uses
    // the next star's old place, so they differ from their followers too.
    for (int i = 2; i < 10; ++i) QCOMPARE(masks[i], masks[1]);
    QVERIFY(masks[0] != masks[1]);
    QVERIFY(masks[10] != masks[9]);
    QVERIFY(masks[11] != masks[9]);
    QCOMPARE(masks[12], masks[11]);
  }

  // The flame and the solid arrow last exactly one painted frame: composing
  // changes nothing, painting sets the marker back.
  void theThrustMarkerLastsOnePaintedFrame() {
    CKorvaneView view;
    korvane::test::ChangeLifeboat(view.State(), [](CLifeboat& b) { b.m_thrustMarker = 4; });
    QVERIFY(CountColour(view.ComposeScene(), CurrentArrow, IndicatorArea) > 20);
    QVERIFY(CountColour(view.ComposeScene(), CurrentArrow, IndicatorArea) > 20);
    QCOMPARE(view.State().Lifeboat().m_thrustMarker, 4);
    view.grab();  // a paint
    QCOMPARE(view.State().Lifeboat().m_thrustMarker, 1);
    QCOMPARE(CountColour(view.ComposeScene(), CurrentArrow, IndicatorArea), 0);
  }
};

QTEST_MAIN(SceneTest)
#include "test_scene.moc"
