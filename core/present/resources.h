// Resources: the presentation engine's one door to host objects. Resource names become paths
// that exist, colour words and codes become colours, and every host object (file, font,
// sprite, image, wipe, sound, stream) is opened behind one shared ResourceHandle whose last
// release calls the matching host destroy function. Loaded images are kept in an LRU cache.
// Every failure here ends the game with the system's own message.
#pragma once

#include <cstddef>

#include "host/host_api.h"
#include "support/support.h"

// ---- Handles ---------------------------------------------------------------------------

// What a ResourceHandle owns; each kind has its own host destroy function.
enum class ResourceKind : int {
  File,    // lbDestroyFile
  Font,    // lbDestroyChar
  Sprite,  // lbtsDestroySprite
  Image,   // lbtsDestroyImage (an image record: the name is what the image cache compares)
  Wipe,    // lbtsDestroyWipe (a wipe record, named with its resolved path)
  Sound,   // lbDestroySound
  Stream,  // lbDestroyStream
};

// One host object and, for image and wipe records, its name: the resolved path, "<black>"
// for a screen capture, "<" + colour text + ">" for a colour-filled image.
struct HostResource {
  ResourceKind kind;
  void* object;
  PathBuffer name;
};

// The handle's deleter: destroys the host object by its kind, empties the name, frees it.
struct ReleaseHostResource {
  void operator()(HostResource* resource) const noexcept;
};

using ResourceHandle = SharedHandle<HostResource, ReleaseHostResource>;

// Wraps a host object in a new handle with count 1. A null object (a sound the host could
// not load) is kept as a record that destroys nothing.
ResourceHandle wrapResource(ResourceKind kind, void* object, const char* name = "");

// The host object a handle owns, typed; null for an empty handle.
inline LbImage hostImage(const ResourceHandle& h) { return h ? static_cast<LbImage>(h->object) : nullptr; }
inline LbSprite hostSprite(const ResourceHandle& h) { return h ? static_cast<LbSprite>(h->object) : nullptr; }
inline LbWipe hostWipe(const ResourceHandle& h) { return h ? static_cast<LbWipe>(h->object) : nullptr; }
inline LbFont hostFont(const ResourceHandle& h) { return h ? static_cast<LbFont>(h->object) : nullptr; }
inline LbFile hostFile(const ResourceHandle& h) { return h ? static_cast<LbFile>(h->object) : nullptr; }
inline LbSound hostSound(const ResourceHandle& h) { return h ? static_cast<LbSound>(h->object) : nullptr; }
inline LbStream hostStream(const ResourceHandle& h) { return h ? static_cast<LbStream>(h->object) : nullptr; }

// ---- Colours ---------------------------------------------------------------------------

// Red, green, blue, alpha, each 0 to 1.
struct Colour {
  float red;
  float green;
  float blue;
  float alpha;
};

// "white", "black", "red", "green", "blue" (ASCII case ignored) or `#` with up to four
// two-character hexadecimal components; anything else ends the game ("認識できない色%sです。").
void parseColour(const char* text, Colour& out);

// ---- Paths -----------------------------------------------------------------------------

// Sets the image extension list ("png:bmp:jpg" at start-up), cut to 263 bytes.
void setImageExtensions(const char* list);
// The name itself when it exists, else the first name + extension of the list that exists,
// else the name unchanged; always terminated within `size` bytes.
void resolveResourcePath(const char* name, char* out, std::size_t size);

// ---- Opening host objects --------------------------------------------------------------

// A file for reading: lbCreateFile(name, 1).
ResourceHandle openFile(const char* name);
// A font: lbCreateChar(face, size, value1..value4).
ResourceHandle openFont(const char* face, int size, int value1, int value2, int value3, int value4);
// A host sprite showing the image: lbtsCreateSprite(image, first, second).
ResourceHandle createSprite(const ResourceHandle& image, int first, int second);
// An image cut into cells (cell integers passed to the host as given), through the image
// cache when `useCache` is set. `option` is the load option: "alpha" (mode 2), "alayer"
// (mode 1), "none", "leftup", empty, or a colour.
ResourceHandle loadImage(int cellsX, int cellsY, const char* name, bool useCache,
                         const char* option);
// An empty screen-capture image named "<black>".
ResourceHandle createScreenImage(int width, int height);
// An image filled with a colour, named "<" + colour text + ">".
ResourceHandle createColourImage(int width, int height, const char* colourText);
// A wipe mask, named with its resolved path.
ResourceHandle loadWipe(const char* name);

// ---- Caches ----------------------------------------------------------------------------

// Sets how many images the cache keeps (32 at start-up); fewer than 1 keeps one.
void setImageCacheLimit(int limit);
// Images held by the cache now.
std::size_t imageCacheCount();
// Empties the image and sound caches (after a failed render).
void flushResourceCaches();
// Empties both caches and frees their list storage (at shutdown).
void releaseResourceCaches();
