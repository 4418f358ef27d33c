/*
 * The pictures a player meets first: the engine logo on black, the title background (the
 * courthouse on a hazy moonlit night, with the title written down the left edge), the
 * episode selection background and the title buttons.
 */
#include "assetgen.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

constexpr float kTitleMoonX = 612, kTitleMoonY = 128, kTitleMoonR = 54;

// The courthouse seen from its steps: pediment, entablature, six columns, a lit doorway and
// a wide flight of stairs running off the bottom of the picture.
void paintCourthouse(Canvas& c) {
  const Rgba stone = hex(0x0c1028);
  const Rgba stoneLit = hex(0x2a3160);
  // The cella wall behind the colonnade, a shade deeper than the stone in front of it.
  Mask wall = makeMask(c.width, c.height);
  maskRoundRect(wall, 214, 340, 586, 472, 0.5f);
  paintMaskWith(c, wall, [](int, int y) {
    return mix(hex(0x05071a), hex(0x0a0d26), smoothstep(340, 472, float(y)));
  });
  Mask body = makeMask(c.width, c.height);
  maskPolygon(body, {{196, 300}, {400, 236}, {604, 300}}, 1.0f);  // pediment
  maskRoundRect(body, 186, 298, 614, 330, 2);                        // entablature
  maskRoundRect(body, 206, 330, 594, 342, 1);                        // architrave
  maskRoundRect(body, 176, 470, 624, 486, 1);                        // stylobate
  paintMask(c, body, stone);

  // The doorway and windows between the columns keep a warm light: court sits late.
  Mask door = makeMask(c.width, c.height);
  maskRoundRect(door, 372, 372, 428, 470, 3);
  Mask doorGlow = door;
  blurMask(doorGlow, 16);
  maskScale(doorGlow, 1.6f);
  paintMask(c, doorGlow, hex(0xffb45a, 0.55f));
  paintMaskWith(c, door, [](int, int y) {
    return mix(hex(0xffe2a3), hex(0xe08a3a), smoothstep(372, 470, float(y)));
  });
  Mask windows = makeMask(c.width, c.height);
  for (float wx : {262.0f, 506.0f}) maskRoundRect(windows, wx, 386, wx + 32, 440, 2);
  Mask windowGlow = windows;
  blurMask(windowGlow, 10);
  paintMask(c, windowGlow, hex(0xffb45a, 0.35f));
  paintMask(c, windows, hex(0xd99a52, 0.85f));

  // Columns: dark stone with the moon catching their right flank.
  for (int i = 0; i < 6; ++i) {
    float x0 = 214 + float(i) * 68.0f, x1 = x0 + 26;
    Mask col = makeMask(c.width, c.height);
    maskRoundRect(col, x0, 342, x1, 470, 2);
    maskRoundRect(col, x0 - 4, 342, x1 + 4, 350, 1);  // capital
    maskRoundRect(col, x0 - 4, 462, x1 + 4, 470, 1);  // base
    paintMaskWith(c, col, [&](int x, int) {
      float t = clamp01((float(x) - x0) / (x1 - x0));
      return mix(stone, stoneLit, smoothstep(0.45f, 1.0f, t));
    });
  }

  // Moonlight along the top of the pediment's right slope and the cornice.
  Mask rim = makeMask(c.width, c.height);
  maskLine(rim, {400, 236}, {604, 300}, 1.6f);
  maskLine(rim, {186, 298.5f}, {614, 298.5f}, 1.2f);
  maskLine(rim, {176, 470.5f}, {624, 470.5f}, 1.0f);
  paintMask(c, rim, hex(0x8a95c8, 0.7f));

  // Stairs: each step a little wider and lighter at its nose.
  for (int s = 0; s < 8; ++s) {
    float top = 486 + float(s) * 15.0f, half = 232 + float(s) * 26.0f;
    Mask step = makeMask(c.width, c.height);
    maskRoundRect(step, 400 - half, top, 400 + half, top + 15, 0.5f);
    paintMaskWith(c, step, [&](int, int y) {
      float t = clamp01((float(y) - top) / 15.0f);
      return mix(hex(0x1a1f45), hex(0x0b0e24), smoothstep(0.0f, 0.35f, t));
    });
  }
}

