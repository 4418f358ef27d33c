// The render tests' fixture, test pictures and golden frame comparison.
#include "render_fixture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path scratchFile(const std::string& suffix) {
  static int counter = 0;
  return fs::temp_directory_path() /
         ("orvane-render-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + suffix);
}

std::vector<uint8_t> readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

SDL_Surface* surfaceOf(int w, int h, const std::function<uint32_t(int, int)>& pixel) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
    for (int x = 0; x < w; ++x) row[x] = pixel(x, y);
  }
  return s;
}

bool savePng(const std::vector<uint32_t>& pixels, int w, int h, const fs::path& path) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels.data()), w, h,
                                                      32, w * 4, SDL_PIXELFORMAT_ARGB8888);
  bool ok = s && IMG_SavePNG(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

}  // namespace

std::vector<uint8_t> pngBytes(int w, int h, const std::function<uint32_t(int, int)>& pixel,
                              bool alpha) {
  SDL_Surface* s = surfaceOf(w, h, pixel);
  if (!alpha) {
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(s);
    s = rgb;
  }
  fs::path path = scratchFile(".png");
  IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
  std::vector<uint8_t> bytes = readFile(path);
  fs::remove(path);
  return bytes;
}

std::vector<uint8_t> bmpBytes(int w, int h, const std::function<uint32_t(int, int)>& pixel) {
  SDL_Surface* s = surfaceOf(w, h, pixel);
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGB24, 0);
  SDL_FreeSurface(s);
  fs::path path = scratchFile(".bmp");
  SDL_SaveBMP(rgb, path.c_str());
  SDL_FreeSurface(rgb);
  std::vector<uint8_t> bytes = readFile(path);
  fs::remove(path);
  return bytes;
}

void RenderTest::destroySprites() {
  std::vector<LbSprite> sprites = allSprites();
  for (LbSprite s : sprites) lbtsDestroySprite(s);
}

void RenderTest::TearDown() {
  destroySprites();
  for (LbImage i : images_) lbtsDestroyImage(i);
  for (LbWipe w : wipes_) lbtsDestroyWipe(w);
}

LbImage RenderTest::image(int w, int h, const std::function<uint32_t(int, int)>& pixel) {
  LbImage img = lbtsCreateImage(w, h);
  EXPECT_NE(img, nullptr);
  if (!img) return nullptr;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img->pixels[static_cast<size_t>(y) * w + x] = pixel(x, y);
  ++img->version;
  images_.push_back(img);
  return img;
}

LbImage RenderTest::solid(int w, int h, uint32_t colour) {
  return image(w, h, [colour](int, int) { return colour; });
}

LbImage RenderTest::pattern(int w, int h) {
  return image(w, h, [](int x, int y) {
    if (x < 8 && y < 8) return argb(255, 255, 255, 255);  // the top-left marker
    uint32_t bx = x / 8, by = y / 8;
    return argb(255, (bx * 40 + 60) & 0xFF, (by * 50 + 30) & 0xFF, ((bx + by) % 2) ? 200 : 40);
  });
}

LbWipe RenderTest::wipe(int w, int h, const std::function<uint8_t(int, int)>& grey) {
  LbWipe mask = decodeWipe(pngBytes(w, h, [&](int x, int y) {
    uint32_t g = grey(x, y);
    return argb(255, g, g, g);
  }));
  EXPECT_NE(mask, nullptr);
  if (mask) wipes_.push_back(mask);
  return mask;
}

LbSprite RenderTest::sprite(LbImage img, int level, int x, int y) {
  LbSprite s = lbtsCreateSprite(img, level, 1);
  EXPECT_NE(s, nullptr);
  lbtsSetSpritePos(s, x, y);
  return s;
}

std::vector<uint32_t> RenderTest::render() {
  EXPECT_EQ(lbtsRender(), 1);
  LbImage capture = lbtsCreateDynamicImage(kFrameWidth, kFrameHeight);
  EXPECT_EQ(lbtsGetRenderImage(capture), 1);
  std::vector<uint32_t> frame = capture->pixels;
  lbtsDestroyImage(capture);
  return frame;
}

::testing::AssertionResult matchesGolden(const std::vector<uint32_t>& frame,
                                         const std::string& name) {
  fs::path golden = fs::path(ORVANE_GOLDEN_DIR) / (name + ".png");
  if (std::getenv("ORVANE_UPDATE_GOLDEN")) {
    if (!savePng(frame, kFrameWidth, kFrameHeight, golden))
      return ::testing::AssertionFailure() << "cannot write " << golden;
    return ::testing::AssertionSuccess() << "wrote " << golden;
  }
  SDL_Surface* loaded = IMG_Load(golden.c_str());
  if (!loaded)
    return ::testing::AssertionFailure()
           << "no golden " << golden << " (run with ORVANE_UPDATE_GOLDEN=1 to make it)";
  SDL_Surface* expected = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (expected->w != kFrameWidth || expected->h != kFrameHeight) {
    SDL_FreeSurface(expected);
    return ::testing::AssertionFailure() << golden << " is not a whole frame";
  }
  std::vector<uint32_t> diff(frame.size());
  size_t differing = 0;
  int largest = 0;
  for (int y = 0; y < kFrameHeight; ++y) {
    auto* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(expected->pixels) +
                                                  y * expected->pitch);
    for (int x = 0; x < kFrameWidth; ++x) {
      size_t i = static_cast<size_t>(y) * kFrameWidth + x;
      uint32_t want = row[x] | 0xFF000000u, got = frame[i];
      if (want == got) {
        uint32_t grey = ((want >> 16 & 0xFF) + (want >> 8 & 0xFF) + (want & 0xFF)) / 12;
        diff[i] = argb(255, grey, grey, grey);
      } else {
        ++differing;
        diff[i] = argb(255, 255, 0, 0);
        for (int shift = 0; shift < 24; shift += 8)
          largest = std::max(largest, std::abs(static_cast<int>(want >> shift & 0xFF) -
                                               static_cast<int>(got >> shift & 0xFF)));
      }
    }
  }
  SDL_FreeSurface(expected);
  if (differing == 0) return ::testing::AssertionSuccess();
  fs::path out(ORVANE_RENDER_OUT_DIR);
  savePng(frame, kFrameWidth, kFrameHeight, out / (name + ".actual.png"));
  savePng(diff, kFrameWidth, kFrameHeight, out / (name + ".diff.png"));
  return ::testing::AssertionFailure() << differing << " pixels differ (by up to " << largest
                                       << " in a channel) from " << golden
                                       << "; see " << (out / (name + ".actual.png")) << " and "
                                       << (out / (name + ".diff.png"));
}
