/*
 * The compositor: decides where each host sprite lands (the sprite rules the game relies on
 * live here and nowhere else), which pixels changed since the last frame, and has pixman
 * draw them: premultiplied copies of images made when their version changes, affine
 * transforms for size and rotation, masks for corner alpha. One-colour pictures become solid
 * fills; wipes are blended by the compositor's own loops.
 */
#include "compositor.h"
#include "pixels.h"

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
  bool opaque = false;   // every pixel has alpha 255: pixman may copy instead of blending
  bool uniform = false;  // one colour throughout: drawn as a solid fill
  uint32_t colour = 0;   // that colour, premultiplied
  uint32_t straight = 0; // and as the image holds it
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

// The reference drawing keeps copies of its own, made whole: what it draws owes nothing to
// the compositor's own bookkeeping.
std::unordered_map<const void*, ImageCopy>& imageCopies(bool reference = false) {
  static std::unordered_map<const void*, ImageCopy> copies, referenceCopies;
  return reference ? referenceCopies : copies;
}

std::unordered_map<const void*, WipeCopy[2]>& wipeCopies() {
  static std::unordered_map<const void*, WipeCopy[2]> copies;
  return copies;
}

bool gOwnPixelPaths = true;

// Made again where the image changed since the copy was made: all of it, or only the
// rectangle its writers noted (a character typed into a text surface).
const ImageCopy& premultipliedCopy(const LbImageObject& image) {
  ImageCopy& copy = imageCopies(!gOwnPixelPaths)[&image];
  const size_t size = image.pixels.size();
  if (copy.version == image.version && copy.bits.size() == size && !copy.bits.empty())
    return copy;
  FrameRect part{0, 0, image.width, image.height};
  const bool sized = size == static_cast<size_t>(image.width) * image.height && size > 0;
  if (sized && copy.bits.size() == size && gOwnPixelPaths)
    part = imageChangedSince(image, copy.version);
  if (!sized || part.x0 != 0 || part.y0 != 0 || part.x1 != image.width ||
      part.y1 != image.height) {
    // Only the part: the copy stays opaque (or one colour) only if the part keeps it so.
    if (sized && copy.bits.size() == size) {
      for (int y = part.y0; y < part.y1; ++y) {
        size_t at = static_cast<size_t>(y) * image.width + part.x0;
        PremultipliedCopyInfo row = premultiplyPixels(image.pixels.data() + at,
                                                      copy.bits.data() + at, part.x1 - part.x0);
        copy.opaque &= row.opaque;
        copy.uniform &= row.uniform && image.pixels[at] == copy.straight;
      }
      copy.version = image.version;
      return copy;
    }
  }
  if (copy.bits.size() != size) {
    // Every pixel is written below, so a kept buffer of any content will do.
    keepPixels(std::move(copy.bits));
    copy.bits = takePixels(size, false);
  }
  PremultipliedCopyInfo info = premultiplyPixels(image.pixels.data(), copy.bits.data(), size);
  copy.opaque = info.opaque;
  copy.uniform = info.uniform;
  copy.colour = info.colour;
  copy.straight = size ? image.pixels[0] : 0;
  copy.version = image.version;
  return copy;
}

void lookUp(const uint8_t (&lut)[256], const uint8_t* from, uint8_t* to, int count) {
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

// The frame being composed: pixman's picture of it, its pixels, and the rectangle being
// drawn again (nothing outside it is touched).
struct FrameTarget {
  pixman_image_t* image;
  uint32_t* bits;
  FrameRect clip;
};

// x * a / 255 rounded, per channel of a premultiplied colour, as pixman multiplies a source
// by a solid mask.
uint32_t scaleColour(uint32_t colour, uint8_t a) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t t = (colour >> shift & 0xFF) * a + 0x80;
    out |= ((t + (t >> 8)) >> 8) << shift;
  }
  return out;
}

