/*
 * The court record's pictures: the item panel's window, the record screen's buttons (each a
 * resting row over a lit row), the court-record button shown during the story, and the
 * entries' pictures of the first episode.
 */
#include "assetgen.h"

namespace assetgen {

namespace {

constexpr int kButtonRow = 48;  // one look of a record button
constexpr int kMagRow = 40;     // the magnifier sits in the gap above the panel
constexpr int kWitnessHeadTop = 20;  // where the bust starts in the witness's first cell

// A dark plate with a silver edge at rest, or an indigo plate with a gold glowing edge when
// lit, filling one row of a button sheet.
void paintPlate(Canvas& c, float top, float rowHeight, bool lit, float radius) {
  const float w = float(c.width);
  const float inset = 2.0f;
  Mask plate = makeMask(c.width, c.height);
  maskRoundRect(plate, inset, top + inset, w - inset, top + rowHeight - inset, radius);
  paintMaskWith(c, plate, [&](int, int y) {
    float t = clamp01((float(y) - top) / rowHeight);
    return lit ? mix(hex(0x3a4590, 0.94f), hex(0x1d2258, 0.94f), t)
               : mix(hex(0x161b44, 0.92f), hex(0x080b24, 0.95f), t);
  });
  Mask edge = makeMask(c.width, c.height);
  maskRoundRectOutline(edge, inset, top + inset, w - inset, top + rowHeight - inset, radius,
                       lit ? 2.0f : 1.4f);
  if (lit) {
    Mask glow = edge;
    blurMask(glow, 2.5f);
    maskScale(glow, 1.5f);
    paintMask(c, glow, hex(0xf1d98a, 0.5f));
  }
  paintMask(c, edge, lit ? palette::gold() : hex(0x8f9bc8, 0.85f));
}

// Lettering of a button row: pale silver at rest, moonlight to gold when lit.
void paintLabel(Canvas& c, const Mask& text, float top, float rowHeight, bool lit) {
  const float rampTop = top + rowHeight * 0.25f, rampBottom = top + rowHeight * 0.8f;
  if (lit)
    paintLettering(c, text, hex(0xfff6d6), palette::gold(), rampTop, rampBottom,
                   hex(0xf1d98a, 0.45f), 3);
  else
    paintLettering(c, text, hex(0xeef1fa), hex(0xb9c2e0), rampTop, rampBottom,
                   hex(0x000000, 0.0f), 0);
}

Canvas paintLabelledButton(const std::string& label, int width, int rowHeight, int pixelSize,
                           float tracking) {
  Canvas c = makeCanvas(width, rowHeight * 2);
  for (int row = 0; row < 2; ++row) {
    const bool lit = row == 1;
    const float top = float(row * rowHeight);
    paintPlate(c, top, float(rowHeight), lit, 8);
    Mask text = makeMask(c.width, c.height);
    // Baseline a little below the middle: the faces' capitals sit above it.
    float baseline = top + rowHeight / 2.0f + pixelSize * 0.38f;
    drawTextCentred(text, Face::Mincho, pixelSize, label, width / 2.0f, baseline, tracking);
    paintLabel(c, text, top, float(rowHeight), lit);
  }
  return c;
}

}  // namespace

// The window behind an entry: a frame on the left for its picture (placed 8 pixels inside the
// window) and the lettering area to its right, under a gold rule that carries the name.
Canvas paintItemWindow() {
  constexpr int kW = 800, kH = 200;
  Canvas c = makeCanvas(kW, kH);
  Mask panel = makeMask(kW, kH);
  maskRoundRect(panel, 2, 2, kW - 2, kH - 2, 10);
  paintMaskWith(c, panel, [&](int x, int y) {
    float t = float(y) / kH;
    float haze = fractalNoise(float(x) / 90.0f, float(y) / 40.0f, 0x17e3u, 3) * 0.08f;
    Rgba k = mix(hex(0x1b2257), hex(0x070a26), t);
    k.r += haze * 0.5f;
    k.g += haze * 0.6f;
    k.b += haze;
    k.a = 0.86f;
    return k;
  });
  Mask border = makeMask(kW, kH);
  maskRoundRectOutline(border, 3, 3, kW - 3, kH - 3, 10, 2.0f);
  maskRoundRectOutline(border, 9, 9, kW - 9, kH - 9, 6, 0.9f);
  paintMask(c, border, palette::silver());

  // The picture's frame: the entry's picture covers its inside, so only the rim shows.
  Mask frame = makeMask(kW, kH);
  maskRoundRectOutline(frame, 6, 6, 202, 194, 4, 2.4f);
  Mask glow = frame;
  blurMask(glow, 3);
  paintMask(c, glow, hex(0xf1d98a, 0.45f));
  paintMask(c, frame, palette::gold());

  // The gold rule under the first line, where the name is written.
  Mask rule = makeMask(kW, kH);
  maskLine(rule, {222, 70}, {770, 70}, 1.4f);
  paintMask(c, rule, hex(0xf1d98a, 0.8f));

  // A faint crescent watermark at the right end.
  Mask moon = makeMask(kW, kH);
  maskCircle(moon, 720, 140, 44);
  Mask bite = makeMask(kW, kH);
  maskCircle(bite, 738, 128, 40);
  maskSubtract(moon, bite);
  paintMask(c, moon, hex(0xc9d2e8, 0.10f));
  return c;
}

// A paging arrow: a gold-tipped triangle pointing left or right.
Canvas paintRecordArrow(bool right) {
  constexpr int kW = 35;
  Canvas c = makeCanvas(kW, kButtonRow * 2);
  for (int row = 0; row < 2; ++row) {
    const bool lit = row == 1;
    const float top = float(row * kButtonRow);
    paintPlate(c, top, kButtonRow, lit, 6);
    const float cy = top + kButtonRow / 2.0f;
    const float tip = right ? 25.0f : 10.0f, base = right ? 11.0f : 24.0f;
    Mask arrow = makeMask(c.width, c.height);
    maskPolygon(arrow, {{base, cy - 11}, {tip, cy}, {base, cy + 11}});
    paintLabel(c, arrow, top, kButtonRow, lit);
  }
  return c;
}

Canvas paintRecordButton(const std::string& label, int width) {
  return paintLabelledButton(label, width, kButtonRow, 22, 3);
}

Canvas paintMagnifyButton() { return paintLabelledButton("拡大", 96, kMagRow, 20, 4); }

Canvas paintRecordOpenButton() { return paintLabelledButton("法廷記録", 120, kButtonRow, 20, 1); }

namespace {

constexpr int kEntryW = 192, kEntryH = 184;  // the inside of the panel's picture frame

// Night-blue ground shared by the entries' pictures, with a thin silver keyline.
Canvas entryGround(Rgba top, Rgba bottom) {
  Canvas c = makeCanvas(kEntryW, kEntryH);
  fillVertical(c, {{0.0f, top}, {float(kEntryH), bottom}});
  return c;
}

void entryKeyline(Canvas& c) {
  Mask line = makeMask(c.width, c.height);
  maskRoundRectOutline(line, 1, 1, c.width - 1, c.height - 1, 3, 1.2f);
  paintMask(c, line, hex(0xc9d2e8, 0.7f));
  paintVignette(c, 0.35f);
}

}  // namespace

// Small shoe prints in moonlit garden soil, one trail walking up towards a gate.
Canvas paintFootprintsEntry() {
  Canvas c = makeCanvas(kEntryW, kEntryH);
  fillWith(c, [](int x, int y) {
    float n = fractalNoise(float(x) / 14.0f, float(y) / 14.0f, 0xa5u, 4);
    return mix(hex(0x2a2232), hex(0x5a4a52), n * 0.8f + float(y) / kEntryH * 0.2f);
  });
  // The gate: two dark posts and bars at the far edge, lit from behind by the moon.
  Mask gate = makeMask(kEntryW, kEntryH);
  maskRoundRect(gate, 60, 6, 68, 46, 1);
  maskRoundRect(gate, 124, 6, 132, 46, 1);
  for (float x = 76; x < 124; x += 10) maskLine(gate, {x, 12}, {x, 44}, 2.0f);
  maskLine(gate, {64, 14}, {128, 14}, 2.0f);
  Mask halo = makeMask(kEntryW, kEntryH);
  maskRoundRect(halo, 56, 0, 136, 40, 10);
  blurMask(halo, 10);
  paintMask(c, halo, hex(0xf4edd2, 0.35f));
  paintMask(c, gate, hex(0x0d0b18));
  // The prints alternate left and right, shrinking with distance.
  for (int step = 0; step < 6; ++step) {
    float t = float(step) / 5.0f;
    float scale = 1.5f - 0.8f * t;
    float cx = 96 + (step % 2 == 0 ? -9.0f : 9.0f) * scale;
    float cy = 170 - 118 * t;
    Mask print = makeMask(kEntryW, kEntryH);
    maskRoundRect(print, cx - 6 * scale, cy - 12 * scale, cx + 6 * scale, cy + 1 * scale,
                  5 * scale);
    maskRoundRect(print, cx - 5 * scale, cy + 4 * scale, cx + 5 * scale, cy + 11 * scale,
                  4 * scale);
    paintMask(c, print, hex(0x0a0710, 0.95f));
    paintMask(c, print, hex(0xc9d2e8, 0.25f), 1, 1);
  }
  entryKeyline(c);
  return c;
}

// A folded letter sealed with a crescent in red wax.
Canvas paintLetterEntry() {
  Canvas c = entryGround(hex(0x1b2257), hex(0x070a26));
  Mask paper = makeMask(kEntryW, kEntryH);
  maskPolygon(paper, {{34, 46}, {164, 34}, {172, 140}, {40, 152}});
  Mask shadow = paper;
  blurMask(shadow, 5);
  paintMask(c, shadow, hex(0x000000, 0.6f), 4, 5);
  paintMaskWith(c, paper, [](int x, int y) {
    float n = fractalNoise(float(x) / 20.0f, float(y) / 20.0f, 0x1e77u, 3);
    return mix(hex(0xf4edd2), hex(0xd9ccaa), n * 0.6f);
  });
  Mask folds = makeMask(kEntryW, kEntryH);
  maskLine(folds, {34, 46}, {103, 100}, 1.2f);
  maskLine(folds, {164, 34}, {103, 100}, 1.2f);
  paintMask(c, folds, hex(0x8a7a5a, 0.8f));
  Mask writing = makeMask(kEntryW, kEntryH);
  for (int line = 0; line < 3; ++line) {
    float y = 118 + line * 9.0f;
    maskLine(writing, {56, y + 0.8f}, {150 - line * 18.0f, y - 1.0f}, 1.0f);
  }
  paintMask(c, writing, hex(0x3a3040, 0.55f));
  Mask wax = makeMask(kEntryW, kEntryH);
  maskCircle(wax, 103, 98, 15);
  paintMask(c, wax, hex(0x9c1c24));
  Mask moon = makeMask(kEntryW, kEntryH);
  maskCircle(moon, 101, 98, 8);
  Mask bite = makeMask(kEntryW, kEntryH);
  maskCircle(bite, 105, 95, 7);
  maskSubtract(moon, bite);
  paintMask(c, moon, hex(0xe86a5a));
  entryKeyline(c);
  return c;
}

// A profile entry: the face taken from a character's standing pose, in a moonlit halo.
Canvas paintProfileEntry(const Canvas& sheet) {
  Canvas c = entryGround(hex(0x27306e), hex(0x0b0f30));
  Mask halo = makeMask(kEntryW, kEntryH);
  maskCircle(halo, kEntryW / 2.0f, 78, 70);
  blurMask(halo, 12);
  paintMask(c, halo, hex(0xc9d2e8, 0.35f));
  Canvas bust = makeCanvas(kEntryW, kEntryH);
  drawCanvas(bust, sheet, -(200 - kEntryW / 2), -kWitnessHeadTop);
  drawCanvas(c, bust, 0, 0);
  entryKeyline(c);
  return c;
}

Canvas paintWitnessProfile() { return paintProfileEntry(paintWitness()); }

namespace {

// A gold crescent clasp of radius r at (cx, cy), with a bright rim.
void paintClasp(Canvas& c, float cx, float cy, float r) {
  Mask moon = crescentMask(c.width, c.height, cx, cy, r);
  Mask glow = moon;
  blurMask(glow, r * 0.3f);
  paintMask(c, glow, hex(0xf1d98a, 0.6f));
  paintMask(c, moon, palette::gold());
  Mask rim = moon;
  maskScale(rim, 0.5f);
  paintMask(c, rim, hex(0xfff4d0, 0.8f), -1, -1);
}

// A string of pearls hanging in an arc from (x0, y) to (x1, y), sagging by `sag`.
void paintPearls(Canvas& c, float x0, float x1, float y, float sag, float r) {
  Mask pearls = makeMask(c.width, c.height);
  for (float t = 0; t <= 1.0f; t += r * 2.2f / (x1 - x0)) {
    float x = x0 + (x1 - x0) * t;
    maskCircle(pearls, x, y + sag * 4 * t * (1 - t), r);
  }
  paintMask(c, pearls, hex(0xe8e4f0));
  Mask shine = pearls;
  maskScale(shine, 0.6f);
  paintMask(c, shine, hex(0xffffff, 0.8f), -1, -1);
}

}  // namespace

// A photograph of the actress's necklace on dark velvet: pearls and the crescent clasp.
Canvas paintNecklaceEntry() {
  Canvas c = entryGround(hex(0x3a0e1a), hex(0x14040a));
  Mask border = makeMask(kEntryW, kEntryH);
  maskRoundRectOutline(border, 10, 10, kEntryW - 10, kEntryH - 10, 2, 6);
  paintMask(c, border, hex(0xf4edd2, 0.9f));
  paintPearls(c, 36, 156, 40, 90, 5);
  paintClasp(c, 96, 138, 18);
  entryKeyline(c);
  return c;
}

// The clasp close up, for the record's magnifier: the crescent with a catch in its hollow.
Canvas paintNecklaceMagnified() {
  Canvas c = makeCanvas(480, 360);
  fillVertical(c, {{0, hex(0x3a0e1a)}, {360, hex(0x14040a)}});
  paintPearls(c, -40, 520, 30, 200, 14);
  paintClasp(c, 240, 230, 90);
  Mask hook = makeMask(c.width, c.height);
  maskRing(hook, 290, 200, 16, 5);
  paintMask(c, hook, hex(0xc0a050));
  entryKeyline(c);
  return c;
}

// The second act's dress on its hanger, a square of stitching in its lining.
Canvas paintCostumeEntry() {
  Canvas c = entryGround(hex(0x2a1a30), hex(0x0c0610));
  Mask hanger = makeMask(kEntryW, kEntryH);
  maskLine(hanger, {96, 12}, {96, 26}, 3);
  maskLine(hanger, {60, 40}, {96, 26}, 3);
  maskLine(hanger, {132, 40}, {96, 26}, 3);
  paintMask(c, hanger, hex(0xc0a060));
  Mask dress = makeMask(kEntryW, kEntryH);
  maskPolygon(dress, {{70, 38}, {122, 38}, {160, 170}, {32, 170}});
  paintMaskWith(c, dress, [](int x, int) {
    return mix(hex(0xa01e3a), hex(0x4a0a18), float(x) / float(kEntryW));
  });
  Mask lining = makeMask(kEntryW, kEntryH);
  maskPolygon(lining, {{96, 90}, {160, 170}, {110, 170}});
  paintMask(c, lining, hex(0xe8d8b0));
  Mask stitch = makeMask(kEntryW, kEntryH);
  for (float x = 116; x < 146; x += 6) {
    maskLine(stitch, {x, 136}, {x + 3, 136}, 1.5f);
    maskLine(stitch, {x, 160}, {x + 3, 160}, 1.5f);
  }
  for (float y = 136; y < 162; y += 6) {
    maskLine(stitch, {116, y}, {116, y + 3}, 1.5f);
    maskLine(stitch, {146, y}, {146, y + 3}, 1.5f);
  }
  paintMask(c, stitch, hex(0x6a1a24));
  Mask bulge = makeMask(kEntryW, kEntryH);
  maskCircle(bulge, 131, 148, 7);
  blurMask(bulge, 3);
  paintMask(c, bulge, hex(0x000000, 0.3f));
  entryKeyline(c);
  return c;
}

// The theatre's script: a bound booklet with its title and a red ribbon marker.
Canvas paintScriptEntry() {
  Canvas c = entryGround(hex(0x1b2257), hex(0x070a26));
  Mask book = makeMask(kEntryW, kEntryH);
  maskRoundRect(book, 44, 24, 150, 164, 3);
  Mask shadow = book;
  blurMask(shadow, 5);
  paintMask(c, shadow, hex(0x000000, 0.6f), 4, 5);
  paintMask(c, book, hex(0xe8dcc0));
  Mask spine = makeMask(kEntryW, kEntryH);
  maskRoundRect(spine, 44, 24, 56, 164, 2);
  paintMask(c, spine, hex(0x3a2a5a));
  Mask title = makeMask(kEntryW, kEntryH);
  drawTextVertical(title, Face::Mincho, 22, "月光座台本", 112, 36, 24);
  paintMask(c, title, hex(0x2a1a20));
  Mask ribbon = makeMask(kEntryW, kEntryH);
  maskPolygon(ribbon, {{134, 160}, {142, 160}, {142, 178}, {138, 172}, {134, 178}});
  paintMask(c, ribbon, hex(0xc0303a));
  entryKeyline(c);
  return c;
}

// A long cigarette in a glass ashtray, its tip only just charred.
Canvas paintCigaretteEntry() {
  Canvas c = entryGround(hex(0x20202a), hex(0x08080c));
  Mask tray = makeMask(kEntryW, kEntryH);
  maskRoundRect(tray, 24, 96, 168, 150, 27);
  paintMask(c, tray, hex(0x9aa4c0, 0.55f));
  Mask hollow = makeMask(kEntryW, kEntryH);
  maskRoundRect(hollow, 40, 104, 152, 138, 17);
  paintMask(c, hollow, hex(0x2a2c3a, 0.9f));
  Mask paper = makeMask(kEntryW, kEntryH);
  maskLine(paper, {58, 120}, {150, 70}, 10);
  paintMask(c, paper, hex(0xf4f0e8));
  Mask filter = makeMask(kEntryW, kEntryH);
  maskLine(filter, {58, 120}, {78, 109}, 10);
  paintMask(c, filter, hex(0xd8a040));
  Mask tip = makeMask(kEntryW, kEntryH);
  maskLine(tip, {146, 72}, {152, 69}, 10);
  paintMask(c, tip, hex(0x3a3030));
  entryKeyline(c);
  return c;
}

// The study's one key: an old brass key with a paper tag on a string.
Canvas paintKeyEntry() {
  Canvas c = entryGround(hex(0x1b2257), hex(0x070a26));
  Mask key = makeMask(kEntryW, kEntryH);
  maskRing(key, 60, 92, 22, 8);
  maskLine(key, {82, 92}, {164, 92}, 9);
  maskRoundRect(key, 136, 92, 146, 116, 1);
  maskRoundRect(key, 152, 92, 162, 110, 1);
  paintMaskWith(c, key, [](int, int y) {
    return mix(hex(0xf1d98a), hex(0x8a6a2a), clamp01(float(y - 70) / 46.0f));
  });
  Mask string = makeMask(kEntryW, kEntryH);
  maskLine(string, {48, 78}, {40, 40}, 1.5f);
  paintMask(c, string, hex(0xc9d2e8));
  Mask tag = makeMask(kEntryW, kEntryH);
  maskPolygon(tag, {{22, 14}, {60, 14}, {60, 44}, {22, 44}});
  paintMask(c, tag, hex(0xf4edd2));
  Mask word = makeMask(kEntryW, kEntryH);
  drawTextCentred(word, Face::Mincho, 18, "書斎", 41, 36);
  paintMask(c, word, hex(0x2a1a20));
  entryKeyline(c);
  return c;
}

}  // namespace assetgen
