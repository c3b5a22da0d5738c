// Time to compose one 900 x 400 frame of the scene, offscreen.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include "app/scene_renderer.h"
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

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
