// Render images and wipe masks: decoding game files into cells, fills that keep straight
// alpha, frame capture, and the wipe coverage that mask transitions rely on.
#include "present.h"
#include "render_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Images : public RenderTest {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("orvane-images-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "sys");
    ASSERT_TRUE(mountGameFolder(folder_.c_str()));
  }
  void TearDown() override {
    RenderTest::TearDown();
    fs::remove_all(folder_);
  }
  void write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(folder_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  LbImage load(int cellsX, int cellsY, const char* path, int mode) {
    LbImage img = lbtsLoadImage(cellsX, cellsY, path, mode);
    if (img) images_.push_back(img);
    return img;
  }
  fs::path folder_;
};

uint32_t gridPixel(int x, int y) { return argb(x % 3 == 0 ? 0 : 255, x * 2, y * 3, 77); }

TEST_F(Images, Load_PngGridReportsOneCellAndKeepsStraightAlpha) {
  write("sys/chara.png", pngBytes(120, 60, gridPixel));
  LbImage img = load(-4, -2, "sys/CHARA.png", 0);  // names match without ASCII case
  ASSERT_NE(img, nullptr);
  int w = 0, h = 0;
  ASSERT_EQ(lbtsGetImageSize(img, &w, &h), 1);
  EXPECT_EQ(w, 30);
  EXPECT_EQ(h, 30);
  ASSERT_EQ(lbtsGetImageSize2(img, &w, &h), 1);
  EXPECT_EQ(w, 120);
  EXPECT_EQ(h, 60);
  EXPECT_EQ(img->pixels[0], gridPixel(0, 0));  // alpha 0, colour kept
  EXPECT_EQ(img->pixels[59 * 120 + 100], gridPixel(100, 59));
}

TEST_F(Images, Load_BmpWithoutAlphaIsOpaqueUnlessLoadedAsAnAlphaLayer) {
  write("grey.bmp", bmpBytes(4, 1, [](int x, int) { return argb(255, x * 80, x * 80, x * 80); }));
  LbImage plain = load(0, 0, "grey.bmp", 0), alpha = load(0, 0, "grey.bmp", 2),
          layer = load(0, 0, "grey.bmp", 1);
  ASSERT_TRUE(plain && alpha && layer);
  EXPECT_EQ(plain->pixels[1], argb(255, 80, 80, 80));
  EXPECT_EQ(alpha->pixels[1], argb(255, 80, 80, 80));
  EXPECT_EQ(layer->pixels[0] >> 24, 0u);
  EXPECT_EQ(layer->pixels[3], argb(240, 240, 240, 240));
}

TEST_F(Images, Load_PngWithoutAlphaChannelIsOpaque) {
  write("bg.png", pngBytes(8, 8, [](int, int) { return argb(0, 10, 20, 30); }, false));
  LbImage img = load(-1, -1, "bg.png", 2);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->pixels[9], argb(255, 10, 20, 30));
}

TEST_F(Images, Load_BadFilesReturnNullCleanly) {
  std::vector<uint8_t> png = pngBytes(64, 64, gridPixel);
  write("cut.png", std::vector<uint8_t>(png.begin(), png.begin() + png.size() / 2));
  write("header.png", std::vector<uint8_t>(png.begin(), png.begin() + 20));
  write("text.png", {'h', 'e', 'l', 'l', 'o', '\n'});
  write("empty.png", {});
  write("good.png", png);
  EXPECT_EQ(load(-1, -1, "cut.png", 0), nullptr);
  EXPECT_EQ(load(-1, -1, "header.png", 0), nullptr);
  EXPECT_EQ(load(-1, -1, "text.png", 0), nullptr);
  EXPECT_EQ(load(-1, -1, "empty.png", 0), nullptr);
  EXPECT_EQ(load(-1, -1, "missing.png", 0), nullptr);
  EXPECT_EQ(load(-1, -1, nullptr, 0), nullptr);
  EXPECT_EQ(load(-1, -1, "good.png", 3), nullptr);      // no such load mode
  EXPECT_EQ(load(-65, -1, "good.png", 0), nullptr);     // more cells than pixels
  EXPECT_NE(load(-64, -64, "good.png", 0), nullptr);    // one pixel per cell is fine
}

