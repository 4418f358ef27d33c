/*
 * The life gauge and its loss picture: gold crescent medallions on a dark plate, one row per
 * life value, and the cracked red medallion that covers a unit while it is lost.
 */
#include "assetgen.h"

namespace assetgen {

namespace {

constexpr int kUnit = 43;       // one unit's cell, as wide as the gauge is placed below the top
constexpr int kUnitHeight = 40;
constexpr int kUnits = 5;

// One medallion centred in the cell at (ox, oy): a dark rim, a gold disc and a crescent cut
// in indigo, so each unit reads at a glance over any background.
void paintMedallion(Canvas& c, float ox, float oy, Rgba discTop, Rgba discBottom) {
  float cx = ox + kUnit / 2.0f, cy = oy + kUnitHeight / 2.0f;
  Mask rim = makeMask(c.width, c.height);
  maskCircle(rim, cx, cy, 18.0f);
  paintMask(c, rim, hex(0x14122a, 0.9f));
  Mask disc = makeMask(c.width, c.height);
  maskCircle(disc, cx, cy, 15.0f);
  paintMaskWith(c, disc, [&](int, int y) {
    return mix(discTop, discBottom, smoothstep(cy - 15, cy + 15, float(y)));
  });
  Mask crescent = makeMask(c.width, c.height);
  maskCircle(crescent, cx - 1.5f, cy, 9.0f);
  Mask cut = makeMask(c.width, c.height);
  maskCircle(cut, cx + 3.5f, cy - 2.5f, 8.0f);
  maskSubtract(crescent, cut);
  paintMask(c, crescent, hex(0x27235a));
}

}  // namespace

// Row r shows r + 1 medallions packed against the right edge, where the gauge is anchored.
Canvas paintLifeGauge() {
  Canvas c = makeCanvas(kUnit * kUnits, kUnitHeight * kUnits);
  for (int row = 0; row < kUnits; ++row)
    for (int unit = kUnits - 1 - row; unit < kUnits; ++unit)
      paintMedallion(c, float(unit * kUnit), float(row * kUnitHeight), hex(0xfff1b8),
                     hex(0xd29a3a));
  return c;
}

// The unit being lost: the medallion gone red, split by a jagged crack.
Canvas paintLifeLoss() {
  Canvas c = makeCanvas(kUnit, kUnitHeight);
  Mask glow = makeMask(kUnit, kUnitHeight);
  maskCircle(glow, kUnit / 2.0f, kUnitHeight / 2.0f, 17.0f);
  blurMask(glow, 3.0f);
  paintMask(c, glow, hex(0xff4a3a, 0.6f));
  paintMedallion(c, 0, 0, hex(0xff8a70), hex(0xa01818));
  Mask crack = makeMask(kUnit, kUnitHeight);
  maskLine(crack, {24, 4}, {18, 15}, 2.2f);
  maskLine(crack, {18, 15}, {25, 23}, 2.2f);
  maskLine(crack, {25, 23}, {19, 36}, 2.2f);
  paintMask(c, crack, hex(0x1a0808));
  return c;
}

}  // namespace assetgen
