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

#include "common/golden.h"
#include "court/items.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/sound.h"
#include "present/text_layers.h"
#include "present/transitions.h"
#include "script/message.h"
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
    InstallScenarioHooks(ScenarioHooks{});
    InstallMessageHooks(MessageHooks{});
    active_ = nullptr;
    std::filesystem::remove_all(dir);
  }

  // The definition file of the scenario folder "t".
  void WriteItems(const std::string& text) { std::ofstream(game / "t" / "item.txt") << text; }

  // A picture of one colour with its definition: "<rel>.png" and "<rel>.spr" in the game.
  void WritePicture(const std::string& rel, int w, int h, uint32_t colour) {
    std::filesystem::path png = game / (rel + ".png");
    std::vector<uint32_t> pixels(static_cast<std::size_t>(w) * h, colour);
    ASSERT_TRUE(savePng(pixels, w, h, png.string()));
    std::ofstream(game / (rel + ".spr"))
        << "@sprite file=\"" << png.filename().string() << "\" trans=alpha\n";
  }
  // The record's buttons, window and sounds, and a scenario "t/start.scn".
  void WriteRecordGame(const std::string& scenario) {
    for (const char* button : {"btn_item_right", "btn_item_left", "btn_item_tsuki",
                               "btn_item_tojiru", "btn_item_chara", "btn_item_item",
                               "btn_item_mag", "btn_other_kiroku"})
      WritePicture(std::string("sys/") + button, 40, 40, 0xFF3060C0u);
    WritePicture("sys/text_item", 800, 200, 0xC0202040u);
    WritePicture("t/ev", 120, 120, 0xFFC08020u);
    const std::filesystem::path se = game / "sys" / "se";
    for (const char* name : {"ジングル", "アイテム取得", "アイテム切り替え", "アイテム決定"})
      std::filesystem::copy_file(se / "chime.wav", se / (std::string(name) + ".wav"));
    std::ofstream(game / "t" / "start.scn") << scenario;
  }

  // Binds the runtime over the game folder; with `system`, starts the engine as the game does.
  void Bind(bool system = false) {
    std::string transcript = (dir / "transcript.txt").string();
    std::string input = (dir / "input.txt").string();
    if (!std::filesystem::exists(input)) std::ofstream(input) << "";
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
      // What the game's run adds to the started system before the first scenario.
      registerStandardWipes();
      createTextLayer("sub");
      setTextLayerLevel("def", 0);
      setTextLayerLevel("sub", 1);
      setTextLayerLevel("system", 2);
      ScenarioHooks hooks;
      hooks.dispatchCommand = DispatchCommand;
      hooks.showMessage = ShowStoryLine;
      InstallScenarioHooks(hooks);
      MessageHooks messageHooks;
      messageHooks.openCourtRecord = openCourtRecordFromButton;
      messageHooks.hideCourtRecordButton = hideRecordButton;
      InstallMessageHooks(messageHooks);
      CopyText("t", gScenarioFolder, kScenarioTextSize);
    }
  }

  // The player's actions, one a line, read by the next Bind.
  void WriteInput(const std::string& actions) { std::ofstream(dir / "input.txt") << actions; }

  // Runs t/start.scn from its label "start" with the run loop; the scenario's result, or
  // "error" when the game ended.
  std::string RunStart() {
    Scenario scenario;
    try {
      LoadScenarioFile(scenario, "start");
      RunLines(scenario, kNormalScenario);
    } catch (const DExceptGame&) {
      return "error";
    }
    return scenario.result;
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
