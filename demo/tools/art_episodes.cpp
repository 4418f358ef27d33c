/*
 * The episodes' own places: the moonlit garden of the first case (wide enough to pan from
 * the house to the gate), the theatre's dressing room with the stage curtain's valance drawn
 * over the characters, and the writer's study.
 */
#include "assetgen.h"

#include <cmath>

namespace assetgen {

namespace {

// A rectangle of warm lamplight with a soft glow around it: a lit window or a lamp.
void paintLitWindow(Canvas& c, float x0, float y0, float x1, float y1, Rgba light) {
  Mask glow = makeMask(c.width, c.height);
  maskRoundRect(glow, x0 - 8, y0 - 8, x1 + 8, y1 + 8, 6);
  blurMask(glow, 14);
  paintMask(c, glow, Rgba{light.r, light.g, light.b, 0.35f});
  Mask pane = makeMask(c.width, c.height);
  maskRoundRect(pane, x0, y0, x1, y1, 2);
  paintMask(c, pane, light);
  Mask bars = makeMask(c.width, c.height);
  maskLine(bars, {(x0 + x1) / 2, y0}, {(x0 + x1) / 2, y1}, 2);
  maskLine(bars, {x0, (y0 + y1) / 2}, {x1, (y0 + y1) / 2}, 2);
  paintMask(c, bars, hex(0x1a1020));
}

// A table top from x0 to x1 under `top`, 40 pixels thick, on two legs to the floor.
void paintTable(Canvas& c, float x0, float x1, float top, Rgba wood) {
  Mask table = makeMask(c.width, c.height);
  maskRoundRect(table, x0, top, x1, top + 40, 4);
  maskRoundRect(table, x0 + 10, top + 40, x0 + 30, float(c.height), 2);
  maskRoundRect(table, x1 - 30, top + 40, x1 - 10, float(c.height), 2);
  paintMask(c, table, wood);
}

}  // namespace

Canvas paintGarden() {
  Canvas c = makeCanvas(1600, 600);
  fillVertical(c, {{0, hex(0x03050f)}, {220, hex(0x10164a)}, {380, hex(0x28285e)},
                   {600, hex(0x101020)}});
  paintStars(c, 320, 380, 1040, 110, 31u);
  paintMoon(c, 1040, 110, 46, 5u);
  paintClouds(c, 1040, 110, 130, 380, 37u, 0.8f);
  // The house on the left: a dark mass with a roof line and warm windows.
  Mask house = makeMask(c.width, c.height);
  maskPolygon(house, {{0, 150}, {300, 150}, {420, 250}, {520, 250}, {520, 470}, {0, 470}});
  paintMaskWith(c, house, [](int x, int y) {
    return mix(hex(0x0c0c1c), hex(0x1a1830), float(x) / 520.0f * 0.5f + float(y) / 1200.0f);
  });
  for (int i = 0; i < 4; ++i) {
    float x = 40 + 110 * float(i);
    paintLitWindow(c, x, 200, x + 46, 260, i == 1 ? hex(0x3a3a58) : hex(0xf0c070));
    paintLitWindow(c, x, 330, x + 46, 390, hex(0xe8a850));
  }
  // Soil and lawn, the path of soil winding from the house to the gate.
  Mask ground = makeMask(c.width, c.height);
  maskRoundRect(ground, -10, 430, 1610, 610, 0);
  paintMaskWith(c, ground, [](int x, int y) {
    float n = fractalNoise(float(x) / 30.0f, float(y) / 12.0f, 0x9a7u, 4);
    return mix(hex(0x0e1a14), hex(0x1e3024), n);
  });
  Mask path = makeMask(c.width, c.height);
  maskPolygon(path, {{380, 600}, {700, 600}, {1300, 470}, {1240, 470}});
  paintMaskWith(c, path, [](int x, int y) {
    float n = fractalNoise(float(x) / 10.0f, float(y) / 10.0f, 0x5011u, 3);
    return mix(hex(0x2a2232), hex(0x4a3c44), n);
  });
  // Hedges along the garden's edge.
  Mask hedge = makeMask(c.width, c.height);
  for (int i = 0; i < 14; ++i) maskCircle(hedge, 540 + 48.0f * float(i), 440, 34);
  paintMaskWith(c, hedge, [](int x, int y) {
    float n = fractalNoise(float(x) / 8.0f, float(y) / 8.0f, 0x4ed9u, 3);
    return mix(hex(0x081410), hex(0x1c3424), n);
  });
  // The gate on the right: two stone posts, iron bars and a lamp on each post.
  Mask posts = makeMask(c.width, c.height);
  maskRoundRect(posts, 1190, 250, 1220, 480, 2);
  maskRoundRect(posts, 1350, 250, 1380, 480, 2);
  paintMask(c, posts, hex(0x3a3a4a));
  Mask bars = makeMask(c.width, c.height);
  for (float x = 1232; x < 1350; x += 14) maskLine(bars, {x, 300}, {x, 474}, 3);
  maskLine(bars, {1220, 310}, {1350, 310}, 4);
  maskLine(bars, {1220, 440}, {1350, 440}, 4);
  paintMask(c, bars, hex(0x0a0a12));
  for (float x : {1205.0f, 1365.0f}) {
    Mask lamp = makeMask(c.width, c.height);
    maskCircle(lamp, x, 236, 40);
    blurMask(lamp, 16);
    paintMask(c, lamp, hex(0xf0c070, 0.45f));
    Mask bulb = makeMask(c.width, c.height);
    maskRoundRect(bulb, x - 10, 222, x + 10, 250, 4);
    paintMask(c, bulb, hex(0xfbe0a0));
  }
  paintVignette(c, 0.3f);
  return c;
}

Canvas paintDressingRoom() {
  Canvas c = makeCanvas(800, 600);
  fillVertical(c, {{0, hex(0x3a2028)}, {420, hex(0x5a3038)}, {600, hex(0x2a1418)}});
  // Striped wallpaper.
  Mask stripes = makeMask(c.width, c.height);
  for (float x = 0; x < 800; x += 40) maskRoundRect(stripes, x, 0, x + 12, 430, 0);
  paintMask(c, stripes, hex(0x000000, 0.12f));
  // The mirror ringed with bulbs, over the dressing table.
  Mask frame = makeMask(c.width, c.height);
  maskRoundRect(frame, 90, 110, 370, 360, 10);
  paintMask(c, frame, hex(0x8a5a34));
  Mask glass = makeMask(c.width, c.height);
  maskRoundRect(glass, 110, 130, 350, 340, 6);
  paintMaskWith(c, glass, [](int x, int y) {
    return mix(hex(0x9aa4c0), hex(0x3a4060), clamp01(float(x - 110 + y - 130) / 400.0f));
  });
  for (int i = 0; i < 6; ++i) {
    for (float x : {100.0f, 360.0f}) {
      float y = 140 + 40 * float(i);
      Mask bulb = makeMask(c.width, c.height);
      maskCircle(bulb, x, y, 16);
      blurMask(bulb, 8);
      paintMask(c, bulb, hex(0xfbe0a0, 0.5f));
      Mask core = makeMask(c.width, c.height);
      maskCircle(core, x, y, 7);
      paintMask(c, core, hex(0xfff4d0));
    }
  }
  paintTable(c, 60, 420, 380, hex(0x5a3520));
  // The costume rack on the right with two dresses.
  Mask rack = makeMask(c.width, c.height);
  maskLine(rack, {520, 120}, {760, 120}, 6);
  maskLine(rack, {530, 120}, {530, 560}, 6);
  maskLine(rack, {750, 120}, {750, 560}, 6);
  paintMask(c, rack, hex(0xc0a060));
  for (int i = 0; i < 2; ++i) {
    float cx = 590 + 100 * float(i);
    Mask dress = makeMask(c.width, c.height);
    maskPolygon(dress, {{cx - 20, 140}, {cx + 20, 140}, {cx + 50, 400}, {cx - 50, 400}});
    paintMask(c, dress, i == 0 ? hex(0x2a3a7a) : hex(0xa01e3a));
  }
  Mask floor = makeMask(c.width, c.height);
  maskRoundRect(floor, -5, 560, 805, 605, 0);
  paintMask(c, floor, hex(0x1a0e0c));
  paintVignette(c, 0.35f);
  return c;
}

// The stage curtain's valance: red velvet folds with a gold fringe, transparent below.
Canvas paintCurtainValance() {
  Canvas c = makeCanvas(800, 90);
  Mask cloth = makeMask(c.width, c.height);
  maskRoundRect(cloth, -5, -5, 805, 60, 0);
  for (float x = 0; x < 820; x += 50) maskCircle(cloth, x + 25, 58, 25);
  paintMaskWith(c, cloth, [](int x, int) {
    float fold = 0.5f + 0.5f * std::cos(float(x) / 50.0f * 6.2832f);
    return mix(hex(0x4a0a14), hex(0xa01e30), fold);
  });
  Mask fringe = makeMask(c.width, c.height);
  for (float x = 0; x < 820; x += 50) maskRing(fringe, x + 25, 58, 25, 3);
  maskLine(fringe, {0, 4}, {800, 4}, 5);
  Mask inside = makeMask(c.width, c.height);
  maskRoundRect(inside, -5, -5, 805, 58, 0);
  maskSubtract(fringe, inside);
  maskLine(fringe, {0, 4}, {800, 4}, 5);
  paintMask(c, fringe, palette::gold());
  return c;
}

Canvas paintStudy() {
  Canvas c = makeCanvas(800, 600);
  fillVertical(c, {{0, hex(0x1a1420)}, {600, hex(0x0c0a10)}});
  // Bookshelves on both sides.
  for (float x0 : {0.0f, 560.0f}) {
    Mask shelf = makeMask(c.width, c.height);
    maskRoundRect(shelf, x0, 40, x0 + 240, 560, 0);
    paintMask(c, shelf, hex(0x3a2214));
    for (int row = 0; row < 5; ++row) {
      float y = 60 + 100 * float(row);
      for (int i = 0; i < 11; ++i) {
        float bx = x0 + 12 + 20 * float(i);
        float h = 64 + 16 * hashUnit(int(bx), row, 0xb00cu);
        Mask book = makeMask(c.width, c.height);
        maskRoundRect(book, bx, y + 86 - h, bx + 16, y + 86, 1);
        Rgba tone = mix(hex(0x5a1a1a), hex(0x1a3a5a), hashUnit(int(bx), row, 0xc010u));
        paintMask(c, book, mix(tone, hex(0x8a6a3a), 0.3f * hashUnit(row, int(bx), 7u)));
      }
      Mask plank = makeMask(c.width, c.height);
      maskRoundRect(plank, x0, y + 86, x0 + 240, y + 96, 0);
      paintMask(c, plank, hex(0x5a3520));
    }
  }
  // The window between them with the setting moon.
  Mask pane = makeMask(c.width, c.height);
  maskRoundRect(pane, 300, 80, 500, 330, 6);
  paintMaskWith(c, pane, [](int, int y) {
    return mix(hex(0x2b3a78), hex(0x0a0e26), smoothstep(80, 330, float(y)));
  });
  Mask moon = makeMask(c.width, c.height);
  maskCircle(moon, 450, 270, 26);
  blurMask(moon, 2);
  paintMask(c, moon, hex(0xf4edd2, 0.9f));
  Mask bars = makeMask(c.width, c.height);
  maskLine(bars, {400, 80}, {400, 330}, 5);
  maskLine(bars, {300, 205}, {500, 205}, 5);
  maskRoundRectOutline(bars, 300, 80, 500, 330, 6, 8);
  paintMask(c, bars, hex(0x2a1a10));
  // The desk with a lamp and an ashtray.
  paintTable(c, 230, 570, 400, hex(0x4a2a18));
  Mask lampGlow = makeMask(c.width, c.height);
  maskCircle(lampGlow, 290, 370, 60);
  blurMask(lampGlow, 24);
  paintMask(c, lampGlow, hex(0xf0c070, 0.4f));
  Mask lamp = makeMask(c.width, c.height);
  maskPolygon(lamp, {{266, 350}, {314, 350}, {326, 378}, {254, 378}});
  maskLine(lamp, {290, 378}, {290, 400}, 4);
  paintMask(c, lamp, hex(0x2a6a4a));
  Mask tray = makeMask(c.width, c.height);
  maskRoundRect(tray, 470, 388, 520, 400, 5);
  paintMask(c, tray, hex(0x9aa4c0, 0.8f));
  paintVignette(c, 0.4f);
  return c;
}

}  // namespace assetgen
