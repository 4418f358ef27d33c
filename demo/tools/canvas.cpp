/*
 * Painting primitives of the asset generator: premultiplied float canvases, coverage masks
 * built from signed distances (so every edge is anti-aliased), blur and integer-hash noise.
 * Nothing here depends on the clock or on library randomness, so every run paints the same.
 */
#include "assetgen.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace assetgen {

Rgba hex(uint32_t rgb, float alpha) {
  return {float((rgb >> 16) & 0xff) / 255.0f, float((rgb >> 8) & 0xff) / 255.0f,
          float(rgb & 0xff) / 255.0f, alpha};
}

Rgba mix(Rgba a, Rgba b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float smoothstep(float e0, float e1, float x) {
  float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// ---- canvas -------------------------------------------------------------------------------

Canvas makeCanvas(int width, int height, Rgba fill) {
  if (width <= 0 || height <= 0) throw std::runtime_error("canvas size must be positive");
  Canvas c;
  c.width = width;
  c.height = height;
  c.px.resize(size_t(width) * size_t(height) * 4);
  for (size_t i = 0; i < c.px.size(); i += 4) {
    c.px[i] = fill.r * fill.a;
    c.px[i + 1] = fill.g * fill.a;
    c.px[i + 2] = fill.b * fill.a;
    c.px[i + 3] = fill.a;
  }
  return c;
}

Rgba pixelAt(const Canvas& c, int x, int y) {
  const float* p = &c.px[(size_t(y) * size_t(c.width) + size_t(x)) * 4];
  if (p[3] <= 0) return {0, 0, 0, 0};
  return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

void blendPixel(Canvas& c, int x, int y, Rgba colour, float coverage) {
  if (x < 0 || y < 0 || x >= c.width || y >= c.height) return;
  float a = clamp01(colour.a * coverage);
  if (a <= 0) return;
  float* p = &c.px[(size_t(y) * size_t(c.width) + size_t(x)) * 4];
  float keep = 1 - a;
  p[0] = colour.r * a + p[0] * keep;
  p[1] = colour.g * a + p[1] * keep;
  p[2] = colour.b * a + p[2] * keep;
  p[3] = a + p[3] * keep;
}

void fillWith(Canvas& c, const std::function<Rgba(int, int)>& colourAt) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      Rgba k = colourAt(x, y);
      float* p = &c.px[(size_t(y) * size_t(c.width) + size_t(x)) * 4];
      p[0] = k.r * k.a;
      p[1] = k.g * k.a;
      p[2] = k.b * k.a;
      p[3] = k.a;
    }
}

void fillVertical(Canvas& c, const std::vector<std::pair<float, Rgba>>& stops) {
  if (stops.empty()) throw std::runtime_error("a gradient needs at least one stop");
  fillWith(c, [&](int, int y) {
    float fy = float(y) + 0.5f;
    if (fy <= stops.front().first) return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i)
      if (fy <= stops[i].first) {
        float t = (fy - stops[i - 1].first) / (stops[i].first - stops[i - 1].first);
        return mix(stops[i - 1].second, stops[i].second, smoothstep(0, 1, t));
      }
    return stops.back().second;
  });
}

void drawCanvas(Canvas& dst, const Canvas& src, int ox, int oy) {
  for (int y = 0; y < src.height; ++y) {
    int ty = y + oy;
    if (ty < 0 || ty >= dst.height) continue;
    for (int x = 0; x < src.width; ++x) {
      int tx = x + ox;
      if (tx < 0 || tx >= dst.width) continue;
      const float* s = &src.px[(size_t(y) * size_t(src.width) + size_t(x)) * 4];
      float* d = &dst.px[(size_t(ty) * size_t(dst.width) + size_t(tx)) * 4];
      float keep = 1 - s[3];
      for (int k = 0; k < 4; ++k) d[k] = s[k] + d[k] * keep;
    }
  }
}

