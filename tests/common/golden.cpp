// Golden frame comparison and the PNG and Shift-JIS helpers the tests share.
#include "common/golden.h"

#include <SDL.h>
#include <SDL_image.h>
#include <wincompat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

}  // namespace

bool savePng(const std::vector<uint32_t>& pixels, int w, int h, const std::string& path) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels.data()), w, h,
                                                      32, w * 4, SDL_PIXELFORMAT_ARGB8888);
  bool ok = s && IMG_SavePNG(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

bool loadPng(const std::string& path, std::vector<uint32_t>& pixels, int& w, int& h) {
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (!loaded) return false;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (!argb) return false;
  w = argb->w;
  h = argb->h;
  pixels.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    std::copy_n(reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(argb->pixels) + y * argb->pitch),
                w, pixels.begin() + static_cast<ptrdiff_t>(y) * w);
  SDL_FreeSurface(argb);
  return true;
}

std::string sjis(const std::string& utf8) {
  std::string out(utf8.size() + 1, '\0');
  int n = compatUtf8ToSjis(utf8.c_str(), out.data(), out.size());
  EXPECT_GE(n, 0) << utf8;
  out.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return out;
}

::testing::AssertionResult matchesGolden(const std::vector<uint32_t>& frame, const std::string& name) {
  fs::path golden = fs::path(ORVANE_GOLDEN_DIR) / (name + ".png");
  if (frame.size() != static_cast<size_t>(kWidth) * kHeight)
    return ::testing::AssertionFailure() << "the frame is not 800x600";
  if (std::getenv("ORVANE_UPDATE_GOLDEN")) {
    if (!savePng(frame, kWidth, kHeight, golden))
      return ::testing::AssertionFailure() << "cannot write " << golden;
    return ::testing::AssertionSuccess() << "wrote " << golden;
  }
  std::vector<uint32_t> expected;
  int w = 0, h = 0;
  if (!loadPng(golden, expected, w, h))
    return ::testing::AssertionFailure()
           << "no golden " << golden << " (run with ORVANE_UPDATE_GOLDEN=1 to make it)";
  if (w != kWidth || h != kHeight)
    return ::testing::AssertionFailure() << golden << " is not a whole frame";

  std::vector<uint32_t> diff(frame.size());
  size_t differing = 0;
  int largest = 0;
  for (size_t i = 0; i < frame.size(); ++i) {
    uint32_t want = expected[i] | 0xFF000000u, got = frame[i];
    if (want == got) {
      uint32_t grey = ((want >> 16 & 0xFF) + (want >> 8 & 0xFF) + (want & 0xFF)) / 12;
      diff[i] = 0xFF000000u | grey << 16 | grey << 8 | grey;
      continue;
    }
    ++differing;
    diff[i] = 0xFFFF0000u;
    for (int shift = 0; shift < 24; shift += 8)
      largest = std::max(largest, std::abs(static_cast<int>(want >> shift & 0xFF) -
                                           static_cast<int>(got >> shift & 0xFF)));
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  fs::path out(ORVANE_GOLDEN_OUT_DIR);
  fs::create_directories(out);
  savePng(frame, kWidth, kHeight, out / (name + ".actual.png"));
  savePng(diff, kWidth, kHeight, out / (name + ".diff.png"));
  return ::testing::AssertionFailure() << differing << " pixels differ (by up to " << largest
                                       << " in a channel) from " << golden << "; see "
                                       << (out / (name + ".actual.png")) << " and "
                                       << (out / (name + ".diff.png"));
}

std::vector<uint32_t> loadShot(const std::string& path) {
  std::vector<uint32_t> pixels;
  int w = 0, h = 0;
  EXPECT_TRUE(loadPng(path, pixels, w, h)) << path;
  if (pixels.size() != 800u * 600u) pixels.assign(800u * 600u, 0);
  return pixels;
}
