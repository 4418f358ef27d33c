// Binds core to the headless runtime for the text layer tests and resets the engine's tables
// around every test.
#include "layers_fixture.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "common/golden.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/resources.h"
#include "present/sprites.h"
#include "present/timers.h"
#include "runtime.h"

namespace fs = std::filesystem;

namespace {

fs::path folder() {
  static const fs::path dir =
      fs::temp_directory_path() / ("orvane_layers_" + std::to_string(::getpid()));
  return dir;
}

void* runtimeLibrary() {
  static void* library = dlopen(RUNTIME_PATH, RTLD_NOW | RTLD_LOCAL);
  return library;
}

}  // namespace

void Layers::SetUpTestSuite() {
  fs::remove_all(folder());
  fs::create_directories(folder() / "game");
  // The runtime is set up through its own entry, then core binds the same loaded library.
  ASSERT_NE(runtimeLibrary(), nullptr) << dlerror();
  auto setup =
      reinterpret_cast<OrvaneRuntimeSetupFn>(dlsym(runtimeLibrary(), "orvaneRuntimeSetup"));
  ASSERT_NE(setup, nullptr);
  const std::string game = gameDir(), transcript = (folder() / "transcript.txt").string();
  OrvaneRuntimeOptions options{};
  options.headless = 1;
  options.gameDir = game.c_str();
  options.transcript = transcript.c_str();
  options.maxTimeMs = -1;
  char error[512] = {};
  ASSERT_EQ(setup(&options, error, sizeof error), ORVANE_SETUP_OK) << error;
  ASSERT_EQ(lbLoadSystem(RUNTIME_PATH), 1);
  SystemInit(800, 600, false);
}

void Layers::TearDownTestSuite() {
  lbUnloadSystem();
  auto shutdown = reinterpret_cast<OrvaneRuntimeShutdownFn>(
      dlsym(runtimeLibrary(), "orvaneRuntimeShutdown"));
  if (shutdown != nullptr) shutdown();
  fs::remove_all(folder());
}

void Layers::SetUp() {
  ASSERT_TRUE(IsHostBound());
  setImageExtensions("png:bmp:jpg");
  setImageCacheLimit(32);
  initTimers();
  initSprites();
  initTextLayers();
}

void Layers::TearDown() {
  destroyTextLayers();
  resetSprites();
  releaseResourceCaches();
}

std::string Layers::gameDir() { return (folder() / "game").string(); }

void Layers::writeGameFile(const std::string& name, const std::string& bytes) {
  fs::path path = folder() / "game" / name;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Layers::lastMessage() {
  std::ifstream in(folder() / "transcript.txt");
  std::string last;
  for (std::string line; std::getline(in, line);) {
    auto at = line.find(" message ");
    if (at != std::string::npos) last = line.substr(at + 9);
  }
  return last;
}

std::uint16_t Layers::code(const std::string& utf8) {
  std::string s = sjis(utf8);
  if (s.size() == 1) return static_cast<unsigned char>(s[0]);
  EXPECT_EQ(s.size(), 2u) << utf8;
  return static_cast<std::uint16_t>(static_cast<unsigned char>(s[0]) << 8 |
                                    static_cast<unsigned char>(s[1]));
}

int Layers::put(const std::string& utf8) {
  const std::string s = sjis(utf8);
  int drawn = 0;
  for (std::size_t i = 0; i < s.size();) {
    auto lead = static_cast<unsigned char>(s[i]);
    std::uint16_t c = lead;
    if (isLeadByte(lead) && i + 1 < s.size()) {
      c = static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(s[i + 1]));
      i += 2;
    } else {
      i += 1;
    }
    drawn += putChar(c) ? 1 : 0;
  }
  return drawn;
}

const std::vector<std::uint32_t>& Layers::textPixels(const TextLayer& layer) {
  return hostImage(layer.textImage)->pixels;
}

const std::vector<std::uint32_t>& Layers::shadowPixels(const TextLayer& layer) {
  return hostImage(layer.shadowImage)->pixels;
}

std::vector<std::uint32_t> Layers::frame() {
  gHost.lbtsRenderScreen();
  LbImage copy = gHost.lbtsCreateImage(kFrameWidth, kFrameHeight);
  gHost.lbtsGetRenderImage(copy);
  std::vector<std::uint32_t> pixels = copy->pixels;
  gHost.lbtsDestroyImage(copy);
  return pixels;
}

Ink inkIn(const std::vector<std::uint32_t>& pixels, int width, int x0, int y0, int x1, int y1) {
  Ink ink;
  const int height = static_cast<int>(pixels.size()) / width;
  for (int y = std::max(y0, 0); y < std::min(y1, height); ++y) {
    for (int x = std::max(x0, 0); x < std::min(x1, width); ++x) {
      if ((pixels[static_cast<std::size_t>(y) * width + x] >> 24) == 0) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      ++ink.count;
    }
  }
  return ink;
}

// fontconfig keeps a few bytes of its parsed configuration unreachable for the life of the
// process; that is fontconfig's, not ours, so the leak checker of sanitizer builds skips it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