// The sprite through its wipe by the compositor's own loops: what pixman would draw with
// the source (the view, or its solid colour), the wipe's bilinear mask and the uniform alpha.
// False when the sprite is not one the loops handle.
bool drawWipedSprite(const LbSpriteObject& sprite, const DrawJob& job, const ImageCopy& copy,
                     pixman_image_t* view, int srcX, int srcY, const FrameRect& box,
                     const FrameRect& clip, uint32_t* frame) {
  const LbWipeObject& wipe = *sprite.wipe;
  WipeDraw d;
  d.wipe = &wipe;
  d.mode = sprite.wipeMode;
  Affine toMask = multiply({static_cast<double>(wipe.width) / sprite.width, 0, 0, 0,
                            static_cast<double>(wipe.height) / sprite.height, 0},
                           job.boxToLocal);
  if (toMask.b != 0 || toMask.d != 0) return false;
  d.toMask[0] = toMask.a;
  d.toMask[1] = toMask.c;
  d.toMask[2] = toMask.e;
  d.toMask[3] = toMask.f;
  d.boxX = box.x0;
  d.boxY = box.y0;
  d.boxWidth = box.x1 - box.x0;
  d.boxHeight = box.y1 - box.y0;
  d.clipX = clip.x0;
  d.clipY = clip.y0;
  d.clipWidth = clip.x1 - clip.x0;
  d.clipHeight = clip.y1 - clip.y0;
  d.alpha = unitToByte(sprite.corners[0].a);
  d.add = sprite.blend == kBlendAdd;
  d.opaque = copy.opaque;
  // A one-colour picture stays one colour however it is stretched (the edges repeat it).
  static std::vector<uint32_t> scaled;
  if (copy.uniform) {
    d.solid = copy.colour;
  } else if (job.identity) {
    // A plain copy reads the view (srcX, srcY) on from the box's corner.
    d.source = copy.bits.data() +
               static_cast<size_t>(job.viewY + srcY + clip.y0 - box.y0) * sprite.image->width +
               job.viewX + srcX + (clip.x0 - box.x0);
    d.sourceStride = static_cast<size_t>(sprite.image->width);
  } else {
    // The stretched picture is sampled by pixman into the clip's pixels first.
    scaled.resize(static_cast<size_t>(d.clipWidth) * d.clipHeight);
    PixmanImage into(pixman_image_create_bits(PIXMAN_a8r8g8b8, d.clipWidth, d.clipHeight,
                                              scaled.data(), d.clipWidth * 4));
    if (!into) return false;
    pixman_image_composite32(PIXMAN_OP_SRC, view, nullptr, into.get(), clip.x0 - box.x0,
                             clip.y0 - box.y0, 0, 0, 0, 0, d.clipWidth, d.clipHeight);
    d.source = scaled.data();
    d.sourceStride = static_cast<size_t>(d.clipWidth);
  }
  return drawThroughWipe(d, frame);
}

