/*
 * Render images: decoding PNG, BMP and JPG game files into straight-alpha pixels laid out as
 * a grid of cells, creating and filling images, the image offset that picks the cell a
 * sprite shows, and the registry that makes a stale image handle harmless.
 */
#include "compositor.h"
#include "ledger.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

// Larger than any picture a game of 800x600 needs; refuses absurd sizes before allocating.
constexpr int kMaxImageSide = 8192;

// The load modes of lbtsLoadImage: where a loaded picture's transparency comes from.
enum LoadMode : int {
  kLoadPlain = 0,        // the file's alpha channel when it has one, else opaque
  kLoadAlphaLayer = 1,   // "alayer": a file without alpha channel is its own alpha layer (grey level)
  kLoadAlphaChannel = 2, // "alpha": the file's alpha channel, else opaque
};

std::unordered_set<LbImage>& images() {
  static std::unordered_set<LbImage> live;
  return live;
}

LbImage newImage(int width, int height) {
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return nullptr;
  auto* image = new LbImageObject;
  image->width = image->cellWidth = width;
  image->height = image->cellHeight = height;
  image->pixels.assign(static_cast<size_t>(width) * height, 0u);
  images().insert(image);
  return image;
}

// One cell's extent along an axis: a negative count divides the picture into that many
// cells, a positive value is the cell's size in pixels, 0 takes the whole picture.
int cellExtent(int cells, int whole) {
  if (cells < 0) {
    if (-static_cast<long long>(cells) > whole) return 0;
    return whole / -cells;
  }
  if (cells > 0) return std::min(cells, whole);
  return whole;
}

uint8_t toByte(float v) {
  if (!(v > 0.0f)) return 0;  // also NaN
  if (v >= 1.0f) return 255;
  return static_cast<uint8_t>(std::lround(v * 255.0f));
}

uint32_t packColour(float r, float g, float b, float a) {
  return static_cast<uint32_t>(toByte(a)) << 24 | static_cast<uint32_t>(toByte(r)) << 16 |
         static_cast<uint32_t>(toByte(g)) << 8 | toByte(b);
}

bool isSupportedPicture(SDL_RWops* rw) {
  return IMG_isPNG(rw) || IMG_isBMP(rw) || IMG_isJPG(rw);
}

}  // namespace

bool isLiveImage(LbImage image) { return image && images().count(image) != 0; }

void registerImage(LbImage image) {
  if (image) images().insert(image);
}

LbImage decodeImage(const std::vector<uint8_t>& bytes, int cellsX, int cellsY, int mode) {
  if (mode < kLoadPlain || mode > kLoadAlphaChannel || bytes.empty()) return nullptr;
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) return nullptr;
  SDL_Surface* decoded = nullptr;
  if (isSupportedPicture(rw)) decoded = IMG_Load_RW(rw, 0);
  SDL_RWclose(rw);
  if (!decoded) return nullptr;

  bool hasAlpha = decoded->format->Amask != 0 || SDL_HasColorKey(decoded);
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(decoded);
  if (!argb) return nullptr;

  LbImage image = newImage(argb->w, argb->h);
  if (image) {
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y) {
      auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                    static_cast<size_t>(y) * argb->pitch);
      std::copy(row, row + argb->w, image->pixels.begin() + static_cast<size_t>(y) * argb->w);
    }
    SDL_UnlockSurface(argb);
    if (!hasAlpha) {
      for (uint32_t& p : image->pixels) {
        uint32_t alpha = 0xFF;
        if (mode == kLoadAlphaLayer) {
          uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
          alpha = (r * 77 + g * 150 + b * 29 + 128) >> 8;
        }
        p = alpha << 24 | (p & 0xFFFFFF);
      }
    }
    image->cellWidth = cellExtent(cellsX, image->width);
    image->cellHeight = cellExtent(cellsY, image->height);
    if (image->cellWidth == 0 || image->cellHeight == 0) {
      // More cells than pixels: no cell could be shown, so the load fails as a whole.
      images().erase(image);
      delete image;
      image = nullptr;
    }
  }
  SDL_FreeSurface(argb);
  return image;
}

