// core bound to the real headless runtime in this process, started like the game starts
// (StartSystem on the bundled game folder), with the message boxes kept and the transcript
// and shots of the player's scripted actions read back.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/golden.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/sound.h"

class MessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("orvane_message_unit_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    active_ = this;
  }

  void TearDown() override {
    if (started_) {
      try {
        releaseSoundEffects();  // as the game's end does: the last effect is still held
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

  // Starts the runtime with the player's actions (one a line) and the engine.
  void Start(const std::string& script) {
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
    StartSystem(800, 600, false);
  }

  // Transcript lines without their time.
  std::vector<std::string> Transcript() const {
    std::ifstream in(dir / "transcript.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      std::size_t space = line.find(' ');
      lines.push_back(space == std::string::npos ? line : line.substr(space + 1));
    }
    return lines;
  }
  int Count(const std::string& line) const {
    int n = 0;
    for (const std::string& l : Transcript()) n += l == line;
    return n;
  }
  // A frame the input script wrote with `shot NAME`, as 0xAARRGGBB pixels.
  std::vector<uint32_t> Shot(const std::string& name) const {
    return loadShot((dir / (name + ".png")).string());
  }

  std::filesystem::path dir;
  std::vector<std::string> messages;  // Shift-JIS, as the game wrote them

 private:
  static int KeepMessage(const char* text, const char* caption, int flags) {
    active_->messages.emplace_back(text);
    return active_->realMessage_(text, caption, flags);
  }

  static inline MessageTest* active_ = nullptr;
  bool started_ = false;
  int (*realMessage_)(const char*, const char*, int) = nullptr;
};

// One channel of a pixel.
inline int Red(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
inline int Green(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
inline int Blue(uint32_t pixel) { return pixel & 0xFF; }
