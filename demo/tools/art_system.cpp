/*
 * The system pictures under the story: the message window, the click-wait cursors (strips
 * of animation cells, one row each) and the grey mask that the standard wipes sweep through.
 */
#include "assetgen.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

constexpr int kCursorFrames = 8;
constexpr float kPi = 3.14159265f;

// Phase of frame k of a looping animation, 0 to 2 pi.
float phase(int k) { return 2 * kPi * float(k) / float(kCursorFrames); }

void paintCrescent(Canvas& c, float cx, float cy, float r, Rgba colour, float glowAlpha) {
  Mask moon = makeMask(c.width, c.height);
  maskCircle(moon, cx, cy, r);
  Mask bite = makeMask(c.width, c.height);
  maskCircle(bite, cx + r * 0.45f, cy - r * 0.3f, r * 0.85f);
  maskSubtract(moon, bite);
  if (glowAlpha > 0) {
    Mask glow = moon;
    blurMask(glow, r * 0.45f);
    maskScale(glow, 1.5f);
    paintMask(c, glow, Rgba{colour.r, colour.g, colour.b, glowAlpha});
  }
  paintMask(c, moon, colour);
}

}  // namespace

Canvas paintMessageWindow() {
  Canvas c = makeCanvas(800, 200);
  const float x0 = 8, y0 = 6, x1 = 792, y1 = 194;
  Mask panel = makeMask(c.width, c.height);
  maskRoundRect(panel, x0, y0, x1, y1, 14);
  paintMaskWith(c, panel, [](int, int y) {
    return mix(hex(0x111a46, 0.80f), hex(0x060a22, 0.88f), smoothstep(0, 200, float(y)));
  });
  // A faint full moon behind the right end of the text, clear of the lines themselves.
  Mask watermark = makeMask(c.width, c.height);
  maskCircle(watermark, 706, 118, 62, 1.5f);
  maskSubtract(watermark, [&] {
    Mask cut = makeMask(c.width, c.height);
    maskCircle(cut, 732, 100, 56, 1.5f);
    return cut;
  }());
  Mask clip = makeMask(c.width, c.height);
  maskRoundRect(clip, x0 + 4, y0 + 4, x1 - 4, y1 - 4, 10);
  for (size_t i = 0; i < watermark.v.size(); ++i) watermark.v[i] *= clip.v[i];
  paintMask(c, watermark, hex(0xc9d2e8, 0.06f));

  Mask outer = makeMask(c.width, c.height);
  maskRoundRectOutline(outer, x0, y0, x1, y1, 14, 2.0f);
  paintMask(c, outer, hex(0x95a2cf, 0.95f));
  Mask inner = makeMask(c.width, c.height);
  maskRoundRectOutline(inner, x0 + 6, y0 + 6, x1 - 6, y1 - 6, 9, 0.9f);
  paintMask(c, inner, hex(0xc9d2e8, 0.35f));
  // Moonlight along the top edge.
  Mask sheen = makeMask(c.width, c.height);
  maskLine(sheen, {x0 + 24, y0 + 1.5f}, {x1 - 24, y0 + 1.5f}, 1.0f);
  paintMaskWith(c, sheen, [](int x, int) {
    return hex(0xffffff, 0.6f * std::sin(kPi * clamp01(float(x) / 800.0f)));
  });

  // Ornament at the top right corner: a crescent and two small stars on the frame.
  paintCrescent(c, 760, 11, 8, palette::gold(), 0.5f);
  Mask stars = makeMask(c.width, c.height);
  maskCircle(stars, 736, 6, 1.6f);
  maskCircle(stars, 722, 9, 1.1f);
  paintMask(c, stars, hex(0xfff6d6));
  return c;
}

// The page cursor of the message window: a small golden arrowhead that bobs.
Canvas paintPageCursor() {
  constexpr int kW = 32, kH = 40;
  Canvas c = makeCanvas(kW * kCursorFrames, kH);
  for (int k = 0; k < kCursorFrames; ++k) {
    float ox = float(k * kW);
    float bob = 4 * std::sin(phase(k));
    float cy = kH / 2.0f + bob;
    Mask arrow = makeMask(c.width, c.height);
    maskPolygon(arrow, {{ox + 5, cy - 8}, {ox + 27, cy - 8}, {ox + 16, cy + 9}}, 1.0f);
    Mask glow = arrow;
    blurMask(glow, 3.5f);
    maskScale(glow, 1.4f);
    paintMask(c, glow, hex(0xf1d98a, 0.45f + 0.2f * std::cos(phase(k))));
    paintMaskWith(c, arrow, [&](int, int y) {
      return mix(hex(0xfff6d6), hex(0xd6a94c), smoothstep(cy - 8, cy + 9, float(y)));
    });
  }
  return c;
}

