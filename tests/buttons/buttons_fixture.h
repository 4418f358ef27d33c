// core bound to the real headless runtime in this process, started like the game starts
// (StartSystem on the bundled game folder), with the render and message-box calls counted
// and a selection handler that records what it is given and refuses the labels it is told.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/golden.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/buttons.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "present/text_layers.h"

class ButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("orvane_buttons_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    active_ = this;
  }

  void TearDown() override {
    if (started_) {
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

  // Starts the runtime (with the player's actions, when given) and the engine.
  void Start(const std::string& script = "") {
    std::string scriptPath = (dir / "input.txt").string();
    if (!script.empty()) std::ofstream(scriptPath) << script;
    std::string transcript = (dir / "transcript.txt").string();
    OrvaneRuntimeOptions options{};
    options.headless = 1;
    options.gameDir = GAME_DIR;
    options.inputScript = script.empty() ? nullptr : scriptPath.c_str();
    options.transcript = transcript.c_str();
    options.maxTimeMs = 600000;
    char error[512] = {};
    ASSERT_EQ(orvaneRuntimeSetup(&options, error, sizeof error), ORVANE_SETUP_OK) << error;
    ASSERT_EQ(lbLoadSystem(RUNTIME_PATH), 1);
    started_ = true;
    realRender_ = gHost.lbtsRenderScreen;
    gHost.lbtsRenderScreen = CountRender;
    realMessage_ = gHost.lbMessage;
    gHost.lbMessage = KeepMessage;
    StartSystem(800, 600, false);
    createTextLayer("sub");  // as start does; a run's reset hides it
  }

  // A title plate (300x56, set 0 at rest, set 1 lit) in the slot, its top-left at (x, y).
  void Plate(int slot, int x, int y, const char* name = "sys/title_begin") {
    loadSpriteDefinition(slot, 0, name, 0, 0, -1, 0, "none");
    setSpritePos(slot, x, y, kStyleLeft | kStyleTop);
    showSprite(slot, kNoSlot, "none");
  }

  void Pointer(int x, int y) { gHost.lbSetMousePos(x, y); }

  int CurrentSet(int slot) { return (*gSprites[slot].subs)[0].curAnimSet; }

  // The handler every test installs: records each event, refuses the labels in `refuse`
  // (and every cancel unless acceptCancel).
  static bool Record(const SelectionEvent& event) {
    active_->events.emplace_back(event.kind, event.text != nullptr ? event.text : "(null)");
    if (event.kind == kSelectionCancel) return active_->acceptCancel;
    return active_->refuse.count(event.text) == 0;
  }

  std::vector<std::string> Transcript() {
    std::ifstream in(dir / "transcript.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::filesystem::path dir;
  std::vector<std::pair<int, std::string>> events;
  std::set<std::string> refuse;
  bool acceptCancel = false;
  int renders = 0;
  std::vector<std::string> messages;  // Shift-JIS, as the game wrote them

 private:
  static int CountRender() {
    ++active_->renders;
    return active_->realRender_();
  }
  static int KeepMessage(const char* text, const char* caption, int flags) {
    active_->messages.emplace_back(text);
    return active_->realMessage_(text, caption, flags);
  }

  static inline ButtonsTest* active_ = nullptr;
  bool started_ = false;
  int (*realRender_)() = nullptr;
  int (*realMessage_)(const char*, const char*, int) = nullptr;
};

using Events = std::vector<std::pair<int, std::string>>;