void paintGroundMist(Canvas& c, float top, uint32_t seed) {
  for (int y = int(top); y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      float n = fractalNoise(float(x) / 160.0f, float(y) / 22.0f, seed, 4);
      float rise = smoothstep(top, top + 70, float(y));
      blendPixel(c, x, y, hex(0x7d86b8), smoothstep(0.45f, 0.85f, n) * 0.22f * rise);
    }
}

}  // namespace

Canvas paintTitleBackground() {
  Canvas c = makeCanvas(800, 600);
  fillVertical(c, {{0, hex(0x03050f)},
                   {180, hex(0x0d1234)},
                   {360, hex(0x22255a)},
                   {470, hex(0x3a3468)},
                   {600, hex(0x141633)}});
  paintStars(c, 260, 430, kTitleMoonX, kTitleMoonY, 11u);
  paintMoon(c, kTitleMoonX, kTitleMoonY, kTitleMoonR, 3u);
  paintClouds(c, kTitleMoonX, kTitleMoonY, 150, 420, 29u, 0.75f);
  // One long streak drawn across the moon's lower half: the haze the title is named for.
  for (int y = 100; y < 200; ++y)
    for (int x = 360; x < 800; ++x) {
      float tilt = float(x) - kTitleMoonX;
      float offCentre = (float(y) - (kTitleMoonY + 24) - tilt * 0.05f) / 12.0f;
      float across = std::exp(-offCentre * offCentre);
      float n = fractalNoise(float(x) / 70.0f, float(y) / 9.0f, 97u, 4);
      float reach = 1.0f - smoothstep(120, 240, std::fabs(float(x) - kTitleMoonX));
      float lit = std::exp(-std::hypot(float(x) - kTitleMoonX, float(y) - kTitleMoonY) / 120.0f);
      blendPixel(c, x, y, mix(hex(0x3a4070), hex(0xdcdcea), lit),
                 across * smoothstep(0.35f, 0.7f, n) * reach * 0.8f);
    }

  // Far hills and trees on the horizon behind the courthouse.
  Mask hills = makeMask(c.width, c.height);
  for (int x = 0; x < c.width; ++x) {
    float h = 420 + 22 * fractalNoise(float(x) / 140.0f, 0.5f, 41u, 4) +
              14 * fractalNoise(float(x) / 18.0f, 3.5f, 43u, 2);
    for (int y = int(h); y < c.height; ++y) hills.v[size_t(y) * 800 + size_t(x)] = 1;
  }
  blurMask(hills, 0.6f);
  paintMask(c, hills, hex(0x0a0c22));

  paintCourthouse(c);
  paintGroundMist(c, 470, 57u);

  // The title, written downwards along the left edge, and the seal of the first volume.
  Mask title = makeMask(c.width, c.height);
  drawTextVertical(title, Face::Mincho, 84, "朧月法廷", 92, 40, 98);
  paintLettering(c, title, hex(0xffffff), hex(0xb7c3e6), 40, 430, hex(0x7f95e0, 0.55f), 9);
  Mask seal = makeMask(c.width, c.height);
  maskRoundRect(seal, 70, 448, 114, 492, 5);
  paintMask(c, seal, hex(0xb3262e, 0.92f));
  Mask sealText = makeMask(c.width, c.height);
  drawTextCentred(sealText, Face::Mincho, 32, "壱", 92, 482);
  paintMask(c, sealText, hex(0xfbe9dc));
  Mask subtitle = makeMask(c.width, c.height);
  drawTextVertical(subtitle, Face::Mincho, 20, "夜に開く法廷", 152, 64, 26);
  paintLettering(c, subtitle, hex(0xd9def0), hex(0xaab4d8), 60, 220, hex(0x7f95e0, 0.4f), 4);

  paintVignette(c, 0.65f);
  return c;
}

