// Sound effects: a name resolves to the file as written or with ".wav", ".ogg" or ".mp3";
// loaded effects stay in a small least-recently-used cache, because the message text plays
// one for every character; the effect last started is held so it is not cut off.
#include "host/errors.h"
#include "present/frame.h"
#include "present/sound.h"
#include "script/syntax.h"

namespace {

// Tried in this order when no file of the name as written exists.
constexpr const char* kSoundExtensions[] = {"wav", "ogg", "mp3"};

OrderedList<ResourceHandle> gSoundCache;  // least recently used at the front
std::size_t gSoundCacheLimit = 8;
ResourceHandle gLastEffect;

// The existing file the name stands for, into `out`; false (and `out` empty) for none.
bool resolveSound(const char* name, PathBuffer& out) {
  CopyText(name, out, sizeof out);
  if (gHost.lbIsFileExist(out)) return true;
  PathBuffer base;
  CopyText(name, base, sizeof base);
  for (const char* extension : kSoundExtensions) {
    joinPath(out, nullptr, base, extension);
    if (gHost.lbIsFileExist(out)) return true;
  }
  out[0] = '\0';
  return false;
}

}  // namespace

void initSoundCache(int limit) {
  gSoundCacheLimit = limit < 1 ? 1 : static_cast<std::size_t>(limit);
}

bool soundExists(const char* name) {
  PathBuffer path;
  return resolveSound(name, path);
}

ResourceHandle loadSound(const char* name, int loadMode) {
  PathBuffer path;
  if (!resolveSound(name, path)) return wrapResource(ResourceKind::Sound, nullptr, "");

  using Position = OrderedList<ResourceHandle>::Position;
  for (Position at = gSoundCache.first(); at != nullptr; at = gSoundCache.next(at)) {
    if (!TextEqualsNoCase(at->element->name, path)) continue;
    ResourceHandle hit = at->element;
    gSoundCache.remove(at);
    gSoundCache.append(hit);
    return hit;
  }

  // A sound the host cannot load is cached as such too, so a broken file is not retried
  // for every character of a message.
  ResourceHandle loaded =
      wrapResource(ResourceKind::Sound, gHost.lbLoadSound(path, loadMode), path);
  while (gSoundCache.count() >= gSoundCacheLimit) gSoundCache.removeFirst();
  gSoundCache.append(loaded);
  return loaded;
}

void playSe(const char* name) {
  // The effect belongs to the picture it accompanies, so that picture is shown first.
  renderScreen();
  gLastEffect = loadSound(name, 1);
  if (LbSound sound = hostSound(gLastEffect)) gHost.lbPlaySound(sound, 0);
}

void flushSoundCache() { gSoundCache.clear(); }

void releaseSoundCache() { gSoundCache = OrderedList<ResourceHandle>(); }

void releaseSoundEffects() {
  gLastEffect.reset();
  releaseSoundCache();
}

std::size_t soundCacheCount() { return gSoundCache.count(); }
