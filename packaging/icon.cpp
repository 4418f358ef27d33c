/*
 * orvane_icon: draws the application icon, a speech bubble with an exclamation mark on a
 * night-blue tile, and writes it as a PNG of the given size: orvane_icon OUT.png SIZE.
 * Every pixel is the average of 4x4 samples, so the edges come out smooth at any size.
 */
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

struct Rgba { float r, g, b, a; };

// Shapes in a 256x256 design space.
bool inRoundedRect(float x, float y, float x0, float y0, float x1, float y1, float radius) {
  float cx = std::clamp(x, x0 + radius, x1 - radius), cy = std::clamp(y, y0 + radius, y1 - radius);
  return x >= x0 && x <= x1 && y >= y0 && y <= y1 &&
         (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

bool inEllipse(float x, float y, float cx, float cy, float rx, float ry) {
  float dx = (x - cx) / rx, dy = (y - cy) / ry;
  return dx * dx + dy * dy <= 1.0f;
}

bool inTriangle(float x, float y, float ax, float ay, float bx, float by, float cx, float cy) {
  auto side = [&](float px, float py, float qx, float qy) {
    return (qx - px) * (y - py) - (qy - py) * (x - px);
  };
  float s1 = side(ax, ay, bx, by), s2 = side(bx, by, cx, cy), s3 = side(cx, cy, ax, ay);
  return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

// The colour at one point of the design, transparent outside the tile.
Rgba sample(float x, float y) {
  if (!inRoundedRect(x, y, 8, 8, 248, 248, 48)) return {0, 0, 0, 0};
  float t = (y - 8) / 240;  // the tile darkens towards the bottom
  Rgba colour{0.17f - 0.09f * t, 0.23f - 0.13f * t, 0.55f - 0.30f * t, 1};
  bool bubble = inEllipse(x, y, 128, 112, 94, 72) || inTriangle(x, y, 84, 160, 128, 176, 58, 226);
  if (bubble) colour = {0.96f, 0.94f, 0.89f, 1};
  bool mark = inRoundedRect(x, y, 114, 58, 142, 134, 12) ||
              (x - 128) * (x - 128) + (y - 160) * (y - 160) <= 15.0f * 15.0f;
  if (mark) colour = {0.80f, 0.14f, 0.16f, 1};
  return colour;
}

}  // namespace

int main(int argc, char** argv) {
  int size = argc == 3 ? std::atoi(argv[2]) : 0;
  if (size < 16 || size > 1024) {
    std::fprintf(stderr, "usage: orvane_icon OUT.png SIZE (16 to 1024)\n");
    return 2;
  }
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return 1;
  constexpr int kSamples = 4;
  const float unit = 256.0f / size;
  for (int py = 0; py < size; ++py) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + py * s->pitch);
    for (int px = 0; px < size; ++px) {
      float r = 0, g = 0, b = 0, a = 0;  // premultiplied sums
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          Rgba c = sample((px + (sx + 0.5f) / kSamples) * unit, (py + (sy + 0.5f) / kSamples) * unit);
          r += c.r * c.a;
          g += c.g * c.a;
          b += c.b * c.a;
          a += c.a;
        }
      auto byte = [](float v) { return Uint32(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
      Uint32 alpha = byte(a / (kSamples * kSamples));
      row[px] = a > 0 ? alpha << 24 | byte(r / a) << 16 | byte(g / a) << 8 | byte(b / a) : 0;
    }
  }
  int status = IMG_SavePNG(s, argv[1]) == 0 ? 0 : 1;
  if (status) std::fprintf(stderr, "orvane_icon: cannot write %s: %s\n", argv[1], SDL_GetError());
  SDL_FreeSurface(s);
  return status;
}