Canvas paintSelectBackground() {
  Canvas c = makeCanvas(800, 600);
  fillVertical(c, {{0, hex(0x04060f)}, {300, hex(0x0e1230)}, {600, hex(0x1b1c46)}});
  paintStars(c, 200, 600, 128, 118, 23u);
  paintMoon(c, 128, 118, 44, 9u);
  paintClouds(c, 128, 118, 200, 600, 31u, 0.6f);

  // Scales of justice drawn in faint silver line behind the menu.
  Mask scales = makeMask(c.width, c.height);
  maskLine(scales, {400, 150}, {400, 430}, 4);
  maskLine(scales, {250, 200}, {550, 200}, 4);
  maskCircle(scales, 400, 142, 9);
  maskRoundRect(scales, 340, 428, 460, 440, 4);
  for (float side : {-1.0f, 1.0f}) {
    float px = 400 + side * 150;
    maskLine(scales, {px, 200}, {px - 55, 300}, 2);
    maskLine(scales, {px, 200}, {px + 55, 300}, 2);
    // Each pan is the lower half of a ring, closed by its rim.
    Mask pan = makeMask(c.width, c.height);
    maskRing(pan, px, 298, 60, 3);
    Mask cut = makeMask(c.width, c.height);
    maskRoundRect(cut, px - 70, 220, px + 70, 298, 0);
    maskSubtract(pan, cut);
    maskLine(pan, {px - 62, 300}, {px + 62, 300}, 3);
    for (size_t i = 0; i < pan.v.size(); ++i) scales.v[i] = std::max(scales.v[i], pan.v[i]);
  }
  Mask glow = scales;
  blurMask(glow, 10);
  paintMask(c, glow, hex(0x8fa2e6, 0.22f));
  paintMask(c, scales, hex(0xc9d2e8, 0.22f));

  // A frame of thin lines, like the border of a printed case list.
  Mask frame = makeMask(c.width, c.height);
  maskRoundRectOutline(frame, 24, 24, 776, 576, 10, 1.4f);
  maskRoundRectOutline(frame, 32, 32, 768, 568, 7, 0.8f);
  paintMask(c, frame, hex(0xb9c2e0, 0.35f));

  paintVignette(c, 0.6f);
  return c;
}

Canvas paintLogo() {
  Canvas c = makeCanvas(600, 240);
  // The emblem and the word are centred together: crescent, a gap, then the word.
  const int kWordSize = 70;
  const float kTracking = 9;
  float word = measureText(Face::Serif, kWordSize, "ORVANE", kTracking);
  float left = (float(c.width) - (128 + 30 + word)) / 2;
  float mx = left + 66, my = 116;
  // A crescent: the full disc with a shifted disc carved out of it.
  Mask crescent = makeMask(c.width, c.height);
  maskCircle(crescent, mx, my, 64, 1.2f);
  Mask bite = makeMask(c.width, c.height);
  maskCircle(bite, mx + 28, my - 16, 56, 1.2f);
  maskSubtract(crescent, bite);
  Mask glow = crescent;
  blurMask(glow, 12);
  maskScale(glow, 1.4f);
  paintMask(c, glow, hex(0xe8c978, 0.45f));
  paintMaskWith(c, crescent, [&](int x, int y) {
    float t = clamp01((float(x) - mx + 66 + float(y) - my + 60) / 200.0f);
    return mix(hex(0xfff3c4), hex(0xd6a94c), t);
  });
  // A star caught in the crescent's arms.
  float sx = mx + 38, sy = my - 8;
  Mask star = makeMask(c.width, c.height);
  maskPolygon(star, {{sx, sy - 17}, {sx + 4, sy - 4}, {sx + 15, sy}, {sx + 4, sy + 4},
                     {sx, sy + 17}, {sx - 4, sy + 4}, {sx - 15, sy}, {sx - 4, sy - 4}});
  Mask starGlow = star;
  blurMask(starGlow, 5);
  paintMask(c, starGlow, hex(0xfff3c4, 0.8f));
  paintMask(c, star, hex(0xfffdf2));

  float wx = left + 128 + 30;
  Mask letters = makeMask(c.width, c.height);
  drawText(letters, Face::Serif, kWordSize, "ORVANE", wx, 136, kTracking);
  paintLettering(c, letters, hex(0xffffff), hex(0xaab6dc), 84, 136, hex(0x8fa2e6, 0.5f), 6);
  Mask rule = makeMask(c.width, c.height);
  maskLine(rule, {wx + 2, 154}, {wx + word, 154}, 1.2f);
  paintMask(c, rule, hex(0xd6a94c, 0.9f));
  Mask tagline = makeMask(c.width, c.height);
  drawTextCentred(tagline, Face::Serif, 15, "NIGHT COURT ADVENTURE ENGINE", wx + word / 2, 178, 3);
  paintMask(c, tagline, hex(0xc9d2e8, 0.9f));
  return c;
}