void fadeCanvas(Canvas& c, float factor) {
  for (float& v : c.px) v *= factor;
}

// ---- masks --------------------------------------------------------------------------------

Mask makeMask(int width, int height) {
  if (width <= 0 || height <= 0) throw std::runtime_error("mask size must be positive");
  Mask m;
  m.width = width;
  m.height = height;
  m.v.assign(size_t(width) * size_t(height), 0.0f);
  return m;
}

namespace {

// Coverage of a pixel whose centre lies `distance` outside a shape's edge (negative inside).
float coverageOf(float distance, float feather) {
  return clamp01(0.5f - distance / std::max(feather, 0.001f));
}

// Unions a shape, given by its signed distance, into the mask within a bounding box.
template <typename Dist>
void unionShape(Mask& m, float x0, float y0, float x1, float y1, float feather, Dist dist) {
  int ix0 = std::max(0, int(std::floor(x0 - feather - 1)));
  int iy0 = std::max(0, int(std::floor(y0 - feather - 1)));
  int ix1 = std::min(m.width - 1, int(std::ceil(x1 + feather + 1)));
  int iy1 = std::min(m.height - 1, int(std::ceil(y1 + feather + 1)));
  for (int y = iy0; y <= iy1; ++y)
    for (int x = ix0; x <= ix1; ++x) {
      float c = coverageOf(dist(float(x) + 0.5f, float(y) + 0.5f), feather);
      float& v = m.v[size_t(y) * size_t(m.width) + size_t(x)];
      v = std::max(v, c);
    }
}

float roundRectDistance(float px, float py, float x0, float y0, float x1, float y1, float r) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
  float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
  float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

float segmentDistance(float px, float py, Point a, Point b) {
  float dx = b.x - a.x, dy = b.y - a.y;
  float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? clamp01(((px - a.x) * dx + (py - a.y) * dy) / len2) : 0;
  return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

}  // namespace

void maskCircle(Mask& m, float cx, float cy, float r, float feather) {
  unionShape(m, cx - r, cy - r, cx + r, cy + r, feather,
             [&](float x, float y) { return std::hypot(x - cx, y - cy) - r; });
}

void maskRing(Mask& m, float cx, float cy, float r, float thickness, float feather) {
  float half = thickness / 2;
  unionShape(m, cx - r - half, cy - r - half, cx + r + half, cy + r + half, feather,
             [&](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - r) - half; });
}

void maskRoundRect(Mask& m, float x0, float y0, float x1, float y1, float r, float feather) {
  unionShape(m, x0, y0, x1, y1, feather,
             [&](float x, float y) { return roundRectDistance(x, y, x0, y0, x1, y1, r); });
}

void maskRoundRectOutline(Mask& m, float x0, float y0, float x1, float y1, float r,
                          float thickness, float feather) {
  float half = thickness / 2;
  unionShape(m, x0 - half, y0 - half, x1 + half, y1 + half, feather, [&](float x, float y) {
    return std::fabs(roundRectDistance(x, y, x0, y0, x1, y1, r)) - half;
  });
}

void maskPolygon(Mask& m, const std::vector<Point>& pts, float feather) {
  if (pts.size() < 3) throw std::runtime_error("a polygon needs three points");
  float x0 = pts[0].x, x1 = pts[0].x, y0 = pts[0].y, y1 = pts[0].y;
  for (const Point& p : pts) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  unionShape(m, x0, y0, x1, y1, feather, [&](float x, float y) {
    float best = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      best = std::min(best, segmentDistance(x, y, pts[j], pts[i]));
      // Even-odd crossing test on a horizontal ray.
      if ((pts[i].y > y) != (pts[j].y > y) &&
          x < (pts[j].x - pts[i].x) * (y - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x)
        inside = !inside;
    }
    return inside ? -best : best;
  });
}

