/*
 * The compositor: decides where each host sprite lands (the sprite rules the game relies on
 * live here and nowhere else) and has pixman draw it: premultiplied copies of images made
 * when their version changes, affine transforms for size and rotation, masks for corner
 * alpha and wipes.
 */
#include "compositor.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace {

// ---- premultiplied copies ----

struct PixmanDeleter {
  void operator()(pixman_image_t* image) const {
    if (image) pixman_image_unref(image);
  }
};
using PixmanImage = std::unique_ptr<pixman_image_t, PixmanDeleter>;

struct ImageCopy {
  uint64_t version = 0;
  bool opaque = false;  // every pixel has alpha 255: pixman may copy instead of blending
  std::vector<uint32_t> bits;
};

// A wipe's coverage at its last level, one copy per mode, as an a8 mask with rows padded
// to four bytes as pixman wants.
struct WipeCopy {
  bool valid = false;
  uint64_t version = 0;
  int stride = 0;
  std::vector<uint32_t> bits;
};

std::unordered_map<const void*, ImageCopy>& imageCopies() {
  static std::unordered_map<const void*, ImageCopy> copies;
  return copies;
}

std::unordered_map<const void*, WipeCopy[2]>& wipeCopies() {
  static std::unordered_map<const void*, WipeCopy[2]> copies;
  return copies;
}

// Pixel loops carry no fuzzing coverage: a branch per pixel tells the fuzzer nothing about
// the input, and instrumenting it makes every composed frame many times slower.
#if defined(__clang__)
#define PIXEL_LOOP __attribute__((no_sanitize("coverage")))
#else
#define PIXEL_LOOP
#endif

// Straight to premultiplied alpha, c * a / 255 rounded, two channels at a time and four
// pixels to a vector, so it runs as vector code whatever the optimisation level. Returns
// whether every pixel is opaque.
using Pixels4 = uint32_t __attribute__((vector_size(16)));

PIXEL_LOOP Pixels4 premultiply4(Pixels4 p) {
  Pixels4 a = p >> 24;
  Pixels4 rb = (p & 0x00FF00FFu) * a + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  Pixels4 g = (p >> 8 & 0xFFu) * a + 0x80u;
  g = (g + (g >> 8)) >> 8;
  return a << 24 | rb | g << 8;
}

PIXEL_LOOP bool premultiplyPixels(const uint32_t* from, uint32_t* to, size_t count) {
  Pixels4 allAlpha4 = ~Pixels4{};
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    Pixels4 p;
    std::memcpy(&p, from + i, sizeof p);
    allAlpha4 &= p;
    p = premultiply4(p);
    std::memcpy(to + i, &p, sizeof p);
  }
  uint32_t allAlpha = 0xFF000000u;
  for (int lane = 0; lane < 4; ++lane) allAlpha &= allAlpha4[lane];
  if (i < count) {
    Pixels4 p = {};
    std::memcpy(&p, from + i, (count - i) * 4);
    Pixels4 q = premultiply4(p);
    std::memcpy(to + i, &q, (count - i) * 4);
    for (size_t lane = 0; lane < count - i; ++lane) allAlpha &= p[lane];
  }
  return (allAlpha >> 24) == 0xFF;
}

const ImageCopy& premultipliedCopy(const LbImageObject& image) {
  ImageCopy& copy = imageCopies()[&image];
  if (copy.bits.size() != image.pixels.size() || copy.version != image.version ||
      copy.bits.empty()) {
    copy.bits.resize(image.pixels.size());
    copy.opaque = premultiplyPixels(image.pixels.data(), copy.bits.data(), image.pixels.size());
    copy.version = image.version;
  }
  return copy;
}

PIXEL_LOOP void lookUp(const uint8_t (&lut)[256], const uint8_t* from, uint8_t* to, int count) {
  for (int i = 0; i < count; ++i) to[i] = lut[from[i]];
}

const WipeCopy& wipeMask(const LbWipeObject& wipe, int mode) {
  WipeCopy& copy = wipeCopies()[&wipe][mode == 1 ? 1 : 0];
  if (!copy.valid || copy.version != wipe.version) {
    uint8_t lut[256];
    for (int g = 0; g < 256; ++g) lut[g] = wipeCoverage(static_cast<uint8_t>(g), wipe.level, mode);
    copy.stride = (wipe.width + 3) & ~3;
    copy.bits.assign(static_cast<size_t>(copy.stride / 4) * wipe.height, 0u);
    auto* bytes = reinterpret_cast<uint8_t*>(copy.bits.data());
    for (int y = 0; y < wipe.height; ++y)
      lookUp(lut, wipe.grey.data() + static_cast<size_t>(y) * wipe.width,
             bytes + static_cast<size_t>(y) * copy.stride, wipe.width);
    copy.version = wipe.version;
    copy.valid = true;
  }
  return copy;
}