bool drawSprite(const LbSpriteObject& sprite, const FrameTarget& target) {
  const LbImageObject& image = *sprite.image;
  const SpriteCorner* c = sprite.corners;
  if (c[0].a == 0 && c[1].a == 0 && c[2].a == 0 && c[3].a == 0) return true;
  if (sprite.wipe && sprite.wipeMode == 1 && sprite.wipe->level <= 0.0f) return true;
  if (sprite.wipe && sprite.wipeMode == 0 && sprite.wipe->level >= 1.0f) return true;

  DrawJob job;
  if (!planDraw(sprite, image, &job)) return true;
  const FrameRect box{job.boxX, job.boxY, job.boxX + job.boxWidth, job.boxY + job.boxHeight};
  const FrameRect clip = intersect(box, target.clip);
  if (clip.empty()) return true;
  // Where the clip starts within the box: sources and masks are read that far in.
  const int inX = clip.x0 - box.x0, inY = clip.y0 - box.y0;
  const int clipWidth = clip.x1 - clip.x0, clipHeight = clip.y1 - clip.y0;

  // A wholly transparent picture leaves the frame as it is, however it is drawn. One last
  // filled with a transparent colour (a text surface cleared) is known so without a copy.
  if (gOwnPixelPaths && image.filledVersion == image.version && image.filledColour >> 24 == 0)
    return true;
  const ImageCopy& copy = premultipliedCopy(image);
  if (gOwnPixelPaths && copy.uniform && copy.colour == 0) return true;
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

  if (gOwnPixelPaths && sprite.wipe && uniformAlpha && !tinted && job.axisAligned &&
      drawWipedSprite(sprite, job, copy, view.get(), srcX, srcY, box, clip, target.bits))
    return true;

  // A one-colour picture stretched along the axes is that colour at every pixel it covers:
  // a solid fill, with a uniform alpha folded into the colour.
  if (gOwnPixelPaths && copy.uniform && job.axisAligned && !tinted && !sprite.wipe) {
    uint32_t colour = copy.colour;
    if (uniformAlpha && c[0].a < 1.0f) colour = scaleColour(colour, unitToByte(c[0].a));
    pixman_color_t solid{static_cast<uint16_t>((colour >> 16 & 0xFF) * 257),
                         static_cast<uint16_t>((colour >> 8 & 0xFF) * 257),
                         static_cast<uint16_t>((colour & 0xFF) * 257),
                         static_cast<uint16_t>((colour >> 24) * 257)};
    view.reset(pixman_image_create_solid_fill(&solid));
    if (!view) return false;
    if (uniformAlpha) {
      pixman_image_composite32(sprite.blend == kBlendAdd ? PIXMAN_OP_ADD : PIXMAN_OP_OVER,
                               view.get(), nullptr, target.image, 0, 0, 0, 0, clip.x0, clip.y0,
                               clipWidth, clipHeight);
      return true;
    }
  }

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
  // Masks are read in box coordinates, so the clip reads them from (inX, inY) on.
  int maskX = inX, maskY = inY;
  pixman_image_t* mask = alphaMask ? alphaMask.get() : wipeImage.get();
  if (alphaMask && wipeImage) {
    combined.reset(pixman_image_create_bits(PIXMAN_a8, clipWidth, clipHeight, nullptr, 0));
    if (!combined) return false;
    pixman_image_composite32(PIXMAN_OP_SRC, wipeImage.get(), nullptr, combined.get(), inX, inY,
                             0, 0, 0, 0, clipWidth, clipHeight);
    pixman_image_composite32(PIXMAN_OP_IN, alphaMask.get(), nullptr, combined.get(), inX, inY,
                             0, 0, 0, 0, clipWidth, clipHeight);
    mask = combined.get();
    maskX = maskY = 0;
  }

  pixman_op_t op = sprite.blend == kBlendAdd ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
  if (!tinted) {
    pixman_image_composite32(op, view.get(), mask, target.image, srcX + inX, srcY + inY, maskX,
                             maskY, clip.x0, clip.y0, clipWidth, clipHeight);
    return true;
  }
  // Corner colours multiply each channel: the tinted sprite is drawn into the clip first
  // (component-alpha mask), then blended like any other.
  PixmanImage tint = cornerImage(sprite.corners, true, tintBits, job.boxToLocal, sprite);
  PixmanImage tintedBox(
      pixman_image_create_bits(PIXMAN_a8r8g8b8, clipWidth, clipHeight, nullptr, 0));
  if (!tint || !tintedBox) return false;
  pixman_image_composite32(PIXMAN_OP_SRC, view.get(), tint.get(), tintedBox.get(), srcX + inX,
                           srcY + inY, inX, inY, 0, 0, clipWidth, clipHeight);
  pixman_image_composite32(op, tintedBox.get(), mask, target.image, 0, 0, maskX, maskY, clip.x0,
                           clip.y0, clipWidth, clipHeight);
  return true;
}

