// The in-process fixture of the sprite definition tests (see spr_fixture.h).
#include "spr_fixture.h"

#include <dlfcn.h>
#include <unistd.h>
#include <windows.h>

#include <fstream>

#include "common/golden.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/frame.h"
#include "present/text_layers.h"
#include "runtime.h"

namespace fs = std::filesystem;

extern "C" int lbLoadSystem(const char* path);
extern "C" int lbUnloadSystem();

void SpriteDefinitionTest::SetUp() {
  dir =
      fs::temp_directory_path() / ("orvane_spr_" + std::to_string(getpid()) + "_" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(dir);
  fs::create_directories(dir / "game" / "sys");
  // Every run starts with the blank page cursor.
  WriteCells("sys/cursor_blank.png", 1, 1, 8, 8);
  WriteDefinition("sys/cursor_blank", {"@sprite file=\"cursor_blank.png\""});
}

void SpriteDefinitionTest::TearDown() {
  if (started_) {
    ShutdownSystem();
    lbUnloadSystem();
    auto shutdown =
        reinterpret_cast<OrvaneRuntimeShutdownFn>(dlsym(runtime_, "orvaneRuntimeShutdown"));
    if (shutdown) shutdown();
  }
  if (runtime_) dlclose(runtime_);
  fs::remove_all(dir);
}

void SpriteDefinitionTest::Start(bool reset) {
  runtime_ = dlopen(RUNTIME_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(runtime_, nullptr) << dlerror();
  auto setup = reinterpret_cast<OrvaneRuntimeSetupFn>(dlsym(runtime_, "orvaneRuntimeSetup"));
  ASSERT_NE(setup, nullptr);
  std::string game = (dir / "game").string(), transcript = (dir / "transcript.txt").string();
  OrvaneRuntimeOptions o{};
  o.headless = 1;
  o.gameDir = game.c_str();
  o.transcript = transcript.c_str();
  o.maxTimeMs = -1;
  char error[512] = {};
  ASSERT_EQ(setup(&o, error, sizeof error), ORVANE_SETUP_OK) << error;
  // The transcript counts game time from here; the process clock started earlier.
  transcriptBase_ = timeGetTime();
  ASSERT_EQ(lbLoadSystem(RUNTIME_PATH), 1);
  started_ = true;
  StartSystem(800, 600, false);
  createTextLayer("sub");          // as start does
  if (reset) ResetPresentation();  // as every run starts
  SetErrorFile("scn/t/start.scn");
  gErrorLine = 7;
}

void SpriteDefinitionTest::WriteFile(const std::string& name, const std::string& bytes) {
  fs::create_directories((dir / "game" / name).parent_path());
  std::ofstream(dir / "game" / name, std::ios::binary) << bytes;
}

void SpriteDefinitionTest::WriteDefinition(const std::string& name,
                                           const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += sjis(line) + "\r\n";
  WriteFile(name + ".spr", text);
}

uint32_t SpriteDefinitionTest::CellColour(int cell) {
  return 0xFF000000u | static_cast<uint32_t>((cell * 40 + 20) & 0xFF) << 16 |
         static_cast<uint32_t>((cell * 90 + 60) & 0xFF) << 8 |
         static_cast<uint32_t>(200 - cell * 10);
}

void SpriteDefinitionTest::WriteCells(const std::string& name, int cols, int rows, int w, int h) {
  std::vector<uint32_t> pixels(static_cast<size_t>(cols * w) * rows * h);
  for (int y = 0; y < rows * h; ++y)
    for (int x = 0; x < cols * w; ++x)
      pixels[static_cast<size_t>(y) * cols * w + x] = CellColour(y / h * cols + x / w);
  fs::create_directories((dir / "game" / name).parent_path());
  ASSERT_TRUE(savePng(pixels, cols * w, rows * h, (dir / "game" / name).string()));
}

void SpriteDefinitionTest::WriteSound(const std::string& name) {
  // 8-bit mono PCM at 8000 Hz, 400 samples of a square wave.
  std::string samples;
  for (int i = 0; i < 400; ++i) samples += static_cast<char>(i / 10 % 2 ? 0xC0 : 0x40);
  auto u32 = [](uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
  };
  auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  std::string wav = "RIFF" + u32(36 + samples.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(1) +
                    u32(8000) + u32(8000) + u16(1) + u16(8) + "data" + u32(samples.size()) +
                    samples;
  WriteFile(name, wav);
}

std::string SpriteDefinitionTest::ErrorOf(const std::function<void()>& body) {
  std::size_t before = Transcript("message ").size();
  try {
    body();
  } catch (const DExceptGame&) {
    auto messages = Transcript("message ");
    if (messages.size() != before + 1) {
      ADD_FAILURE() << "expected exactly one message box";
      return {};
    }
    const std::string caption = "message Orvane System: ";
    return messages.back().second.substr(caption.size());
  }
  ADD_FAILURE() << "the game did not end";
  return {};
}

std::uint32_t SpriteDefinitionTest::Now() const { return timeGetTime(); }

void SpriteDefinitionTest::WaitUntil(std::uint32_t time) {
  while (static_cast<int32_t>(time - Now()) > 0) waitFor(nullptr, 0, time - Now());
}

std::pair<int, int> SpriteDefinitionTest::ImageOffset(int slot, int sub) const {
  const SubSprite& s = (*gSprites[slot].subs)[static_cast<size_t>(sub)];
  auto* image = reinterpret_cast<const LbImageObject*>(hostImage(s.image));
  return {image->offsetX, image->offsetY};
}

uint32_t SpriteDefinitionTest::FramePixel(int x, int y) const {
  // Composed without presenting, so the clock does not move.
  gHost.lbtsRender();
  LbImage capture = gHost.lbtsCreateDynamicImage(kFrameWidth, kFrameHeight);
  gHost.lbtsGetRenderImage(capture);
  uint32_t pixel = reinterpret_cast<const LbImageObject*>(capture)->pixels.at(
      static_cast<size_t>(y) * kFrameWidth + x);
  gHost.lbtsDestroyImage(capture);
  return pixel;
}

std::vector<std::pair<std::uint32_t, std::string>> SpriteDefinitionTest::Transcript(
    const std::string& prefix) const {
  std::vector<std::pair<std::uint32_t, std::string>> out;
  std::ifstream in(dir / "transcript.txt");
  for (std::string line; std::getline(in, line);) {
    std::size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    std::string event = line.substr(space + 1);
    if (event.rfind(prefix, 0) == 0)
      out.emplace_back(
          static_cast<std::uint32_t>(std::stoul(line.substr(0, space))) + transcriptBase_, event);
  }
  return out;
}

// Fontconfig keeps its configuration for the life of the process; the text layers start-up
// creates reach it. That is the system library's, not a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