// ---- affine helpers: 2x3 matrices, (x', y') = (a*x + b*y + c, d*x + e*y + f) ----

struct Affine {
  double a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;
};

Affine multiply(const Affine& l, const Affine& r) {  // l after r
  return {l.a * r.a + l.b * r.d, l.a * r.b + l.b * r.e, l.a * r.c + l.b * r.f + l.c,
          l.d * r.a + l.e * r.d, l.d * r.b + l.e * r.e, l.d * r.c + l.e * r.f + l.f};
}

bool invert(const Affine& m, Affine* out) {
  double det = m.a * m.e - m.b * m.d;
  if (std::fabs(det) < 1e-9) return false;
  out->a = m.e / det;
  out->b = -m.b / det;
  out->d = -m.d / det;
  out->e = m.a / det;
  out->c = -(out->a * m.c + out->b * m.f);
  out->f = -(out->d * m.c + out->e * m.f);
  return true;
}

// pixman's 16.16 fixed point holds magnitudes below 32768.
bool fitsFixedPoint(const Affine& m) {
  for (double v : {m.a, m.b, m.c, m.d, m.e, m.f})
    if (!(std::fabs(v) < 32000.0)) return false;
  return true;
}

void setTransform(pixman_image_t* image, const Affine& m) {
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  t.matrix[0][0] = pixman_double_to_fixed(m.a);
  t.matrix[0][1] = pixman_double_to_fixed(m.b);
  t.matrix[0][2] = pixman_double_to_fixed(m.c);
  t.matrix[1][0] = pixman_double_to_fixed(m.d);
  t.matrix[1][1] = pixman_double_to_fixed(m.e);
  t.matrix[1][2] = pixman_double_to_fixed(m.f);
  pixman_image_set_transform(image, &t);
}

// Cosine and sine of an angle in degrees, exact at the quarter turns so that a sprite turned
// by 180 degrees or not at all stays on the exact pixel grid.
void cosSin(float degrees, double* c, double* s) {
  double turn = std::fmod(static_cast<double>(degrees), 360.0);
  if (turn < 0) turn += 360.0;
  if (turn == 0.0) { *c = 1; *s = 0; return; }
  if (turn == 90.0) { *c = 0; *s = 1; return; }
  if (turn == 180.0) { *c = -1; *s = 0; return; }
  if (turn == 270.0) { *c = 0; *s = -1; return; }
  double r = turn * 3.14159265358979323846 / 180.0;
  *c = std::cos(r);
  *s = std::sin(r);
}

uint8_t unitToByte(float v) { return static_cast<uint8_t>(std::lround(v * 255.0f)); }

// Pixels whose centres lie in [lo, hi): the hard edge of an axis-aligned sprite.
int firstCentre(double lo) { return static_cast<int>(std::ceil(lo - 0.5)); }

// Everything one sprite's drawing needs, worked out before pixman is called.
struct DrawJob {
  Affine frameToLocal;          // frame coordinates to the sprite's own (u, v)
  Affine boxToLocal;            // the same from coordinates relative to the box
  Affine localToView;           // (u, v) to the pixels of the visible part of the image
  int viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;  // that part, in image pixels
  int boxX = 0, boxY = 0, boxWidth = 0, boxHeight = 0;      // frame pixels touched
  bool identity = false;        // a plain copy at an integer position
  bool axisAligned = false;
};

