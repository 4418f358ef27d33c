// A text layer's picture end to end: glyphs drawn into a text surface and a shadow surface
// the way the game writes a message, shown as sprites over a window and composed into a
// frame that must match its golden PNG exactly.
#include "lb/host_api.h"
#include "runtime.h"
#include "wincompat.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string sjis(const std::string& utf8) {
  char out[1024];
  EXPECT_GE(compatUtf8ToSjis(utf8.c_str(), out, sizeof out), 0) << utf8;
  return out;
}

bool savePng(const std::vector<uint32_t>& pixels, int w, int h, const fs::path& path) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels.data()), w, h,
                                                      32, w * 4, SDL_PIXELFORMAT_ARGB8888);
  bool ok = s && IMG_SavePNG(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

bool loadPng(const fs::path& path, std::vector<uint32_t>& pixels, int& w, int& h) {
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (!loaded) return false;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (!argb) return false;
  w = argb->w;
  h = argb->h;
  pixels.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    std::memcpy(pixels.data() + static_cast<size_t>(y) * w,
                static_cast<uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch, w * 4);
  SDL_FreeSurface(argb);
  return true;
}

// Compares a frame with tests/golden/NAME.png exactly; ORVANE_UPDATE_GOLDEN writes it
// instead. A difference leaves NAME.actual.png and NAME.diff.png in the build folder.
::testing::AssertionResult matchesGolden(const std::vector<uint32_t>& frame, const std::string& name) {
  fs::path golden = fs::path(ORVANE_GOLDEN_DIR) / (name + ".png");
  if (std::getenv("ORVANE_UPDATE_GOLDEN")) {
    if (!savePng(frame, kFrameWidth, kFrameHeight, golden))
      return ::testing::AssertionFailure() << "cannot write " << golden;
    return ::testing::AssertionSuccess();
  }
  std::vector<uint32_t> expected;
  int w = 0, h = 0;
  if (!loadPng(golden, expected, w, h)) return ::testing::AssertionFailure() << "no golden " << golden;
  if (w != kFrameWidth || h != kFrameHeight)
    return ::testing::AssertionFailure() << golden << " is " << w << "x" << h;
  std::vector<uint32_t> diff(frame.size());
  int differing = 0;
  for (size_t i = 0; i < frame.size(); ++i) {
    bool same = (frame[i] | 0xFF000000u) == (expected[i] | 0xFF000000u);
    differing += !same;
    diff[i] = same ? 0xFF000000u | (frame[i] >> 2 & 0x3F3F3F) : 0xFFFF00FFu;
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  fs::path out(ORVANE_TEXT_OUT_DIR);
  savePng(frame, kFrameWidth, kFrameHeight, out / (name + ".actual.png"));
  savePng(diff, kFrameWidth, kFrameHeight, out / (name + ".diff.png"));
  return ::testing::AssertionFailure() << differing << " pixels differ from " << golden
                                       << "; actual and difference written to " << out;
}

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
