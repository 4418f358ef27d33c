// Image loading through the least-recently-used image cache: a short list of image records
// keyed by resolved path (ASCII case ignored), least recently used at the front. Emptying
// it also empties the sound cache, so a failed render frees every cached host object.
#include "host/errors.h"
#include "present/resources.h"
#include "present/sound.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

OrderedList<ResourceHandle> gImageCache;
std::size_t gImageCacheLimit = 32;

int loadModeOf(const char* option) {
  if (TextEqualsNoCase(option, "alpha")) return 2;
  if (TextEqualsNoCase(option, "alayer")) return 1;
  return 0;
}

// The load options that are words; anything else must be a colour.
bool isOptionWord(const char* option) {
  return option[0] == '\0' || TextEqualsNoCase(option, "none") ||
         TextEqualsNoCase(option, "alpha") || TextEqualsNoCase(option, "alayer") ||
         TextEqualsNoCase(option, "leftup");
}

}  // namespace

void setImageCacheLimit(int limit) { gImageCacheLimit = limit < 1 ? 1 : static_cast<std::size_t>(limit); }

std::size_t imageCacheCount() { return gImageCache.count(); }

ResourceHandle loadImage(int cellsX, int cellsY, const char* name, bool useCache,
                         const char* option) {
  if (option == nullptr) option = "";
  PathBuffer path;
  resolveResourcePath(name, path, sizeof path);

  if (useCache) {
    for (auto at = gImageCache.first(); at != nullptr; at = gImageCache.next(at)) {
      if (!TextEqualsNoCase(at->element->name, path)) continue;
      ResourceHandle hit = at->element;
      gImageCache.remove(at);
      gImageCache.append(hit);
      return hit;
    }
  }

  LbImage image = gHost.lbtsLoadImage(cellsX, cellsY, path, loadModeOf(option));
  if (image == nullptr) ScriptError("画像 \"%s\" が読み込めません。"_sj, name);
  ResourceHandle handle = wrapResource(ResourceKind::Image, image, path);

  if (!isOptionWord(option)) {
    Colour ignored;
    parseColour(option, ignored);  // an unknown word ends the game here
  }

  if (useCache) {
    while (gImageCache.count() >= gImageCacheLimit) gImageCache.removeFirst();
    gImageCache.append(handle);
  }
  return handle;
}

void flushResourceCaches() {
  gImageCache.clear();
  flushSoundCache();
}

void releaseResourceCaches() {
  gImageCache = OrderedList<ResourceHandle>();
  releaseSoundCache();
}
