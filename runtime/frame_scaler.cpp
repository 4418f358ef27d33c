/*
 * The frame stretched into a window's pixels in two passes: each frame row the output reads
 * is stretched across once, then each output row blends the two stretched rows around it.
 * Blends take seven-bit weights in sixteen-bit lanes, the same arithmetic in the vector
 * loops and the scalar ones, so the result does not depend on which ran.
 */
#include "frame_scaler.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SCALER_AVX2 1
#endif

std::vector<ScaleTap> scaleTaps(int frameSize, int outSize, bool smooth) {
  std::vector<ScaleTap> taps(static_cast<size_t>(std::max(outSize, 0)));
  const int64_t last = frameSize - 1;
  for (int x = 0; x < outSize; ++x) {
    // The output pixel's centre in frame pixels, in 128ths, from the first frame pixel's
    // centre (smooth) or its left edge (nearest).
    const int64_t centre = (2 * int64_t(x) + 1) * frameSize * 128 / (2 * int64_t(outSize));
    int64_t at = smooth ? std::clamp<int64_t>(centre - 64, 0, last * 128)
                        : std::min<int64_t>(centre / 128, last) * 128;
    int index = static_cast<int>(at >> 7), weight = static_cast<int>(at & 127);
    if (index == last) {  // the last pixel alone: read as all of the pair's second
      index = static_cast<int>(last - 1);
      weight = 128;
    }
    taps[size_t(x)] = {index, weight};
  }
  return taps;
}

void FrameScaler::configure(const Viewport& place, bool smooth) {
  place_ = place;
  columns_ = scaleTaps(kFrameWidth, place.w, smooth);
  rows_ = scaleTaps(kFrameHeight, place.h, smooth);
  ownRow_.assign(kFrameHeight, -1);
  for (int y = 0; y < place.h; ++y) {
    const ScaleTap& t = rows_[size_t(y)];
    if (t.weight == 0 || t.weight == 128) ownRow_[size_t(t.index + (t.weight ? 1 : 0))] = y;
  }
  columnWeights_.clear();
  for (const ScaleTap& t : columns_)
    columnWeights_.insert(columnWeights_.end(), 4, int16_t(t.weight));
}

namespace {

// The output pixels whose taps read any frame pixel in [from, to), as [first, end).
void tapsReaching(const std::vector<ScaleTap>& taps, int from, int to, int& first, int& end) {
  auto begin = taps.begin();
  first = int(std::partition_point(begin, taps.end(), [&](const ScaleTap& t) {
                return t.index + 1 < from;
              }) - begin);
  end = int(std::partition_point(begin, taps.end(), [&](const ScaleTap& t) {
              return t.index < to;
            }) - begin);
}

inline uint32_t blend(uint32_t a, uint32_t b, int weight) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    int ca = int(a >> shift & 0xFF), cb = int(b >> shift & 0xFF);
    out |= uint32_t(ca + (((cb - ca) * weight) >> 7)) << shift;
  }
  return out;
}

#if defined(__SSE2__)
// Two pixels in sixteen-bit lanes: a + (b - a) * weight / 128, weights per lane.
inline __m128i blend2(__m128i a, __m128i b, __m128i weights) {
  return _mm_add_epi16(a, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(b, a), weights), 7));
}

// Two output pixels of a stretched row, each from its pair of frame pixels.
inline __m128i stretch2(const uint32_t* row, const ScaleTap* taps, const int16_t* weights) {
  __m128i pairs = _mm_unpacklo_epi64(
      _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + taps[0].index)),
      _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + taps[1].index)));
  pairs = _mm_shuffle_epi32(pairs, _MM_SHUFFLE(3, 1, 2, 0));  // firsts, then seconds
  const __m128i zero = _mm_setzero_si128();
  return blend2(_mm_unpacklo_epi8(pairs, zero), _mm_unpackhi_epi8(pairs, zero),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights)));
}
#endif

#if SCALER_AVX2
bool gWide = __builtin_cpu_supports("avx2");

#define AVX2 __attribute__((target("avx2")))

AVX2 inline __m256i blend4(__m256i a, __m256i b, __m256i weights) {
  const __m256i step = _mm256_mullo_epi16(_mm256_sub_epi16(b, a), weights);
  return _mm256_add_epi16(a, _mm256_srai_epi16(step, 7));
}

// Four output pixels of a stretched row, in sixteen-bit lanes: two to each half.
AVX2 inline __m256i stretch4(const uint32_t* row, const ScaleTap* taps, const int16_t* weights) {
  auto pairs = [&](int n) {
    return _mm_unpacklo_epi64(
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + taps[n].index)),
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + taps[n + 1].index)));
  };
  __m256i p = _mm256_set_m128i(pairs(2), pairs(0));
  p = _mm256_shuffle_epi32(p, _MM_SHUFFLE(3, 1, 2, 0));  // firsts, then seconds, per half
  const __m256i zero = _mm256_setzero_si256();
  return blend4(_mm256_unpacklo_epi8(p, zero), _mm256_unpackhi_epi8(p, zero),
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights)));
}

AVX2 int stretchRowWide(const uint32_t* row, const ScaleTap* taps, const int16_t* weights,
                        uint32_t* out, int count) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    // Packing works within halves: pixels 0 1 4 5 | 2 3 6 7, put back in order.
    __m256i packed = _mm256_packus_epi16(stretch4(row, taps + i, weights + 4 * i),
                                         stretch4(row, taps + i + 4, weights + 4 * (i + 4)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        _mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0)));
  }
  return i;
}

