/*
 * The court record's pictures: the item panel's window, the record screen's buttons (each a
 * resting row over a lit row), and the court-record button shown during the story.
 */
#include "assetgen.h"

namespace assetgen {

namespace {

constexpr int kButtonRow = 48;  // one look of a record button
constexpr int kMagRow = 40;     // the magnifier sits in the gap above the panel

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

}  // namespace assetgen
