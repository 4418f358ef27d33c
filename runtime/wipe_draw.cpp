/*
 * Sprites drawn through a wipe mask in one pass per row: the mask's sampling over a sprite's
 * box is worked out once per mask and box (where each column and row reads the mask, and
 * with what bilinear weight, to pixman's fixed-point rules), and each step of the sweep only
 * turns grey levels into coverage and blends.
 */
#include "compositor.h"
#include "pixels.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <list>

namespace {

// Where one output column (or row) reads the mask: the two mask pixels either side of its
// sample point, clamped into the mask as pixman's pad repeat does, and the weight of the
// second in 1/128ths.
struct Taps {
  std::vector<int> first, second;
  std::vector<uint8_t> weight;
  bool fractional = false;  // some sample falls between two mask pixels
};

// pixman samples the pixel centre (i + 1/2) through the transform, rounding the half
// pixel's product once, then steps by the scale; the sample's integer part and top seven
// fraction bits below the half-pixel shift pick the taps and the weight.
Taps sampleTaps(pixman_fixed_t scale, pixman_fixed_t offset, int count, int size) {
  Taps taps;
  taps.first.resize(count);
  taps.second.resize(count);
  taps.weight.resize(count);
  const int64_t start = int64_t{offset} + ((int64_t{scale} * 0x8000 + 0x8000) >> 16);
  for (int i = 0; i < count; ++i) {
    int64_t at = start + int64_t{scale} * i - 0x8000;
    int64_t pixel = at >> 16;  // floor, as pixman's fixed-to-int shift
    taps.weight[i] = static_cast<uint8_t>((at >> 9) & 0x7F);
    taps.first[i] = static_cast<int>(std::clamp<int64_t>(pixel, 0, size - 1));
    taps.second[i] = static_cast<int>(std::clamp<int64_t>(pixel + 1, 0, size - 1));
    taps.fractional |= taps.weight[i] != 0;
  }
  return taps;
}

// A mask's sampling over one box: the taps, and the mask's grey levels gathered at the
// box's columns for every mask row the box reads.
struct WipeSampling {
  const LbWipeObject* wipe = nullptr;
  pixman_fixed_t scaleX = 0, offsetX = 0, scaleY = 0, offsetY = 0;
  int boxWidth = 0, boxHeight = 0;
  Taps across, down;
  int firstRow = 0, lastRow = -1;
  std::vector<uint8_t> greyFirst, greySecond;  // (lastRow - firstRow + 1) rows of boxWidth

  bool matches(const LbWipeObject* w, const pixman_fixed_t (&t)[4], int bw, int bh) const {
    return wipe == w && scaleX == t[0] && offsetX == t[1] && scaleY == t[2] &&
           offsetY == t[3] && boxWidth == bw && boxHeight == bh;
  }
};

// A few samplings are kept: the sprites of one sweep share a mask, mostly at one size.
constexpr size_t kKeptSamplings = 4;

// Never destroyed: a wipe may be destroyed by a shutdown that runs while the program's
// static objects are going.
std::list<WipeSampling>& samplings() {
  static auto* kept = new std::list<WipeSampling>;
  return *kept;
}

const WipeSampling& samplingFor(const LbWipeObject& wipe, const pixman_fixed_t (&t)[4],
                                int boxWidth, int boxHeight) {
  std::list<WipeSampling>& kept = samplings();
  for (auto it = kept.begin(); it != kept.end(); ++it)
    if (it->matches(&wipe, t, boxWidth, boxHeight)) {
      kept.splice(kept.begin(), kept, it);  // most recently used first
      return kept.front();
    }
  if (kept.size() >= kKeptSamplings) kept.pop_back();
  WipeSampling& s = kept.emplace_front();
  s.wipe = &wipe;
  s.scaleX = t[0];
  s.offsetX = t[1];
  s.scaleY = t[2];
  s.offsetY = t[3];
  s.boxWidth = boxWidth;
  s.boxHeight = boxHeight;
  s.across = sampleTaps(t[0], t[1], boxWidth, wipe.width);
  s.down = sampleTaps(t[2], t[3], boxHeight, wipe.height);
  auto [low, high] = std::minmax_element(s.down.first.begin(), s.down.first.end());
  s.firstRow = std::min(*low, *std::min_element(s.down.second.begin(), s.down.second.end()));
  s.lastRow = std::max(*high, *std::max_element(s.down.second.begin(), s.down.second.end()));
  const size_t rows = static_cast<size_t>(s.lastRow - s.firstRow + 1);
  s.greyFirst.resize(rows * boxWidth);
  if (s.across.fractional) s.greySecond.resize(rows * boxWidth);
  for (size_t r = 0; r < rows; ++r) {
    const uint8_t* grey = wipe.grey.data() + (s.firstRow + r) * wipe.width;
    uint8_t* first = s.greyFirst.data() + r * boxWidth;
    for (int i = 0; i < boxWidth; ++i) first[i] = grey[s.across.first[i]];
    if (!s.across.fractional) continue;
    uint8_t* second = s.greySecond.data() + r * boxWidth;
    for (int i = 0; i < boxWidth; ++i) second[i] = grey[s.across.second[i]];
  }
  return s;
}

// The wipe's coverage at its level, per mode, made again only when the level moves.
struct RampCopy {
  const LbWipeObject* wipe = nullptr;
  uint64_t version = 0;
  int mode = 0;
  CoverageRamp ramp;
};

RampCopy (&rampCopies())[2] {
  static RampCopy copies[2];
  return copies;
}

const CoverageRamp& rampFor(const LbWipeObject& wipe, int mode) {
  RampCopy& copy = rampCopies()[mode == 1 ? 1 : 0];
  if (copy.wipe != &wipe || copy.version != wipe.version || copy.mode != mode) {
    uint8_t table[256];
    for (int g = 0; g < 256; ++g) table[g] = wipeCoverage(static_cast<uint8_t>(g), wipe.level, mode);
    makeCoverageRamp(table, mode != 1, &copy.ramp);
    copy.wipe = &wipe;
    copy.version = wipe.version;
    copy.mode = mode;
  }
  return copy.ramp;
}

// Scales and offsets past these would leave pixman's 16.16 fixed point wrapping on the way
// across a frame; such masks are left to pixman.
bool withinReach(const pixman_fixed_t (&t)[4]) {
  constexpr int64_t kScale = int64_t{256} << 16, kOffset = int64_t{8192} << 16;
  return std::llabs(t[0]) <= kScale && std::llabs(t[2]) <= kScale &&
         std::llabs(t[1]) <= kOffset && std::llabs(t[3]) <= kOffset;
}

}  // namespace

