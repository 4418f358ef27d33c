/*
 * The pixel loops the compositor runs itself rather than through pixman: premultiplied
 * copies of images, and sprites blended through a per-pixel coverage (wipes). SSE2 where the
 * processor has it, the same arithmetic a pixel at a time elsewhere; both round exactly as
 * pixman does, so a frame is the same whichever draws it.
 */
#ifndef ORVANE_RUNTIME_PIXELS_H
#define ORVANE_RUNTIME_PIXELS_H

#include <cstddef>
#include <cstdint>

// ---- filling ----

// Sets `count` pixels to `colour` (a memset where its four bytes are the same).
void fillPixels(uint32_t* to, size_t count, uint32_t colour);

// ---- glyphs ----

// Raises each pixel's alpha to the glyph's coverage where that is higher, leaving its colour:
// a character drawn into a text surface.
void raiseAlpha(uint32_t* to, const uint8_t* coverage, size_t count);

// ---- premultiplied copies ----

struct PremultipliedCopyInfo {
  bool opaque = false;   // every pixel has alpha 255
  bool uniform = false;  // every pixel is the same: the picture is one colour
  uint32_t colour = 0;   // that colour, premultiplied, when uniform
};

// Straight alpha to premultiplied, c * a / 255 rounded; says what the copy turned out to be.
PremultipliedCopyInfo premultiplyPixels(const uint32_t* from, uint32_t* to, size_t count);

// ---- coverage of a wipe at one level ----

// A wipe's coverage of every grey level at one level, and the same as a ramp the vector loops
// can compute: coverage = clamp(base - 8 * grey, 0, 255), turned round (255 - it) for a wipe
// that conceals. Where float rounding makes the exact coverage step off that ramp (levels
// such as 0.5 sit on a rounding tie), the grey levels from irregularLow to irregularHigh are
// looked up in the table instead.
struct CoverageRamp {
  uint8_t table[256];
  int base = 0;
  bool conceal = false;
  bool irregular = false;
  uint8_t irregularLow = 0, irregularHigh = 0;
};

// Builds the ramp from a table of exact coverages (the slope is the wipe's soft edge: eight
// coverage steps per grey level).
void makeCoverageRamp(const uint8_t (&table)[256], bool conceal, CoverageRamp* ramp);

// One row of coverage interpolated across, in 7-bit fixed point as pixman's bilinear filter
// weighs: out[i] = c(left[i]) * (128 - dx[i]) + c(right[i]) * dx[i], c the ramp's coverage.
// Without right (no column falls between two mask pixels) out[i] = c(left[i]) * 128.
void coverageAcross(const CoverageRamp& ramp, const uint8_t* left, const uint8_t* right,
                    const uint8_t* dx, uint16_t* out, int count);

// Blends one row of premultiplied source pixels (or the one colour `solid` when source is
// null) over `dest` (or adds them, with `add`) through the coverage interpolated down
// between two rows from coverageAcross: (top[i] * (128 - dy) + bottom[i] * dy) >> 14,
// multiplied by `alpha` (255: none). `opaque` says every source pixel has alpha 255.
struct CoverageBlend {
  const uint16_t* top;
  const uint16_t* bottom;
  int dy;
  uint8_t alpha;
  const uint32_t* source;
  uint32_t solid;
  bool opaque;
  bool add;
};
void blendThroughCoverage(const CoverageBlend& blend, uint32_t* dest, int count);

// The same loops a pixel at a time: what runs without SSE2, and what the tests hold the
// vector loops to.
void coverageAcrossScalar(const CoverageRamp& ramp, const uint8_t* left, const uint8_t* right,
                          const uint8_t* dx, uint16_t* out, int count);
void blendThroughCoverageScalar(const CoverageBlend& blend, uint32_t* dest, int count);

#endif  // ORVANE_RUNTIME_PIXELS_H