bool planDraw(const LbSpriteObject& sprite, const LbImageObject& image, DrawJob* job) {
  // The map, moved by the image's own offset, clipped to the image: what lies outside the
  // image shows nothing and is never read.
  long long srcX = static_cast<long long>(sprite.mapX) + image.offsetX;
  long long srcY = static_cast<long long>(sprite.mapY) + image.offsetY;
  long long x0 = std::max<long long>(srcX, 0), y0 = std::max<long long>(srcY, 0);
  long long x1 = std::min<long long>(srcX + sprite.mapWidth, image.width);
  long long y1 = std::min<long long>(srcY + sprite.mapHeight, image.height);
  if (x0 >= x1 || y0 >= y1) return false;
  job->viewX = static_cast<int>(x0);
  job->viewY = static_cast<int>(y0);
  job->viewWidth = static_cast<int>(x1 - x0);
  job->viewHeight = static_cast<int>(y1 - y0);

  double scaleX = static_cast<double>(sprite.mapWidth) / sprite.width;
  double scaleY = static_cast<double>(sprite.mapHeight) / sprite.height;
  job->localToView = {scaleX, 0, static_cast<double>(srcX - x0), 0, scaleY,
                      static_cast<double>(srcY - y0)};

  SpritePlacement place = placeSprite(sprite);
  Affine localToFrame{place.m[0], place.m[1], place.m[2], place.m[3], place.m[4], place.m[5]};
  if (!invert(localToFrame, &job->frameToLocal)) return false;  // squashed to a line
  job->axisAligned = place.axisAligned;

  // The visible part of the sprite in its own coordinates, then its corners in the frame.
  double u0 = (x0 - srcX) / scaleX, u1 = (x1 - srcX) / scaleX;
  double v0 = (y0 - srcY) / scaleY, v1 = (y1 - srcY) / scaleY;
  double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
  for (double u : {u0, u1})
    for (double v : {v0, v1}) {
      double fx = localToFrame.a * u + localToFrame.b * v + localToFrame.c;
      double fy = localToFrame.d * u + localToFrame.e * v + localToFrame.f;
      minX = std::min(minX, fx);
      maxX = std::max(maxX, fx);
      minY = std::min(minY, fy);
      maxY = std::max(maxY, fy);
    }
  if (!(maxX >= 0 && maxY >= 0 && minX <= kFrameWidth && minY <= kFrameHeight)) return false;
  // Only the frame matters; clamping first keeps huge sprites within int range.
  minX = std::max(minX, -4.0);
  minY = std::max(minY, -4.0);
  maxX = std::min(maxX, kFrameWidth + 4.0);
  maxY = std::min(maxY, kFrameHeight + 4.0);
  int bx0, by0, bx1, by1;
  if (job->axisAligned) {
    bx0 = firstCentre(minX);
    by0 = firstCentre(minY);
    bx1 = firstCentre(maxX);
    by1 = firstCentre(maxY);
  } else {
    // Edges fade out through bilinear sampling of the transparent outside.
    bx0 = static_cast<int>(std::floor(minX)) - 1;
    by0 = static_cast<int>(std::floor(minY)) - 1;
    bx1 = static_cast<int>(std::ceil(maxX)) + 1;
    by1 = static_cast<int>(std::ceil(maxY)) + 1;
  }
  bx0 = std::max(bx0, 0);
  by0 = std::max(by0, 0);
  bx1 = std::min(bx1, kFrameWidth);
  by1 = std::min(by1, kFrameHeight);
  if (bx0 >= bx1 || by0 >= by1) return false;
  job->boxX = bx0;
  job->boxY = by0;
  job->boxWidth = bx1 - bx0;
  job->boxHeight = by1 - by0;
  // pixman reads sources through transforms in 16.16 fixed point, so they take coordinates
  // relative to the box, which keeps every term near the size of what is drawn.
  job->boxToLocal = multiply(job->frameToLocal, {1, 0, static_cast<double>(bx0), 0, 1,
                                                 static_cast<double>(by0)});
  job->identity = job->axisAligned && sprite.width == sprite.mapWidth &&
                  sprite.height == sprite.mapHeight && localToFrame.a == 1 &&
                  localToFrame.e == 1 && localToFrame.c == std::floor(localToFrame.c) &&
                  localToFrame.f == std::floor(localToFrame.f);
  return true;
}

// A 2x2 picture of the corner values, sampled bilinearly over the sprite so that each value
// sits exactly on its corner and blends linearly across the quad.
PixmanImage cornerImage(const SpriteCorner (&corners)[4], bool colour, uint32_t* bits,
                        const Affine& boxToLocal, const LbSpriteObject& sprite) {
  for (int i = 0; i < 4; ++i) {
    const SpriteCorner& c = corners[i];
    bits[i] = colour ? 0xFF000000u | uint32_t{unitToByte(c.r)} << 16 |
                           uint32_t{unitToByte(c.g)} << 8 | unitToByte(c.b)
                     : uint32_t{unitToByte(c.a)} << 24;
  }
  PixmanImage image(pixman_image_create_bits(PIXMAN_a8r8g8b8, 2, 2, bits, 8));
  if (!image) return image;
  Affine toCorners = multiply(
      {1.0 / sprite.width, 0, 0.5, 0, 1.0 / sprite.height, 0.5}, boxToLocal);
  setTransform(image.get(), toCorners);
  pixman_image_set_filter(image.get(), PIXMAN_FILTER_BILINEAR, nullptr, 0);
  pixman_image_set_repeat(image.get(), PIXMAN_REPEAT_PAD);
  if (colour) pixman_image_set_component_alpha(image.get(), 1);
  return image;
}

