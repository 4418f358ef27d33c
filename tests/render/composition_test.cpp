// The compositor's own ways to a frame (only the changed pixels drawn again, over a kept
// underlay; solid fills for one-colour pictures; wipes blended by its own loops) against the
// reference, every sprite drawn whole by pixman: they must give the same pixels.
#include "render_fixture.h"
#include "common/quiet_backend.h"

#include "pixels.h"
#include "present.h"

#include <cstdio>
#include <random>

namespace {

std::string hex(uint32_t pixel) {
  char text[12];
  std::snprintf(text, sizeof text, "%08X", pixel);
  return text;
}

class Composition : public RenderTest {
 protected:
  void TearDown() override {
    useOwnPixelPaths(true);
    RenderTest::TearDown();
  }

  // Composes the frame the compositor's way into `own_` and pixman's whole way into a second
  // buffer; true when they agree, else says where they first differ.
  ::testing::AssertionResult agrees(const std::string& what) {
    own_.resize(static_cast<size_t>(kFrameWidth) * kFrameHeight);
    std::vector<uint32_t> reference(own_.size());
    if (!composeFrame(own_.data())) return ::testing::AssertionFailure() << what << ": no frame";
    useOwnPixelPaths(false);
    bool drawn = composeFrame(reference.data());
    useOwnPixelPaths(true);
    if (!drawn) return ::testing::AssertionFailure() << what << ": no reference frame";
    for (size_t i = 0; i < own_.size(); ++i)
      if (own_[i] != reference[i])
        return ::testing::AssertionFailure()
               << what << ": pixel (" << i % kFrameWidth << ", " << i / kFrameWidth << ") is "
               << hex(own_[i]) << ", pixman draws " << hex(reference[i]);
    return ::testing::AssertionSuccess();
  }

