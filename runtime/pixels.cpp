/*
 * Pixel loops of the compositor: premultiplied copies, and blending through a wipe's coverage
 * in one pass (coverage interpolated down, multiplied by the sprite's alpha, source blended
 * over the frame), with pixman's rounding throughout.
 */
#include "pixels.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// ---- premultiplied copies ----

// Straight to premultiplied alpha, c * a / 255 rounded, two channels at a time and four
// pixels to a vector, so it runs as vector code whatever the optimisation level.
using Pixels4 = uint32_t __attribute__((vector_size(16)));

Pixels4 premultiply4(Pixels4 p) {
  Pixels4 a = p >> 24;
  Pixels4 rb = (p & 0x00FF00FFu) * a + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  Pixels4 g = (p >> 8 & 0xFFu) * a + 0x80u;
  g = (g + (g >> 8)) >> 8;
  return a << 24 | rb | g << 8;
}

// x * a / 255 rounded as pixman rounds it, for bytes.
inline uint32_t mulUn8(uint32_t x, uint32_t a) {
  uint32_t t = x * a + 0x80;
  return (t + (t >> 8)) >> 8;
}

// One source pixel through coverage m, over (or added to) one frame pixel.
inline uint32_t blendPixel(uint32_t s, uint32_t m, uint32_t d, bool add) {
  uint32_t inverse = 255 - mulUn8(s >> 24, m);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t sc = mulUn8(s >> shift & 0xFF, m), dc = d >> shift & 0xFF;
    out |= std::min(sc + (add ? dc : mulUn8(dc, inverse)), 255u) << shift;
  }
  return out;
}

inline uint8_t rampCoverage(const CoverageRamp& ramp, uint8_t g) {
  return ramp.table[g];
}

}  // namespace

PremultipliedCopyInfo premultiplyPixels(const uint32_t* from, uint32_t* to, size_t count) {
  PremultipliedCopyInfo info;
  if (count == 0) return info;
  const uint32_t first = from[0];
  const Pixels4 first4 = {first, first, first, first};
  Pixels4 allAlpha4 = ~Pixels4{}, differ4 = {};
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    Pixels4 p;
    std::memcpy(&p, from + i, sizeof p);
    allAlpha4 &= p;
    differ4 |= p ^ first4;
    p = premultiply4(p);
    std::memcpy(to + i, &p, sizeof p);
  }
  uint32_t allAlpha = 0xFF000000u, differ = 0;
  for (int lane = 0; lane < 4; ++lane) {
    allAlpha &= allAlpha4[lane];
    differ |= differ4[lane];
  }
  if (i < count) {
    Pixels4 p = {};
    std::memcpy(&p, from + i, (count - i) * 4);
    Pixels4 q = premultiply4(p);
    std::memcpy(to + i, &q, (count - i) * 4);
    for (size_t lane = 0; lane < count - i; ++lane) {
      allAlpha &= p[lane];
      differ |= p[lane] ^ first;
    }
  }
  info.opaque = (allAlpha >> 24) == 0xFF;
  info.uniform = differ == 0;
  info.colour = to[0];
  return info;
}

void raiseAlpha(uint32_t* to, const uint8_t* coverage, size_t count) {
  // Four pixels to a vector, as premultiplyPixels, so a checked build checks each block once.
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    Pixels4 p;
    std::memcpy(&p, to + i, sizeof p);
    const Pixels4 glyph = Pixels4{coverage[i], coverage[i + 1], coverage[i + 2], coverage[i + 3]}
                          << 24;
    const Pixels4 own = p & 0xFF000000u;
    p = (p & 0x00FFFFFFu) | (glyph > own ? glyph : own);
    std::memcpy(to + i, &p, sizeof p);
  }
  for (; i < count; ++i)
    to[i] = (to[i] & 0x00FFFFFFu) | std::max<uint32_t>(coverage[i], to[i] >> 24) << 24;
}

// ---- coverage ramps ----

void makeCoverageRamp(const uint8_t (&table)[256], bool conceal, CoverageRamp* ramp) {
  std::memcpy(ramp->table, table, sizeof ramp->table);
  ramp->conceal = conceal;
  auto reveal = [&](int g) { return conceal ? 255 - table[g] : int{table[g]}; };
  auto onRamp = [](int base, int g) { return std::clamp(base - 8 * g, 0, 255); };
  // The ramp through the partly covered levels; with none, a ramp that is all one value.
  int candidates[2] = {reveal(0) == 255 ? 255 + 8 * 255 : 0, -1};
  bool found = false;
  for (int g = 0; g < 256; ++g) {
    int r = reveal(g);
    if (r == 0 || r == 255) continue;
    int base = r + 8 * g;
    if (!found) candidates[0] = candidates[1] = base;
    candidates[0] = std::min(candidates[0], base);
    candidates[1] = std::max(candidates[1], base);
    found = true;
  }
  int bestSpan = 1 << 30;
  for (int base : candidates) {
    if (base < 0) continue;
    int low = 256, high = -1;
    for (int g = 0; g < 256; ++g)
      if (onRamp(base, g) != reveal(g)) {
        low = std::min(low, g);
        high = std::max(high, g);
      }
    int span = high < 0 ? 0 : high - low + 1;
    if (span < bestSpan) {
      bestSpan = span;
      ramp->base = base;
      ramp->irregular = high >= 0;
      ramp->irregularLow = static_cast<uint8_t>(high >= 0 ? low : 0);
      ramp->irregularHigh = static_cast<uint8_t>(high >= 0 ? high : 0);
    }
  }
}

