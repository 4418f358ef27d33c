/*
 * Render images: decoding PNG, BMP and JPG game files into straight-alpha pixels laid out as
 * a grid of cells, creating and filling images, the image offset that picks the cell a
 * sprite shows, and the registry that makes a stale image handle harmless.
 */
#include "compositor.h"
#include "ledger.h"
#include "pixels.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

bool fitsAnImage(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide;
}

// A registered image of the pixels given, which hold width x height.
LbImage adoptPixels(int width, int height, std::vector<uint32_t>&& pixels) {
  auto* image = new LbImageObject;
  image->width = image->cellWidth = width;
  image->height = image->cellHeight = height;
  image->pixels = std::move(pixels);
  images().insert(image);
  return image;
}

LbImage newImage(int width, int height) {
  if (!fitsAnImage(width, height)) return nullptr;
  LbImage image = adoptPixels(width, height, takePixels(static_cast<size_t>(width) * height, true));
  image->filledVersion = image->version;  // all zero
  image->filledColour = 0;
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

uint32_t bigEndian(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
  return v;
}

uint32_t littleEndian(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

// The size a PNG, BMP or JPG says it has, read from its header before anything is decoded:
// a small file may declare a picture of gigabytes. False when the header does not say.
bool declaredSize(const std::vector<uint8_t>& b, long long& width, long long& height) {
  const size_t n = b.size();
  if (n >= 24 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G' &&
      std::equal(b.begin() + 12, b.begin() + 16, "IHDR")) {
    width = bigEndian(&b[16], 4);
    height = bigEndian(&b[20], 4);
    return true;
  }
  if (n >= 26 && b[0] == 'B' && b[1] == 'M') {
    if (littleEndian(&b[14], 4) == 12) {  // the old header: 16-bit sizes
      width = littleEndian(&b[18], 2);
      height = littleEndian(&b[20], 2);
    } else {
      width = int32_t(littleEndian(&b[18], 4));
      height = int32_t(littleEndian(&b[22], 4));
    }
    width = std::llabs(width);
    height = std::llabs(height);  // negative: rows stored top down
    return true;
  }
  if (n >= 4 && b[0] == 0xFF && b[1] == 0xD8) {
    // The frame header (SOF0 to SOF15, but not DHT, JPG or DAC) among the marker segments.
    size_t at = 2;
    while (at + 4 <= n) {
      if (b[at] != 0xFF) return false;
      uint8_t marker = b[at + 1];
      if (marker == 0xFF) {
        ++at;  // fill byte
        continue;
      }
      if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {
        at += 2;  // no length
        continue;
      }
      size_t length = bigEndian(&b[at + 2], 2);
      if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
        if (at + 9 > n) return false;
        height = bigEndian(&b[at + 5], 2);
        width = bigEndian(&b[at + 7], 2);
        return true;
      }
      if (length < 2) return false;
      at += 2 + length;
    }
  }
  return false;
}

bool isSupportedPicture(SDL_RWops* rw) {
  return IMG_isPNG(rw) || IMG_isBMP(rw) || IMG_isJPG(rw);
}

}  // namespace

bool isLiveImage(LbImage image) { return image && images().count(image) != 0; }

void registerImage(LbImage image) {
  if (image) images().insert(image);
}

namespace {

// Decodes the file's picture into straight ARGB pixels, the load mode's alpha applied.
bool decodePixels(const std::vector<uint8_t>& bytes, int mode, int& width, int& height,
                  std::vector<uint32_t>& pixels) {
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) return false;
  SDL_Surface* decoded = nullptr;
  if (isSupportedPicture(rw)) decoded = IMG_Load_RW(rw, 0);
  SDL_RWclose(rw);
  if (!decoded) return false;

  bool hasAlpha = decoded->format->Amask != 0 || SDL_HasColorKey(decoded);
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(decoded);
  if (!argb) return false;
  if (!fitsAnImage(argb->w, argb->h)) {
    SDL_FreeSurface(argb);
    return false;
  }
  width = argb->w;
  height = argb->h;
  pixels = takePixels(static_cast<size_t>(width) * height, false);
  SDL_LockSurface(argb);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                  static_cast<size_t>(y) * argb->pitch);
    std::copy(row, row + width, pixels.begin() + static_cast<size_t>(y) * width);
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  if (!hasAlpha) {
    for (uint32_t& p : pixels) {
      uint32_t alpha = 0xFF;
      if (mode == kLoadAlphaLayer) {
        uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
        alpha = (r * 77 + g * 150 + b * 29 + 128) >> 8;
      }
      p = alpha << 24 | (p & 0xFFFFFF);
    }
  }
  return true;
}

}  // namespace

LbImage decodeImage(const std::vector<uint8_t>& bytes, int cellsX, int cellsY, int mode) {
  if (mode < kLoadPlain || mode > kLoadAlphaChannel || bytes.empty()) return nullptr;
  long long declaredWidth = 0, declaredHeight = 0;
  if (declaredSize(bytes, declaredWidth, declaredHeight) &&
      (declaredWidth > kMaxImageSide || declaredHeight > kMaxImageSide)) {
    std::fprintf(stderr, "orvane: a picture of %lldx%lld is larger than the %dx%d a picture may be\n",
                 declaredWidth, declaredHeight, kMaxImageSide, kMaxImageSide);
    return nullptr;
  }
  // A picture loaded again (a message window set up for every message, a background shown
  // in every scene) is copied from the one decoded before.
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  if (!findDecodedPicture(bytes, mode, width, height, pixels)) {
    if (!decodePixels(bytes, mode, width, height, pixels)) return nullptr;
    keepDecodedPicture(bytes, mode, width, height, pixels);
  }
  const int cellWidth = cellExtent(cellsX, width), cellHeight = cellExtent(cellsY, height);
  if (cellWidth == 0 || cellHeight == 0) {
    // More cells than pixels: no cell could be shown, so the load fails as a whole.
    keepPixels(std::move(pixels));
    return nullptr;
  }
  LbImage image = adoptPixels(width, height, std::move(pixels));
  image->cellWidth = cellWidth;
  image->cellHeight = cellHeight;
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
  // A picture's file bytes live only until it is decoded, and the same few pictures are read
  // again and again (the message window at every change of text mode): one buffer per thread
  // takes them, so a read of a size met before neither allocates nor clears memory. A buffer
  // grown past a few pictures' worth by one large file is given back.
  constexpr size_t kKeptReadBytes = size_t{4} << 20;
  thread_local std::vector<uint8_t> bytes;
  LbImage image = nullptr;
  if (readGameFile(path, bytes))
    image = counted(HostObject::Image, decodeImage(bytes, cellsX, cellsY, mode));
  if (bytes.capacity() > kKeptReadBytes) std::vector<uint8_t>().swap(bytes);
  return image;
}

int lbtsDestroyImage(LbImage image) {
  if (!isLiveImage(image)) return 0;
  ledgerDestroyed(HostObject::Image);
  forgetImage(image);
  images().erase(image);
  keepPixels(std::move(image->pixels));
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
  const uint32_t colour = packColour(r, g, b, a);
  if (image->filledVersion == image->version && image->filledColour == colour) return 1;
  fillPixels(image->pixels.data(), image->pixels.size(), colour);
  image->filledVersion = ++image->version;
  image->filledColour = colour;
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
    for (long long row = top; row < bottom; ++row)
      fillPixels(image->pixels.data() + row * image->width + left,
                 static_cast<size_t>(right - left), colour);
    imageWritten(*image, {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                          static_cast<int>(bottom)});
  }
  return 1;
}

}  // extern "C"