  std::vector<uint32_t> own_;
};

// A mask of diagonal bands with a ripple, so that every level has edges everywhere.
uint8_t rippledRamp(int x, int y, int w, int h) {
  int g = (x + y) * 255 / (w + h) + ((x / 3 + y / 5) % 2 ? 9 : -9);
  return static_cast<uint8_t>(std::clamp(g, 0, 255));
}

TEST_F(Composition, ChangingScenesComposeAsPixmanDrawsThemWhole) {
  std::mt19937 random(20);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto unit = [&] { return static_cast<float>(random() % 1001) / 1000.0f; };

  std::vector<LbImage> pictures = {
      solid(800, 600, argb(255, 30, 60, 90)),     // a backdrop
      solid(8, 8, argb(255, 200, 120, 40)),       // one colour, stretched
      solid(64, 40, argb(128, 40, 200, 90)),      // one colour, translucent
      solid(50, 50, argb(0, 255, 255, 255)),      // nothing at all
      pattern(160, 120),                          // opaque detail
      image(120, 90, [](int x, int y) {           // soft-edged figure
        int dx = x - 60, dy = y - 45, d = dx * dx * 9 + dy * dy * 16;
        return argb(d > 32400 ? 0 : (d > 25000 ? 90 : 255), x * 2, y * 2, 150);
      }),
      image(200, 60, [](int x, int y) {           // sparse text-like marks
        return (x % 9 < 6 && y % 14 < 9) ? argb(255, 250, 250, 250) : argb(0, 250, 250, 250);
      }),
  };
  std::vector<LbWipe> masks = {
      wipe(200, 150, [](int x, int y) { return rippledRamp(x, y, 200, 150); }),
      wipe(37, 23, [](int x, int y) { return rippledRamp(x, y, 37, 23); }),
      wipe(300, 500, [](int x, int y) { return rippledRamp(x, y, 300, 500); }),
  };
  const float levels[] = {0.0f, 0.3f, 0.5f, 1.0f, 0.125f, 0.7f};

  sprite(pictures[0], 0, 0, 0);
  std::vector<LbSprite> sprites;
  auto add = [&] {
    LbSprite s = sprite(pictures[1 + pick(6)], pick(8) * 2, pick(900) - 100, pick(700) - 100);
    sprites.push_back(s);
  };
  for (int i = 0; i < 10; ++i) add();

  for (int step = 0; step < 200; ++step) {
    for (int changes = 1 + pick(3); changes > 0; --changes) {
      if (sprites.empty()) add();
      LbSprite s = sprites[pick(static_cast<int>(sprites.size()))];
      switch (pick(15)) {
        case 0: lbtsSetSpritePos(s, pick(900) - 100, pick(700) - 100); break;
        case 1: lbtsSetSpritePos(s, s->x + 1 - pick(3), s->y + 1 - pick(3)); break;
        case 2: lbtsSetSpriteSize(s, 1 + pick(500), 1 + pick(400)); break;
        case 3: for (int c = 0; c < 4; ++c) lbtsSetSpriteColorA(s, c, step % 2 ? 0.5f : unit()); break;
        case 4: lbtsSetSpriteColorA(s, pick(4), unit()); break;
        case 5: lbtsSetSpriteColorRGBA(s, pick(4), unit(), unit(), unit(), 1.0f); break;
        case 6: lbtsSetSpriteLevel(s, pick(8) * 2 + pick(2)); break;
        case 7: lbtsSetSpriteDraw(s, pick(4) != 0); break;
        case 8: {
          LbWipe w = masks[pick(3)];
          lbtsSetSpriteWipe(s, pick(4) ? w : nullptr, pick(2));
          lbtsSetWipeLevel(w, levels[pick(6)]);
          break;
        }
        case 9: lbtsSetWipeLevel(masks[pick(3)], pick(2) ? unit() : levels[pick(6)]); break;
        case 10: {
          // A part of the picture written, as text is typed into a surface; or a pixel
          // written without saying where.
          LbImage img = s->image;
          if (pick(3)) {
            lbtsFillImageRect(img, pick(img->width) - 2, pick(img->height) - 2, 1 + pick(30),
                              1 + pick(20), unit(), unit(), unit(), pick(2) ? unit() : 1.0f);
          } else {
            img->pixels[pick(static_cast<int>(img->pixels.size()))] = argb(pick(256), 9, 99, 199);
            ++img->version;
          }
          break;
        }
        case 11: lbtsSetSpriteBlend(s, pick(3) ? kBlendAlpha : kBlendAdd); break;
        case 12:
          if (pick(2)) lbtsRotateSpriteY(s, 180.0f);
          else lbtsRotateSpriteZ(s, static_cast<float>(pick(40)) - 20.0f);
          break;
        case 14:  // a character typed into the text picture, wherever it shows
          lbtsFillImageRect(pictures[6], pick(190), pick(50), 8, 12, 1.0f, 1.0f, 1.0f, 1.0f);
          break;
        case 13:
          if (pick(2)) {
            add();
          } else {
            lbtsDestroySprite(s);
            sprites.erase(std::find(sprites.begin(), sprites.end(), s));
          }
          break;
      }
    }
    ASSERT_TRUE(agrees("step " + std::to_string(step)));
  }
}

// A cross-fade and a wipe over a still scene run over the underlay the compositor keeps of
// the scene; the scene under them changing in between must not show through stale.
TEST_F(Composition, SweepsOverAStillSceneComposeAsPixmanDrawsThemWhole) {
  sprite(pattern(800, 600), 0, 0, 0);
  LbSprite figure = sprite(pattern(300, 500), 2, 100, 50);
  sprite(solid(700, 120, argb(190, 10, 20, 70)), 10, 50, 460);
  LbSprite old = sprite(solid(400, 600, argb(255, 200, 100, 50)), 4, 150, 0);
  LbSprite next = sprite(pattern(400, 600), 5, 250, 0);
  LbWipe mask = wipe(200, 150, [](int x, int y) { return rippledRamp(x, y, 200, 150); });
  for (int step = 0; step <= 30; ++step) {
    float p = static_cast<float>(step) / 30.0f;
    for (int c = 0; c < 4; ++c) {
      lbtsSetSpriteColorA(old, c, 1.0f - p);
      lbtsSetSpriteColorA(next, c, p);
    }
    ASSERT_TRUE(agrees("fade step " + std::to_string(step)));
  }
  for (int c = 0; c < 4; ++c) lbtsSetSpriteColorA(next, c, 1.0f);
  lbtsSetSpriteWipe(old, mask, 0);
  lbtsSetSpriteWipe(next, mask, 1);
  for (int step = 0; step <= 30; ++step) {
    lbtsSetWipeLevel(mask, static_cast<float>(step) / 30.0f);
    if (step == 12) lbtsSetSpritePos(figure, 120, 50);  // the scene below moves once
    ASSERT_TRUE(agrees("wipe step " + std::to_string(step)));
  }
  // Part of the one-colour picture painted over: it is one colour no more; then part of it
  // made see-through: it is opaque no more, and what lies under it shows there.
  lbtsSetSpriteWipe(old, nullptr, 0);
  lbtsSetSpriteLevel(old, 8);
  for (int c = 0; c < 4; ++c) lbtsSetSpriteColorA(old, c, 1.0f);  // faded out above
  ASSERT_TRUE(agrees("faded in again"));
  lbtsFillImageRect(old->image, 10, 10, 100, 80, 0.1f, 0.9f, 0.2f, 1.0f);
  ASSERT_TRUE(agrees("one colour no more"));
  lbtsFillImageRect(old->image, 200, 300, 50, 50, 0.1f, 0.9f, 0.2f, 0.5f);
  ASSERT_TRUE(agrees("opaque no more"));
}

// The vector loops against the same arithmetic a pixel at a time, on every kind of input.
TEST(PixelLoops, VectorLoopsMatchTheLoopsAPixelAtATime) {
  std::mt19937 random(7);
  const int n = 203;  // not a multiple of any vector width
  std::vector<uint8_t> left(n), right(n), dx(n);
  for (float level : {0.5f, 0.3f, 0.61f, 0.0f, 1.0f}) {
    for (int mode = 0; mode < 2; ++mode) {
      uint8_t table[256];
      for (int g = 0; g < 256; ++g) table[g] = wipeCoverage(static_cast<uint8_t>(g), level, mode);
      CoverageRamp ramp;
      makeCoverageRamp(table, mode == 0, &ramp);
      for (int i = 0; i < n; ++i) {
        left[i] = static_cast<uint8_t>(random());
        right[i] = static_cast<uint8_t>(random());
        dx[i] = static_cast<uint8_t>(random() % 128);
      }
      std::vector<uint16_t> vectorOut(n), scalarOut(n);
      for (bool between : {true, false}) {
        coverageAcross(ramp, left.data(), between ? right.data() : nullptr, dx.data(),
                       vectorOut.data(), n);
        coverageAcrossScalar(ramp, left.data(), between ? right.data() : nullptr, dx.data(),
                             scalarOut.data(), n);
        ASSERT_EQ(vectorOut, scalarOut) << level << " mode " << mode;
      }
    }
  }
  // Coverage rows with runs of nothing, everything and edges; sources opaque, translucent
  // (premultiplied) and solid; over and added; with and without a sprite alpha.
  std::vector<uint16_t> top(n), bottom(n);
  std::vector<uint32_t> source(n), frame(n);
  for (int i = 0; i < n; ++i) {
    int run = (i / 16) % 3;
    top[i] = static_cast<uint16_t>(run == 0 ? 0 : run == 1 ? 255 * 128 : random() % (255 * 128 + 1));
    bottom[i] = static_cast<uint16_t>(random() % (255 * 128 + 1));
    uint32_t a = random() % 256, c = a * (random() % 256) / 255;
    source[i] = a << 24 | c << 16 | (a / 2) << 8 | (a / 3);
    frame[i] = 0xFF000000u | (random() & 0xFFFFFFu);
  }
  for (int variant = 0; variant < 16; ++variant) {
    CoverageBlend b{top.data(), bottom.data(), variant % 4 == 0 ? 0 : 37 * variant % 128,
                    static_cast<uint8_t>(variant & 4 ? 140 : 255),
                    variant & 8 ? nullptr : source.data(), 0xC0804020u, false, (variant & 2) != 0};
    std::vector<uint32_t> vectorFrame = frame, scalarFrame = frame;
    blendThroughCoverage(b, vectorFrame.data(), n);
    blendThroughCoverageScalar(b, scalarFrame.data(), n);
    ASSERT_EQ(vectorFrame, scalarFrame) << "variant " << variant;
  }
  // A glyph drawn into a text surface raises alpha where its coverage is higher, colour kept.
  std::vector<uint8_t> coverage(n);
  for (int i = 0; i < n; ++i) coverage[i] = static_cast<uint8_t>(random());
  std::vector<uint32_t> surface(n), expected(n);
  for (int i = 0; i < n; ++i) {
    surface[i] = static_cast<uint32_t>(random());
    const uint32_t alpha = std::max<uint32_t>(coverage[i], surface[i] >> 24);
    expected[i] = (surface[i] & 0x00FFFFFFu) | alpha << 24;
  }
  raiseAlpha(surface.data(), coverage.data(), n);
  EXPECT_EQ(surface, expected);
}

// A backend that only notes what it is told changed.
class NotingBackend : public QuietBackend {
 public:
  explicit NotingBackend(std::vector<FrameRect>* shown) : shown_(shown) {}
  bool show(const uint32_t*, const FrameRect& changed) override {
    shown_->push_back(changed);
    return true;
  }

