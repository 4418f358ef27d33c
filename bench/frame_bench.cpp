// Frame cost: a court-like scene (background, three characters with alpha, the message
// window, two text surfaces, three buttons) composed per frame, next to one plain copy of
// an 800x600x4 frame. The "memcpys" counter is the frame's cost in such copies. With core
// built, a cross-fade step driven through core is measured the same way.
#include "compositor.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#ifdef ORVANE_BENCH_CORE
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/system.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "present/transitions.h"
#endif

namespace {

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

LbImage makeImage(int w, int h, uint32_t (*pixel)(int, int)) {
  LbImage img = lbtsCreateImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img->pixels[static_cast<size_t>(y) * w + x] = pixel(x, y);
  ++img->version;
  return img;
}

// A standing figure: an opaque body inside a soft-edged ellipse, transparent around it.
uint32_t character(int x, int y) {
  double dx = (x - 200) / 150.0, dy = (y - 320) / 280.0, d = dx * dx + dy * dy;
  if (d > 1.0) return 0;
  uint32_t a = d > 0.9 ? static_cast<uint32_t>((1.0 - d) * 2550) : 255;
  return argb(a, 200, (x * 3) & 0xFF, (y * 2) & 0xFF);
}

// Text: mostly transparent, with glyph-like blocks of opaque pixels on a few lines.
uint32_t text(int x, int y) {
  bool ink = y % 36 < 24 && y < 110 && x % 26 < 20 && x < 620 && ((x / 26 + y / 36) % 5 != 0);
  return ink ? argb(255, 255, 255, 255) : argb(0, 255, 255, 255);
}

struct CourtScene {
  std::vector<LbImage> images;
  LbImage textSurface = nullptr;

  CourtScene() {
    auto add = [this](LbImage img, int level, int x, int y) {
      images.push_back(img);
      LbSprite s = lbtsCreateSprite(img, level, 1);
      lbtsSetSpritePos(s, x, y);
    };
    add(makeImage(800, 600, [](int x, int y) { return argb(255, x & 0xFF, y & 0xFF, 90); }), 6, 0, 0);
    for (int i = 0; i < 3; ++i)
      add(makeImage(400, 600, character), 10 + 2 * i, -100 + 250 * i, 0);
    add(makeImage(760, 150, [](int, int) { return argb(192, 10, 20, 60); }), 40, 20, 430);
    LbImage shadow = makeImage(760, 150, text);
    add(shadow, 42, 22, 432);
    textSurface = makeImage(760, 150, text);
    add(textSurface, 44, 20, 430);
    for (int i = 0; i < 3; ++i)
      add(makeImage(120, 40, [](int x, int y) {
            return argb(x < 2 || y < 2 || x > 117 || y > 37 ? 128 : 230, 60, 60, 200);
          }), 50, 420 + 125 * i, 385);
  }
  ~CourtScene() {
    std::vector<LbSprite> sprites = allSprites();
    for (LbSprite s : sprites) lbtsDestroySprite(s);
    for (LbImage img : images) lbtsDestroyImage(img);
  }
};

// Nanoseconds for one plain copy of a frame's bytes, the yardstick of the counter.
double memcpyNanoseconds() {
  static double ns = [] {
    std::vector<uint32_t> from(kFrameWidth * kFrameHeight, 1), to(kFrameWidth * kFrameHeight);
    const int rounds = 200;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
      std::memcpy(to.data(), from.data(), from.size() * 4);
      benchmark::DoNotOptimize(to.data());
      benchmark::ClobberMemory();
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::nano>(elapsed).count() / rounds;
  }();
  return ns;
}

void BM_FrameMemcpy(benchmark::State& state) {
  std::vector<uint32_t> from(kFrameWidth * kFrameHeight, 1), to(kFrameWidth * kFrameHeight);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameMemcpy)->Unit(benchmark::kMicrosecond);

void reportInMemcpys(benchmark::State& state, double seconds) {
  state.counters["memcpys"] = seconds * 1e9 / state.iterations() / memcpyNanoseconds();
}

// The scene standing still: every image's premultiplied copy is reused.
void BM_CourtFrame(benchmark::State& state) {
  CourtScene scene;
  lbtsRender();
  double total = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    lbtsRender();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  reportInMemcpys(state, total);
}
BENCHMARK(BM_CourtFrame)->Unit(benchmark::kMicrosecond);

// A character being typed each frame: the text surface changes between frames.
void BM_CourtFrameWhileTyping(benchmark::State& state) {
  CourtScene scene;
  lbtsRender();
  double total = 0;
  uint32_t n = 0;
  for (auto _ : state) {
    scene.textSurface->pixels[(n++ * 7919) % scene.textSurface->pixels.size()] |= 0xFF000000u;
    ++scene.textSurface->version;
    auto start = std::chrono::steady_clock::now();
    lbtsRender();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  reportInMemcpys(state, total);
}
BENCHMARK(BM_CourtFrameWhileTyping)->Unit(benchmark::kMicrosecond);

#ifdef ORVANE_BENCH_CORE

// A cross-fade driven through core: two character-sized sprites of the sprite table trade
// places over the court scene with the "fade" wipe, so each step is everything core does
// per frame of a transition (timers, corner alpha on every sub-sprite, the render with its
// retry rule, the pump) plus the runtime's compose and present. Reported per step.
struct CoreSession {
  CoreSession() {
    namespace fs = std::filesystem;
    gameDir = fs::temp_directory_path() / ("orvane_bench_" + std::to_string(::getpid()));
    fs::create_directories(gameDir);
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
  }
  ~CoreSession() {
    ShutdownSystem();
    lbUnloadSystem();
    orvaneRuntimeShutdown();
    std::filesystem::remove_all(gameDir);
  }
  std::filesystem::path gameDir;
  static inline int (*realRender)() = nullptr;
  static inline long steps = 0;
};

void BM_CrossFadeStepThroughCore(benchmark::State& state) {
  static CoreSession session;
  CourtScene scene;
  buildColourSprite(20, 0, 400, 600, "#c08040", 150, 0, 0, 0, 12, 0, "", "none");
  buildColourSprite(21, 0, 400, 600, "#4080c0", 250, 0, 0, 0, 12, 0, "hide", "none");
  CoreSession::steps = 0;
  double total = 0;
  bool forth = true;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    if (forth) showSprite(21, 20, "fade");
    else showSprite(20, 21, "fade");
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    forth = !forth;
  }
  const double steps = static_cast<double>(CoreSession::steps);
  state.counters["steps"] = steps / state.iterations();
  state.counters["step_us"] = total * 1e6 / steps;
  state.counters["memcpys"] = total * 1e9 / steps / memcpyNanoseconds();
  destroySprite(20);
  destroySprite(21);
}
BENCHMARK(BM_CrossFadeStepThroughCore)->Unit(benchmark::kMillisecond);

#endif  // ORVANE_BENCH_CORE

}  // namespace

BENCHMARK_MAIN();
