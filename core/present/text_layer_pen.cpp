// The pen of the current text layer: line feeds, wrapping by half-width units, page
// fullness, indents, fonts, colour fills, the shadow surface and ruby over the next
// character. Putting a character allocates nothing: every buffer here is fixed.
#include <windows.h>

#include <cstring>

#include "host/errors.h"
#include "host/host_api.h"
#include "present/text_layer_table.h"
#include "support/sjis_literal.h"
#include "support/support.h"

namespace {

std::uint32_t gLastCharTime = 0;

bool differsInColour(const Colour& a, const Colour& b) {
  return a.red != b.red || a.green != b.green || a.blue != b.blue;
}

// What the host measured for the glyph it just rendered.
struct Glyph {
  LbSize box;
  LbPoint offset;
  int advance;
};

// Renders one character in the font and reads its box, draw offset and advance.
Glyph renderGlyph(LbFont font, int code) {
  if (gHost.lbRenderChar(font, code) == 0) Fatal("%s", "文字が表示できません。"_sj);
  Glyph glyph{};
  LbSize feed{};
  gHost.lbGetCharBoxSize(&glyph.box, font);
  gHost.lbGetCharDrawPos(&glyph.offset, font);
  gHost.lbGetCharFeedSize(&feed, font);
  glyph.advance = feed.cx;
  return glyph;
}

// Renders and draws one character with its pen at (x, y) into the text surface and, with
// the shadow on, into the shadow surface at the same place (the shadow sprite's own offset
// makes the shadow). A surface gets a box fill first only when the colour differs from what
// it was cleared with, since its glyphs take the colour of the fill under them. Returns the
// advance.
int drawGlyph(TextLayer& layer, LbFont font, int code, int x, int y) {
  const bool textFill = differsInColour(layer.textColour, layer.clearTextColour);
  const bool shadowFill =
      layer.shadowOn && differsInColour(layer.shadowColour, layer.clearShadowColour);
  Glyph glyph = renderGlyph(font, code);
  const int drawX = x + glyph.offset.x, drawY = y + glyph.offset.y;
  LbImage text = hostImage(layer.textImage);
  if (textFill) {
    const Colour& c = layer.textColour;
    gHost.lbtsFillImageRect(text, drawX, drawY, glyph.box.cx, glyph.box.cy, c.red, c.green,
                            c.blue, c.alpha);
  }
  gHost.lbtsDrawChar(text, drawX, drawY, font);
  LbImage shadow = hostImage(layer.shadowImage);
  if (shadowFill) {
    const Colour& c = layer.shadowColour;
    gHost.lbtsFillImageRect(shadow, drawX, drawY, glyph.box.cx, glyph.box.cy, c.red, c.green,
                            c.blue, c.alpha);
  }
  if (layer.shadowOn) gHost.lbtsDrawChar(shadow, drawX, drawY, font);
  return glyph.advance;
}

// The next character of a ruby text: its code and length in bytes; 0 at the end of the
// text, a carriage return, a line feed or a lead byte with nothing after it.
int nextRubyCharacter(const char* text, int& code) {
  auto first = static_cast<unsigned char>(text[0]);
  if (first == 0 || first == '\r' || first == '\n') return 0;
  if (isLeadByte(first)) {
    auto second = static_cast<unsigned char>(text[1]);
    if (second == 0) return 0;
    code = first << 8 | second;
    return 2;
  }
  code = first;
  return 1;
}

// Draws the pending ruby centred over the character that was just drawn from baseX with
// the given advance, and empties it. Returns the ruby's pen y.
int drawRuby(TextLayer& layer, int baseX, int baseAdvance) {
  LbFont font = hostFont(layer.rubyFont);
  const int y = layer.penY - layer.rubyGap - layer.rubySize;
  int width = 0, code = 0;
  for (const char* at = layer.ruby; int n = nextRubyCharacter(at, code); at += n)
    width += renderGlyph(font, code).advance;
  int x = baseX + (baseAdvance >> 1) - (width >> 1);
  for (const char* at = layer.ruby; int n = nextRubyCharacter(at, code); at += n)
    x += drawGlyph(layer, font, code, x, y);
  layer.ruby[0] = '\0';
  layer.rubyLength = 0;
  return y;
}

void appendRuby(TextLayer& layer, std::uint16_t code) {
  const int bytes = code > 255 ? 2 : 1;
  if (layer.rubyLength + bytes + 1 > static_cast<int>(sizeof layer.ruby)) return;
  if (bytes == 2) layer.ruby[layer.rubyLength++] = static_cast<char>(code >> 8);
  layer.ruby[layer.rubyLength++] = static_cast<char>(code & 0xFF);
  layer.ruby[layer.rubyLength] = '\0';
}

}  // namespace

void lineFeed(TextLayer& layer) {
  if (layer.line >= layer.lines) return;
  ++layer.line;
  layer.prevX = layer.penX;
  layer.prevY = layer.penY;
  layer.penX = layer.leftMargin;
  layer.column = 0;
  layer.penY += layer.lineSpacing + layer.size;
}

void newLine() { lineFeed(currentLayer()); }

bool putChar(std::uint16_t code) {
  gLastCharTime = timeGetTime();
  TextLayer& layer = currentLayer();
  if (layer.rubyMode) {
    appendRuby(layer, code);
    return false;
  }
  // Wrapping counts half-width units, not pixels: a double-byte character takes two. A
  // line feed at the last line fills the page, which also ends this loop.
  for (;;) {
    if (layer.line >= layer.lines) return false;
    layer.prevX = layer.penX;
    layer.prevY = layer.penY;
    if (layer.column < layer.indentColumn) {
      layer.column = layer.indentColumn;
      layer.penX = layer.indentX;
    }
    layer.column += code > 255 ? 2 : 1;
    if (layer.column <= layer.lineWidth) break;
    lineFeed(layer);
  }

  const int left = layer.penX;
  const int advance = drawGlyph(layer, hostFont(layer.font), code, left, layer.penY);
  layer.penX += layer.charSpacing + advance;
  int top = layer.penY;
  const int right = layer.penX - 1, bottom = layer.penY + layer.size + layer.lineSpacing - 1;
  if (layer.rubyLength > 0) top = drawRuby(layer, left, advance);

  if (ChoiceRegion* region = layer.choiceInProgress.get()) {
    if (left < region->minX) region->minX = left;
    if (top < region->minY) region->minY = top;
    if (right > region->maxX) region->maxX = right;
    if (bottom > region->maxY) region->maxY = bottom;
  }
  return true;
}

std::uint32_t lastCharTime() { return gLastCharTime; }

void getCursorPos(int& x, int& y) {
  const TextLayer& layer = currentLayer();
  const bool full = layer.line >= layer.lines;
  x = (full ? layer.prevX : layer.penX) + layer.x;
  y = (full ? layer.prevY : layer.penY) + ((layer.size + layer.lineSpacing) >> 1) + layer.y;
}

void useBodyFont() { currentLayer().font = currentLayer().bodyFont; }
void useEmphasisFont() { currentLayer().font = currentLayer().emphasisFont; }

void setIndent(bool on) {
  TextLayer& layer = currentLayer();
  layer.indentColumn = on ? layer.column : 0;
  layer.indentX = on ? layer.penX : 0;
}

void setRubyMode(bool on) {
  TextLayer& layer = currentLayer();
  if (!on) {
    layer.rubyMode = false;
  } else if (!layer.rubyMode) {
    layer.rubyMode = true;
    layer.ruby[0] = '\0';
    layer.rubyLength = 0;
  }
}

bool isRubyMode() { return currentLayer().rubyMode; }
