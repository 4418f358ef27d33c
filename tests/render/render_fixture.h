// What the render tests share: a fixture that leaves no sprite, image or wipe behind,
// procedural test pictures, PNG bytes for the loaders, and the golden frame comparison.
#ifndef ORVANE_TESTS_RENDER_FIXTURE_H
#define ORVANE_TESTS_RENDER_FIXTURE_H

#include "compositor.h"

#include <gtest/gtest.h>

#include "common/golden.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// 0xAARRGGBB.
constexpr uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

class RenderTest : public ::testing::Test {
 protected:
  void TearDown() override;
  void destroySprites();

  // An image whose pixels (straight alpha) come from the function of (x, y).
  LbImage image(int w, int h, const std::function<uint32_t(int, int)>& pixel);
  LbImage solid(int w, int h, uint32_t colour);
  // A picture with a different colour in every 8x8 block and a marked top-left corner, so
  // that position, scale, flips and turns all show.
  LbImage pattern(int w, int h);
  // A wipe whose grey comes from the function; wrapped through PNG bytes like a real file.
  LbWipe wipe(int w, int h, const std::function<uint8_t(int, int)>& grey);
  LbSprite sprite(LbImage img, int level, int x, int y);

  // Composes a frame and returns its pixels, read back through lbtsGetRenderImage.
  std::vector<uint32_t> render();
  uint32_t at(const std::vector<uint32_t>& frame, int x, int y) {
    return frame.at(static_cast<size_t>(y) * kFrameWidth + x);
  }

  std::vector<LbImage> images_;
  std::vector<LbWipe> wipes_;
};

// PNG file bytes of an ARGB picture (with alpha channel, or RGB only when !alpha).
std::vector<uint8_t> pngBytes(int w, int h, const std::function<uint32_t(int, int)>& pixel,
                              bool alpha = true);
// BMP file bytes of an RGB picture.
std::vector<uint8_t> bmpBytes(int w, int h, const std::function<uint32_t(int, int)>& pixel);


#endif  // ORVANE_TESTS_RENDER_FIXTURE_H