// A small file declaring a picture of gigabytes is refused from its header, before any
// memory is set aside for it: the process's peak stays where it was.
TEST_F(Images, Load_AbsurdDeclaredSizesAreRefusedBeforeDecoding) {
  auto le = [](std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
  };
  std::vector<uint8_t> png = pngBytes(64, 64, gridPixel);
  for (int i = 0; i < 4; ++i) png[16 + i] = png[20 + i] = uint8_t(30000u >> (24 - 8 * i));
  // A BMP with a 40-byte header, 24 bits a pixel, rows stored top down, and no pixels.
  std::vector<uint8_t> bmp = {'B', 'M'};
  le(bmp, 54, 4);
  le(bmp, 0, 4);
  le(bmp, 54, 4);
  le(bmp, 40, 4);
  le(bmp, 20000, 4);
  le(bmp, uint32_t(-20000), 4);
  le(bmp, 1, 2);
  le(bmp, 24, 2);
  bmp.resize(54, 0);
  // A JPEG whose frame header (after an APP0 segment) says 30000x30000.
  std::vector<uint8_t> jpg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 'J', 'F', 0xFF, 0xC0, 0x00, 0x11,
                              0x08, 0x75, 0x30, 0x75, 0x30, 0x03};
  jpg.resize(jpg.size() + 12, 0x11);
  write("wide.png", png);
  write("wide.bmp", bmp);
  write("wide.jpg", jpg);
  struct rusage before {}, after {};
  getrusage(RUSAGE_SELF, &before);
  EXPECT_EQ(load(-1, -1, "wide.png", 0), nullptr);
  EXPECT_EQ(load(-1, -1, "wide.bmp", 0), nullptr);
  EXPECT_EQ(load(-1, -1, "wide.jpg", 0), nullptr);
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);  // KiB
}

TEST_F(Images, Load_PositiveCellValueIsTheCellSizeInPixels) {
  write("strip.png", pngBytes(100, 20, gridPixel));
  LbImage img = load(25, 0, "strip.png", 0);
  ASSERT_NE(img, nullptr);
  int w = 0, h = 0;
  lbtsGetImageSize(img, &w, &h);
  EXPECT_EQ(w, 25);
  EXPECT_EQ(h, 20);
}

// A picture loaded again is copied from the one decoded before, but only while the file's
// bytes are the same: a file rewritten under the same name, at the same size, is decoded
// again, and every load gets pixels of its own.
TEST_F(Images, Load_FileRewrittenOnDiskIsDecodedAgain) {
  auto solidPng = [](uint32_t colour) { return pngBytes(16, 8, [=](int, int) { return colour; }); };
  const uint32_t red = argb(255, 200, 0, 0), blue = argb(255, 0, 0, 200);
  ASSERT_EQ(solidPng(red).size(), solidPng(blue).size());
  write("bg.png", solidPng(red));
  LbImage first = load(0, 0, "bg.png", 0);
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(lbtsFillImage(first, 0, 1, 0, 1), 1);  // the copy handed out, not the one kept
  LbImage again = load(0, 0, "bg.png", 0);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->pixels[17], red);
  write("bg.png", solidPng(blue));
  LbImage rewritten = load(0, 0, "bg.png", 0);
  ASSERT_NE(rewritten, nullptr);
  EXPECT_EQ(rewritten->pixels[17], blue);
  LbImage layer = load(0, 0, "bg.png", 1);  // another load mode is decoded for itself
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->pixels[17], argb(255, 0, 0, 200));
}

