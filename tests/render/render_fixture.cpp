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
