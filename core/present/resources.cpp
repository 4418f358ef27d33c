// Resource handles and the host objects behind them: wrapping, the destroy function of each
// kind, resolving names against the image extension list, and the plain open and create
// operations. Every failure ends the game with the operation's own message.
#include "present/resources.h"

#include <cstring>

#include "host/errors.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

// "png:bmp:jpg" after start-up; read up to its terminator, a carriage return or a line feed.
PathBuffer gImageExtensions = {};

bool endsList(char c) { return c == '\0' || c == '\r' || c == '\n'; }

}  // namespace

namespace {

// Calls the host's destroy function unless the host has been unbound already: a handle
// that outlives the host (a global released at process exit) has nothing left to destroy.
template <class Object>
void destroyWith(int (*destroy)(Object), void* object) {
  if (destroy != nullptr) destroy(static_cast<Object>(object));
}

}  // namespace

void ReleaseHostResource::operator()(HostResource* resource) const noexcept {
  if (resource == nullptr) return;
  if (resource->object != nullptr) {
    switch (resource->kind) {
      case ResourceKind::File: destroyWith(gHost.lbDestroyFile, resource->object); break;
      case ResourceKind::Font: destroyWith(gHost.lbDestroyChar, resource->object); break;
      case ResourceKind::Sprite: destroyWith(gHost.lbtsDestroySprite, resource->object); break;
      case ResourceKind::Image: destroyWith(gHost.lbtsDestroyImage, resource->object); break;
      case ResourceKind::Wipe: destroyWith(gHost.lbtsDestroyWipe, resource->object); break;
      case ResourceKind::Sound: destroyWith(gHost.lbDestroySound, resource->object); break;
      case ResourceKind::Stream: destroyWith(gHost.lbDestroyStream, resource->object); break;
    }
  }
  resource->name[0] = '\0';
  delete resource;
}

ResourceHandle wrapResource(ResourceKind kind, void* object, const char* name) {
  auto* resource = new HostResource{kind, object, {}};
  CopyText(name, resource->name, sizeof resource->name);
  return ResourceHandle(resource);
}

// ---- Paths -----------------------------------------------------------------------------

void setImageExtensions(const char* list) {
  CopyText(list, gImageExtensions, sizeof gImageExtensions);
}

void resolveResourcePath(const char* name, char* out, std::size_t size) {
  if (out == nullptr || size == 0) return;
  PathBuffer written;
  CopyText(name, written, sizeof written);
  if (gHost.lbIsFileExist(written)) {
    CopyText(written, out, size);
    return;
  }
  const char* at = gImageExtensions;
  while (true) {
    PathBuffer token;
    std::size_t kept = 0;
    const char* start = at;
    while (!endsList(*at) && *at != ':') {
      std::size_t n = isLeadByte(static_cast<unsigned char>(*at)) && !endsList(at[1]) ? 2 : 1;
      if (kept + n < sizeof token) {
        std::memcpy(token + kept, at, n);
        kept += n;
      }
      at += n;
    }
    token[kept] = '\0';
    bool colon = *at == ':';
    // An empty token before a colon is tried; the empty rest after the last colon is not.
    if (!colon && at == start) break;
    PathBuffer candidate = {};
    gHost.lbMargePath(candidate, nullptr, written, token);
    candidate[sizeof candidate - 1] = '\0';
    if (gHost.lbIsFileExist(candidate)) {
      CopyText(candidate, out, size);
      return;
    }
    if (!colon) break;
    ++at;
  }
  CopyText(written, out, size);
}

// ---- Opening host objects --------------------------------------------------------------

ResourceHandle openFile(const char* name) {
  LbFile file = gHost.lbCreateFile(name, 1);
  if (file == nullptr) ScriptError("ファイル \"%s\" が開けません。"_sj, name);
  return wrapResource(ResourceKind::File, file);
}

ResourceHandle openFont(const char* face, int size, int value1, int value2, int value3,
                        int value4) {
  LbFont font = gHost.lbCreateChar(face, size, value1, value2, value3, value4);
  if (font == nullptr) ScriptError("フォント\"%s\"が存在しません。"_sj, face);
  return wrapResource(ResourceKind::Font, font);
}

ResourceHandle createSprite(const ResourceHandle& image, int first, int second) {
  LbSprite sprite = gHost.lbtsCreateSprite(hostImage(image), first, second);
  if (sprite == nullptr) ScriptError("スプライトを作成できません。"_sj);
  return wrapResource(ResourceKind::Sprite, sprite);
}

ResourceHandle createScreenImage(int width, int height) {
  LbImage image = gHost.lbtsCreateDynamicImage(width, height);
  if (image == nullptr) ScriptError("画像が作成できません。"_sj);
  return wrapResource(ResourceKind::Image, image, "<black>");
}

ResourceHandle createColourImage(int width, int height, const char* colourText) {
  LbImage image = gHost.lbtsCreateImage(width, height);
  if (image == nullptr) ScriptError("画像が作成できません。"_sj);
  // Owned before the colour is read, so an unknown colour does not leak the image.
  char name[kPathSize];
  std::size_t length = CopyText(colourText, name + 1, sizeof name - 2);
  name[0] = '<';
  name[length + 1] = '>';
  name[length + 2] = '\0';
  ResourceHandle handle = wrapResource(ResourceKind::Image, image, name);
  Colour colour;
  parseColour(colourText, colour);
  gHost.lbtsFillImage(image, colour.red, colour.green, colour.blue, colour.alpha);
  return handle;
}

ResourceHandle loadWipe(const char* name) {
  PathBuffer path;
  resolveResourcePath(name, path, sizeof path);
  LbWipe wipe = gHost.lbtsLoadWipe(path);
  if (wipe == nullptr) ScriptError("ワイプ \"%s\" が読み込めません。"_sj, name);
  return wrapResource(ResourceKind::Wipe, wipe, path);
}
