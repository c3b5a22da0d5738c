// Time to compose one 900 x 400 frame of the scene, offscreen.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "app/network_panel_widget.h"
#include "app/scene_renderer.h"
#include "app/shapes_panel.h"
#include "engine/autopilot.h"
#include "engine/plan_search.h"
#include "ui_model/breeding_panel.h"
#include "ui_model/classroom_strip.h"
#include "ui_model/see_inside.h"
#include "sim/meteor_field.h"

using namespace korvane;

namespace {

void BM_ComposeFrame(benchmark::State& state) {
  SceneRenderer renderer(1);
  QImage scene(ViewWidth, ViewHeight, QImage::Format_RGB32);
  MeteorField field = BuiltInLevel(static_cast<int>(state.range(0)));
  CLifeboat boat;
  boat.Reset(20, 200, 2.5);
  Perception per;
  PlanPanelData panel;
  panel.generation = 12;
  panel.best = 1234.5;
  SceneInput in;
  in.boat = &boat;
  in.field = &field;
  in.perception = &per;
  in.planPanel = &panel;
  in.showPerception = true;
  double x = 20;
  for (auto _ : state) {
    // The lifeboat moves across the field, so the camera scrolls.
    x = x > 1700 ? 20 : x + 7;
    boat.m_position.x = x;
    boat.m_thrustMarker = 2 + static_cast<int>(x) % 4;
    renderer.Compose(scene, in);
    benchmark::DoNotOptimize(scene.constBits());
  }
}
BENCHMARK(BM_ComposeFrame)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

// A frame of a search shown with its whole population: 200 paths of 64
// points over the field, and beside it the network panel.
void BM_ComposeSeeInside(benchmark::State& state) {
  SceneRenderer renderer(1);
  QImage scene(ViewWidth, ViewHeight, QImage::Format_RGB32);
  QImage side(NetworkPanelWidth, ViewHeight, QImage::Format_RGB32);
  MeteorField field = BuiltInLevel(2);
  CLifeboat boat;
  boat.Reset(20, 200, 2.5);
  Perception per;
  PopulationPaths paths;
  CRand rng(1);
  for (int n = 0; n < 200; ++n) {
    PlanPath p;
    p.Start(20, 200);
    double y = 200;
    for (int t = 1; t < 400; ++t) p.Tick(20 + t * 2.2, y += (rng() % 7 - 3) * 0.8);
    p.Finish(n % 3 ? PathEnd::Crashed : PathEnd::Escaped);
    paths.paths.push_back(p);
  }
  paths.best = 17;
  CNeuralNet net;
  SimParams params;
  net.Build(params, rng);
  FlightState fs;
  fs.boat = boat;
  CheckCollision(fs.per, fs.boat, field, 1);
  const auto view = CAutoPilot::ViewNetwork(net, fs, params);
  SceneInput in;
  in.boat = &boat;
  in.field = &field;
  in.perception = &per;
  in.paths = &paths;
  const int part = static_cast<int>(state.range(0));  // 1 paths, 2 panel, 3 both
  for (auto _ : state) {
    if (part & 1) renderer.Compose(scene, in);
    QPainter p(&side);
    if (part & 2) NetworkPanelWidget::Paint(p, view.get());
    p.end();
    benchmark::DoNotOptimize(scene.constBits());
    benchmark::DoNotOptimize(side.constBits());
  }
}
BENCHMARK(BM_ComposeSeeInside)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// A frame of the classroom under 单步: the field with every plan's path, the
// strip beside it (panel, chart of 200 generations with diversity), the
// network panel with its key, and the breeding view below of a generation
// of 200 plans.
void BM_ClassroomFrame(benchmark::State& state) {
  SceneRenderer renderer(1);
  QImage scene(ViewWidth, ViewHeight, QImage::Format_RGB32);
  QImage strip(ClassroomStripWidth, ViewHeight, QImage::Format_RGB32);
  QImage side(NetworkPanelWidth, ViewHeight, QImage::Format_RGB32);
  QImage below(ViewWidth, BreedingPanelHeight, QImage::Format_RGB32);
  MeteorField field = BuiltInLevel(2);
  CLifeboat boat;
  boat.Reset(20, 200, 2.5);
  Perception per;
  CRand rng(1);
  PopulationPaths paths;
  for (int n = 0; n < 200; ++n) {
    PlanPath p;
    p.Start(20, 200);
    double y = 200;
    for (int t = 1; t < 400; ++t) p.Tick(20 + t * 2.2, y += (rng() % 7 - 3) * 0.8);
    p.Finish(n % 3 ? PathEnd::Crashed : PathEnd::Escaped);
    paths.paths.push_back(p);
  }
  SimParams params;
  CNeuralNet net;
  net.Build(params, rng);
  FlightState fs;
  fs.boat = boat;
  CheckCollision(fs.per, fs.boat, field, 1);
  const auto network = CAutoPilot::ViewNetwork(net, fs, params);
  // A generation bred as a search breeds it, recorded.
  CPlanGA ga;
  ga.Init(params.PopulationSize, params.DurationMutationRate, params.ChromosomeLength, params, rng);
  std::vector<CPlanGenome> work = ga.Genomes();
  for (std::size_t n = 0; n < work.size(); ++n) work[n].m_fitness = 100.0 + static_cast<double>((n * 7919) % 1500);
  BreedingView bred;
  bred.plans.emplace();
  ga.Epoch(work, params, rng, &bred.plans->record);
  FillPlanBreeding(bred, ga, work.size());
  ChartData chart;
  for (int g = 1; g <= 200; ++g) {
    chart.bestHistory.push_back(400 + g * 3.1);
    chart.averageHistory.push_back(200 + g * 1.7);
    chart.diversityHistory.push_back(0.8 - g * 0.003);
  }
  chart.generation = 200;
  PlanPanelData panel;
  panel.generation = 200;
  StripInput s;
  s.activity = RunKind::StepByStep;
  s.panel = &panel;
  s.chart = &chart;
  SceneInput in;
  in.boat = &boat;
  in.field = &field;
  in.perception = &per;
  in.paths = &paths;
  // Arg 1: a child chosen every frame, so the breeding is painted anew each
  // time; Arg 0: the frames of a flight, the breeding unchanged (the window
  // keeps its picture).
  ShapesCache cache;
  const bool choosing = state.range(0) != 0;
  int child = 0;
  for (auto _ : state) {
    renderer.Compose(scene, in);
    {
      QPainter p(&strip);
      PaintShapes(p, ClassroomStrip(s));
    }
    const QImage& bredPicture = cache.Picture({&bred, bred.generation, child, bred.total}, ViewWidth,
                                              BreedingPanelHeight, [&] { return BreedingPanel(bred, child); });
    {
      QPainter p(&below);
      p.drawImage(0, 0, bredPicture);
    }
    QPainter p(&side);
    NetworkPanelWidget::Paint(p, network.get(), true);
    p.end();
    if (choosing) child = (child + 1) % 20;
    benchmark::DoNotOptimize(scene.constBits());
    benchmark::DoNotOptimize(below.constBits());
  }
}
BENCHMARK(BM_ClassroomFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