AVX2 int blendRowsWide(const uint32_t* a, const uint32_t* b, int weight, uint32_t* out,
                       int count) {
  const __m256i zero = _mm256_setzero_si256(), weights = _mm256_set1_epi16(int16_t(weight));
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i pa = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
    __m256i pb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
    __m256i low =
        blend4(_mm256_unpacklo_epi8(pa, zero), _mm256_unpacklo_epi8(pb, zero), weights);
    __m256i high =
        blend4(_mm256_unpackhi_epi8(pa, zero), _mm256_unpackhi_epi8(pb, zero), weights);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(low, high));
  }
  return i;
}
#endif

}  // namespace

bool useWideVectors(bool wanted) {
#if SCALER_AVX2
  gWide = wanted && __builtin_cpu_supports("avx2");
  return gWide;
#else
  (void)wanted;
  return false;
#endif
}

void stretchRowScalar(const uint32_t* row, const ScaleTap* taps, uint32_t* out, int count) {
  for (int i = 0; i < count; ++i)
    out[i] = blend(row[taps[i].index], row[taps[i].index + 1], taps[i].weight);
}

void stretchRow(const uint32_t* row, const ScaleTap* taps, const int16_t* weights,
                uint32_t* out, int count) {
  int i = 0;
#if SCALER_AVX2
  if (gWide) i = stretchRowWide(row, taps, weights, out, count);
#endif
#if defined(__SSE2__)
  for (; i + 4 <= count; i += 4) {
    __m128i firstTwo = stretch2(row, taps + i, weights + 4 * i);
    __m128i lastTwo = stretch2(row, taps + i + 2, weights + 4 * (i + 2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(firstTwo, lastTwo));
  }
#else
  (void)weights;
#endif
  stretchRowScalar(row, taps + i, out + i, count - i);
}

void blendRowsScalar(const uint32_t* a, const uint32_t* b, int weight, uint32_t* out,
                     int count) {
  for (int i = 0; i < count; ++i) out[i] = blend(a[i], b[i], weight);
}

void blendRows(const uint32_t* a, const uint32_t* b, int weight, uint32_t* out, int count) {
  int i = 0;
#if SCALER_AVX2
  if (gWide) i = blendRowsWide(a, b, weight, out, count);
#endif
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), weights = _mm_set1_epi16(int16_t(weight));
  for (; i + 4 <= count; i += 4) {
    __m128i pa = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    __m128i pb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    __m128i low = blend2(_mm_unpacklo_epi8(pa, zero), _mm_unpacklo_epi8(pb, zero), weights);
    __m128i high = blend2(_mm_unpackhi_epi8(pa, zero), _mm_unpackhi_epi8(pb, zero), weights);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
  }
#endif
  blendRowsScalar(a + i, b + i, weight, out + i, count - i);
}

FrameRect FrameScaler::reach(const FrameRect& changed) const {
  FrameRect out;
  tapsReaching(columns_, changed.x0, changed.x1, out.x0, out.x1);
  tapsReaching(rows_, changed.y0, changed.y1, out.y0, out.y1);
  return out.empty() ? FrameRect{} : out;
}

const uint32_t* FrameScaler::across(const uint32_t* frame, int row, int keep) {
  // A frame row that an output row shows alone is stretched straight into that row, even
  // when a blended row above needs it first.
  const int own = ownRow_[size_t(row)];
  uint32_t* into = own >= area_.y0 && own < area_.y1
                       ? out_ + size_t(own) * size_t(pitch_) + area_.x0
                       : nullptr;
  for (int slot = 0; slot < 2; ++slot)
    if (stretchedRow_[slot] == row) return stretched_[slot];
  const int slot = stretchedRow_[0] == keep ? 1 : 0;
  stretchedRow_[slot] = row;
  stretched_[slot] = into ? into : buffers_[slot].data();
  stretchRow(frame + size_t(row) * kFrameWidth, &columns_[size_t(area_.x0)],
             &columnWeights_[size_t(area_.x0) * 4], stretched_[slot], area_.x1 - area_.x0);
  return stretched_[slot];
}

void FrameScaler::scale(const uint32_t* frame, const FrameRect& area, uint32_t* out,
                        int pitch) {
  if (area.empty()) return;
  area_ = area;
  out_ = out;
  pitch_ = pitch;
  for (int slot = 0; slot < 2; ++slot) {
    buffers_[slot].resize(size_t(area.x1 - area.x0));
    stretchedRow_[slot] = -1;
  }
  for (int y = area.y0; y < area.y1; ++y) {
    const ScaleTap& tap = rows_[size_t(y)];
    uint32_t* to = out + size_t(y) * size_t(pitch) + area.x0;
    if (tap.weight == 0 || tap.weight == 128) {
      // Shown alone: usually stretched into this very row already; else (the same frame row
      // shown in several output rows) copied.
      const uint32_t* row = across(frame, tap.weight == 0 ? tap.index : tap.index + 1, -1);
      if (row != to) std::memcpy(to, row, size_t(area.x1 - area.x0) * 4);
      continue;
    }
    const uint32_t* first = across(frame, tap.index, tap.index + 1);
    const uint32_t* second = across(frame, tap.index + 1, tap.index);
    blendRows(first, second, tap.weight, to, area.x1 - area.x0);
  }
}