bool drawThroughWipe(const WipeDraw& d, uint32_t* frame) {
  const LbWipeObject& wipe = *d.wipe;
  if (wipe.width <= 0 || wipe.height <= 0) return false;
  const pixman_fixed_t t[4] = {pixman_double_to_fixed(d.toMask[0]),
                               pixman_double_to_fixed(d.toMask[1]),
                               pixman_double_to_fixed(d.toMask[2]),
                               pixman_double_to_fixed(d.toMask[3])};
  if (!withinReach(t)) return false;
  const WipeSampling& s = samplingFor(wipe, t, d.boxWidth, d.boxHeight);
  const CoverageRamp& ramp = rampFor(wipe, d.mode);

  // The clip in box coordinates; coverage rows across are made when a box row first needs
  // them.
  const int i0 = d.clipX - d.boxX, j0 = d.clipY - d.boxY;
  const int width = d.clipWidth;
  static std::vector<uint16_t> across;
  static std::vector<char> made;
  const size_t rows = static_cast<size_t>(s.lastRow - s.firstRow + 1);
  across.resize(rows * width);
  made.assign(rows, 0);
  auto acrossRow = [&](int maskRow) {
    size_t r = static_cast<size_t>(maskRow - s.firstRow);
    uint16_t* out = across.data() + r * width;
    if (!made[r]) {
      coverageAcross(ramp, s.greyFirst.data() + r * s.boxWidth + i0,
                     s.across.fractional ? s.greySecond.data() + r * s.boxWidth + i0 : nullptr,
                     s.across.weight.data() + i0, out, width);
      made[r] = 1;
    }
    return out;
  };

  for (int row = 0; row < d.clipHeight; ++row) {
    const int j = j0 + row;
    CoverageBlend blend;
    blend.top = acrossRow(s.down.first[j]);
    blend.dy = s.down.weight[j];
    blend.bottom = blend.dy ? acrossRow(s.down.second[j]) : blend.top;
    blend.alpha = d.alpha;
    blend.source = d.source ? d.source + static_cast<size_t>(row) * d.sourceStride : nullptr;
    blend.solid = d.solid;
    blend.opaque = d.opaque;
    blend.add = d.add;
    blendThroughCoverage(blend, frame + static_cast<size_t>(d.clipY + row) * kFrameWidth + d.clipX,
                         width);
  }
  return true;
}

void dropWipeSamplings(const void* wipe) {
  samplings().remove_if([wipe](const WipeSampling& s) { return s.wipe == wipe; });
  for (RampCopy& copy : rampCopies())
    if (copy.wipe == wipe) copy = RampCopy{};
}