Canvas paintTitleButton(const std::string& label) {
  constexpr int kW = 300, kH = 56;
  Canvas c = makeCanvas(kW, kH * 2);
  for (int row = 0; row < 2; ++row) {
    bool lit = row == 1;
    float top = float(row * kH);
    Mask plate = makeMask(kW, kH * 2);
    maskRoundRect(plate, 6, top + 5, kW - 6, top + kH - 5, 9);
    paintMaskWith(c, plate, [&](int, int y) {
      float t = clamp01((float(y) - top) / float(kH));
      return lit ? mix(hex(0x3a4590, 0.92f), hex(0x1d2258, 0.92f), t)
                 : mix(hex(0x161b44, 0.93f), hex(0x080b24, 0.95f), t);
    });
    Mask edge = makeMask(kW, kH * 2);
    maskRoundRectOutline(edge, 6, top + 5, kW - 6, top + kH - 5, 9, lit ? 2.0f : 1.4f);
    if (lit) {
      Mask glow = edge;
      blurMask(glow, 3);
      maskScale(glow, 1.5f);
      paintMask(c, glow, hex(0xf1d98a, 0.5f));
    }
    paintMask(c, edge, lit ? palette::gold() : hex(0x8f9bc8, 0.85f));
    Mask inner = makeMask(kW, kH * 2);
    maskRoundRectOutline(inner, 11, top + 10, kW - 11, top + kH - 10, 6, 0.8f);
    paintMask(c, inner, lit ? hex(0xf1d98a, 0.45f) : hex(0x8f9bc8, 0.3f));

    // Small crescents flank the label of the lit button.
    if (lit)
      for (float side : {-1.0f, 1.0f}) {
        float cx = kW / 2.0f + side * 108;
        Mask moon = makeMask(kW, kH * 2);
        maskCircle(moon, cx, top + kH / 2.0f, 7);
        Mask bite = makeMask(kW, kH * 2);
        maskCircle(bite, cx + side * 4, top + kH / 2.0f - 2, 6);
        maskSubtract(moon, bite);
        paintMask(c, moon, palette::gold());
      }

    Mask text = makeMask(kW, kH * 2);
    drawTextCentred(text, Face::Mincho, 26, label, kW / 2.0f, top + 37, 6);
    if (lit)
      paintLettering(c, text, hex(0xfff6d6), palette::gold(), top + 14, top + 40,
                     hex(0xf1d98a, 0.45f), 4);
    else
      paintLettering(c, text, hex(0xeef1fa), hex(0xb9c2e0), top + 14, top + 40,
                     hex(0x000000, 0.0f), 0);
  }
  return c;
}

}  // namespace assetgen