 private:
  std::vector<FrameRect>* shown_;
};

TEST_F(Composition, Present_TellsTheWindowOnlyWhatChangedAndKeepsWhatItShows) {
  std::vector<FrameRect> shown;
  std::unique_ptr<PresentBackend> saved = std::move(platform().backend);
  platform().backend = std::make_unique<NotingBackend>(&shown);
  sprite(solid(800, 600, argb(255, 10, 10, 10)), 0, 0, 0);
  LbSprite box = sprite(solid(50, 40, argb(255, 250, 0, 0)), 2, 100, 100);
  ASSERT_EQ(lbtsRenderScreen(), 1);
  ASSERT_EQ(lbtsRenderScreen(), 1);  // nothing moved
  lbtsSetSpritePos(box, 130, 90);
  ASSERT_EQ(lbtsRenderScreen(), 1);
  // Composed but not presented: the presentation still shows the frame before.
  lbtsSetSpritePos(box, 300, 300);
  const uint32_t* before = platform().presented;
  uint32_t underBox = before[310 * kFrameWidth + 310];
  ASSERT_EQ(lbtsRender(), 1);
  EXPECT_EQ(platform().presented[310 * kFrameWidth + 310], underBox);
  ASSERT_EQ(lbtsPresent(), 1);
  EXPECT_EQ(platform().presented[310 * kFrameWidth + 310], argb(255, 250, 0, 0));
  platform().backend = std::move(saved);

  ASSERT_EQ(shown.size(), 4u);
  EXPECT_TRUE(shown[1].empty());
  EXPECT_EQ(shown[2].x0, 100);
  EXPECT_EQ(shown[2].y0, 90);
  EXPECT_EQ(shown[2].x1, 180);
  EXPECT_EQ(shown[2].y1, 140);
  EXPECT_EQ(shown[3].x0, 130);  // the move presented later, from where the box was shown
  EXPECT_EQ(shown[3].y1, 340);
}

}  // namespace