// Whether the sprite alone paints every pixel of the rectangle with its own opaque pixels
// (an opaque picture along the axes, over and unmasked), so nothing under it shows there.
bool coversOpaquely(const LbSpriteObject& sprite, const FrameRect& rect) {
  if (sprite.wipe || sprite.blend != kBlendAlpha) return false;
  for (const SpriteCorner& c : sprite.corners)
    if (c.r != 1 || c.g != 1 || c.b != 1 || c.a != 1) return false;
  DrawJob job;
  if (!planDraw(sprite, *sprite.image, &job) || !job.axisAligned) return false;
  if (!job.identity) {
    // A stretched picture must be drawable at all (not squeezed below a pixel).
    if (!fitsFixedPoint(multiply(job.localToView, job.boxToLocal))) return false;
  }
  FrameRect box{job.boxX, job.boxY, job.boxX + job.boxWidth, job.boxY + job.boxHeight};
  return box.x0 <= rect.x0 && box.y0 <= rect.y0 && box.x1 >= rect.x1 && box.y1 >= rect.y1 &&
         premultipliedCopy(*sprite.image).opaque;
}

// The frame pixels through which the sprite shows a rectangle of its image: exactly, for a
// plain copy; for a stretched one, with room for the filter's reach; its whole box when it
// is turned.
FrameRect showingPart(const LbSpriteObject& sprite, const FrameRect& part, const FrameRect& box) {
  DrawJob job;
  if (part.empty() || !planDraw(sprite, *sprite.image, &job)) return {};
  if (!job.axisAligned) return box;
  if (job.identity) {
    const int dx = -(job.viewX + static_cast<int>(job.frameToLocal.c + job.localToView.c));
    const int dy = -(job.viewY + static_cast<int>(job.frameToLocal.f + job.localToView.f));
    return intersect({part.x0 + dx, part.y0 + dy, part.x1 + dx, part.y1 + dy}, box);
  }
  SpritePlacement place = placeSprite(sprite);
  double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
  for (int x : {part.x0, part.x1})
    for (int y : {part.y0, part.y1}) {
      double u = (x - job.viewX - job.localToView.c) / job.localToView.a;
      double v = (y - job.viewY - job.localToView.f) / job.localToView.e;
      double fx = place.m[0] * u + place.m[2], fy = place.m[4] * v + place.m[5];
      minX = std::min(minX, fx);
      maxX = std::max(maxX, fx);
      minY = std::min(minY, fy);
      maxY = std::max(maxY, fy);
    }
  if (!(maxX > -1e6 && maxY > -1e6 && minX < 1e6 && minY < 1e6)) return box;
  return intersect({static_cast<int>(std::floor(minX)) - 2, static_cast<int>(std::floor(minY)) - 2,
                    static_cast<int>(std::ceil(maxX)) + 2, static_cast<int>(std::ceil(maxY)) + 2},
                   box);
}

