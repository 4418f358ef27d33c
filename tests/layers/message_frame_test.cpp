// A message window as the player sees it: a picture window, shadowed text with ruby, a
// colour change in mid-line and a highlighted choice, composed into a frame that must match
// its golden PNG exactly.
#include <gtest/gtest.h>

#include "common/golden.h"
#include "host/host_api.h"
#include "layers_fixture.h"

namespace {

using LayerMessageFrame = Layers;

// A window picture: a dark blue panel, translucent inside, with a light frame.
void writeWindowPicture() {
  const int w = 800, h = 200;
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool frame = x < 4 || y < 4 || x >= w - 4 || y >= h - 4;
      const uint32_t shade = 0x20 + static_cast<uint32_t>(y) * 0x30 / h;
      pixels[static_cast<size_t>(y) * w + x] =
          frame ? 0xFFC0C8E0u : (0xC0u << 24 | 0x10u << 16 | 0x18u << 8 | shade);
    }
  }
  ASSERT_TRUE(savePng(pixels, w, h, Layers::gameDir() + "/frame_window.png"));
  Layers::writeGameFile("frame_window.spr", "@sprite file=\"frame_window.png\" trans=alpha\n");
}

TEST_F(LayerMessageFrame, WindowShadowRubyColourAndHighlight) {
  writeWindowPicture();
  const char* gothic = defaultTextLayerFont().face;
  setTextLayerWindow("def", "frame_window", "", 0, 400, 0, 0);
  setTextLayerFont("def", TextLayerFont{.face = gothic, .size = 40, .styleFlag = false,
                                        .columns = 16, .lines = 3, .leftMargin = 43,
                                        .topMargin = 20, .charSpacing = 5, .lineSpacing = 10,
                                        .shadowOn = true, .shadowDx = 2, .shadowDy = 3,
                                        .rubyFace = gothic, .rubySize = 10, .rubyGap = -2});
  setDefaultShadowColour("def", 0.2f, 0.2f, 0.2f);
  setDefaultTextColour("def", 1, 1, 1);
  clearTextLayer("def");
  showTextLayer("def");

  put("本日の");
  setRubyMode(true);
  put("ほうてい");
  setRubyMode(false);
  put("法");
  put("廷は");
  setTextColour(1, 1, 0);
  put("開廷");
  resetTextColour();
  put("します。");
  beginChoice("next");
  put("次へ進む");
  endChoice();
  ASSERT_TRUE(finishChoices());
  ASSERT_TRUE(updateChoiceHover());

  EXPECT_TRUE(matchesGolden(frame(), "text_layer_message"));
}

}  // namespace
