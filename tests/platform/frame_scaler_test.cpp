// Stretching the frame into a window's pixels: what a window shows after only the changed
// part was stretched must be what stretching the whole frame gives.
#include "frame_scaler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<uint32_t> randomFrame(std::mt19937& rng) {
  std::vector<uint32_t> frame(size_t(kFrameWidth) * kFrameHeight);
  for (uint32_t& p : frame) p = rng();
  return frame;
}

// The whole frame stretched into an output of exactly the place's size.
std::vector<uint32_t> stretchWhole(FrameScaler& scaler, const std::vector<uint32_t>& frame) {
  const Viewport& v = scaler.place();
  std::vector<uint32_t> out(size_t(v.w) * size_t(v.h));
  scaler.scale(frame.data(), scaler.reach(FrameRect::whole()), out.data(), v.w);
  return out;
}

}  // namespace

TEST(FrameScaler, AtTheFramesOwnSizeBothFiltersCopy) {
  std::mt19937 rng(1);
  const std::vector<uint32_t> frame = randomFrame(rng);
  for (bool smooth : {true, false}) {
    FrameScaler scaler;
    scaler.configure({0, 0, kFrameWidth, kFrameHeight}, smooth);
    EXPECT_TRUE(stretchWhole(scaler, frame) == frame) << "smooth " << smooth;
  }
}

TEST(FrameScaler, NearestMakesEachPixelAWholeBlockAtWholeMultiples) {
  std::mt19937 rng(2);
  const std::vector<uint32_t> frame = randomFrame(rng);
  for (int k : {2, 3}) {
    FrameScaler scaler;
    scaler.configure({0, 0, kFrameWidth * k, kFrameHeight * k}, false);
    const std::vector<uint32_t> out = stretchWhole(scaler, frame);
    for (int y = 0; y < kFrameHeight * k; y += 7)
      for (int x = 0; x < kFrameWidth * k; ++x)
        ASSERT_EQ(out[size_t(y) * size_t(kFrameWidth * k) + size_t(x)],
                  frame[size_t(y / k) * kFrameWidth + size_t(x / k)])
            << k << "x at " << x << "," << y;
  }
}

TEST(FrameScaler, SmoothBlendsNeighboursByDistance) {
  // A frame dark on the left half, light on the right: at 2x the two output pixels around
  // the edge take a quarter and three quarters of the step, and one colour stays itself.
  std::vector<uint32_t> frame(size_t(kFrameWidth) * kFrameHeight, 0xFF204060);
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = kFrameWidth / 2; x < kFrameWidth; ++x)
      frame[size_t(y) * kFrameWidth + x] = 0xFFA0C0E0;
  FrameScaler scaler;
  scaler.configure({0, 0, kFrameWidth * 2, kFrameHeight * 2}, true);
  const std::vector<uint32_t> out = stretchWhole(scaler, frame);
  const uint32_t* row = &out[size_t(301) * kFrameWidth * 2];
  EXPECT_EQ(row[0], 0xFF204060u);
  EXPECT_EQ(row[kFrameWidth - 2], 0xFF204060u);
  EXPECT_EQ(row[kFrameWidth - 1], 0xFF406080u);  // a quarter of the way
  EXPECT_EQ(row[kFrameWidth], 0xFF80A0C0u);      // three quarters
  EXPECT_EQ(row[kFrameWidth + 1], 0xFFA0C0E0u);
  EXPECT_EQ(row[kFrameWidth * 2 - 1], 0xFFA0C0E0u);
}

TEST(FrameScaler, StretchingOnlyWhatChangedGivesTheWholeStretch) {
  // Random places (whole multiples, fitted sizes, shrunk), both filters; each round changes
  // one random rectangle of the frame and stretches only the output it reaches.
  std::mt19937 rng(3);
  std::vector<uint32_t> frame = randomFrame(rng);
  const Viewport places[] = {{0, 0, 1600, 1200}, {0, 0, 2400, 1800}, {0, 0, 1280, 960},
                             {0, 0, 1333, 1000}, {0, 0, 400, 300},   {0, 0, 917, 611}};
  for (const Viewport& place : places)
    for (bool smooth : {true, false}) {
      FrameScaler scaler;
      scaler.configure(place, smooth);
      std::vector<uint32_t> shown = stretchWhole(scaler, frame);
      for (int round = 0; round < 12; ++round) {
        FrameRect changed;
        changed.x0 = int(rng() % kFrameWidth);
        changed.y0 = int(rng() % kFrameHeight);
        changed.x1 = changed.x0 + 1 + int(rng() % (round % 3 == 0 ? 3 : kFrameWidth - changed.x0));
        changed.y1 = changed.y0 + 1 + int(rng() % (round % 3 == 0 ? 3 : kFrameHeight - changed.y0));
        changed.x1 = std::min(changed.x1, kFrameWidth);
        changed.y1 = std::min(changed.y1, kFrameHeight);
        for (int y = changed.y0; y < changed.y1; ++y)
          for (int x = changed.x0; x < changed.x1; ++x) frame[size_t(y) * kFrameWidth + x] = rng();
        scaler.scale(frame.data(), scaler.reach(changed), shown.data(), place.w);
        ASSERT_TRUE(shown == stretchWhole(scaler, frame))
            << place.w << "x" << place.h << " smooth " << smooth << " round " << round;
      }
    }
}

TEST(FrameScaler, VectorLoopsMatchTheScalarOnes) {
  // Both vector widths where the processor has the wider one; lengths that leave tails.
  for (bool wide : {false, true}) {
    if (useWideVectors(wide) != wide) continue;
    std::mt19937 rng(4);
    std::vector<uint32_t> row(kFrameWidth), other(kFrameWidth);
    for (uint32_t& p : row) p = rng();
    for (uint32_t& p : other) p = rng();
    std::vector<ScaleTap> taps(501);
    std::vector<int16_t> weights;
    for (ScaleTap& t : taps) {
      t = {int(rng() % (kFrameWidth - 1)), int(rng() % 4 == 0 ? (rng() % 2) * 128 : rng() % 129)};
      weights.insert(weights.end(), 4, int16_t(t.weight));
    }
    std::vector<uint32_t> vec(taps.size()), scalar(taps.size());
    stretchRow(row.data(), taps.data(), weights.data(), vec.data(), int(taps.size()));
    stretchRowScalar(row.data(), taps.data(), scalar.data(), int(taps.size()));
    EXPECT_TRUE(vec == scalar) << "wide " << wide;
    for (int weight : {1, 32, 64, 96, 127}) {
      std::vector<uint32_t> v(kFrameWidth - 3), s(kFrameWidth - 3);
      blendRows(row.data(), other.data(), weight, v.data(), int(v.size()));
      blendRowsScalar(row.data(), other.data(), weight, s.data(), int(s.size()));
      EXPECT_TRUE(v == s) << "weight " << weight << " wide " << wide;
    }
  }
  useWideVectors(true);
}