// Pictures and buffers are kept only within their bounds, however many pass through.
TEST_F(Images, Keep_PixelMemoryStaysWithinItsBounds) {
  for (int n = 0; n < 24; ++n) {
    std::string name = "pic" + std::to_string(n) + ".png";
    write(name, pngBytes(640, 480, [=](int x, int y) { return argb(255, n, x & 255, y & 255); }));
    LbImage img = lbtsLoadImage(0, 0, name.c_str(), 0);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->pixels[1], argb(255, n, 1, 0));
    lbtsDestroyImage(img);
    for (int size = 1; size <= 3; ++size) lbtsDestroyImage(lbtsCreateImage(640 * size, 480 + n));
  }
  KeptPixelMemory kept = keptPixelMemory();
  EXPECT_LE(kept.pictureBytes, kKeptPictureBytes);
  EXPECT_LE(kept.pictures, kKeptPictureCount);
  EXPECT_GT(kept.pictures, 0u);
  EXPECT_LE(kept.bufferBytes, kKeptBufferBytes);
  EXPECT_LE(kept.buffers, kKeptBufferCount);
  EXPECT_GT(kept.buffers, 0u);
  // A buffer handed out again is cleared like a new one.
  LbImage reused = lbtsCreateImage(640, 480 + 23);
  ASSERT_NE(reused, nullptr);
  images_.push_back(reused);
  EXPECT_EQ(std::count(reused->pixels.begin(), reused->pixels.end(), 0u),
            static_cast<long>(reused->pixels.size()));
}

TEST_F(Images, Fill_KeepsColourAtZeroAlphaForGlyphsToRaise) {
  LbImage img = lbtsCreateImage(4, 4);
  images_.push_back(img);
  uint64_t before = img->version;
  ASSERT_EQ(lbtsFillImage(img, 1.0f, 0.5f, 0.0f, 0.0f), 1);
  EXPECT_EQ(img->pixels[5], argb(0, 255, 128, 0));
  EXPECT_GT(img->version, before);
  ASSERT_EQ(lbtsFillImage(img, 2.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 1.0f), 1);
  EXPECT_EQ(img->pixels[0], argb(255, 255, 0, 0));
}

TEST_F(Images, FillRect_IsClippedToTheImageAndReplacesAlpha) {
  LbImage img = lbtsCreateImage(4, 3);
  images_.push_back(img);
  lbtsFillImage(img, 0, 0, 0, 1);
  ASSERT_EQ(lbtsFillImageRect(img, 2, -5, 100, 6, 0, 0, 1, 0.5f), 1);
  EXPECT_EQ(img->pixels[1], argb(255, 0, 0, 0));
  EXPECT_EQ(img->pixels[2], argb(128, 0, 0, 255));
  EXPECT_EQ(img->pixels[3], argb(128, 0, 0, 255));
  EXPECT_EQ(img->pixels[4 + 2], argb(255, 0, 0, 0));  // row 1 lies below the rectangle
  EXPECT_EQ(lbtsFillImageRect(img, 1, 1, -3, 2, 1, 1, 1, 1), 1);  // empty: nothing changes
  EXPECT_EQ(img->pixels[5], argb(255, 0, 0, 0));
}

TEST_F(Images, Create_RefusesSizesThatCannotBeAnImage) {
  EXPECT_EQ(lbtsCreateImage(0, 10), nullptr);
  EXPECT_EQ(lbtsCreateImage(10, -1), nullptr);
  EXPECT_EQ(lbtsCreateDynamicImage(1 << 20, 1 << 20), nullptr);
  LbImage img = lbtsCreateImage(3, 2);
  images_.push_back(img);
  EXPECT_EQ(lbtsIsImageLost(img), 0);
  EXPECT_EQ(img->pixels.size(), 6u);
}