bool drawSprite(const LbSpriteObject& sprite, pixman_image_t* frame) {
  const LbImageObject& image = *sprite.image;
  const SpriteCorner* c = sprite.corners;
  if (c[0].a == 0 && c[1].a == 0 && c[2].a == 0 && c[3].a == 0) return true;
  if (sprite.wipe && sprite.wipeMode == 1 && sprite.wipe->level <= 0.0f) return true;
  if (sprite.wipe && sprite.wipeMode == 0 && sprite.wipe->level >= 1.0f) return true;

  DrawJob job;
  if (!planDraw(sprite, image, &job)) return true;

  const ImageCopy& copy = premultipliedCopy(image);
  auto* viewBits = const_cast<uint32_t*>(copy.bits.data()) +
                   static_cast<size_t>(job.viewY) * image.width + job.viewX;
  PixmanImage view(pixman_image_create_bits(copy.opaque ? PIXMAN_x8r8g8b8 : PIXMAN_a8r8g8b8,
                                            job.viewWidth, job.viewHeight, viewBits,
                                            image.width * 4));
  if (!view) return false;
  if (!job.identity) {
    Affine boxToView = multiply(job.localToView, job.boxToLocal);
    // A picture squeezed below a pixel, or stretched past what fixed point holds, is not
    // drawn rather than drawn wrong.
    if (!fitsFixedPoint(boxToView)) return true;
    setTransform(view.get(), boxToView);
    pixman_image_set_filter(view.get(), PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(view.get(),
                            job.axisAligned ? PIXMAN_REPEAT_PAD : PIXMAN_REPEAT_NONE);
  }
  // Where a frame pixel of the box reads the view: through the transform, or for a plain
  // copy shifted by the sprite's position and the start of the visible part of the map.
  int srcX = 0, srcY = 0;
  if (job.identity) {
    srcX = job.boxX + static_cast<int>(job.frameToLocal.c + job.localToView.c);
    srcY = job.boxY + static_cast<int>(job.frameToLocal.f + job.localToView.f);
  }

  // Alpha masks: the corners' alpha and the wipe, combined when both are present.
  bool uniformAlpha = c[0].a == c[1].a && c[0].a == c[2].a && c[0].a == c[3].a;
  bool tinted = false;
  for (int i = 0; i < 4; ++i) tinted |= c[i].r != 1 || c[i].g != 1 || c[i].b != 1;

  uint32_t cornerBits[4], tintBits[4];
  PixmanImage alphaMask, wipeImage, combined;
  if (!uniformAlpha) {
    alphaMask = cornerImage(sprite.corners, false, cornerBits, job.boxToLocal, sprite);
    if (!alphaMask) return false;
  } else if (c[0].a < 1.0f) {
    uint16_t a = static_cast<uint16_t>(unitToByte(c[0].a) * 257);
    pixman_color_t solid{0, 0, 0, a};
    alphaMask.reset(pixman_image_create_solid_fill(&solid));
    if (!alphaMask) return false;
  }
  if (sprite.wipe) {
    const LbWipeObject& wipe = *sprite.wipe;
    const WipeCopy& mask = wipeMask(wipe, sprite.wipeMode);
    wipeImage.reset(pixman_image_create_bits(PIXMAN_a8, wipe.width, wipe.height,
                                             const_cast<uint32_t*>(mask.bits.data()),
                                             mask.stride));
    if (!wipeImage) return false;
    // The mask is stretched over the sprite's drawn rectangle.
    Affine toMask = multiply({static_cast<double>(wipe.width) / sprite.width, 0, 0, 0,
                              static_cast<double>(wipe.height) / sprite.height, 0},
                             job.boxToLocal);
    setTransform(wipeImage.get(), toMask);
    pixman_image_set_filter(wipeImage.get(), PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(wipeImage.get(), PIXMAN_REPEAT_PAD);
  }
  pixman_image_t* mask = alphaMask ? alphaMask.get() : wipeImage.get();
  if (alphaMask && wipeImage) {
    combined.reset(pixman_image_create_bits(PIXMAN_a8, job.boxWidth, job.boxHeight, nullptr, 0));
    if (!combined) return false;
    pixman_image_composite32(PIXMAN_OP_SRC, wipeImage.get(), nullptr, combined.get(), 0, 0, 0, 0,
                             0, 0, job.boxWidth, job.boxHeight);
    pixman_image_composite32(PIXMAN_OP_IN, alphaMask.get(), nullptr, combined.get(), 0, 0, 0, 0,
                             0, 0, job.boxWidth, job.boxHeight);
    mask = combined.get();
  }

  pixman_op_t op = sprite.blend == kBlendAdd ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
  if (!tinted) {
    pixman_image_composite32(op, view.get(), mask, frame, srcX, srcY, 0, 0, job.boxX, job.boxY,
                             job.boxWidth, job.boxHeight);
    return true;
  }
  // Corner colours multiply each channel: the tinted sprite is drawn into the box first
  // (component-alpha mask), then blended like any other.
  PixmanImage tint = cornerImage(sprite.corners, true, tintBits, job.boxToLocal, sprite);
  PixmanImage tintedBox(
      pixman_image_create_bits(PIXMAN_a8r8g8b8, job.boxWidth, job.boxHeight, nullptr, 0));
  if (!tint || !tintedBox) return false;
  pixman_image_composite32(PIXMAN_OP_SRC, view.get(), tint.get(), tintedBox.get(), srcX, srcY, 0,
                           0, 0, 0, job.boxWidth, job.boxHeight);
  pixman_image_composite32(op, tintedBox.get(), mask, frame, 0, 0, 0, 0, job.boxX, job.boxY,
                           job.boxWidth, job.boxHeight);
  return true;
}

// Whether the sprite alone paints every pixel of the frame with its own opaque pixels (a
// plain copy of an opaque picture over the whole frame), so nothing under it shows.
bool paintsWholeFrame(const LbSpriteObject& sprite) {
  if (sprite.wipe || sprite.blend != kBlendAlpha) return false;
  for (const SpriteCorner& c : sprite.corners)
    if (c.r != 1 || c.g != 1 || c.b != 1 || c.a != 1) return false;
  DrawJob job;
  return planDraw(sprite, *sprite.image, &job) && job.identity && job.boxX == 0 &&
         job.boxY == 0 && job.boxWidth == kFrameWidth && job.boxHeight == kFrameHeight &&
         premultipliedCopy(*sprite.image).opaque;
}

}  // namespace

// ---- the sprite rules ----

// A connected sprite's position counts from its parent's absolute position; the parent's
// size and rotation do not carry over (the game turns every part about one pivot itself).
void spriteAbsolutePosition(const LbSpriteObject& sprite, int* x, int* y) {
  long long ax = sprite.x, ay = sprite.y;
  int depth = 0;
  for (LbSprite p = sprite.parent; p && depth < 1000; p = p->parent, ++depth) {
    ax += p->x;
    ay += p->y;
  }
  *x = static_cast<int>(std::clamp<long long>(ax, INT32_MIN, INT32_MAX));
  *y = static_cast<int>(std::clamp<long long>(ay, INT32_MIN, INT32_MAX));
}

// The drawn rectangle is the sprite's size at its absolute position. The pivot is a
// fraction of that size; about it, rotation about X squashes the height by the angle's
// cosine, rotation about Y the width, both as a projection seen head-on, and rotation about
// Z turns the picture clockwise on screen for positive degrees.
SpritePlacement placeSprite(const LbSpriteObject& sprite) {
  SpritePlacement place;
  int ax = 0, ay = 0;
  spriteAbsolutePosition(sprite, &ax, &ay);
  place.absX = ax;
  place.absY = ay;
  double pu = static_cast<double>(sprite.pivotX) * sprite.width;
  double pv = static_cast<double>(sprite.pivotY) * sprite.height;
  double cx, sx, cy, sy, c, s;
  cosSin(sprite.angleX, &cx, &sx);
  cosSin(sprite.angleY, &cy, &sy);
  cosSin(sprite.angleZ, &c, &s);
  // frame = pivot + Rz * diag(cos Y, cos X) * (local - pivot)
  double a = c * cy, b = -s * cx, d = s * cy, e = c * cx;
  place.m[0] = a;
  place.m[1] = b;
  place.m[2] = ax + (pu - (a * pu + b * pv));  // exactly ax when nothing turns
  place.m[3] = d;
  place.m[4] = e;
  place.m[5] = ay + (pv - (d * pu + e * pv));
  place.axisAligned = b == 0 && d == 0;
  return place;
}

// Bottom first: by level, then by creation order among equal levels.
std::vector<LbSprite> drawOrder() {
  std::vector<LbSprite> order;
  for (LbSprite s : allSprites())
    if (s->draw && s->image && s->width > 0 && s->height > 0 && s->mapWidth > 0 &&
        s->mapHeight > 0)
      order.push_back(s);
  std::stable_sort(order.begin(), order.end(),
                   [](LbSprite l, LbSprite r) { return l->level < r->level; });
  return order;
}

namespace {

// Everything a drawn sprite's pixels depend on. Two frames whose sprites all have equal keys
// in the same order are the same picture, so the second need not be drawn at all.
struct SpriteKey {
  LbSprite sprite;
  uint64_t serial;
  LbImage image;
  uint64_t imageVersion;
  int imageWidth, imageHeight, offsetX, offsetY;
  int level, absX, absY, width, height, mapX, mapY, mapWidth, mapHeight;
  float pivotX, pivotY, angleX, angleY, angleZ;
  float corners[16];
  int blend;
  LbWipe wipe;
  uint64_t wipeVersion;
  int wipeMode;
  bool operator==(const SpriteKey&) const = default;
};

SpriteKey keyOf(LbSprite s) {
  SpriteKey k{};
  k.sprite = s;
  k.serial = s->serial;
  k.image = s->image;
  k.imageVersion = s->image->version;
  k.imageWidth = s->image->width;
  k.imageHeight = s->image->height;
  k.offsetX = s->image->offsetX;
  k.offsetY = s->image->offsetY;
  k.level = s->level;
  spriteAbsolutePosition(*s, &k.absX, &k.absY);
  k.width = s->width;
  k.height = s->height;
  k.mapX = s->mapX;
  k.mapY = s->mapY;
  k.mapWidth = s->mapWidth;
  k.mapHeight = s->mapHeight;
  k.pivotX = s->pivotX;
  k.pivotY = s->pivotY;
  k.angleX = s->angleX;
  k.angleY = s->angleY;
  k.angleZ = s->angleZ;
  for (int i = 0; i < 4; ++i) {
    k.corners[4 * i] = s->corners[i].r;
    k.corners[4 * i + 1] = s->corners[i].g;
    k.corners[4 * i + 2] = s->corners[i].b;
    k.corners[4 * i + 3] = s->corners[i].a;
  }
  k.blend = s->blend;
  k.wipe = s->wipe;
  k.wipeVersion = s->wipe ? s->wipe->version : 0;
  k.wipeMode = s->wipeMode;
  return k;
}

// What the last composed frame showed, and the destroyed objects count at that time: an
// image or wipe destroyed since may have left its address to a new one.
struct LastComposition {
  const uint32_t* frame = nullptr;
  uint64_t destroyed = 0;
  std::vector<SpriteKey> keys;
};

LastComposition& lastComposition() {
  static LastComposition last;
  return last;
}

uint64_t gDestroyed = 0;

}  // namespace

bool composeFrame(uint32_t* frame) {
  std::vector<LbSprite> order = drawOrder();
  std::vector<SpriteKey> keys;
  keys.reserve(order.size());
  for (LbSprite sprite : order) keys.push_back(keyOf(sprite));
  LastComposition& last = lastComposition();
  if (last.frame == frame && last.destroyed == gDestroyed && last.keys == keys) return true;
  last.frame = nullptr;  // a failed composition leaves the frame unknown

  PixmanImage target(pixman_image_create_bits(PIXMAN_a8r8g8b8, kFrameWidth, kFrameHeight, frame,
                                              kFrameWidth * 4));
  if (!target) return false;
  // The frame starts black, unless the bottom picture covers it anyway.
  if (order.empty() || !paintsWholeFrame(*order.front()))
    std::fill(frame, frame + kFrameWidth * kFrameHeight, 0xFF000000u);
  for (LbSprite sprite : order)
    if (!drawSprite(*sprite, target.get())) return false;
  last.frame = frame;
  last.destroyed = gDestroyed;
  last.keys = std::move(keys);
  return true;
}

void dropCompositorCopies(const void* imageOrWipe) {
  ++gDestroyed;
  imageCopies().erase(imageOrWipe);
  wipeCopies().erase(imageOrWipe);
}
