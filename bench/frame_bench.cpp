// Frame cost: a court-like scene (background, three characters with alpha, the message
// window, two text surfaces, three buttons) composed per frame, next to one plain copy of
// an 800x600x4 frame. The "memcpys" counter is the frame's cost in such copies. With core
// built, the same scene rendered through core, and a cross-fade step and a mask-wipe step
// driven through core, are measured the same way.
#include "compositor.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <cstring>
#include <vector>

#include "bench_clock.h"

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
  std::vector<LbSprite> sprites;
  LbImage textSurface = nullptr;
  LbSprite walker = nullptr;  // the middle character

  CourtScene() {
    auto add = [this](LbImage img, int level, int x, int y) {
      images.push_back(img);
      LbSprite s = lbtsCreateSprite(img, level, 1);
      lbtsSetSpritePos(s, x, y);
      sprites.push_back(s);
      return s;
    };
    add(makeImage(800, 600, [](int x, int y) { return argb(255, x & 0xFF, y & 0xFF, 90); }), 6, 0, 0);
    for (int i = 0; i < 3; ++i) {
      LbSprite s = add(makeImage(400, 600, character), 10 + 2 * i, -100 + 250 * i, 0);
      if (i == 1) walker = s;
    }
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
    for (LbSprite s : sprites) lbtsDestroySprite(s);
    for (LbImage img : images) lbtsDestroyImage(img);
  }
};

void BM_FrameMemcpy(benchmark::State& state) {
  std::vector<uint32_t> from(kFrameWidth * kFrameHeight, 1), to(kFrameWidth * kFrameHeight);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameMemcpy)->Unit(benchmark::kMicrosecond);

// The measured processor time per iteration, in microseconds and in frame copies.
void reportInMemcpys(benchmark::State& state, double seconds) {
  state.counters["cpu_us"] = seconds * 1e6 / state.iterations();
  state.counters["memcpys"] = seconds * 1e9 / state.iterations() / memcpyNanoseconds();
}

// The scene with one character stepping a pixel back and forth: every sprite is drawn again
// each frame, while every image's premultiplied copy is reused.
void BM_CourtFrame(benchmark::State& state) {
  CourtScene scene;
  LbSprite walker = scene.walker;
  lbtsRender();
  double total = 0;
  int step = 0;
  for (auto _ : state) {
    lbtsSetSpritePos(walker, 150 + (++step & 1), 0);
    double start = cpuSeconds();
    lbtsRender();
    total += cpuSeconds() - start;
  }
  reportInMemcpys(state, total);
}
BENCHMARK(BM_CourtFrame)->Unit(benchmark::kMicrosecond);

// The scene standing still, as in most frames of a wait: the last frame is kept.
void BM_CourtFrameUnchanged(benchmark::State& state) {
  CourtScene scene;
  lbtsRender();
  double total = 0;
  for (auto _ : state) {
    double start = cpuSeconds();
    lbtsRender();
    total += cpuSeconds() - start;
  }
  reportInMemcpys(state, total);
}
BENCHMARK(BM_CourtFrameUnchanged)->Unit(benchmark::kMicrosecond);

// A character being typed each frame: the text surface changes between frames.
void BM_CourtFrameWhileTyping(benchmark::State& state) {
  CourtScene scene;
  lbtsRender();
  double total = 0;
  uint32_t n = 0;
  for (auto _ : state) {
    scene.textSurface->pixels[(n++ * 7919) % scene.textSurface->pixels.size()] |= 0xFF000000u;
    ++scene.textSurface->version;
    double start = cpuSeconds();
    lbtsRender();
    total += cpuSeconds() - start;
  }
  reportInMemcpys(state, total);
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
  double total = 0;
  bool forth = true;
  for (auto _ : state) {
    double start = cpuSeconds();
    if (forth) showSprite(21, 20, wipe);
    else showSprite(20, 21, wipe);
    total += cpuSeconds() - start;
    forth = !forth;
  }
  const double steps = static_cast<double>(CoreSession::steps);
  state.counters["steps"] = steps / state.iterations();
  state.counters["cpu_us"] = total * 1e6 / steps;
  state.counters["memcpys"] = total * 1e9 / steps / memcpyNanoseconds();
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
  double total = 0;
  int step = 0;
  for (auto _ : state) {
    lbtsSetSpritePos(walker, 150 + (++step & 1), 0);
    double start = cpuSeconds();
    renderScreen();
    total += cpuSeconds() - start;
  }
  reportInMemcpys(state, total);
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
