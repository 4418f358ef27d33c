/*
 * What the generated pictures and sounds must be for the engine to use them well: audible
 * short sounds, a wipe mask that spans every grey level, opaque backgrounds, a blank cursor
 * that shows nothing, cursors that animate, and a message window dark enough for white text.
 */
#include "demo_fixture.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace demotest;

namespace {

Picture picture(const char* rel) {
  auto p = loadPicture(gameDir() / fs::u8path(rel));
  if (!p) throw std::runtime_error(std::string(rel) + " does not decode");
  return *p;
}

TEST(BundledSounds, DecodeAsShortAudiblePcm) {
  for (const auto& a : listedAssets()) {
    if (a.kind != "wav") continue;
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    fs::path file = gameDir() / fs::u8path(a.path);
    ASSERT_TRUE(SDL_LoadWAV(file.string().c_str(), &format, &buffer, &length)) << a.path;
    EXPECT_EQ(format.format, AUDIO_S16LSB) << a.path;
    EXPECT_EQ(format.channels, 1) << a.path;
    auto* samples = reinterpret_cast<const int16_t*>(buffer);
    size_t count = length / 2;
    double seconds = double(count) / format.freq;
    EXPECT_GT(seconds, 0.02) << a.path;
    EXPECT_LT(seconds, 2.0) << a.path << ": an effect should be short";
    int peak = 0;
    for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(int(samples[i])));
    EXPECT_GT(peak, 3000) << a.path << " is nearly silent";
    EXPECT_LT(peak, 32767) << a.path << " clips";
    // It ends in silence, so stopping it never clicks.
    EXPECT_LT(std::abs(int(samples[count - 1])), 64) << a.path;
    SDL_FreeWAV(buffer);
  }
}

TEST(BundledWipeMask, IsOpaqueGreyOverTheWholeRange) {
  Picture mask = picture("sys/wipe_bg.png");
  int lo = 255, hi = 0;
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) {
      int r = mask.channel(x, y, 0);
      ASSERT_EQ(r, mask.channel(x, y, 1));
      ASSERT_EQ(r, mask.channel(x, y, 2));
      ASSERT_EQ(mask.channel(x, y, 3), 255);
      lo = std::min(lo, r);
      hi = std::max(hi, r);
    }
  // A mask that misses either end makes the wipe jump at its start or its finish.
  EXPECT_LE(lo, 2);
  EXPECT_GE(hi, 253);
}

TEST(BundledWipeMask, SweepsFromLeftToRight) {
  Picture mask = picture("sys/wipe_bg.png");
  auto columnMean = [&](int x0, int x1) {
    double sum = 0;
    for (int y = 0; y < mask.height; ++y)
      for (int x = x0; x < x1; ++x) sum += mask.channel(x, y, 0);
    return sum / double((x1 - x0) * mask.height);
  };
  double left = columnMean(0, 100), middle = columnMean(350, 450), right = columnMean(700, 800);
  EXPECT_LT(left + 40, middle);
  EXPECT_LT(middle + 40, right);
}

TEST(BundledBackgrounds, AreFullyOpaqueScreens) {
  for (const char* rel : {"sys/title_bg.png", "sys/bg_select.png"}) {
    Picture p = picture(rel);
    EXPECT_EQ(p.width, 800);
    EXPECT_EQ(p.height, 600);
    for (size_t i = 3; i < p.rgba.size(); i += 4)
      ASSERT_EQ(p.rgba[i], 255) << rel << " has a hole at pixel " << i / 4;
  }
}

TEST(BundledCursors, BlankCursorShowsNothing) {
  Picture p = picture("sys/cursor_blank.png");
  for (size_t i = 3; i < p.rgba.size(); i += 4) ASSERT_EQ(p.rgba[i], 0);
}

TEST(BundledCursors, EveryAnimationCellDiffersFromTheNext) {
  struct Strip {
    const char* rel;
    int cells;
  };
  for (Strip s : {Strip{"sys/cursor0.png", 8}, Strip{"sys/cursor1.png", 8},
                  Strip{"sys/cursor_np.png", 8}}) {
    Picture p = picture(s.rel);
    int w = p.width / s.cells;
    bool anyVisible = false;
    for (int k = 0; k < s.cells; ++k) {
      bool same = true;
      for (int y = 0; y < p.height && same; ++y)
        for (int x = 0; x < w && same; ++x)
          for (int c = 0; c < 4 && same; ++c)
            same = p.channel(k * w + x, y, c) == p.channel(((k + 1) % s.cells) * w + x, y, c);
      EXPECT_FALSE(same) << s.rel << ": cell " << k << " equals the next one";
      for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < w; ++x) anyVisible |= p.channel(k * w + x, y, 3) > 200;
    }
    EXPECT_TRUE(anyVisible) << s.rel;
  }
}

TEST(BundledCursors, ViewCursorDrawsOnlyInItsLowerHalf) {
  // It is placed centred vertically on the top edge of the screen, so its upper half is off
  // screen; anything drawn there would never be seen.
  Picture p = picture("sys/cursor0.png");
  for (int y = 0; y < p.height / 2; ++y)
    for (int x = 0; x < p.width; ++x) ASSERT_LT(p.channel(x, y, 3), 8) << x << "," << y;
}

TEST(BundledMessageWindow, TextAreaIsDarkAndSolidEnoughForWhiteText) {
  Picture p = picture("sys/text_msg.png");
  ASSERT_EQ(p.width, 800);
  ASSERT_EQ(p.height, 200);
  // Where the three lines of 40-pixel text are written.
  for (int y = 20; y < 170; y += 5)
    for (int x = 43; x < 763; x += 5) {
      ASSERT_GE(p.channel(x, y, 3), 180) << x << "," << y;
      int luma = (p.channel(x, y, 0) * 3 + p.channel(x, y, 1) * 6 + p.channel(x, y, 2)) / 10;
      ASSERT_LT(luma, 90) << x << "," << y;
    }
}

}  // namespace
