// Presenting in a real window: the court scene composed, then presented in a window of 1x,
// 2x and 3x the frame (800x600, 1600x1200, 2400x1800) as on a display without a graphics
// card (SDL's software renderer asked for, so the runtime stretches the frame itself). Only
// the presentation is timed (stretching what changed into the window, showing it), next to
// plain copies of an 800x600x4 frame taken between the frames. Two kinds of frame: one
// character stepping a pixel (half the frame changes), and the whole scene shifted a pixel
// (all of it changes). Needs a display (an X server such as Xvfb); without
// one the benchmarks say so and skip.
#include "court_scene.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_clock.h"
#include "lb/runtime_setup.h"

namespace {

namespace fs = std::filesystem;

void PresentInWindow(benchmark::State& state, bool wholeFrame) {
  const int scale = static_cast<int>(state.range(0));
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no display: run under Xvfb (xvfb-run -s '-screen 0 2560x1920x24')");
    return;
  }
  // The player's settings open the window at the scale, smoothed as it is by default.
  const fs::path dir = fs::temp_directory_path() / ("orvane_bench_present_" +
                                                     std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "orvane.ini") << "[settings]\nscale=" << scale << "\n";
  setenv("SDL_RENDER_DRIVER", "software", 1);
  const std::string folder = dir.string();
  OrvaneRuntimeOptions options{};
  options.gameDir = folder.c_str();
  options.saveDir = folder.c_str();
  options.maxTimeMs = -1;
  char error[512] = {};
  if (orvaneRuntimeSetup(&options, error, sizeof error) != ORVANE_SETUP_OK) {
    state.SkipWithError(error);
    fs::remove_all(dir);
    return;
  }
  lbSetFPS(1000);  // pacing sleeps as little as it can; sleeping takes no processor time
  {
    CourtScene scene;
    LbSprite background = scene.sprites.front();
    lbtsRenderScreen();
    for (int i = 0; i < 20; ++i) lbWaitEvent(1);  // the window is mapped and shown
    FrameCopies copies;
    double total = 0;
    int step = 0;
    for (auto _ : state) {
      ++step;
      if (wholeFrame) lbtsSetSpritePos(background, -(step & 1), 0);
      else lbtsSetSpritePos(scene.walker, 150 + (step & 1), 0);
      lbtsRender();
      double start = cpuSeconds();
      lbtsPresent();
      total += cpuSeconds() - start;
      lbWaitEvent(0);
      copies.copy();
    }
    copies.report(state, total, static_cast<double>(state.iterations()));
  }
  orvaneRuntimeShutdown();
  fs::remove_all(dir);
}

BENCHMARK_CAPTURE(PresentInWindow, CharacterStepped, false)
    ->ArgName("scale")->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PresentInWindow, WholeFrameChanged, true)
    ->ArgName("scale")->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
