// The court-like scene the drawing benchmarks compose: a background, three characters with
// soft edges, the message window, two text surfaces and three buttons, made of host
// images and sprites.
#pragma once

#include "compositor.h"

#include <vector>

inline uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

inline LbImage makeImage(int w, int h, uint32_t (*pixel)(int, int)) {
  LbImage img = lbtsCreateImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img->pixels[static_cast<size_t>(y) * w + x] = pixel(x, y);
  ++img->version;
  return img;
}

// A standing figure: an opaque body inside a soft-edged ellipse, transparent around it.
inline uint32_t character(int x, int y) {
  double dx = (x - 200) / 150.0, dy = (y - 320) / 280.0, d = dx * dx + dy * dy;
  if (d > 1.0) return 0;
  uint32_t a = d > 0.9 ? static_cast<uint32_t>((1.0 - d) * 2550) : 255;
  return argb(a, 200, (x * 3) & 0xFF, (y * 2) & 0xFF);
}

// Text: mostly transparent, with glyph-like blocks of opaque pixels on a few lines.
inline uint32_t text(int x, int y) {
  bool ink = y % 36 < 24 && y < 110 && x % 26 < 20 && x < 620 && ((x / 26 + y / 36) % 5 != 0);
  return ink ? argb(255, 255, 255, 255) : argb(0, 255, 255, 255);
}

struct CourtScene {
  std::vector<LbImage> images;
  std::vector<LbSprite> sprites;
  LbImage textSurface = nullptr;
  LbSprite walker = nullptr;  // the middle character

  CourtScene() {
    auto add = [this](LbImage img, int level, int x, int y) {
      images.push_back(img);
      LbSprite s = lbtsCreateSprite(img, level, 1);
      lbtsSetSpritePos(s, x, y);
      sprites.push_back(s);
      return s;
    };
    add(makeImage(800, 600, [](int x, int y) { return argb(255, x & 0xFF, y & 0xFF, 90); }), 6, 0, 0);
    for (int i = 0; i < 3; ++i) {
      LbSprite s = add(makeImage(400, 600, character), 10 + 2 * i, -100 + 250 * i, 0);
      if (i == 1) walker = s;
    }
    add(makeImage(760, 150, [](int, int) { return argb(192, 10, 20, 60); }), 40, 20, 430);
    LbImage shadow = makeImage(760, 150, text);
    add(shadow, 42, 22, 432);
    textSurface = makeImage(760, 150, text);
    add(textSurface, 44, 20, 430);
    for (int i = 0; i < 3; ++i)
      add(makeImage(120, 40, [](int x, int y) {
            return argb(x < 2 || y < 2 || x > 117 || y > 37 ? 128 : 230, 60, 60, 200);
          }), 50, 420 + 125 * i, 385);
  }
  ~CourtScene() {
    for (LbSprite s : sprites) lbtsDestroySprite(s);
    for (LbImage img : images) lbtsDestroyImage(img);
  }
};