void maskLine(Mask& m, Point a, Point b, float thickness, float feather) {
  float half = thickness / 2;
  unionShape(m, std::min(a.x, b.x) - half, std::min(a.y, b.y) - half, std::max(a.x, b.x) + half,
             std::max(a.y, b.y) + half, feather,
             [&](float x, float y) { return segmentDistance(x, y, a, b) - half; });
}

void maskSubtract(Mask& m, const Mask& cut) {
  if (m.width != cut.width || m.height != cut.height)
    throw std::runtime_error("masks of different sizes");
  for (size_t i = 0; i < m.v.size(); ++i) m.v[i] *= 1 - cut.v[i];
}

void maskScale(Mask& m, float factor) {
  for (float& v : m.v) v = clamp01(v * factor);
}

namespace {

// One box pass of width 2r+1 along rows (step 1) or columns (step = width), edges clamped.
void boxPass(std::vector<float>& data, int count, int lines, int stride, int lineStride, int r) {
  std::vector<float> line(static_cast<size_t>(count));
  for (int l = 0; l < lines; ++l) {
    float* base = data.data() + size_t(l) * size_t(lineStride);
    for (int i = 0; i < count; ++i) line[size_t(i)] = base[size_t(i) * size_t(stride)];
    double sum = 0;
    for (int i = -r; i <= r; ++i) sum += line[size_t(std::clamp(i, 0, count - 1))];
    for (int i = 0; i < count; ++i) {
      base[size_t(i) * size_t(stride)] = float(sum / (2 * r + 1));
      sum += line[size_t(std::min(i + r + 1, count - 1))];
      sum -= line[size_t(std::max(i - r, 0))];
    }
  }
}

}  // namespace

void blurMask(Mask& m, float radius) {
  if (radius <= 0) return;
  // Three box passes of width 2r + 1 approximate a Gaussian whose standard deviation is the
  // radius: each pass adds ((2r + 1)^2 - 1) / 12 to the variance.
  int r = std::max(1, int(std::lround((std::sqrt(4.0f * radius * radius + 1.0f) - 1.0f) / 2.0f)));
  for (int pass = 0; pass < 3; ++pass) {
    boxPass(m.v, m.width, m.height, 1, m.width, r);
    boxPass(m.v, m.height, m.width, m.width, 1, r);
  }
}

void paintMask(Canvas& c, const Mask& m, Rgba colour, int dx, int dy) {
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x) {
      float v = m.at(x, y);
      if (v > 0) blendPixel(c, x + dx, y + dy, colour, v);
    }
}

void paintMaskWith(Canvas& c, const Mask& m, const std::function<Rgba(int, int)>& colourAt, int dx,
                   int dy) {
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x) {
      float v = m.at(x, y);
      if (v > 0) blendPixel(c, x + dx, y + dy, colourAt(x + dx, y + dy), v);
    }
}

// ---- noise --------------------------------------------------------------------------------

uint32_t hash3(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u;
  h ^= uint32_t(x) * 0x85EBCA77u;
  h = (h << 13) | (h >> 19);
  h ^= uint32_t(y) * 0xC2B2AE3Du;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

float hashUnit(int32_t x, int32_t y, uint32_t seed) {
  return float(hash3(x, y, seed) >> 8) / float(1u << 24);
}

float valueNoise(float x, float y, uint32_t seed) {
  float fx = std::floor(x), fy = std::floor(y);
  int32_t ix = int32_t(fx), iy = int32_t(fy);
  float tx = smoothstep(0, 1, x - fx), ty = smoothstep(0, 1, y - fy);
  float a = hashUnit(ix, iy, seed), b = hashUnit(ix + 1, iy, seed);
  float c = hashUnit(ix, iy + 1, seed), d = hashUnit(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float fractalNoise(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, weight = 0, amplitude = 1, scale = 1;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * valueNoise(x * scale, y * scale, seed + uint32_t(i) * 101u);
    weight += amplitude;
    amplitude *= 0.5f;
    scale *= 2.03f;  // not exactly 2, so octave lattices do not line up
  }
  return sum / weight;
}

}  // namespace assetgen
