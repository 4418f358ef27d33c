// Text layers against the real headless runtime: core (linked in) is bound to libruntime.so
// for each suite, on a temporary game folder; every test starts from freshly initialised
// sprite and layer tables and leaves no sprite or layer behind.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "present/text_layer_table.h"

class Layers : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

 public:
  // The game folder the runtime reads from (UTF-8 path).
  static std::string gameDir();
  static void writeGameFile(const std::string& name, const std::string& bytes);

  // The last message box text, converted to UTF-8, or "" when none was shown.
  static std::string lastMessage();

  // Puts each character of a UTF-8 text on the current layer; returns how many were drawn.
  static int put(const std::string& utf8);
  // The 16-bit code of one UTF-8 character.
  static std::uint16_t code(const std::string& utf8);

  // Pixels (straight-alpha 0xAARRGGBB) of a layer's surfaces, and their size.
  static const std::vector<std::uint32_t>& textPixels(const TextLayer& layer);
  static const std::vector<std::uint32_t>& shadowPixels(const TextLayer& layer);

  // The composed frame (opaque 0xFFRRGGBB), 800x600.
  static std::vector<std::uint32_t> frame();
};

// The box of the pixels whose alpha is not 0 inside a rectangle of a surface; empty (right
// < left) when there are none.
struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  int count = 0;
  bool empty() const { return count == 0; }
  int centreX2() const { return left + right; }  // twice the centre, to stay exact
};
Ink inkIn(const std::vector<std::uint32_t>& pixels, int width, int x0, int y0, int x1, int y1);