TEST_F(Images, Capture_CopiesTheLastFrameAndFitsSmallerImages) {
  sprite(solid(10, 10, argb(255, 9, 8, 7)), 0, 0, 0);
  ASSERT_EQ(lbtsRender(), 1);
  LbImage small = lbtsCreateImage(5, 3);
  images_.push_back(small);
  ASSERT_EQ(lbtsGetRenderImage(small), 1);
  EXPECT_EQ(small->pixels[14], argb(255, 9, 8, 7));
  LbImage big = lbtsCreateImage(900, 700);
  images_.push_back(big);
  ASSERT_EQ(lbtsGetRenderImage(big), 1);
  EXPECT_EQ(big->pixels[0], argb(255, 9, 8, 7));
  EXPECT_EQ(big->pixels[650 * 900 + 850], 0u);  // beyond the frame: left as it was
}

TEST_F(Images, Capture_ShownAgainReproducesTheFrame) {
  sprite(pattern(64, 48), 2, 30, 40);
  auto before = render();
  LbImage capture = lbtsCreateDynamicImage(kFrameWidth, kFrameHeight);
  images_.push_back(capture);
  lbtsGetRenderImage(capture);
  destroySprites();
  sprite(capture, 0, 0, 0);
  EXPECT_EQ(render(), before);
}

TEST_F(Images, RenderScreen_PresentsTheFrameItComposed) {
  sprite(pattern(20, 20), 0, 5, 5);
  ASSERT_EQ(lbtsRenderScreen(), 1);
  ASSERT_NE(platform().presented, nullptr);
  std::vector<uint32_t> presented(platform().presented,
                                  platform().presented + kFrameWidth * kFrameHeight);
  EXPECT_EQ(presented, render());
  EXPECT_EQ(presented[5 * kFrameWidth + 5], argb(255, 255, 255, 255));
}

// A headless run whose frames nobody looks at presents them without composing them;
// composing on request still works.
TEST_F(Images, RenderScreen_WithoutComposingDrawsNothing) {
  EXPECT_EQ(lbtsRenderScreen(), 1);  // a frame without the sprite
  sprite(pattern(20, 20), 0, 5, 5);
  platform().composeFrames = false;
  const int presented = lbtsRenderScreen();
  platform().composeFrames = true;
  EXPECT_EQ(presented, 1);
  ASSERT_NE(platform().presented, nullptr);
  EXPECT_NE(platform().presented[5 * kFrameWidth + 5], argb(255, 255, 255, 255));
  EXPECT_EQ(at(render(), 5, 5), argb(255, 255, 255, 255));
}

TEST(FramePng, HoldsEveryPixelOfTheFrame) {
  // Flat colour, gradients and noise, so every filter difference and run length occurs.
  std::vector<uint32_t> frame(static_cast<size_t>(kFrameWidth) * kFrameHeight);
  uint32_t noise = 12345;
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = 0; x < kFrameWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      uint32_t p = y < 200 ? argb(255, 20, 40, 60)
                 : y < 400 ? argb(255, x & 0xFF, y & 0xFF, (x + y) & 0xFF)
                           : 0xFF000000u | (noise >> 8);
      frame[static_cast<size_t>(y) * kFrameWidth + x] = p;
    }
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("orvane-png-" + std::to_string(::getpid()) + ".png")).string();
  std::string error;
  ASSERT_TRUE(writeFramePng(path, frame.data(), kFrameWidth, kFrameHeight, &error)) << error;
  std::vector<uint32_t> read;
  int w = 0, h = 0;
  ASSERT_TRUE(loadPng(path, read, w, h));
  std::filesystem::remove(path);
  EXPECT_EQ(w, kFrameWidth);
  EXPECT_EQ(h, kFrameHeight);
  EXPECT_EQ(read, frame);
  EXPECT_FALSE(writeFramePng("/nonexistent-folder/x.png", frame.data(), kFrameWidth,
                             kFrameHeight, &error));
  EXPECT_FALSE(error.empty());
}

// ---- wipes ----