// Where the sprite may draw: its box, or nothing.
FrameRect boxOf(const LbSpriteObject& sprite) {
  DrawJob job;
  if (!planDraw(sprite, *sprite.image, &job)) return {};
  return {job.boxX, job.boxY, job.boxX + job.boxWidth, job.boxY + job.boxHeight};
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

// What the last composed frame showed (each sprite's key and the box it could draw in), and
// the destroyed objects count at that time: an image or wipe destroyed since may have left
// its address to a new one.
struct LastComposition {
  const uint32_t* frame = nullptr;
  uint64_t destroyed = 0;
  std::vector<SpriteKey> keys;
  std::vector<FrameRect> boxes;
};

LastComposition& lastComposition() {
  static LastComposition last;
  return last;
}

uint64_t gDestroyed = 0;

// The pixels that differ between the last composition and one of these sprites: the old and
// the new box of every sprite that came, went or changed. Sprites that stayed as they were
// keep their place among each other, since their levels and creation order are in the keys.
FrameRect changedPixels(const LastComposition& last, const std::vector<SpriteKey>& keys,
                        const std::vector<FrameRect>& boxes) {
  std::unordered_map<LbSprite, size_t> before;
  before.reserve(last.keys.size());
  for (size_t i = 0; i < last.keys.size(); ++i) before.emplace(last.keys[i].sprite, i);
  std::vector<char> kept(last.keys.size(), 0);
  FrameRect changed;
  for (size_t i = 0; i < keys.size(); ++i) {
    auto it = before.find(keys[i].sprite);
    if (it != before.end() && last.keys[it->second].serial == keys[i].serial) {
      kept[it->second] = 1;
      SpriteKey old = last.keys[it->second];
      if (old == keys[i]) continue;
      const uint64_t oldVersion = old.imageVersion;
      old.imageVersion = keys[i].imageVersion;
      if (old == keys[i]) {
        // Only the picture changed, maybe only a small part of it.
        const LbSpriteObject& sprite = *keys[i].sprite;
        changed = unite(changed, showingPart(sprite, imageChangedSince(*sprite.image, oldVersion),
                                             boxes[i]));
        continue;
      }
      changed = unite(changed, last.boxes[it->second]);
    }
    changed = unite(changed, boxes[i]);
  }
  for (size_t i = 0; i < last.keys.size(); ++i)
    if (!kept[i]) changed = unite(changed, last.boxes[i]);
  return intersect(changed, FrameRect::whole());
}

}  // namespace

FrameRect unite(const FrameRect& a, const FrameRect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

FrameRect intersect(const FrameRect& a, const FrameRect& b) {
  FrameRect r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1),
              std::min(a.y1, b.y1)};
  return r.empty() ? FrameRect{} : r;
}

void useOwnPixelPaths(bool on) { gOwnPixelPaths = on; }

namespace {

// The sprites at the bottom of the order that stay as they are while those above them move
// (the scene under a fade, a wipe or a line being typed), composed once on their own, so
// that a frame starts from a copy of them instead of drawing them again.
struct Underlay {
  std::vector<uint32_t> pixels;
  std::vector<SpriteKey> keys;  // the sprites composed into it, bottom first
  uint64_t destroyed = 0;
  bool valid = false;
  size_t lastPrefix = 0;  // how many bottom sprites the frame before left as they were
};

Underlay& underlay() {
  static Underlay kept;
  return kept;
}

// Draws sprites from..to of the order within the target's clip: from the topmost of them
// that hides everything below it there, else over `below` (a frame to copy the clip from)
// or black.
bool drawRange(const std::vector<LbSprite>& order, size_t from, size_t to,
               const FrameTarget& target, const uint32_t* below) {
  const FrameRect& clip = target.clip;
  size_t first = to;
  while (first > from && !coversOpaquely(*order[first - 1], clip)) --first;
  if (first > from) {
    --first;
  } else {
    for (int y = clip.y0; y < clip.y1; ++y) {
      uint32_t* row = target.bits + static_cast<size_t>(y) * kFrameWidth;
      if (below)
        std::copy(below + (row - target.bits) + clip.x0, below + (row - target.bits) + clip.x1,
                  row + clip.x0);
      else
        std::fill(row + clip.x0, row + clip.x1, 0xFF000000u);
    }
  }
  for (size_t i = first; i < to; ++i)
    if (!drawSprite(*order[i], target)) return false;
  return true;
}

// How many sprites at the bottom of both orders are the same, in the same places.
size_t samePrefix(const std::vector<SpriteKey>& a, const std::vector<SpriteKey>& b) {
  size_t n = 0;
  while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
  return n;
}

// The underlay that holds the bottom sprites of `keys` up to `prefix` of them, made again
// when the same bottom sprites stood still for two frames running and more of them than the
// underlay holds would be saved; null when there is none to use.
const Underlay* underlayFor(const std::vector<LbSprite>& order,
                            const std::vector<SpriteKey>& keys, size_t prefix) {
  Underlay& u = underlay();
  const bool steady = prefix == u.lastPrefix;
  u.lastPrefix = prefix;
  bool usable = u.valid && u.destroyed == gDestroyed && u.keys.size() <= prefix &&
                std::equal(u.keys.begin(), u.keys.end(), keys.begin());
  if (usable && u.keys.size() == prefix) return &u;
  if (!steady || prefix < 2) return usable ? &u : nullptr;
  u.valid = false;
  u.pixels.resize(static_cast<size_t>(kFrameWidth) * kFrameHeight);
  PixmanImage image(pixman_image_create_bits(PIXMAN_a8r8g8b8, kFrameWidth, kFrameHeight,
                                             u.pixels.data(), kFrameWidth * 4));
  if (!image) return nullptr;
  if (!drawRange(order, 0, prefix, {image.get(), u.pixels.data(), FrameRect::whole()}, nullptr))
    return nullptr;
  u.keys.assign(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(prefix));
  u.destroyed = gDestroyed;
  u.valid = true;
  return &u;
}

}  // namespace

