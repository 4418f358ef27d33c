// The in-process fixture of the set-piece tests: the runtime set up headless over the bundled
// game, the engine started as the game starts it, and timer-driven probes.
#include "excl_fixture.h"

#include <unistd.h>

#include <fstream>

#include "common/golden.h"
#include "court/exclamations.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/sound.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "present/timers.h"
#include "present/transitions.h"
#include "runtime.h"
#include "script/message.h"

namespace fs = std::filesystem;

void SetPieceTest::SetUp() {
  dir = fs::temp_directory_path() /
        ("orvane_excl_" + std::to_string(::getpid()) + "_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(dir);
  fs::create_directories(dir);
  active_ = this;
}

void SetPieceTest::TearDown() {
  if (started_) {
    try {
      releaseSoundEffects();
      ShutdownSystem();
    } catch (const DExceptGame&) {
      ADD_FAILURE() << "shutdown reported an error";
    }
    lbUnloadSystem();
    orvaneRuntimeShutdown();
  }
  active_ = nullptr;
  fs::remove_all(dir);
}

void SetPieceTest::Start(const std::string& script) {
  std::string scriptPath = (dir / "input.txt").string();
  std::ofstream(scriptPath) << script;
  std::string transcript = (dir / "transcript.txt").string();
  std::string shots = dir.string();
  OrvaneRuntimeOptions options{};
  options.headless = 1;
  options.gameDir = GAME_DIR;
  options.inputScript = scriptPath.c_str();
  options.transcript = transcript.c_str();
  options.shotsDir = shots.c_str();
  options.maxTimeMs = 600000;
  char error[512] = {};
  ASSERT_EQ(orvaneRuntimeSetup(&options, error, sizeof error), ORVANE_SETUP_OK) << error;
  ASSERT_EQ(lbLoadSystem(RUNTIME_PATH), 1);
  started_ = true;
  realMessage_ = gHost.lbMessage;
  gHost.lbMessage = KeepMessage;
  if (HasFatalFailure()) return;
  StartSystem(800, 600, false);
  registerStandardWipes();
  ShowMessageWindow();
}

int SetPieceTest::Probe(std::uint32_t delay, std::vector<int> slots, bool keepFrame) {
  probes_.push_back({std::move(slots), {}, keepFrame, {}, false});
  int index = static_cast<int>(probes_.size()) - 1;
  addTimerEvent(RunProbe, static_cast<std::uint32_t>(index), delay);
  return index;
}

void SetPieceTest::RunProbe(std::uint32_t index) {
  ProbeRecord& probe = active_->probes_[index];
  probe.fired = true;
  probe.views.clear();
  for (int slot : probe.slots) {
    SlotView view;
    view.valid = (gSprites[slot].flags & kSlotValid) != 0;
    if (view.valid) {
      const SpriteSlot& s = gSprites[slot];
      view.shown = isSpriteShown(slot);
      view.x = s.absX;
      view.y = s.absY;
      view.width = s.width;
      view.height = s.height;
      ResourceHandle image = getSpriteImage(slot);
      if (image) view.image = image->name;
    }
    probe.views.push_back(view);
  }
  if (probe.keepFrame) {
    LbImage copy = gHost.lbtsCreateImage(800, 600);
    gHost.lbtsGetRenderImage(copy);
    probe.frame = copy->pixels;
    gHost.lbtsDestroyImage(copy);
  }
}

const std::vector<std::uint32_t>& SetPieceTest::ProbeFrame(int probe) const {
  return probes_.at(static_cast<std::size_t>(probe)).frame;
}

const SlotView& SetPieceTest::Seen(int probe, int slot) const {
  const ProbeRecord& record = probes_.at(static_cast<std::size_t>(probe));
  for (std::size_t i = 0; i < record.slots.size(); ++i)
    if (record.slots[i] == slot && i < record.views.size()) return record.views[i];
  static const SlotView none;
  return none;
}

bool SetPieceTest::Fired(int probe) const {
  return probes_.at(static_cast<std::size_t>(probe)).fired;
}

std::vector<std::string> SetPieceTest::Transcript() const {
  std::ifstream in(dir / "transcript.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    std::size_t space = line.find(' ');
    lines.push_back(space == std::string::npos ? line : line.substr(space + 1));
  }
  return lines;
}

std::vector<std::string> SetPieceTest::Effects() const {
  std::vector<std::string> out;
  for (const std::string& line : Transcript())
    if (line.rfind("se ", 0) == 0) out.push_back(line.substr(3));
  return out;
}

std::vector<std::uint32_t> SetPieceTest::Frame() const {
  gHost.lbtsRenderScreen();
  LbImage copy = gHost.lbtsCreateImage(800, 600);
  gHost.lbtsGetRenderImage(copy);
  std::vector<std::uint32_t> pixels = copy->pixels;
  gHost.lbtsDestroyImage(copy);
  return pixels;
}

std::vector<std::uint32_t> SetPieceTest::Shot(const std::string& name) const {
  std::vector<std::uint32_t> pixels;
  int w = 0, h = 0;
  EXPECT_TRUE(loadPng((dir / (name + ".png")).string(), pixels, w, h)) << name;
  if (pixels.size() != 800u * 600u) pixels.assign(800u * 600u, 0);
  return pixels;
}

int SetPieceTest::KeepMessage(const char* text, const char* caption, int flags) {
  active_->messages.emplace_back(text);
  return active_->realMessage_(text, caption, flags);
}

bool IsGreen(std::uint32_t pixel) {
  int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return g > 150 && g > r + 60 && g > b + 40;
}

int FirstGreenColumn(const std::vector<std::uint32_t>& frame, int y0, int y1) {
  for (int x = 0; x < 800; ++x)
    for (int y = y0; y < y1; ++y)
      if (IsGreen(frame[static_cast<std::size_t>(y) * 800 + x])) return x;
  return -1;
}

// fontconfig keeps a few bytes of its parsed configuration for the life of the process;
// that is fontconfig's, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
