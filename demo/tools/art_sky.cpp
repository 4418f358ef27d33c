/*
 * The moonlit night that the title and selection pictures share: the hazy moon with its
 * corona, streaks of cloud lit from behind, stars, a lens vignette, and glowing lettering.
 */
#include "assetgen.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

float cloudCover(float x, float y, uint32_t seed) {
  // Stretched noise gives long, thin streaks, as clouds look on a windless night.
  float n = fractalNoise(x / 230.0f, y / 34.0f, seed, 5);
  float wisp = fractalNoise(x / 90.0f + 7.3f, y / 20.0f, seed + 17u, 3);
  return smoothstep(0.50f, 0.78f, n * 0.8f + wisp * 0.2f);
}

void paintMoon(Canvas& c, float cx, float cy, float r, uint32_t seed) {
  // The wide, faint glow of a hazy night, then a coloured corona ring, then the halo close
  // to the disc.
  fillWith(c, [&, base = c](int x, int y) {
    Rgba k = pixelAt(base, x, y);
    float d = std::hypot(float(x) + 0.5f - cx, float(y) + 0.5f - cy);
    float wide = 0.22f * std::exp(-std::max(0.0f, d - r) / 170.0f);
    float halo = 0.55f * std::exp(-std::max(0.0f, d - r) / 38.0f);
    float ring = 0.07f * std::exp(-std::pow((d - r * 2.35f) / (r * 0.28f), 2.0f));
    float inner = 0.05f * std::exp(-std::pow((d - r * 2.05f) / (r * 0.18f), 2.0f));
    Rgba glowColour = hex(0x9fb0e0);
    Rgba out = mix(k, glowColour, clamp01(wide));
    out = mix(out, hex(0xe9dfb8), clamp01(halo));
    out = mix(out, hex(0xd8b98a), clamp01(ring));   // warm outer ring of the corona
    out = mix(out, hex(0x9fc3d8), clamp01(inner));  // cool inner ring
    out.a = k.a;
    return out;
  });
  Mask disc = makeMask(c.width, c.height);
  maskCircle(disc, cx, cy, r, 1.2f);
  paintMaskWith(c, disc, [&](int x, int y) {
    float dx = (float(x) + 0.5f - cx) / r, dy = (float(y) + 0.5f - cy) / r;
    float d2 = std::min(1.0f, dx * dx + dy * dy);
    float maria = smoothstep(0.50f, 0.72f, fractalNoise(dx * 2.6f + 3.1f, dy * 2.6f, seed, 4));
    float craters = fractalNoise(dx * 9.0f, dy * 9.0f, seed + 5u, 3);
    Rgba k = mix(palette::moonlight(), hex(0xc9bf98), maria * 0.55f);
    k = mix(k, hex(0xfffbea), clamp01((craters - 0.55f) * 0.8f));
    float limb = 1.0f - 0.22f * d2 * d2;
    return Rgba{k.r * limb, k.g * limb, k.b * limb, 1};
  });
}

void paintClouds(Canvas& c, float moonX, float moonY, float bandY, float bottom, uint32_t seed,
                 float strength) {
  for (int y = 0; y < c.height && float(y) < bottom; ++y) {
    float band = std::exp(-std::pow((float(y) - bandY) / 150.0f, 2.0f));
    float fadeOut = 1.0f - smoothstep(bottom - 60.0f, bottom, float(y));
    for (int x = 0; x < c.width; ++x) {
      float cover = cloudCover(float(x), float(y), seed) * (0.35f + 0.65f * band) * fadeOut;
      if (cover <= 0) continue;
      float d = std::hypot(float(x) - moonX, float(y) - moonY);
      float lit = std::exp(-d / 190.0f);
      // Far from the moon a cloud is a dark veil; near it, silver edged.
      Rgba k = mix(hex(0x1c2150), hex(0xc8cbe0), clamp01(lit * 1.1f));
      blendPixel(c, x, y, k, cover * strength);
    }
  }
}

void paintStars(Canvas& c, int count, float bottom, float moonX, float moonY, uint32_t seed) {
  Mask faint = makeMask(c.width, c.height);
  Mask bright = makeMask(c.width, c.height);
  for (int i = 0; i < count; ++i) {
    float x = hashUnit(i, 1, seed) * float(c.width);
    float y = std::pow(hashUnit(i, 2, seed), 1.3f) * bottom;
    float b = 0.25f + 0.75f * std::pow(hashUnit(i, 3, seed), 3.0f);
    float nearMoon = smoothstep(90.0f, 260.0f, std::hypot(x - moonX, y - moonY));
    float veil = 1.0f - cloudCover(x, y, 71u) * 0.9f;
    float v = b * nearMoon * veil;
    if (v < 0.08f) continue;
    Mask star = makeMask(7, 7);
    maskCircle(star, 3.5f, 3.5f, 0.45f + 0.8f * b, 1.0f);
    for (int sy = 0; sy < 7; ++sy)
      for (int sx = 0; sx < 7; ++sx) {
        int px = int(x) - 3 + sx, py = int(y) - 3 + sy;
        if (px < 0 || py < 0 || px >= c.width || py >= c.height) continue;
        float& f = (b > 0.7f ? bright : faint).v[size_t(py) * size_t(c.width) + size_t(px)];
        f = std::max(f, star.at(sx, sy) * v);
      }
  }
  Mask glow = bright;
  blurMask(glow, 3.0f);
  maskScale(glow, 1.6f);
  paintMask(c, glow, hex(0xaec4ff, 0.7f));
  paintMask(c, faint, hex(0xdfe6ff));
  paintMask(c, bright, hex(0xffffff));
}

void paintVignette(Canvas& c, float strength) {
  float cx = float(c.width) / 2, cy = float(c.height) / 2;
  float reach = std::hypot(cx, cy);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      float d = std::hypot(float(x) - cx, float(y) - cy) / reach;
      blendPixel(c, x, y, hex(0x000004), strength * smoothstep(0.55f, 1.1f, d));
    }
}

Mask crescentMask(int width, int height, float cx, float cy, float r) {
  Mask moon = makeMask(width, height);
  maskCircle(moon, cx, cy, r);
  Mask bite = makeMask(width, height);
  maskCircle(bite, cx + r * 0.45f, cy - r * 0.2f, r * 0.85f);
  maskSubtract(moon, bite);
  return moon;
}

void paintLettering(Canvas& c, const Mask& glyphs, Rgba fillTop, Rgba fillBottom, float rampTop,
                    float rampBottom, Rgba glow, float glowRadius) {
  if (glowRadius > 0) {
    Mask halo = glyphs;
    blurMask(halo, glowRadius);
    maskScale(halo, 1.8f);
    paintMask(c, halo, glow);
  }
  // A tight dark rim keeps pale letters legible over bright sky.
  Mask rim = glyphs;
  blurMask(rim, 1.2f);
  paintMask(c, rim, hex(0x05061a, 0.55f), 1, 2);
  paintMaskWith(c, glyphs, [&](int, int y) {
    return mix(fillTop, fillBottom, smoothstep(rampTop, rampBottom, float(y)));
  });
}

}  // namespace assetgen
