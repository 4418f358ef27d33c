// core bound in-process to the headless runtime on a game folder the test writes: sprite
// definitions (UTF-8 here, Shift-JIS on disk), pictures whose every cell is one colour, and
// short sounds. Time is the runtime's virtual clock, moved on by core's own waits.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "present/sprites.h"

class SpriteDefinitionTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Sets the runtime up on the game folder, binds core to it, runs StartSystem and, unless
  // told not to, the reset every run starts with.
  void Start(bool reset = true);

  void WriteFile(const std::string& name, const std::string& bytes);
  // A definition file "<name>.spr" from UTF-8 lines.
  void WriteDefinition(const std::string& name, const std::vector<std::string>& lines);
  // A PNG of cols x rows cells of w x h pixels, cell c filled with CellColour(c).
  void WriteCells(const std::string& name, int cols, int rows, int w = 16, int h = 16);
  // A short WAV that the runtime decodes.
  void WriteSound(const std::string& name);

  // The opaque colour cell c of WriteCells is filled with.
  static uint32_t CellColour(int cell);

  // The message box the body ends the game with (UTF-8, "Orvane System: " stripped), or
  // a test failure when it ends no game.
  std::string ErrorOf(const std::function<void()>& body);

  // Game time now, and letting time pass through core's wait (timers fire, frames render).
  std::uint32_t Now() const;
  void WaitUntil(std::uint32_t time);

  // The top-left offset the image of sub-sprite `sub` of `slot` shows through its sprite.
  std::pair<int, int> ImageOffset(int slot, int sub = 0) const;
  // The pixel of the last composed frame at (x, y).
  uint32_t FramePixel(int x, int y) const;
  // Transcript events starting with `prefix`, with their times on the clock of Now().
  std::vector<std::pair<std::uint32_t, std::string>> Transcript(const std::string& prefix) const;

  std::filesystem::path dir;

 private:
  void* runtime_ = nullptr;
  bool started_ = false;
  std::uint32_t transcriptBase_ = 0;
};