extern "C" {

LbImage lbtsCreateImage(int width, int height) {
  return counted(HostObject::Image, newImage(width, height));
}

// A dynamic image is one the runtime itself rewrites (the screen capture); in a software
// host it is an ordinary image.
LbImage lbtsCreateDynamicImage(int width, int height) {
  return counted(HostObject::Image, newImage(width, height));
}

LbImage lbtsLoadImage(int cellsX, int cellsY, const char* path, int mode) {
  if (!path) return nullptr;
  std::vector<uint8_t> bytes;
  if (!readGameFile(path, bytes)) return nullptr;
  return counted(HostObject::Image, decodeImage(bytes, cellsX, cellsY, mode));
}

int lbtsDestroyImage(LbImage image) {
  if (!isLiveImage(image)) return 0;
  ledgerDestroyed(HostObject::Image);
  forgetImage(image);
  images().erase(image);
  delete image;
  return 1;
}

// Images live in ordinary memory here: nothing can take them away behind the game's back.
int lbtsIsImageLost(LbImage) { return 0; }

int lbtsGetImageSize(LbImage image, int* width, int* height) {
  if (!isLiveImage(image)) return 0;
  if (width) *width = image->cellWidth;
  if (height) *height = image->cellHeight;
  return 1;
}

int lbtsGetImageSize2(LbImage image, int* width, int* height) {
  if (!isLiveImage(image)) return 0;
  if (width) *width = image->width;
  if (height) *height = image->height;
  return 1;
}

int lbtsSetImagePos(LbImage image, int x, int y) {
  if (!isLiveImage(image)) return 0;
  image->offsetX = x;
  image->offsetY = y;
  return 1;
}

}  // extern "C"

void imageWritten(LbImageObject& image, const FrameRect& rect) {
  ++image.version;
  image.changes[image.version % std::size(image.changes)] = {image.version, rect};
}

FrameRect imageChangedSince(const LbImageObject& image, uint64_t since) {
  const FrameRect all{0, 0, image.width, image.height};
  if (since > image.version || image.version - since > std::size(image.changes)) return all;
  FrameRect changed;
  for (uint64_t v = since + 1; v <= image.version; ++v) {
    const LbImageObject::Change& c = image.changes[v % std::size(image.changes)];
    if (c.version != v) return all;  // written without a note
    changed = unite(changed, c.rect);
  }
  return intersect(changed, all);
}

extern "C" {

int lbtsFillImage(LbImage image, float r, float g, float b, float a) {
  if (!isLiveImage(image)) return 0;
  std::fill(image->pixels.begin(), image->pixels.end(), packColour(r, g, b, a));
  ++image->version;
  return 1;
}

// Replaces the pixels of the rectangle (clipped to the image) with the colour, alpha
// included: text surfaces are prepared this way before glyphs raise their alpha.
int lbtsFillImageRect(LbImage image, int x, int y, int width, int height, float r, float g,
                      float b, float a) {
  if (!isLiveImage(image)) return 0;
  long long left = std::max<long long>(x, 0), top = std::max<long long>(y, 0);
  long long right = std::min<long long>(static_cast<long long>(x) + std::max(width, 0), image->width);
  long long bottom =
      std::min<long long>(static_cast<long long>(y) + std::max(height, 0), image->height);
  if (left < right && top < bottom) {
    uint32_t colour = packColour(r, g, b, a);
    for (long long row = top; row < bottom; ++row) {
      auto begin = image->pixels.begin() + row * image->width;
      std::fill(begin + left, begin + right, colour);
    }
    imageWritten(*image, {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                          static_cast<int>(bottom)});
  }
  return 1;
}

}  // extern "C"
