// A text layer's picture end to end: glyphs drawn into a text surface and a shadow surface
// the way the game writes a message, shown as sprites over a window and composed into a
// frame that must match its golden PNG exactly.
#include "lb/host_api.h"
#include "runtime.h"
#include "wincompat.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include "common/golden.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {


// The code of the Shift-JIS character at `i`, moving `i` past it.
int nextCode(const std::string& text, size_t& i) {
  unsigned char lead = text[i];
  bool wide = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) && i + 1 < text.size();
  i += wide ? 2 : 1;
  return wide ? lead << 8 | static_cast<unsigned char>(text[i - 1]) : lead;
}

// Writes a line of text into both surfaces as a message window does: each glyph's box is
// placed from the pen with the font's draw offset, and the pen moves by the advance.
int writeLine(LbImage text, LbImage shadow, LbFont font, int x, int y, const std::string& sjisText) {
  for (size_t i = 0; i < sjisText.size();) {
    int code = nextCode(sjisText, i);
    EXPECT_TRUE(lbRenderChar(font, code)) << std::hex << code;
    LbPoint at{};
    LbSize feed{};
    lbGetCharDrawPos(&at, font);
    lbGetCharFeedSize(&feed, font);
    lbtsDrawChar(text, x + at.x, y + at.y, font);
    lbtsDrawChar(shadow, x + at.x, y + at.y, font);
    x += feed.cx;
  }
  return x;
}

TEST(TextFrame, GlyphsWithShadowOverAWindowMatchGolden) {
  const int left = 40, top = 420, width = 720, height = 150;
  LbImage window = lbtsCreateImage(1, 1);
  LbImage text = lbtsCreateImage(width, height);
  LbImage shadow = lbtsCreateImage(width, height);
  ASSERT_TRUE(window && text && shadow);
  lbtsFillImage(window, 0.1f, 0.15f, 0.35f, 0.75f);
  lbtsFillImage(text, 1, 1, 1, 0);    // white glyphs
  lbtsFillImage(shadow, 0, 0, 0, 0);  // black shadow

  LbFont body = lbCreateChar(sjis("ＭＳ ゴシック").c_str(), 24, 5, 0, 1, 0x30);
  LbFont emphasis = lbCreateChar(sjis("ＭＳ ゴシック").c_str(), 24, 7, 0, 1, 0x30);
  LbFont ruby = lbCreateChar(sjis("ＭＳ ゴシック").c_str(), 10, 3, 0, 1, 0x21);
  ASSERT_TRUE(body && emphasis && ruby);

  writeLine(text, shadow, body, 8, 16, sjis("異議あり！　Orvane 1234 (gjpqy)"));
  // A change of colour inside the text: the glyph's box is refilled in the new colour at
  // zero alpha before the glyph raises it, as the game does.
  int x = writeLine(text, shadow, body, 8, 42, sjis("証拠品は"));
  size_t first = 0;
  ASSERT_TRUE(lbRenderChar(emphasis, nextCode(sjis("弁"), first)));
  LbPoint at{};
  LbSize box{};
  lbGetCharDrawPos(&at, emphasis);
  lbGetCharBoxSize(&box, emphasis);
  lbtsFillImageRect(text, x + at.x, 42 + at.y, box.cx, box.cy, 1.0f, 0.5f, 0.0f, 0.0f);
  x = writeLine(text, shadow, emphasis, x, 42, sjis("弁護士バッジ"));
  writeLine(text, shadow, body, x, 42, sjis("です。ｱｲｳ"));
  writeLine(text, shadow, ruby, 8, 72, sjis("ふりがな"));
  writeLine(text, shadow, body, 8, 84, sjis("法廷　～　ＡＢＣ"));

  LbSprite windowSprite = lbtsCreateSprite(window, 80, 1);
  LbSprite shadowSprite = lbtsCreateSprite(shadow, 81, 1);
  LbSprite textSprite = lbtsCreateSprite(text, 82, 1);
  ASSERT_TRUE(windowSprite && shadowSprite && textSprite);
  lbtsSetSpritePos(windowSprite, left, top);
  lbtsSetSpriteSize(windowSprite, width, height);
  lbtsSetSpritePos(shadowSprite, left + 1, top + 1);  // the shadow, one pixel down and right
  lbtsSetSpritePos(textSprite, left, top);

  ASSERT_TRUE(lbtsRender());
  LbImage frameImage = lbtsCreateImage(kFrameWidth, kFrameHeight);
  ASSERT_TRUE(lbtsGetRenderImage(frameImage));
  std::vector<uint32_t> frame = frameImage->pixels;
  EXPECT_TRUE(matchesGolden(frame, "text_layer_glyphs"));

  for (LbSprite s : {textSprite, shadowSprite, windowSprite}) lbtsDestroySprite(s);
  for (LbImage i : {frameImage, text, shadow, window}) lbtsDestroyImage(i);
  for (LbFont f : {body, emphasis, ruby}) lbDestroyChar(f);
}

}  // namespace