// ---- one pixel at a time ----

void coverageAcrossScalar(const CoverageRamp& ramp, const uint8_t* left, const uint8_t* right,
                          const uint8_t* dx, uint16_t* out, int count) {
  for (int i = 0; i < count; ++i) {
    uint32_t c = rampCoverage(ramp, left[i]);
    out[i] = static_cast<uint16_t>(
        right ? c * (128u - dx[i]) + rampCoverage(ramp, right[i]) * uint32_t{dx[i]} : c * 128u);
  }
}

void blendThroughCoverageScalar(const CoverageBlend& b, uint32_t* dest, int count) {
  const uint32_t up = 128u - static_cast<uint32_t>(b.dy), down = static_cast<uint32_t>(b.dy);
  for (int i = 0; i < count; ++i) {
    uint32_t m = (b.top[i] * up + b.bottom[i] * down) >> 14;
    if (b.alpha != 255) m = mulUn8(m, b.alpha);
    if (m == 0) continue;
    dest[i] = blendPixel(b.source ? b.source[i] : b.solid, m, dest[i], b.add);
  }
}

// ---- vector loops ----

#if defined(__SSE2__)

namespace {

// x * a / 255 rounded, in 16-bit lanes (pixman's own vector rounding).
inline __m128i mulUn8x8(__m128i x, __m128i a) {
  __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, a), _mm_set1_epi16(0x80));
  return _mm_mulhi_epu16(t, _mm_set1_epi16(0x0101));
}

// Coverage of 16 grey levels on the ramp; levels off the ramp come from the table.
inline __m128i coverage16(const CoverageRamp& ramp, __m128i grey) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i base = _mm_set1_epi16(static_cast<int16_t>(ramp.base));
  __m128i low = _mm_sub_epi16(base, _mm_slli_epi16(_mm_unpacklo_epi8(grey, zero), 3));
  __m128i high = _mm_sub_epi16(base, _mm_slli_epi16(_mm_unpackhi_epi8(grey, zero), 3));
  __m128i c = _mm_packus_epi16(low, high);  // the clamp to 0..255 comes with the packing
  if (ramp.conceal) c = _mm_xor_si128(c, _mm_set1_epi8(-1));
  if (ramp.irregular) {
    __m128i offset = _mm_sub_epi8(grey, _mm_set1_epi8(static_cast<char>(ramp.irregularLow)));
    __m128i span = _mm_set1_epi8(static_cast<char>(ramp.irregularHigh - ramp.irregularLow));
    __m128i inside = _mm_cmpeq_epi8(_mm_subs_epu8(offset, span), zero);
    if (_mm_movemask_epi8(inside) != 0) {
      alignas(16) uint8_t g[16], out[16];
      _mm_store_si128(reinterpret_cast<__m128i*>(g), grey);
      for (int k = 0; k < 16; ++k) out[k] = ramp.table[g[k]];
      c = _mm_load_si128(reinterpret_cast<const __m128i*>(out));
    }
  }
  return c;
}

// Four source pixels through the coverages in 16-bit lanes 0..3 (upper = false) or 4..7 of
// m, over or added to four frame pixels.
inline __m128i blend4(__m128i s, __m128i m, bool upper, __m128i d, bool add) {
  const __m128i zero = _mm_setzero_si128();
  __m128i pairs = upper ? _mm_unpackhi_epi16(m, m) : _mm_unpacklo_epi16(m, m);
  __m128i m01 = _mm_unpacklo_epi32(pairs, pairs), m23 = _mm_unpackhi_epi32(pairs, pairs);
  __m128i s01 = mulUn8x8(_mm_unpacklo_epi8(s, zero), m01);
  __m128i s23 = mulUn8x8(_mm_unpackhi_epi8(s, zero), m23);
  __m128i d01 = _mm_unpacklo_epi8(d, zero), d23 = _mm_unpackhi_epi8(d, zero);
  if (!add) {
    const __m128i ones = _mm_set1_epi16(0xFF);
    __m128i a01 = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s01, 0xFF), 0xFF);
    __m128i a23 = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s23, 0xFF), 0xFF);
    d01 = mulUn8x8(d01, _mm_xor_si128(a01, ones));
    d23 = mulUn8x8(d23, _mm_xor_si128(a23, ones));
  }
  // Sums stay below 511; packing saturates them to 255 as pixman's saturating add does.
  return _mm_packus_epi16(_mm_add_epi16(s01, d01), _mm_add_epi16(s23, d23));
}

}  // namespace

