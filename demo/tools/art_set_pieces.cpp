/*
 * The courtroom's set pieces: the shouted bubbles, the two verdict characters and the name
 * plates shown above the message window.
 */
#include "assetgen.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

// Letters made heavier and ringed: the glyphs drawn at offsets round a circle of `radius`.
Mask thicken(const Mask& glyphs, float radius) {
  Mask out = glyphs;
  for (int k = 0; k < 16; ++k) {
    int dx = int(std::lround(radius * std::cos(2 * kPi * float(k) / 16)));
    int dy = int(std::lround(radius * std::sin(2 * kPi * float(k) / 16)));
    for (int y = 0; y < out.height; ++y)
      for (int x = 0; x < out.width; ++x) {
        int sx = x - dx, sy = y - dy;
        if (sx < 0 || sy < 0 || sx >= out.width || sy >= out.height) continue;
        float& v = out.v[size_t(y) * size_t(out.width) + size_t(x)];
        v = std::max(v, glyphs.at(sx, sy));
      }
  }
  return out;
}

// Text that reads from across the room: a heavy fill with a dark ring and a pale outer ring.
void paintShoutedText(Canvas& c, const std::string& text, Face face, int size, float cx,
                      float baseline, Rgba top, Rgba bottom, float tracking = 0) {
  Mask glyphs = makeMask(c.width, c.height);
  drawTextCentred(glyphs, face, size, text, cx, baseline, tracking);
  Mask heavy = thicken(glyphs, 1.5f);
  Mask ring = thicken(heavy, 4.0f);
  Mask halo = thicken(ring, 3.0f);
  paintMask(c, halo, hex(0xffffff, 0.95f));
  paintMask(c, ring, hex(0x1a0d12));
  const float rampTop = baseline - float(size) * 0.85f, rampBottom = baseline;
  paintMaskWith(c, heavy, [&](int, int y) {
    return mix(top, bottom, smoothstep(rampTop, rampBottom, float(y)));
  });
}

}  // namespace

// A jagged burst, white with a dark edge, the shout across it in heavy red-gold letters.
Canvas paintExclamationBubble(const std::string& label, Rgba edge) {
  Canvas c = makeCanvas(464, 264);
  const float cx = 232, cy = 132;
  std::vector<Point> spikes;
  constexpr int kSpikes = 26;
  for (int k = 0; k < 2 * kSpikes; ++k) {
    float a = kPi * float(k) / float(kSpikes);
    // Outer points vary a little so the burst looks shouted, not drawn with a compass.
    float r = (k % 2 == 0) ? 1.0f - 0.08f * hashUnit(k, 3, 0xb0bbu) : 0.78f;
    spikes.push_back({cx + 222 * r * std::cos(a), cy + 124 * r * std::sin(a)});
  }
  Mask burst = makeMask(c.width, c.height);
  maskPolygon(burst, spikes, 1.0f);
  Mask border = thicken(burst, 5.0f);
  paintMask(c, border, edge);
  paintMaskWith(c, burst, [&](int, int y) {
    return mix(hex(0xffffff), hex(0xe9edf7), smoothstep(cy - 110, cy + 110, float(y)));
  });
  // The longest shout is brought down to fit inside the spikes with room for its outline.
  const float wide = measureText(Face::Gothic, 76, label, 2);
  const int size = wide > 340 ? int(76 * 340 / wide) : 76;
  paintShoutedText(c, label, Face::Gothic, size, cx, cy + float(size) * 0.37f, hex(0xffd24a),
                   hex(0xe0261c), 2);
  return c;
}

// One character of the verdict, large and brushed in the given colour over a soft glow.
Canvas paintVerdictCharacter(const std::string& character, Rgba colour) {
  Canvas c = makeCanvas(300, 300);
  Mask glyph = makeMask(c.width, c.height);
  drawTextCentred(glyph, Face::Mincho, 250, character, 150, 238);
  Mask heavy = thicken(glyph, 2.0f);
  Mask glow = thicken(heavy, 6.0f);
  blurMask(glow, 8);
  paintMask(c, glow, Rgba{colour.r, colour.g, colour.b, 0.55f});
  Mask ring = thicken(heavy, 3.0f);
  paintMask(c, ring, hex(0x0b0b14));
  paintMaskWith(c, heavy, [&](int, int y) {
    return mix(mix(colour, hex(0xffffff), 0.35f), colour, smoothstep(40, 260, float(y)));
  });
  return c;
}

// The speaker's plate: a dark tab with a silver edge, the name in white.
Canvas paintNamePlate(const std::string& name) {
  Canvas c = makeCanvas(200, 40);
  Mask tab = makeMask(c.width, c.height);
  maskRoundRect(tab, 2, 2, 198, 40, 8);
  paintMaskWith(c, tab, [](int, int y) {
    return mix(hex(0x2a3570, 0.92f), hex(0x111a46, 0.92f), smoothstep(0, 40, float(y)));
  });
  Mask edge = makeMask(c.width, c.height);
  maskRoundRectOutline(edge, 2, 2, 198, 40, 8, 1.6f);
  paintMask(c, edge, palette::silver());
  Mask glyphs = makeMask(c.width, c.height);
  drawTextCentred(glyphs, Face::Gothic, 24, name, 100, 30, 2);
  paintMask(c, thicken(glyphs, 1.5f), hex(0x060a22, 0.9f), 1, 1);
  paintMask(c, glyphs, hex(0xffffff));
  return c;
}

}  // namespace assetgen
