// The cost of putting one double-byte character on a text layer with the real font and the
// headless runtime: the glyph render, the colour fills when the colour changed, the draw
// into the text surface and the shadow surface, and ruby; measured against one plain copy
// of a frame's bytes, the least a frame costs.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/resources.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "present/timers.h"

namespace {

constexpr std::uint16_t kKan = 0x8ABF;   // 漢
constexpr std::uint16_t kHiraA = 0x82A0;  // あ

// Binds core to the headless runtime once and builds the start-up layers.
bool SetUpEngine() {
  static bool ready = false;
  if (ready) return true;
  const std::filesystem::path game =
      std::filesystem::temp_directory_path() / ("orvane_text_bench_" + std::to_string(getpid()));
  std::filesystem::create_directories(game);
  void* runtime = dlopen(RUNTIME_PATH, RTLD_NOW | RTLD_LOCAL);
  if (runtime == nullptr) return false;
  auto setup = reinterpret_cast<OrvaneRuntimeSetupFn>(dlsym(runtime, "orvaneRuntimeSetup"));
  const std::string dir = game.string();
  OrvaneRuntimeOptions options{};
  options.headless = 1;
  options.gameDir = dir.c_str();
  options.maxTimeMs = -1;
  char error[512] = {};
  if (setup == nullptr || setup(&options, error, sizeof error) != ORVANE_SETUP_OK) {
    std::fprintf(stderr, "runtime set-up failed: %s\n", error);
    return false;
  }
  if (lbLoadSystem(RUNTIME_PATH) != 1) return false;
  SystemInit(800, 600, false);
  setImageExtensions("png:bmp:jpg");
  setImageCacheLimit(32);
  initTimers();
  initSprites();
  initTextLayers();
  ready = true;
  return true;
}

// Puts characters page after page; the clearing between pages is not timed.
template <class Put>
void PutPages(benchmark::State& state, Put put) {
  if (!SetUpEngine()) {
    state.SkipWithError("the runtime could not be bound");
    return;
  }
  clearTextLayer("def");
  int onPage = 0;
  for (auto _ : state) {
    put();
    if (++onPage == 17 * 24) {
      state.PauseTiming();
      clearTextLayer("def");
      onPage = 0;
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations());
}

// Default colours: no fills, glyph drawn into the text and the shadow surface.
void BM_PutDoubleByteChar(benchmark::State& state) {
  PutPages(state, [] { benchmark::DoNotOptimize(putChar(kKan)); });
}

// A colour other than the page's: a box fill on both surfaces before each glyph.
void BM_PutDoubleByteCharColourFill(benchmark::State& state) {
  PutPages(state, [] {
    setTextColour(1, 1, 0);
    setShadowColour(0.2f, 0.2f, 0.2f);
    benchmark::DoNotOptimize(putChar(kKan));
  });
  resetTextColour();
  resetShadowColour();
}

// Two ruby characters measured, filled and drawn over every base character.
void BM_PutDoubleByteCharWithRuby(benchmark::State& state) {
  PutPages(state, [] {
    setRubyMode(true);
    putChar(kHiraA);
    putChar(kHiraA);
    setRubyMode(false);
    benchmark::DoNotOptimize(putChar(kKan));
  });
}

// The yardstick: one plain copy of an 800x600 frame's bytes.
void BM_FrameCopy(benchmark::State& state) {
  std::vector<std::uint32_t> from(800 * 600, 0xFF102030u), to(800 * 600);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * sizeof from[0]);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(from.size() * 4));
}

BENCHMARK(BM_PutDoubleByteChar);
BENCHMARK(BM_PutDoubleByteCharColourFill);
BENCHMARK(BM_PutDoubleByteCharWithRuby);
BENCHMARK(BM_FrameCopy);

}  // namespace

BENCHMARK_MAIN();
