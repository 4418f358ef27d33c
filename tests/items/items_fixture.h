// core bound to the real headless runtime in this process, over a small game folder the
// test writes: the test games' system pictures, a scenario folder "t" with the definition
// file and pictures, and a progress file. Message boxes are kept for the test to read.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "court/items.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/sound.h"
#include "script/commands.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

class ItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("orvane_items_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    game = dir / "game";
    std::filesystem::create_directories(game / "t");
    std::filesystem::copy(std::filesystem::path(TEST_GAMES_DIR) / "scenarios" / "sys",
                          game / "sys", std::filesystem::copy_options::recursive);
    active_ = this;
  }

  void TearDown() override {
    if (systemStarted_) {
      try {
        releaseSoundEffects();
        ShutdownSystem();
      } catch (const DExceptGame&) {
        ADD_FAILURE() << "shutdown reported an error";
      }
    }
    if (bound_) {
      lbUnloadSystem();
      orvaneRuntimeShutdown();
    }
    gItems.entries.clear();
    active_ = nullptr;
    std::filesystem::remove_all(dir);
  }

  // The definition file of the scenario folder "t".
  void WriteItems(const std::string& text) { std::ofstream(game / "t" / "item.txt") << text; }

  // Binds the runtime over the game folder; with `system`, starts the engine as the game does.
  void Bind(bool system = false) {
    std::string transcript = (dir / "transcript.txt").string();
    std::string input = (dir / "input.txt").string();
    std::ofstream(input) << "";
    std::string gameDir = game.string();
    OrvaneRuntimeOptions options{};
    options.headless = 1;
    options.gameDir = gameDir.c_str();
    options.inputScript = input.c_str();
    options.transcript = transcript.c_str();
    options.maxTimeMs = 600000;
    char error[512] = {};
    ASSERT_EQ(orvaneRuntimeSetup(&options, error, sizeof error), ORVANE_SETUP_OK) << error;
    ASSERT_EQ(lbLoadSystem(RUNTIME_PATH), 1);
    bound_ = true;
    realMessage_ = gHost.lbMessage;
    gHost.lbMessage = KeepMessage;
    CopyText("t", gScenarioFolder, kScenarioTextSize);
    if (system) {
      StartSystem(800, 600, false);
      systemStarted_ = true;
      CopyText("t", gScenarioFolder, kScenarioTextSize);
    }
  }

  // Loads the table; true when loading ended the game (the message is in `messages`).
  bool LoadFails(bool restore = false) {
    std::string progress = (dir / "progress.ini").string();
    try {
      loadItems(restore, progress.c_str());
    } catch (const DExceptGame&) {
      return true;
    }
    return false;
  }

  // Runs one command line; true when it ended the game.
  bool CommandFails(const char* line) {
    try {
      DispatchCommand(line, kNormalScenario);
    } catch (const DExceptGame&) {
      return true;
    }
    return false;
  }

  // The last message box contains `text` (Shift-JIS).
  bool LastMessageHas(const std::string& text) const {
    return !messages.empty() && messages.back().find(text) != std::string::npos;
  }

  std::filesystem::path dir;
  std::filesystem::path game;
  std::vector<std::string> messages;  // Shift-JIS, as the game wrote them

 private:
  static int KeepMessage(const char* text, const char* caption, int flags) {
    active_->messages.emplace_back(text);
    return active_->realMessage_(text, caption, flags);
  }

  static inline ItemsTest* active_ = nullptr;
  bool bound_ = false;
  bool systemStarted_ = false;
  int (*realMessage_)(const char*, const char*, int) = nullptr;
};