bool composeFrame(uint32_t* frame, FrameRect* changed) {
  if (changed) *changed = {};
  std::vector<LbSprite> order = drawOrder();
  LastComposition& last = lastComposition();
  if (!gOwnPixelPaths) {
    // The reference: every sprite drawn by pixman on black, the whole frame, leaving what
    // the compositor knows of its own frames alone (unless this is one of them).
    if (last.frame == frame) last.frame = nullptr;
    PixmanImage image(pixman_image_create_bits(PIXMAN_a8r8g8b8, kFrameWidth, kFrameHeight,
                                               frame, kFrameWidth * 4));
    if (!image) return false;
    std::fill(frame, frame + static_cast<size_t>(kFrameWidth) * kFrameHeight, 0xFF000000u);
    const FrameTarget target{image.get(), frame, FrameRect::whole()};
    for (LbSprite sprite : order)
      if (!drawSprite(*sprite, target)) return false;
    if (changed) *changed = FrameRect::whole();
    return true;
  }
  std::vector<SpriteKey> keys;
  keys.reserve(order.size());
  for (LbSprite sprite : order) keys.push_back(keyOf(sprite));
  const bool known = last.frame == frame && last.destroyed == gDestroyed;
  if (known && last.keys == keys) return true;
  std::vector<FrameRect> boxes;
  boxes.reserve(order.size());
  for (LbSprite sprite : order) boxes.push_back(boxOf(*sprite));
  const FrameRect redraw = known ? changedPixels(last, keys, boxes) : FrameRect::whole();
  const Underlay* below =
      known ? underlayFor(order, keys, samePrefix(last.keys, keys)) : nullptr;
  last.frame = nullptr;  // a failed composition leaves the frame unknown

  if (!redraw.empty()) {
    PixmanImage image(pixman_image_create_bits(PIXMAN_a8r8g8b8, kFrameWidth, kFrameHeight,
                                               frame, kFrameWidth * 4));
    if (!image) return false;
    const FrameTarget target{image.get(), frame, redraw};
    const size_t from = below ? below->keys.size() : 0;
    if (!drawRange(order, from, order.size(), target, below ? below->pixels.data() : nullptr))
      return false;
  }
  last.frame = frame;
  last.destroyed = gDestroyed;
  last.keys = std::move(keys);
  last.boxes = std::move(boxes);
  if (changed) *changed = redraw;
  return true;
}

void dropCompositorCopies(const void* imageOrWipe) {
  ++gDestroyed;
  for (bool reference : {false, true}) {
    auto& copies = imageCopies(reference);
    auto at = copies.find(imageOrWipe);
    if (at == copies.end()) continue;
    keepPixels(std::move(at->second.bits));
    copies.erase(at);
  }
  wipeCopies().erase(imageOrWipe);
  dropWipeSamplings(imageOrWipe);
}