TEST(WipeCoverage, EndsOfTheSweepAreWholeAndEmpty) {
  for (int g = 0; g < 256; ++g) {
    auto grey = static_cast<uint8_t>(g);
    ASSERT_EQ(wipeCoverage(grey, 0.0f, 1), 0) << g;
    ASSERT_EQ(wipeCoverage(grey, 1.0f, 1), 255) << g;
    ASSERT_EQ(wipeCoverage(grey, 0.0f, 0), 255) << g;
    ASSERT_EQ(wipeCoverage(grey, 1.0f, 0), 0) << g;
  }
}

TEST(WipeCoverage, DarkRevealsFirstAndGrowsWithTheLevel) {
  EXPECT_GT(wipeCoverage(0, 0.3f, 1), wipeCoverage(200, 0.3f, 1));
  for (int g = 0; g < 256; g += 15)
    for (float level = 0.0f; level < 1.0f; level += 0.05f)
      ASSERT_LE(wipeCoverage(static_cast<uint8_t>(g), level, 1),
                wipeCoverage(static_cast<uint8_t>(g), level + 0.05f, 1));
  // The edge is soft: some grey is partly shown half way through.
  int partial = 0;
  for (int g = 0; g < 256; ++g) {
    uint8_t c = wipeCoverage(static_cast<uint8_t>(g), 0.5f, 1);
    partial += c > 0 && c < 255;
  }
  EXPECT_GT(partial, 8);
}

TEST_F(Images, Wipe_LoadsAGreyMaskAndClampsItsLevel) {
  write("sys/wipe_bg.png", pngBytes(16, 8, [](int x, int) { return argb(255, x * 16, x * 16, x * 16); }));
  LbWipe w = lbtsLoadWipe("sys/wipe_bg.png");
  ASSERT_NE(w, nullptr);
  wipes_.push_back(w);
  EXPECT_EQ(w->width, 16);
  EXPECT_EQ(w->grey[15], 240);
  EXPECT_EQ(lbtsSetWipeLevel(w, 1.5f), 1);
  EXPECT_EQ(w->level, 1.0f);
  EXPECT_EQ(lbtsSetWipeLevel(w, -2.0f), 1);
  EXPECT_EQ(w->level, 0.0f);
  EXPECT_EQ(lbtsSetWipeLevel(w, std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(lbtsLoadWipe("sys/none.png"), nullptr);
  write("bad.png", {1, 2, 3});
  EXPECT_EQ(lbtsLoadWipe("bad.png"), nullptr);
}

TEST_F(Images, Wipe_DestroyedMaskDetachesFromItsSprites) {
  LbWipe w = wipe(4, 4, [](int, int) { return 0; });
  LbSprite s = sprite(solid(10, 10, argb(255, 255, 0, 0)), 0, 0, 0);
  ASSERT_EQ(lbtsSetSpriteWipe(s, w, 1), 1);
  EXPECT_EQ(at(render(), 5, 5), argb(255, 0, 0, 0));  // level 0 reveals nothing
  ASSERT_EQ(lbtsDestroyWipe(w), 1);
  wipes_.clear();
  EXPECT_EQ(at(render(), 5, 5), argb(255, 255, 0, 0));
  EXPECT_EQ(lbtsSetSpriteWipe(s, w, 1), 0);
}

TEST_F(Images, Wipe_ModesOtherThanRevealAndConcealAreRefused) {
  LbWipe w = wipe(4, 4, [](int, int) { return 0; });
  LbSprite s = sprite(solid(10, 10, argb(255, 255, 0, 0)), 0, 0, 0);
  EXPECT_EQ(lbtsSetSpriteWipe(s, w, 2), 0);
  EXPECT_EQ(lbtsSetSpriteWipe(s, w, 0), 1);
  EXPECT_EQ(lbtsSetSpriteWipe(s, nullptr, 0), 1);  // detaching
}

}  // namespace