// The cursor before a message window exists: a four-pointed silver sparkle that breathes.
Canvas paintStartCursor() {
  constexpr int kW = 32, kH = 32;
  Canvas c = makeCanvas(kW * kCursorFrames, kH);
  for (int k = 0; k < kCursorFrames; ++k) {
    float cx = float(k * kW) + kW / 2.0f, cy = kH / 2.0f;
    float s = 0.75f + 0.25f * std::cos(phase(k));
    float arm = 12 * s, waist = 3 * s;
    Mask sparkle = makeMask(c.width, c.height);
    maskPolygon(sparkle, {{cx, cy - arm}, {cx + waist, cy - waist}, {cx + arm, cy},
                          {cx + waist, cy + waist}, {cx, cy + arm}, {cx - waist, cy + waist},
                          {cx - arm, cy}, {cx - waist, cy - waist}});
    Mask glow = sparkle;
    blurMask(glow, 3);
    maskScale(glow, 1.5f);
    paintMask(c, glow, hex(0xaec4ff, 0.5f * s));
    paintMask(c, sparkle, hex(0xf4f7ff));
  }
  return c;
}

// The cursor shown while the player looks at the picture with the menu put away. It sits at
// the top left corner, centred vertically on the top edge, so its visible part is the lower
// half of each cell: a crescent that glows brighter and dimmer.
Canvas paintViewCursor() {
  constexpr int kW = 48, kH = 96;
  Canvas c = makeCanvas(kW * kCursorFrames, kH);
  for (int k = 0; k < kCursorFrames; ++k) {
    float cx = float(k * kW) + 24, cy = kH * 0.75f;
    float pulse = 0.5f + 0.5f * std::cos(phase(k));
    paintCrescent(c, cx, cy, 13, mix(hex(0xd6a94c), palette::gold(), pulse),
                  0.25f + 0.35f * pulse);
  }
  return c;
}

// A cursor that shows nothing: fully transparent pixels.
Canvas paintBlankCursor() { return makeCanvas(8, 8); }

// The mark shown while the pages turn by themselves: a small moonlit tab reading "AUTO".
Canvas paintAutoMark() {
  Canvas c = makeCanvas(72, 24);
  Mask tab = makeMask(c.width, c.height);
  maskRoundRect(tab, 1, 1, 71, 23, 6);
  paintMask(c, tab, hex(0x111a46, 0.85f));
  Mask edge = makeMask(c.width, c.height);
  maskRoundRectOutline(edge, 1, 1, 71, 23, 6, 1.2f);
  paintMask(c, edge, palette::gold());
  Mask glyphs = makeMask(c.width, c.height);
  drawTextCentred(glyphs, Face::Gothic, 15, "AUTO", 36, 18, 1);
  paintMask(c, glyphs, palette::moonlight());
  return c;
}

// The mask of the "bg", "wipe" and "slowwipe" transitions: dark pixels are revealed first.
// A left-to-right ramp, leaning a little downwards, whose front is frayed like cloud so the
// new picture drifts in as a bank of haze rather than a hard line.
Canvas paintWipeMask() {
  constexpr int kW = 800, kH = 600;
  std::vector<float> level(size_t(kW) * kH);
  float lo = 1e9f, hi = -1e9f;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      float ramp = 0.82f * float(x) / kW + 0.18f * float(y) / kH;
      float fray = fractalNoise(float(x) / 110.0f, float(y) / 70.0f, 83u, 5) - 0.5f;
      float swell = 0.05f * std::sin(float(y) / kH * 2 * kPi * 1.5f);
      float v = ramp + 0.22f * fray + swell;
      level[size_t(y) * kW + size_t(x)] = v;
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  // Stretched to the full grey range, so the sweep starts and ends exactly at its ends.
  Canvas c = makeCanvas(kW, kH);
  fillWith(c, [&](int x, int y) {
    float g = (level[size_t(y) * kW + size_t(x)] - lo) / (hi - lo);
    return Rgba{g, g, g, 1};
  });
  return c;
}

}  // namespace assetgen
