/*
 * Wipe masks: grey pictures whose levels, compared with a sweep level from 0 to 1, decide
 * how much of a sprite shows while it comes in (mode 1) or goes out (mode 0).
 */
#include "compositor.h"
#include "ledger.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <unordered_set>

namespace {

// Width of the soft edge, as a fraction of the grey range: the border between shown and
// hidden spans this many grey levels instead of cutting hard.
constexpr float kSoftEdge = 1.0f / 8.0f;

std::unordered_set<LbWipe>& wipes() {
  static std::unordered_set<LbWipe> live;
  return live;
}

}  // namespace

bool isLiveWipe(LbWipe wipe) { return wipe && wipes().count(wipe) != 0; }

// Dark parts of the mask come in first. The threshold runs past both ends of the grey range
// by the soft edge, so level 0 shows nothing at all and level 1 shows every pixel whole.
uint8_t wipeCoverage(uint8_t g, float level, int mode) {
  float shown = (level * (1.0f + kSoftEdge) - g / 255.0f) / kSoftEdge;
  shown = shown < 0.0f ? 0.0f : (shown > 1.0f ? 1.0f : shown);
  auto reveal = static_cast<uint8_t>(std::lround(shown * 255.0f));
  return mode == 1 ? reveal : static_cast<uint8_t>(255 - reveal);
}

LbWipe decodeWipe(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return nullptr;
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) return nullptr;
  SDL_Surface* decoded = nullptr;
  if (IMG_isPNG(rw) || IMG_isBMP(rw) || IMG_isJPG(rw)) decoded = IMG_Load_RW(rw, 0);
  SDL_RWclose(rw);
  if (!decoded) return nullptr;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(decoded);
  if (!argb) return nullptr;

  auto* wipe = new LbWipeObject;
  wipe->width = argb->w;
  wipe->height = argb->h;
  wipe->grey.resize(static_cast<size_t>(argb->w) * argb->h);
  SDL_LockSurface(argb);
  for (int y = 0; y < argb->h; ++y) {
    auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                  static_cast<size_t>(y) * argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      uint32_t p = row[x];
      uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
      wipe->grey[static_cast<size_t>(y) * argb->w + x] =
          static_cast<uint8_t>((r * 77 + g * 150 + b * 29 + 128) >> 8);
    }
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  wipes().insert(wipe);
  return wipe;
}

extern "C" {

LbWipe lbtsLoadWipe(const char* path) {
  if (!path) return nullptr;
  std::vector<uint8_t> bytes;
  if (!readGameFile(path, bytes)) return nullptr;
  return counted(HostObject::Wipe, decodeWipe(bytes));
}

int lbtsDestroyWipe(LbWipe wipe) {
  if (!isLiveWipe(wipe)) return 0;
  ledgerDestroyed(HostObject::Wipe);
  forgetWipe(wipe);
  wipes().erase(wipe);
  delete wipe;
  return 1;
}

int lbtsSetWipeLevel(LbWipe wipe, float level) {
  if (!isLiveWipe(wipe) || std::isnan(level)) return 0;
  level = level < 0.0f ? 0.0f : (level > 1.0f ? 1.0f : level);
  if (level != wipe->level) {
    wipe->level = level;
    ++wipe->version;
  }
  return 1;
}

}  // extern "C"
