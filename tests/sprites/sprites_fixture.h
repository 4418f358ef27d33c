// core bound to the real headless runtime in this process and started like the game starts,
// on a temporary game folder of plain-coloured pictures; message boxes and image loads are
// recorded so a test can check what the player is told and what reached the host.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/golden.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present/resources.h"
#include "present/sprites.h"

class SpritesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("orvane_sprites_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "game");
    active_ = this;
    Picture("img/red20.png", 20, 20, 0xFFE02020);
    Picture("img/blue10.png", 10, 10, 0xFF2040E0);
    Picture("img/green.png", 30, 10, 0xFF20C040);
  }

  void TearDown() override {
    Stop();
    active_ = nullptr;
    std::filesystem::remove_all(dir);
  }

  // A picture of one colour (0xAARRGGBB) in the game folder.
  void Picture(const std::string& name, int w, int h, uint32_t colour) {
    std::filesystem::create_directories((dir / "game" / name).parent_path());
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, colour);
    ASSERT_TRUE(savePng(pixels, w, h, (dir / "game" / name).string()));
  }

  void Start() {
    std::string game = (dir / "game").string();
    std::string transcript = (dir / "transcript.txt").string();
    OrvaneRuntimeOptions options{};
    options.headless = 1;
    options.gameDir = game.c_str();
    options.transcript = transcript.c_str();
    options.maxTimeMs = 600000;
    char error[512] = {};
    ASSERT_EQ(orvaneRuntimeSetup(&options, error, sizeof error), ORVANE_SETUP_OK) << error;
    ASSERT_EQ(lbLoadSystem(RUNTIME_PATH), 1);
    started_ = true;
    realMessage_ = gHost.lbMessage;
    gHost.lbMessage = KeepMessage;
    realLoad_ = gHost.lbtsLoadImage;
    gHost.lbtsLoadImage = CountLoad;
    StartSystem(800, 600, false);
  }

  // Shuts the engine down and unbinds the host, as the end of the game does.
  void Stop() {
    if (!started_) return;
    started_ = false;
    try {
      ShutdownSystem();
    } catch (const DExceptGame&) {
      ADD_FAILURE() << "shutdown reported an error";
    }
    lbUnloadSystem();
    orvaneRuntimeShutdown();
  }

  // One sub-sprite of a picture, offset from sub-sprite 0 by (defX, defY).
  static SubSprite Part(const char* name, int defX = 0, int defY = 0) {
    SubSprite sub;
    sub.image = loadImage(-1, -1, name, false, "");
    sub.defX = defX;
    sub.defY = defY;
    return sub;
  }
  static SubSpriteHandle Parts(std::vector<SubSprite> parts) {
    return SubSpriteHandle(new SubSpriteArray(std::move(parts)));
  }

  // Builds a shown sprite of the given parts at (x, y) with the style text.
  static void Build(int slot, std::vector<SubSprite> parts, int x, int y, const char* style,
                    int width = 0, int height = 0) {
    buildSprite(slot, 0, -1, Parts(std::move(parts)), x, y, width, height,
                parseDisplayStyle(0, style), "none");
  }

  // The text of the one message box shown so far, as UTF-8 is not needed: the Shift-JIS
  // bytes are compared with sjis(...) of the expected text.
  std::string LastMessage() const { return messages.empty() ? "" : messages.back(); }

  std::filesystem::path dir;
  std::vector<std::string> messages;  // Shift-JIS, as the game wrote them
  std::vector<std::string> loads;     // paths handed to lbtsLoadImage
  std::vector<int> loadModes;

 private:
  static int KeepMessage(const char* text, const char* caption, int flags) {
    active_->messages.emplace_back(text);
    return active_->realMessage_(text, caption, flags);
  }
  static LbImage CountLoad(int cellsX, int cellsY, const char* path, int mode) {
    active_->loads.emplace_back(path);
    active_->loadModes.push_back(mode);
    return active_->realLoad_(cellsX, cellsY, path, mode);
  }

  static inline SpritesTest* active_ = nullptr;
  bool started_ = false;
  int (*realMessage_)(const char*, const char*, int) = nullptr;
  LbImage (*realLoad_)(int, int, const char*, int) = nullptr;
};

// The message box of a report ends with the message itself; the scenario file and line, when
// the report carries them, come first.
inline bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
