// The costs of one pass of the window's loop, measured side by side in one
// process on whatever Qt platform it runs on (bench/frame.sh runs it on the
// offscreen platform and under Xvfb and prints the ratios).
//
//   BM_BareClear      every pixel of an image of Picture1's size filled with the background
//   BM_DrawPass       a frame: cleared, then the 41 Draw calls, finished into the image
//   BM_StraightDraw   the same frame drawn the plain way: a painter and a pen per call
//   BM_PhysicsPass    the Compute pass and the Move pass of the 41 nodes
//   BM_EmptyFrame     every pixel cleared and the whole surface presented, with the
//                     event dispatch that repaints it: presenting one frame, the floor
//   BM_FullPass       the program's pass: physics, clear, draw, present, event dispatch
//   BM_WholeSurfacePass  the same with every pixel also filled and the whole surface
//                     repainted each time: what a pass costs without tracking the ink
//   BM_Describe       the words that describe the surface, made from the 41 nodes
//   BM_Announce       the announcer asked whether the chain's state has changed (the
//                     timer's question a few times a second; mostly it has not)
//   BM_WordsDue       the session asked, as after every pass, whether words are due
//                     (a clock read and the held keys' times; mostly they are not)
//
// Wall-clock time throughout: presenting a frame may wait for the display server.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "model/Chain.h"
#include "render/Announce.h"
#include "render/Clip.h"
#include "render/Describe.h"
#include "render/Draw.h"
#include "render/Session.h"
#include "tests/straight_surface.h"
#include "ui/Form1.h"

namespace {

chain::Form1* form = nullptr;

// Fills every pixel of an image as large as the surface's, as clearing the
// whole surface would.
void FillWhole() {
  static QImage image(form->Picture1->Image().size(), QImage::Format_RGB32);
  image.fill(chain::Picture1::kBackground);
  benchmark::DoNotOptimize(image.constBits());
}

void BM_BareClear(benchmark::State& state) {
  for (auto _ : state) FillWhole();
}
BENCHMARK(BM_BareClear)->UseRealTime();

void BM_DrawPass(benchmark::State& state) {
  for (auto _ : state) {
    form->Picture1->Clear();
    chain::DrawChain(form->springs, *form->Picture1);
    benchmark::DoNotOptimize(form->Picture1->Image().constBits());
  }
}
BENCHMARK(BM_DrawPass)->UseRealTime();

void BM_StraightDraw(benchmark::State& state) {
  chain::testing::StraightSurface surface(form->Picture1->size());
  for (auto _ : state) {
    surface.Clear();
    chain::DrawChain(form->springs, surface);
    benchmark::DoNotOptimize(surface.Image().constBits());
  }
}
BENCHMARK(BM_StraightDraw)->UseRealTime();

void BM_PhysicsPass(benchmark::State& state) {
  for (auto _ : state) {
    chain::PhysicsPass(form->springs);
    benchmark::DoNotOptimize(form->springs(20).yPos);
  }
}
BENCHMARK(BM_PhysicsPass)->UseRealTime();

void BM_EmptyFrame(benchmark::State& state) {
  for (auto _ : state) {
    FillWhole();
    form->Picture1->update();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_EmptyFrame)->UseRealTime();

void BM_FullPass(benchmark::State& state) {
  for (auto _ : state) form->Pass();
}
BENCHMARK(BM_FullPass)->UseRealTime();

void BM_WholeSurfacePass(benchmark::State& state) {
  for (auto _ : state) {
    FillWhole();
    form->session.Pass(*form->Picture1);
    form->Picture1->Present();
    form->Picture1->update();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_WholeSurfacePass)->UseRealTime();

void BM_Describe(benchmark::State& state) {
  for (auto _ : state) {
    std::string words = chain::DescribeChain(chain::SurveyChain(form->springs, chain::kSurface),
                                             chain::Disturbance::kNone);
    benchmark::DoNotOptimize(words.data());
  }
}
BENCHMARK(BM_Describe)->UseRealTime();

void BM_Announce(benchmark::State& state) {
  chain::Announcer announcer;
  for (auto _ : state) {
    std::string words = announcer.Next(chain::SurveyChain(form->springs, chain::kSurface),
                                       chain::Disturbance::kNone, 0);
    benchmark::DoNotOptimize(words.data());
  }
}
BENCHMARK(BM_Announce)->UseRealTime();

void BM_WordsDue(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(form->session.WordsDue());
}
BENCHMARK(BM_WordsDue)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  chain::Form1 window;
  form = &window;
  window.StartUp();
  // Let the chain fall into its sagging curve first, as a user sees it most
  // of the time; the window is then mapped and painted once.
  for (int i = 0; i < 3000; ++i) window.Pass();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
