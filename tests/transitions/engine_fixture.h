// core bound to the real headless runtime in this process and started like the game starts
// (StartSystem and the standard wipes, on the test game's folder). Renders, waits and
// message boxes are observed through the host table; renders can be made to fail; frames
// can be written at fixed game times.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>
#include <wincompat.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "common/golden.h"
#include "common/replay.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/frame.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "present/timers.h"
#include "present/transitions.h"
#include "runtime.h"

using ShotList = std::vector<std::pair<unsigned, std::string>>;

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = freshTestFolder("transitions");
    std::filesystem::create_directories(dir / "shots");
    active_ = this;
  }

  void TearDown() override {
    if (started_) {
      failRenders = 0;
      try {
        ShutdownSystem();
      } catch (const DExceptGame&) {
        ADD_FAILURE() << "shutdown reported an error";
      }
      lbUnloadSystem();
      orvaneRuntimeShutdown();
    }
    active_ = nullptr;
    std::filesystem::remove_all(dir);
  }

  // Starts the runtime (the player's actions, frames to write at game times, the time at
  // which the window closes) and the engine.
  void Start(const std::string& script = "", const ShotList& shots = {},
             long long maxTime = 600000) {
    std::string scriptPath = (dir / "input.txt").string();
    if (!script.empty()) std::ofstream(scriptPath) << script;
    std::string transcript = (dir / "transcript.txt").string();
    std::string shotsDir = (dir / "shots").string();
    std::vector<unsigned> times;
    std::vector<const char*> names;
    for (const auto& shot : shots) {
      times.push_back(shot.first);
      names.push_back(shot.second.c_str());
    }
    OrvaneRuntimeOptions options{};
    options.headless = 1;
    options.gameDir = GAME_DIR;
    options.inputScript = script.empty() ? nullptr : scriptPath.c_str();
    options.transcript = transcript.c_str();
    options.shotsDir = shotsDir.c_str();
    options.shotAtMs = times.data();
    options.shotAtNames = names.data();
    options.shotAtCount = static_cast<int>(times.size());
    options.maxTimeMs = maxTime;
    // Game time starts at 0 in every test, so schedules and frame times are the same
    // whatever ran before in this process.
    compatUseVirtualClock(1);
    compatSetClock(0);
    char error[512] = {};
    ASSERT_EQ(orvaneRuntimeSetup(&options, error, sizeof error), ORVANE_SETUP_OK) << error;
    ASSERT_EQ(lbLoadSystem(RUNTIME_PATH), 1);
    started_ = true;
    realRender_ = gHost.lbtsRenderScreen;
    gHost.lbtsRenderScreen = CountRender;
    realWait_ = gHost.lbWaitEvent;
    gHost.lbWaitEvent = RecordWait;
    StartSystem(800, 600, false);
    registerStandardWipes();
    // A run starts with the text layers hidden; their windows would take part in every
    // scene fade.
    hideTextLayer("def");
    hideTextLayer("system");
  }

  // Lets game time pass until `ms`, timers running.
  void RunUntil(std::uint32_t ms) {
    const std::uint32_t now = timeGetTime();
    ASSERT_LE(now, ms) << "the test's schedule is already past";
    waitFor(nullptr, 0, ms - now);
    ASSERT_EQ(timeGetTime(), ms);
  }

  // A sprite of one colour, shown at once.
  void Box(int slot, int spriteClass, const char* colour, int x, int y, int w, int h, int level,
           const char* style = "") {
    buildColourSprite(slot, spriteClass, w, h, colour, x, y, 0, 0, level, 0, style, "none");
  }

  bool Realized(int slot) const { return (gSprites[slot].flags & kSlotRealized) != 0; }
  bool FadedOut(int slot) const { return (gSprites[slot].flags & kSlotFadedOut) != 0; }

  // Runs the operation, which must end the game; returns the message boxes it showed.
  template <class F>
  std::vector<std::string> Ends(F operation) {
    const std::size_t before = Messages().size();
    bool ended = false;
    try {
      operation();
    } catch (const DExceptGame&) {
      ended = true;
    }
    EXPECT_TRUE(ended) << "the game did not end";
    std::vector<std::string> all = Messages();
    return std::vector<std::string>(all.begin() + static_cast<long>(before), all.end());
  }

  std::vector<std::string> Transcript() const {
    std::ifstream in(dir / "transcript.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      std::size_t space = line.find(' ');
      lines.push_back(space == std::string::npos ? line : line.substr(space + 1));
    }
    return lines;
  }
  // The transcript's message boxes (UTF-8), caption and all.
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const std::string& line : Transcript())
      if (line.rfind("message ", 0) == 0) out.push_back(line.substr(8));
    return out;
  }
  bool Contains(const std::string& line) const {
    for (const std::string& l : Transcript())
      if (l == line) return true;
    return false;
  }

  // A frame written at a game time, as 0xAARRGGBB pixels.
  std::vector<std::uint32_t> Shot(const std::string& name) {
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    EXPECT_TRUE(loadPng((dir / "shots" / (name + ".png")).string(), pixels, w, h)) << name;
    return pixels;
  }
  static std::uint32_t At(const std::vector<std::uint32_t>& frame, int x, int y) {
    return frame.at(static_cast<std::size_t>(y) * 800 + x) & 0xFFFFFFu;
  }

  std::filesystem::path dir;
  int renders = 0;      // lbtsRenderScreen calls, failed ones included
  int failRenders = 0;  // this many next renders fail
  std::vector<int> waits;  // lbWaitEvent arguments

 private:
  static int CountRender() {
    ++active_->renders;
    if (active_->failRenders > 0) {
      --active_->failRenders;
      return 0;
    }
    return active_->realRender_();
  }
  static int RecordWait(int ms) {
    active_->waits.push_back(ms);
    return active_->realWait_(ms);
  }

  static inline EngineTest* active_ = nullptr;
  bool started_ = false;
  int (*realRender_)() = nullptr;
  int (*realWait_)(int) = nullptr;
};