void coverageAcross(const CoverageRamp& ramp, const uint8_t* left, const uint8_t* right,
                    const uint8_t* dx, uint16_t* out, int count) {
  const __m128i zero = _mm_setzero_si128(), whole = _mm_set1_epi16(128);
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    __m128i cl = coverage16(ramp, _mm_loadu_si128(reinterpret_cast<const __m128i*>(left + i)));
    __m128i low, high;
    if (right) {
      __m128i cr = coverage16(ramp, _mm_loadu_si128(reinterpret_cast<const __m128i*>(right + i)));
      __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dx + i));
      __m128i dl = _mm_unpacklo_epi8(d, zero), dh = _mm_unpackhi_epi8(d, zero);
      low = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(cl, zero), _mm_sub_epi16(whole, dl)),
                          _mm_mullo_epi16(_mm_unpacklo_epi8(cr, zero), dl));
      high = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(cl, zero), _mm_sub_epi16(whole, dh)),
                           _mm_mullo_epi16(_mm_unpackhi_epi8(cr, zero), dh));
    } else {
      low = _mm_slli_epi16(_mm_unpacklo_epi8(cl, zero), 7);
      high = _mm_slli_epi16(_mm_unpackhi_epi8(cl, zero), 7);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), high);
  }
  coverageAcrossScalar(ramp, left + i, right ? right + i : nullptr, dx + i, out + i, count - i);
}

void blendThroughCoverage(const CoverageBlend& b, uint32_t* dest, int count) {
  const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
  const __m128i weights = _mm_set1_epi32(b.dy << 16 | (128 - b.dy));
  const __m128i alpha = _mm_set1_epi16(b.alpha);
  const __m128i solid = _mm_set1_epi32(static_cast<int>(b.solid));
  const bool copyWhenWhole = b.opaque && !b.add;
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.top + i));
    __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.bottom + i));
    __m128i low = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(t, u), weights), 14);
    __m128i high = _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(t, u), weights), 14);
    __m128i m = _mm_packs_epi32(low, high);
    if (b.alpha != 255) m = mulUn8x8(m, alpha);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(m, zero)) == 0xFFFF) continue;  // nothing shows
    __m128i s0 = b.source ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.source + i)) : solid;
    __m128i s1 =
        b.source ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.source + i + 4)) : solid;
    auto* d = reinterpret_cast<__m128i*>(dest + i);
    if (copyWhenWhole && _mm_movemask_epi8(_mm_cmpeq_epi16(m, full)) == 0xFFFF) {
      _mm_storeu_si128(d, s0);
      _mm_storeu_si128(d + 1, s1);
      continue;
    }
    _mm_storeu_si128(d, blend4(s0, m, false, _mm_loadu_si128(d), b.add));
    _mm_storeu_si128(d + 1, blend4(s1, m, true, _mm_loadu_si128(d + 1), b.add));
  }
  CoverageBlend rest = b;
  rest.top += i;
  rest.bottom += i;
  if (rest.source) rest.source += i;
  blendThroughCoverageScalar(rest, dest + i, count - i);
}

#else

void coverageAcross(const CoverageRamp& ramp, const uint8_t* left, const uint8_t* right,
                    const uint8_t* dx, uint16_t* out, int count) {
  coverageAcrossScalar(ramp, left, right, dx, out, count);
}

void blendThroughCoverage(const CoverageBlend& blend, uint32_t* dest, int count) {
  blendThroughCoverageScalar(blend, dest, count);
}

#endif

void fillPixels(uint32_t* to, size_t count, uint32_t colour) {
  if ((colour & 0xFFu) * 0x01010101u == colour) {
    std::memset(to, static_cast<int>(colour & 0xFFu), count * sizeof(uint32_t));
    return;
  }
  // A short run filled a pixel at a time, then copied onto what follows in ever larger
  // blocks: block copies run at memory speed, and a checked build checks each block once
  // rather than every pixel.
  size_t filled = std::min<size_t>(count, 256);
  std::fill(to, to + filled, colour);
  while (filled < count) {
    const size_t block = std::min(filled, count - filled);
    std::memcpy(to + filled, to, block * sizeof(uint32_t));
    filled += block;
  }
}
