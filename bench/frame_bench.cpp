// Frame cost: a court-like scene (background, three characters with alpha, the message
// window, two text surfaces, three buttons) composed per frame, next to plain copies of an
// 800x600x4 frame taken between the frames. The "memcpys" counter is the frame's processor
// time in such copies. With core built, the same scene rendered through core, and a
// cross-fade step and a mask-wipe step driven through core, are measured the same way.
#include "compositor.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <cstring>
#include <vector>

#include "bench_clock.h"
#include "court_scene.h"

#ifdef ORVANE_BENCH_CORE
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "game/system.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/frame.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "present/transitions.h"
#endif

namespace {

void BM_FrameMemcpy(benchmark::State& state) {
  std::vector<uint32_t> from(kFrameWidth * kFrameHeight, 1), to(kFrameWidth * kFrameHeight);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameMemcpy)->Unit(benchmark::kMicrosecond);

// The scene with one character stepping a pixel back and forth: the pixels it leaves and
// takes are drawn again each frame, while every image's premultiplied copy is reused.
void BM_CourtFrame(benchmark::State& state) {
  CourtScene scene;
  LbSprite walker = scene.walker;
  lbtsRender();
  FrameCopies copies;
  double total = 0;
  int step = 0;
  for (auto _ : state) {
    lbtsSetSpritePos(walker, 150 + (++step & 1), 0);
    double start = cpuSeconds();
    lbtsRender();
    total += cpuSeconds() - start;
    copies.copy();
  }
  copies.report(state, total, static_cast<double>(state.iterations()));
}
BENCHMARK(BM_CourtFrame)->Unit(benchmark::kMicrosecond);

// The scene standing still, as in most frames of a wait: the last frame is kept.
void BM_CourtFrameUnchanged(benchmark::State& state) {
  CourtScene scene;
  lbtsRender();
  FrameCopies copies;
  double total = 0;
  for (auto _ : state) {
    double start = cpuSeconds();
    lbtsRender();
    total += cpuSeconds() - start;
    copies.copy();
  }
  copies.report(state, total, static_cast<double>(state.iterations()));
}
BENCHMARK(BM_CourtFrameUnchanged)->Unit(benchmark::kMicrosecond);

// A character typed each frame: a glyph-sized block of the text surface is written, as the
// runtime's character drawing writes it, saying where.
void BM_CourtFrameWhileTyping(benchmark::State& state) {
  CourtScene scene;
  lbtsRender();
  FrameCopies copies;
  double total = 0;
  int n = 0;
  for (auto _ : state) {
    int column = n % 30, line = n / 30 % 3;
    ++n;
    lbtsFillImageRect(scene.textSurface, 10 + 24 * column, 8 + 36 * line, 22, 24, 1.0f, 1.0f,
                      1.0f, (n & 1) ? 1.0f : 0.0f);
    double start = cpuSeconds();
    lbtsRender();
    total += cpuSeconds() - start;
    copies.copy();
  }
  copies.report(state, total, static_cast<double>(state.iterations()));
}
BENCHMARK(BM_CourtFrameWhileTyping)->Unit(benchmark::kMicrosecond);

#ifdef ORVANE_BENCH_CORE

// core started over the headless runtime, so a step is everything core does per frame of a
// transition (timers, corner alpha or the wipe level on every sub-sprite, the render with
// its retry rule, the pump) plus the runtime's compose and present.
struct CoreSession {
  CoreSession() {
    namespace fs = std::filesystem;
    gameDir = fs::temp_directory_path() / ("orvane_bench_" + std::to_string(::getpid()));
    fs::create_directories(gameDir / "sys");
    writeMask(gameDir / "sys" / "wipe_bg.bmp");
    const std::string game = gameDir.string();
    OrvaneRuntimeOptions options{};
    options.headless = 1;
    options.gameDir = game.c_str();
    options.maxTimeMs = 1LL << 40;  // the virtual clock runs for as long as the bench does
    char error[512] = {};
    if (orvaneRuntimeSetup(&options, error, sizeof error) != ORVANE_SETUP_OK ||
        lbLoadSystem(RUNTIME_PATH) != 1) {
      std::fprintf(stderr, "bench_frame: the headless runtime cannot be set up: %s\n", error);
      std::exit(1);
    }
    realRender = gHost.lbtsRenderScreen;
    gHost.lbtsRenderScreen = [] {
      ++steps;
      return realRender();
    };
    StartSystem(kFrameWidth, kFrameHeight, false);
    hideTextLayer("def");
    hideTextLayer("system");
    registerWipe("fade", "", 500, 0);
    registerWipe("wipe", "sys/wipe_bg", 500, 0);
  }
  ~CoreSession() {
    ShutdownSystem();
    lbUnloadSystem();
    orvaneRuntimeShutdown();
    std::filesystem::remove_all(gameDir);
  }
  // A grey mask as a 24-bit BMP: a diagonal ramp with a ripple, so every level of the wipe
  // has an edge running across the whole sprite.
  static void writeMask(const std::filesystem::path& file) {
    const int w = 200, h = 150, row = w * 3;
    std::vector<uint8_t> bmp(54 + static_cast<size_t>(row) * h);
    auto put32 = [&bmp](size_t at, uint32_t v) {
      for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int g = (x + y) * 255 / (w + h) + ((x / 8 + y / 8) % 2) * 6;
        uint8_t* p = &bmp[54 + static_cast<size_t>(y) * row + x * 3];
        p[0] = p[1] = p[2] = static_cast<uint8_t>(std::min(g, 255));
      }
    std::FILE* out = std::fopen(file.string().c_str(), "wb");
    std::fwrite(bmp.data(), 1, bmp.size(), out);
    std::fclose(out);
  }
  std::filesystem::path gameDir;
  static inline int (*realRender)() = nullptr;
  static inline long steps = 0;
};

// Started by the first benchmark that needs it; ended by main before the program's static
// objects go, since shutting down still logs through them.
std::unique_ptr<CoreSession> gSession;

CoreSession& coreSession() {
  if (!gSession) gSession = std::make_unique<CoreSession>();
  return *gSession;
}

// Two character-sized sprites of the sprite table trade places over the court scene with
// the named transition, back and forth; reported per rendered step.
void TransitionSteps(benchmark::State& state, const char* wipe) {
  coreSession();
  CourtScene scene;
  buildColourSprite(20, 0, 400, 600, "#c08040", 150, 0, 0, 0, 12, 0, "", "none");
  buildColourSprite(21, 0, 400, 600, "#4080c0", 250, 0, 0, 0, 12, 0, "hide", "none");
  CoreSession::steps = 0;
  FrameCopies copies;
  double total = 0;
  bool forth = true;
  for (auto _ : state) {
    long before = CoreSession::steps;
    double start = cpuSeconds();
    if (forth) showSprite(21, 20, wipe);
    else showSprite(20, 21, wipe);
    total += cpuSeconds() - start;
    forth = !forth;
    copies.copy(static_cast<int>(CoreSession::steps - before));
  }
  const double steps = static_cast<double>(CoreSession::steps);
  state.counters["steps"] = steps / state.iterations();
  copies.report(state, total, steps);
  destroySprite(20);
  destroySprite(21);
}

void BM_CrossFadeStepThroughCore(benchmark::State& state) { TransitionSteps(state, "fade"); }
BENCHMARK(BM_CrossFadeStepThroughCore)->Unit(benchmark::kMillisecond);

// The same exchange through a grey mask: every step redraws both sprites through the wipe.
void BM_MaskWipeStepThroughCore(benchmark::State& state) { TransitionSteps(state, "wipe"); }
BENCHMARK(BM_MaskWipeStepThroughCore)->Unit(benchmark::kMillisecond);

// The court scene rendered and presented by core's frame pump, one character stepping a
// pixel back and forth so that every frame is composed.
void BM_CourtFrameThroughCore(benchmark::State& state) {
  coreSession();
  CourtScene scene;
  LbSprite walker = scene.walker;
  renderScreen();
  FrameCopies copies;
  double total = 0;
  int step = 0;
  for (auto _ : state) {
    lbtsSetSpritePos(walker, 150 + (++step & 1), 0);
    double start = cpuSeconds();
    renderScreen();
    total += cpuSeconds() - start;
    copies.copy();
  }
  copies.report(state, total, static_cast<double>(state.iterations()));
}
BENCHMARK(BM_CourtFrameThroughCore)->Unit(benchmark::kMicrosecond);

#endif  // ORVANE_BENCH_CORE

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
#ifdef ORVANE_BENCH_CORE
  gSession.reset();
#endif
  benchmark::Shutdown();
  return 0;
}
