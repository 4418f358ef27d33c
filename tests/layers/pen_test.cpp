// The pen with the real font: wrapping by half-width units, the full page, the indent, ruby
// centred over its character, colours, fonts and the page cursor position.
#include <gtest/gtest.h>

#include "common/golden.h"
#include "layers_fixture.h"

namespace {

using LayerPen = Layers;

constexpr int kLineHeight = 24 + 2;  // default size plus line spacing

TEST_F(LayerPen, Wrap_LineHoldsTwentyFourDoubleByteCharacters) {
  const TextLayer& layer = currentLayer();
  std::string line;
  for (int i = 0; i < 24; ++i) line += "漢";
  EXPECT_EQ(put(line), 24);
  EXPECT_EQ(layer.line, 0);
  EXPECT_EQ(layer.column, 48);
  EXPECT_EQ(put("字"), 1);
  EXPECT_EQ(layer.line, 1);
  EXPECT_EQ(layer.penY, 16 + kLineHeight);
}

TEST_F(LayerPen, Wrap_FortyNinthSingleByteCharacterStartsLineTwo) {
  const TextLayer& layer = currentLayer();
  EXPECT_EQ(put(std::string(48, 'M')), 48);
  EXPECT_EQ(layer.line, 0);
  const int endOfLine = layer.penX;
  EXPECT_EQ(put("M"), 1);
  EXPECT_EQ(layer.line, 1);
  EXPECT_EQ(layer.column, 1);
  // The character went to the left margin of line two, and the ink is there.
  EXPECT_EQ(layer.prevX, 8);
  EXPECT_LT(layer.penX, endOfLine);
  Ink ink = inkIn(textPixels(layer), layer.width, 0, 16 + kLineHeight, 40, 16 + 2 * kLineHeight);
  EXPECT_FALSE(ink.empty());
  EXPECT_GE(ink.left, 8);
}

TEST_F(LayerPen, Wrap_MixedWidthsCountHalfWidthUnits) {
  const TextLayer& layer = currentLayer();
  // 47 units used: a double-byte character no longer fits, a single-byte one still does.
  put(std::string(47, 'i'));
  EXPECT_EQ(put("あ"), 1);
  EXPECT_EQ(layer.line, 1);
  EXPECT_EQ(layer.column, 2);
}

TEST_F(LayerPen, Page_EighteenthLineDoesNotExist) {
  const TextLayer& layer = currentLayer();
  std::string page;
  for (int i = 0; i < 17 * 24; ++i) page += "あ";
  EXPECT_EQ(put(page), 17 * 24);
  EXPECT_EQ(layer.line, 16);
  const std::vector<uint32_t> before = textPixels(layer);
  EXPECT_FALSE(put("い"));
  EXPECT_EQ(layer.line, 17);
  EXPECT_EQ(textPixels(layer), before);
  EXPECT_FALSE(put("A"));
  newLine();  // a full page takes no further line feed
  EXPECT_EQ(layer.line, 17);
}

TEST_F(LayerPen, Page_ClearStartsANewPage) {
  const TextLayer& layer = currentLayer();
  put("あいう");
  clearTextLayer("");
  EXPECT_EQ(layer.line, 0);
  EXPECT_EQ(layer.penX, 8);
  EXPECT_EQ(layer.penY, 16);
  EXPECT_TRUE(inkIn(textPixels(layer), layer.width, 0, 0, layer.width, layer.height).empty());
}

TEST_F(LayerPen, Indent_WrappedLinesStartAtTheIndentPixel) {
  const TextLayer& layer = currentLayer();
  put("「");
  setIndent(true);
  const int indentX = layer.penX;
  ASSERT_GT(indentX, 8);
  std::string text;
  for (int i = 0; i < 30; ++i) text += "あ";
  put(text);
  ASSERT_EQ(layer.line, 1);
  // Line two: 23 characters fit after the indent column, so 7 went there.
  EXPECT_EQ(layer.column, 2 + 7 * 2);
  const int lineTwo = 16 + kLineHeight;
  Ink left = inkIn(textPixels(layer), layer.width, 0, lineTwo, indentX, lineTwo + kLineHeight);
  EXPECT_TRUE(left.empty()) << "ink left of the indent at x " << left.left;
  EXPECT_FALSE(inkIn(textPixels(layer), layer.width, indentX, lineTwo, indentX + 24,
                     lineTwo + kLineHeight)
                   .empty());
  // A line feed by hand also starts at the indent once a character comes; without the
  // indent the same character lands on the left margin.
  newLine();
  put("あ");
  const int indented = layer.penX - indentX;
  setIndent(false);
  newLine();
  put("あ");
  EXPECT_EQ(layer.penX - 8, indented);
}

TEST_F(LayerPen, Ruby_CentredOverTheNextCharacter) {
  const TextLayer& layer = currentLayer();
  put("あ");
  setRubyMode(true);
  EXPECT_EQ(put("かんじ"), 0);  // collected, not drawn
  setRubyMode(false);
  const int baseX = layer.penX;
  EXPECT_EQ(put("漢"), 1);
  // The ruby sits in the 10-pixel band 8 pixels above the pen (size 10, gap -2).
  Ink ruby = inkIn(textPixels(layer), layer.width, 0, 16 - 8, layer.width, 16);
  Ink base = inkIn(textPixels(layer), layer.width, baseX, 16, layer.penX, 16 + kLineHeight);
  ASSERT_FALSE(ruby.empty());
  ASSERT_FALSE(base.empty());
  EXPECT_GE(ruby.top, 8);
  EXPECT_NEAR(ruby.centreX2() / 2.0, base.centreX2() / 2.0, 2.0);
  // Three ruby characters of 10 pixels are wider than their own half of the base character.
  EXPECT_LT(ruby.left, base.left);
  // The pending ruby was used up: the next character gets none.
  put("字");
  // (The ruby above 漢 is wider than it and reaches a few pixels over its neighbours.)
  EXPECT_TRUE(inkIn(textPixels(layer), layer.width, layer.prevX + 6, 0, layer.penX, 16).empty());
}

TEST_F(LayerPen, Ruby_FullBufferDropsFurtherCharactersWithoutError) {
  const TextLayer& layer = currentLayer();
  setRubyMode(true);
  for (int i = 0; i < 200; ++i) putChar(code("あ"));
  EXPECT_EQ(layer.rubyLength, 254);  // 127 characters and the terminator
  putChar('a');
  EXPECT_EQ(layer.rubyLength, 255);
  putChar('a');
  EXPECT_EQ(layer.rubyLength, 255);
  setRubyMode(true);  // already on: the buffer is kept
  EXPECT_EQ(layer.rubyLength, 255);
}

TEST_F(LayerPen, Colour_ChangeShowsInTheGlyphsAndResetReturnsToDefault) {
  const TextLayer& layer = currentLayer();
  setTextColour(1, 0, 0);
  put("赤");
  resetTextColour();
  const int whiteX = layer.penX;
  put("白");
  auto colourOfInk = [&](int x0, int x1) {
    for (int y = 16; y < 16 + kLineHeight; ++y)
      for (int x = x0; x < x1; ++x) {
        uint32_t p = textPixels(layer)[static_cast<size_t>(y) * layer.width + x];
        if ((p >> 24) > 0x80) return p & 0xFFFFFFu;
      }
    return 0x123456u;
  };
  EXPECT_EQ(colourOfInk(8, whiteX), 0xFF0000u);
  EXPECT_EQ(colourOfInk(whiteX, layer.penX), 0xFFFFFFu);
}

TEST_F(LayerPen, Font_EmphasisDrawsHeavierThanBody) {
  const TextLayer& layer = currentLayer();
  put("書");
  const int split = layer.penX;
  useEmphasisFont();
  put("書");
  Ink body = inkIn(textPixels(layer), layer.width, 8, 16, split, 16 + kLineHeight);
  Ink bold = inkIn(textPixels(layer), layer.width, split, 16, layer.penX, 16 + kLineHeight);
  EXPECT_GT(bold.count, body.count);
  // Clearing the page returns to the body font.
  clearTextLayer("");
  EXPECT_TRUE(layer.font == layer.bodyFont);
}

TEST_F(LayerPen, Shadow_DrawnAtTheSamePlaceOnTheShadowSurface) {
  const TextLayer& layer = currentLayer();
  put("影");
  Ink text = inkIn(textPixels(layer), layer.width, 0, 0, 60, 60);
  Ink shadow = inkIn(shadowPixels(layer), layer.width, 0, 0, 60, 60);
  EXPECT_EQ(text.left, shadow.left);
  EXPECT_EQ(text.count, shadow.count);
  // The shadow surface takes the shadow colour, not the text colour.
  EXPECT_EQ(shadowPixels(layer)[static_cast<size_t>(shadow.top) * layer.width + shadow.left] &
                0xFFFFFFu,
            0u);
}

TEST_F(LayerPen, Cursor_AtThePenOrTheEndOfTheLastLine) {
  setTextLayerPos("def", 100, 50);
  int x = 0, y = 0;
  getCursorPos(x, y);
  EXPECT_EQ(x, 100 + 8);
  EXPECT_EQ(y, 50 + 16 + kLineHeight / 2);
  const TextLayer& layer = currentLayer();
  std::string page;
  for (int i = 0; i < 17 * 24 + 1; ++i) page += "あ";
  put(page);
  getCursorPos(x, y);
  EXPECT_EQ(x, 100 + layer.prevX);
  EXPECT_EQ(y, 50 + 16 + 16 * kLineHeight + kLineHeight / 2);
}

TEST_F(LayerPen, Speed_ClearRestoresTheDefault) {
  setSpeed("def", 50);
  setCurrentSpeed(0);
  EXPECT_EQ(textSpeed(), 0);
  resetSpeed();
  EXPECT_EQ(textSpeed(), 50);
  setCurrentSpeed(5);
  clearTextLayer("def");
  EXPECT_EQ(textSpeed(), 50);
}

}  // namespace
