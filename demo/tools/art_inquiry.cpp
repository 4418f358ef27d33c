/*
 * The pictures of testimony and cross-examination: the title logo that opens each (a band
 * of night sky with the words in gold between two rules) and the press and present buttons
 * at the top corners, each a resting row over a lit row.
 */
#include "assetgen.h"

namespace assetgen {

namespace {

constexpr int kLogoW = 640, kLogoH = 160;
constexpr int kButtonW = 180, kButtonRow = 40;  // one look; the gauge starts just below

// A slanted plate: the press button leans to the right from the left corner, the present
// button to the left from the right corner, so both point into the room.
void paintButtonRow(Canvas& c, int row, bool lit, bool fromRight, Rgba accent) {
  const float top = float(row * kButtonRow), bottom = top + kButtonRow - 2;
  const float w = float(c.width), slant = 16;
  // One corner is cut on a slant: the top left of the present button, the bottom right of
  // the press button.
  const Point topLeft{fromRight ? slant : 1, top + 1};
  const Point bottomRight{fromRight ? w - 1 : w - 1 - slant, bottom};
  const std::vector<Point> shape = {topLeft, {w - 1, top + 1}, bottomRight, {1, bottom}};
  Mask plate = makeMask(c.width, c.height);
  maskPolygon(plate, shape);
  paintMaskWith(c, plate, [&](int, int y) {
    const float t = clamp01((float(y) - top) / kButtonRow);
    return lit ? mix(mix(accent, hex(0x3a4590), 0.35f), hex(0x141a4a), t * 0.8f)
               : mix(hex(0x1a2050, 0.94f), hex(0x070a24, 0.96f), t);
  });
  Mask edge = makeMask(c.width, c.height);
  for (size_t i = 0; i < shape.size(); ++i)
    maskLine(edge, shape[i], shape[(i + 1) % shape.size()], lit ? 2.0f : 1.4f);
  if (lit) {
    Mask glow = edge;
    blurMask(glow, 2.5f);
    maskScale(glow, 1.5f);
    paintMask(c, glow, hex(0xf1d98a, 0.5f));
  }
  paintMask(c, edge, lit ? palette::gold() : mix(accent, hex(0xc9d2e8), 0.5f));
}

Canvas paintCornerButton(const std::string& label, bool fromRight, Rgba accent) {
  Canvas c = makeCanvas(kButtonW, kButtonRow * 2);
  for (int row = 0; row < 2; ++row) {
    const bool lit = row == 1;
    paintButtonRow(c, row, lit, fromRight, accent);
    const float top = float(row * kButtonRow);
    Mask text = makeMask(c.width, c.height);
    const float cx = kButtonW / 2.0f + (fromRight ? 6.0f : -6.0f);
    drawTextCentred(text, Face::Mincho, 24, label, cx, top + kButtonRow / 2.0f + 9, 2);
    if (lit)
      paintLettering(c, text, hex(0xfff6d6), palette::gold(), top + 8, top + 32,
                     hex(0xf1d98a, 0.45f), 3);
    else
      paintLettering(c, text, hex(0xeef1fa), hex(0xb9c2e0), top + 8, top + 32,
                     hex(0x000000, 0.0f), 0);
  }
  return c;
}

}  // namespace

// A soft band of night across the middle of the screen, the words large in gold with a
// moonlit glow, and a thin gold rule above and below.
Canvas paintInquiryLogo(const std::string& words) {
  Canvas c = makeCanvas(kLogoW, kLogoH);
  Mask band = makeMask(kLogoW, kLogoH);
  maskRoundRect(band, 0, 14, kLogoW, kLogoH - 14, 6, 10);
  paintMaskWith(c, band, [](int x, int y) {
    // The band fades out towards both ends, so it sits on any background.
    const float edge = smoothstep(0, 90, float(x)) * smoothstep(0, 90, float(kLogoW - x));
    Rgba k = mix(hex(0x1b2257), hex(0x070a26), float(y) / kLogoH);
    k.a = 0.82f * edge;
    return k;
  });
  Mask rules = makeMask(kLogoW, kLogoH);
  maskLine(rules, {70, 26}, {kLogoW - 70.0f, 26}, 1.6f);
  maskLine(rules, {70, kLogoH - 26.0f}, {kLogoW - 70.0f, kLogoH - 26.0f}, 1.6f);
  paintMask(c, rules, hex(0xf1d98a, 0.85f));
  Mask text = makeMask(kLogoW, kLogoH);
  drawTextCentred(text, Face::Mincho, 76, words, kLogoW / 2.0f, kLogoH / 2.0f + 28, 14);
  paintLettering(c, text, hex(0xfff6d6), palette::gold(), 40, 116, hex(0xf4edd2, 0.55f), 6);
  return c;
}

Canvas paintPressButton() { return paintCornerButton("ゆさぶる", false, hex(0x2f8f9d)); }

Canvas paintPresentButton() { return paintCornerButton("つきつける", true, hex(0xb8323a)); }

}  // namespace assetgen
