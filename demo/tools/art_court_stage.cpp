/*
 * The night court: the wide main courtroom (lawyer, witness stand and prosecutor, one picture
 * the stage pans across), the judge's bench, the lobby where the guide speaks, the two rails
 * drawn over the characters, and the three characters with their poses and talking cells.
 */
#include "assetgen.h"

#include <cmath>

namespace assetgen {

namespace {

const Rgba kWall = hex(0x141a3c);
const Rgba kWallDeep = hex(0x0a0e26);
const Rgba kWood = hex(0x5a3520);
const Rgba kWoodLit = hex(0x8a5a34);
const Rgba kFloor = hex(0x2a1d1a);

// Tall arched windows with moonlight falling through them onto the panelled wall.
void paintWindow(Canvas& c, float x0, float x1, float top, float bottom) {
  Mask glow = makeMask(c.width, c.height);
  maskRoundRect(glow, x0 - 10, top - 10, x1 + 10, bottom + 10, 30);
  blurMask(glow, 18);
  paintMask(c, glow, hex(0x6d7fc0, 0.35f));
  Mask pane = makeMask(c.width, c.height);
  maskRoundRect(pane, x0, top, x1, bottom, (x1 - x0) / 2);
  paintMaskWith(c, pane, [&](int, int y) {
    return mix(hex(0x9fb0e8), hex(0x2b3a78), smoothstep(top, bottom, float(y)));
  });
  Mask bars = makeMask(c.width, c.height);
  maskLine(bars, {(x0 + x1) / 2, top}, {(x0 + x1) / 2, bottom}, 3);
  for (float y = top + 50; y < bottom; y += 55) maskLine(bars, {x0, y}, {x1, y}, 3);
  paintMask(c, bars, kWallDeep);
}

// Wainscot panels along the bottom of a wall, from x0 to x1.
void paintPanels(Canvas& c, float x0, float x1, float top, float bottom) {
  Mask band = makeMask(c.width, c.height);
  maskRoundRect(band, x0, top, x1, bottom, 0);
  paintMaskWith(c, band, [&](int, int y) {
    return mix(kWoodLit, kWood, smoothstep(top, bottom, float(y)));
  });
  Mask lines = makeMask(c.width, c.height);
  for (float x = x0 + 60; x < x1; x += 120) maskLine(lines, {x, top + 12}, {x, bottom - 12}, 2);
  maskLine(lines, {x0, top}, {x1, top}, 4);
  paintMask(c, lines, hex(0x2a160c));
  Mask trim = makeMask(c.width, c.height);
  maskLine(trim, {x0, top + 3}, {x1, top + 3}, 2);
  paintMask(c, trim, palette::gold());
}

// The crescent emblem of the night court.
void paintEmblem(Canvas& c, float cx, float cy, float r) {
  Mask moon = crescentMask(c.width, c.height, cx, cy, r);
  Mask glow = moon;
  blurMask(glow, 10);
  paintMask(c, glow, hex(0xf1d98a, 0.5f));
  paintMask(c, moon, palette::gold());
  Mask ring = makeMask(c.width, c.height);
  maskRing(ring, cx, cy, r * 1.35f, 3);
  paintMask(c, ring, palette::gold());
}

void paintWallAndFloor(Canvas& c, float floorY) {
  fillWith(c, [&](int x, int y) {
    if (float(y) >= floorY) {
      float grain = fractalNoise(float(x) * 0.02f, float(y) * 0.2f, 7, 3);
      return mix(kFloor, hex(0x3c2a22), grain * smoothstep(floorY, float(c.height), float(y)));
    }
    float n = fractalNoise(float(x) * 0.01f, float(y) * 0.01f, 3, 3);
    return mix(kWallDeep, kWall, 0.6f + 0.4f * n);
  });
}

}  // namespace

Canvas paintCourtMain() {
  Canvas c = makeCanvas(2656, 600);
  paintWallAndFloor(c, 470);
  // One window behind each place, so every position is lit from its middle.
  for (float centre : {400.0f, 1328.0f, 2256.0f}) {
    paintWindow(c, centre - 230, centre - 130, 60, 330);
    paintWindow(c, centre + 130, centre + 230, 60, 330);
  }
  for (float x : {864.0f, 1792.0f}) {  // pillars between the places
    Mask pillar = makeMask(c.width, c.height);
    maskRoundRect(pillar, x - 34, 0, x + 34, 470, 2);
    paintMaskWith(c, pillar, [&](int px, int) {
      return mix(hex(0x222a55), hex(0x0b0f2a), clamp01((float(px) - x + 34) / 68));
    });
  }
  paintPanels(c, 0, 2656, 360, 470);
  paintEmblem(c, 1328, 130, 44);  // over the witness stand
  paintVignette(c, 0.25f);
  return c;
}

Canvas paintCourtJudge() {
  Canvas c = makeCanvas(800, 600);
  paintWallAndFloor(c, 520);
  // Heavy curtains either side of the bench.
  for (float side : {0.0f, 1.0f}) {
    Mask curtain = makeMask(c.width, c.height);
    float x0 = side == 0 ? 0 : 640, x1 = side == 0 ? 160 : 800;
    maskRoundRect(curtain, x0, 0, x1, 600, 0);
    paintMaskWith(c, curtain, [&](int x, int) {
      float fold = 0.5f + 0.5f * std::sin(float(x) * 0.18f);
      return mix(hex(0x3a0c1c), hex(0x7a2438), fold);
    });
  }
  paintWindow(c, 330, 470, 40, 250);
  paintEmblem(c, 400, 300, 56);
  return c;
}

Canvas paintCourtGuide() {
  Canvas c = makeCanvas(800, 600);
  paintWallAndFloor(c, 430);
  paintWindow(c, 80, 220, 60, 360);
  paintWindow(c, 580, 720, 60, 360);
  // The courtroom doors, shut, with a sliver of warm light beneath them.
  Mask doors = makeMask(c.width, c.height);
  maskRoundRect(doors, 300, 140, 500, 430, 6);
  paintMaskWith(c, doors, [](int x, int) {
    return x < 400 ? mix(kWood, kWoodLit, 0.3f) : mix(kWood, kWoodLit, 0.1f);
  });
  Mask seam = makeMask(c.width, c.height);
  maskLine(seam, {400, 140}, {400, 430}, 3);
  maskCircle(seam, 388, 290, 6);
  maskCircle(seam, 412, 290, 6);
  paintMask(c, seam, palette::gold());
  Mask light = makeMask(c.width, c.height);
  maskRoundRect(light, 290, 428, 510, 436, 3);
  blurMask(light, 6);
  paintMask(c, light, hex(0xffc070, 0.8f));
  // A bench along the wall for those waiting to be called.
  Mask bench = makeMask(c.width, c.height);
  maskRoundRect(bench, 40, 420, 260, 440, 4);
  maskRoundRect(bench, 540, 420, 760, 440, 4);
  for (float x : {60.0f, 240.0f, 560.0f, 740.0f}) maskRoundRect(bench, x - 5, 440, x + 5, 480, 2);
  paintMask(c, bench, kWoodLit);
  paintVignette(c, 0.3f);
  return c;
}

Canvas paintCourtMainRail() {
  Canvas c = makeCanvas(2656, 11);
  fillWith(c, [](int, int y) {
    return y < 3 ? palette::gold() : mix(kWoodLit, kWood, float(y) / 10.0f);
  });
  return c;
}

Canvas paintCourtJudgeBench() {
  Canvas c = makeCanvas(800, 162);
  Mask bench = makeMask(c.width, c.height);
  maskRoundRect(bench, 60, 0, 740, 162, 6);
  paintMaskWith(c, bench, [](int, int y) {
    return mix(kWoodLit, kWood, smoothstep(0, 162, float(y)));
  });
  Mask trim = makeMask(c.width, c.height);
  maskLine(trim, {60, 4}, {740, 4}, 5);
  maskRoundRectOutline(trim, 330, 40, 470, 140, 8, 3);
  paintMask(c, trim, palette::gold());
  paintEmblem(c, 400, 90, 24);
  return c;
}

// ---- Characters ------------------------------------------------------------------------

namespace {

constexpr int kCellW = 400, kCellH = 540;

struct Figure {
  Rgba coat, coatShade, hair, skin, accent;
  int hairStyle;  // 0 swept, 1 long, 2 spiked, 3 short and cropped
  int extra = 0;  // 0 nothing, 1 a beard, 2 a white lace cap, 3 round spectacles
};

// One cell: head, hair, body; pose 0 arms at rest, pose 1 one arm raised (pointing or a hand
// to the chin); mouth open or shut.
Canvas paintFigure(const Figure& f, int pose, bool mouthOpen) {
  Canvas c = makeCanvas(kCellW, kCellH);
  const float cx = kCellW / 2.0f;
  Mask body = makeMask(kCellW, kCellH);
  maskPolygon(body, {{cx - 70, 250}, {cx + 70, 250}, {cx + 150, kCellH}, {cx - 150, kCellH}});
  maskRoundRect(body, cx - 95, 240, cx + 95, 330, 40);
  paintMaskWith(c, body, [&](int x, int) {
    return mix(f.coat, f.coatShade, clamp01((float(x) - cx + 100) / 260));
  });
  Mask collar = makeMask(kCellW, kCellH);
  maskPolygon(collar, {{cx - 30, 245}, {cx + 30, 245}, {cx, 330}});
  paintMask(c, collar, hex(0xe8e4dc));
  Mask tie = makeMask(kCellW, kCellH);
  maskPolygon(tie, {{cx - 8, 260}, {cx + 8, 260}, {cx + 12, 320}, {cx, 336}, {cx - 12, 320}});
  paintMask(c, tie, f.accent);
  Mask neck = makeMask(kCellW, kCellH);
  maskRoundRect(neck, cx - 20, 200, cx + 20, 252, 8);
  paintMask(c, neck, mix(f.skin, hex(0x000000), 0.2f));

  Mask arm = makeMask(kCellW, kCellH);
  if (pose == 0) {
    maskLine(arm, {cx - 95, 290}, {cx - 120, 470}, 38);
    maskLine(arm, {cx + 95, 290}, {cx + 120, 470}, 38);
  } else {
    maskLine(arm, {cx - 95, 290}, {cx - 120, 470}, 38);
    maskLine(arm, {cx + 95, 290}, {cx + 160, 330}, 38);
    maskLine(arm, {cx + 160, 330}, {cx + 172, 250}, 34);
  }
  paintMask(c, arm, f.coatShade);
  Mask hand = makeMask(kCellW, kCellH);
  if (pose == 1) {
    maskCircle(hand, cx + 172, 236, 18);
    maskLine(hand, {cx + 172, 226}, {cx + 178, 196}, 8);  // the pointing finger
  }
  paintMask(c, hand, f.skin);

  Mask head = makeMask(kCellW, kCellH);
  maskCircle(head, cx, 150, 64);
  paintMaskWith(c, head, [&](int x, int) {
    return mix(f.skin, mix(f.skin, hex(0x000000), 0.25f), clamp01((float(x) - cx + 64) / 128));
  });
  Mask hair = makeMask(kCellW, kCellH);
  if (f.hairStyle == 0) {
    maskCircle(hair, cx, 128, 66);
    maskPolygon(hair, {{cx - 70, 120}, {cx + 90, 70}, {cx + 60, 140}});
  } else if (f.hairStyle == 1) {
    maskCircle(hair, cx, 126, 68);
    maskRoundRect(hair, cx - 74, 120, cx - 44, 260, 14);
    maskRoundRect(hair, cx + 44, 120, cx + 74, 260, 14);
  } else if (f.hairStyle == 3) {
    maskCircle(hair, cx, 136, 62);
  } else {
    maskCircle(hair, cx, 130, 64);
    for (int i = 0; i < 5; ++i) {
      float a = -2.6f + 0.5f * float(i);
      maskPolygon(hair, {{cx + 40 * std::cos(a - 0.3f), 130 + 40 * std::sin(a - 0.3f)},
                         {cx + 110 * std::cos(a), 130 + 110 * std::sin(a)},
                         {cx + 40 * std::cos(a + 0.3f), 130 + 40 * std::sin(a + 0.3f)}});
    }
  }
  Mask face = makeMask(kCellW, kCellH);
  maskCircle(face, cx, 162, 52);
  maskSubtract(hair, face);
  paintMask(c, hair, f.hair);

  Mask eyes = makeMask(kCellW, kCellH);
  maskRoundRect(eyes, cx - 30, 150, cx - 16, 162, 4);
  maskRoundRect(eyes, cx + 16, 150, cx + 30, 162, 4);
  maskLine(eyes, {cx - 36, 140}, {cx - 12, pose == 1 ? 146.0f : 142.0f}, 4);  // brows
  maskLine(eyes, {cx + 12, pose == 1 ? 146.0f : 142.0f}, {cx + 36, 140}, 4);
  paintMask(c, eyes, hex(0x1a1420));
  Mask mouth = makeMask(kCellW, kCellH);
  if (mouthOpen) {
    maskRoundRect(mouth, cx - 12, 184, cx + 12, 198, 6);
  } else {
    maskLine(mouth, {cx - 12, 190}, {cx + 12, 190}, 3);
  }
  paintMask(c, mouth, hex(0x5a1a22));
  if (f.extra == 1) {
    // A full beard under the mouth, in the hair's colour; the open mouth still shows.
    Mask beard = makeMask(kCellW, kCellH);
    maskPolygon(beard, {{cx - 48, 172}, {cx + 48, 172}, {cx + 30, 232}, {cx, 246}, {cx - 30, 232}});
    maskSubtract(beard, mouth);
    paintMask(c, beard, f.hair);
  } else if (f.extra == 2) {
    Mask cap = makeMask(kCellW, kCellH);
    maskRoundRect(cap, cx - 52, 72, cx + 52, 96, 10);
    for (float x = cx - 48; x <= cx + 48; x += 12) maskCircle(cap, x, 74, 6);
    paintMask(c, cap, hex(0xf4f0e8));
  } else if (f.extra == 3) {
    Mask rims = makeMask(kCellW, kCellH);
    maskRing(rims, cx - 23, 156, 14, 3);
    maskRing(rims, cx + 23, 156, 14, 3);
    maskLine(rims, {cx - 9, 156}, {cx + 9, 156}, 3);
    paintMask(c, rims, f.accent);
  }
  return c;
}

// Two columns (mouth shut, open) and four rows: each pose still, then the same pose talking.
Canvas paintCharacterSheet(const Figure& f) {
  Canvas sheet = makeCanvas(2 * kCellW, 4 * kCellH);
  for (int pose = 0; pose < 2; ++pose) {
    Canvas shut = paintFigure(f, pose, false);
    Canvas open = paintFigure(f, pose, true);
    drawCanvas(sheet, shut, 0, (2 * pose) * kCellH);
    drawCanvas(sheet, shut, kCellW, (2 * pose) * kCellH);
    drawCanvas(sheet, shut, 0, (2 * pose + 1) * kCellH);
    drawCanvas(sheet, open, kCellW, (2 * pose + 1) * kCellH);
  }
  return sheet;
}

}  // namespace

Canvas paintLawyer() {
  return paintCharacterSheet({hex(0x2c3f8c), hex(0x18245a), hex(0x1c1a26), hex(0xf0cfae),
                              hex(0xc0303a), 2});
}

Canvas paintProsecutor() {
  return paintCharacterSheet({hex(0x7a1f3a), hex(0x46101f), hex(0xc9d2e8), hex(0xe8c6a6),
                              hex(0xf1d98a), 0});
}

Canvas paintWitness() {
  return paintCharacterSheet({hex(0x3f6a4a), hex(0x233c2a), hex(0x5a3a22), hex(0xf2d4b8),
                              hex(0xe8e4dc), 1});
}

Canvas paintJudge() {
  return paintCharacterSheet({hex(0x1a1a22), hex(0x08080c), hex(0xe8e6e0), hex(0xe6c4a2),
                              hex(0xf1d98a), 3, 1});
}

Canvas paintMaid() {
  return paintCharacterSheet({hex(0x1e2440), hex(0x0e1226), hex(0x18141c), hex(0xf4dcc4),
                              hex(0xf4f0e8), 1, 2});
}

Canvas paintGardener() {
  return paintCharacterSheet({hex(0x6a5a30), hex(0x3e331a), hex(0x3a2a1a), hex(0xe0b890),
                              hex(0x3f6a4a), 3});
}

Canvas paintActress() {
  return paintCharacterSheet({hex(0xa01e3a), hex(0x5a0e20), hex(0x8a2a1a), hex(0xf6dcc8),
                              hex(0xf1d98a), 1});
}

Canvas paintButler() {
  return paintCharacterSheet({hex(0x16161c), hex(0x060608), hex(0x6a6a74), hex(0xe4c4a6),
                              hex(0xc9d2e8), 3, 3});
}

Canvas paintGuest() {
  return paintCharacterSheet({hex(0x3a5a7a), hex(0x1e3248), hex(0x3a2418), hex(0xeccaa8),
                              hex(0xd8a040), 0});
}

}  // namespace assetgen
