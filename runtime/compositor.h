/*
 * The render family's shared records: host sprites, wipe masks, the live-handle registries
 * that keep a stale handle from the game harmless, and the compositor that turns the sprite
 * table into one 800x600 frame. Nothing here knows about SDL or the presentation backend.
 */
#ifndef ORVANE_RUNTIME_COMPOSITOR_H
#define ORVANE_RUNTIME_COMPOSITOR_H

#include "runtime.h"

#include <cstdint>
#include <vector>

// A wipe mask: grey levels 0..255 at the mask's own resolution, compared with `level`.
struct LbWipeObject {
  int width = 0, height = 0;
  std::vector<uint8_t> grey;
  float level = 0.0f;
  uint64_t version = 0;  // bumped when the level changes, so cached masks know they are stale
};

// Per-corner colour of a sprite: corners 0 top-left, 1 top-right, 2 bottom-left,
// 3 bottom-right, each multiplying the image's colour and alpha.
struct SpriteCorner {
  float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
};

// Blend modes accepted by lbtsSetSpriteBlend.
enum SpriteBlend : int {
  kBlendAlpha = 1,  // ordinary alpha blending over what is below
  kBlendAdd = 2,    // additive: light effects brighten what is below
};

// A host sprite: shows the map rectangle of its image (moved by the image's own offset),
// stretched to its size, at its position (relative to its parent's when connected).
struct LbSpriteObject {
  LbImage image = nullptr;        // null once the image is destroyed: the sprite then shows nothing
  int level = 0;
  uint64_t serial = 0;            // creation order: the tie-break between equal levels
  bool draw = true;
  int x = 0, y = 0;               // own position (relative to the parent's absolute one)
  int width = 0, height = 0;      // drawn size
  int mapX = 0, mapY = 0, mapWidth = 0, mapHeight = 0;
  float pivotX = 0.0f, pivotY = 0.0f;  // fractions of the drawn size
  float angleX = 0.0f, angleY = 0.0f, angleZ = 0.0f;  // degrees
  SpriteCorner corners[4];
  int blend = kBlendAlpha;
  LbSprite parent = nullptr;
  LbWipe wipe = nullptr;
  int wipeMode = 0;               // 1 reveals as the level rises, 0 conceals
};

// ---- registries (render objects the game may still hold handles to) ----

bool isLiveImage(LbImage image);        // created by this runtime and not destroyed
bool isLiveSprite(LbSprite sprite);
bool isLiveWipe(LbWipe wipe);
void registerImage(LbImage image);      // for images made by other parts of the runtime
void forgetImage(LbImage image);        // drops sprites' references and cached copies
void forgetWipe(LbWipe wipe);           // detaches the wipe from every sprite
const std::vector<LbSprite>& allSprites();  // in creation order

// ---- images (image.cpp) ----

// Decodes PNG, BMP or JPG bytes into a new registered image laid out as a grid of cells.
// Returns null when the bytes are no such image, are cut short, or the grid does not fit.
LbImage decodeImage(const std::vector<uint8_t>& bytes, int cellsX, int cellsY, int mode);

// ---- pixel memory kept across images (image_store.cpp) ----

// A message window is set up with two surfaces of its own size and every background wipe
// captures the screen: images of a few sizes are made and destroyed again and again, and a
// buffer of that size kept saves its allocation and its first touch of every page. A
// full-screen window with its two surfaces, the wipe's captures and the compositor's copies
// of them come to a dozen screens (an 800x600 one is 1.9 MB); with room for half that, the
// window's own surfaces were made afresh about once in a hundred. What does not fit is freed.
constexpr size_t kKeptBufferBytes = size_t{32} << 20;
constexpr size_t kKeptBufferCount = 32;
// Pictures already decoded: a file read again costs its bytes, not its decoding. Holds the
// pictures of a few scenes (an 800x600 picture is about 1.9 MB), the least recently used
// first to go.
constexpr size_t kKeptPictureBytes = size_t{32} << 20;
constexpr size_t kKeptPictureCount = 64;

// A buffer of `count` pixels, a destroyed image's of that size when one is kept (zeroed when
// `cleared`, else of any content), else a new zeroed one.
std::vector<uint32_t> takePixels(size_t count, bool cleared);
// Keeps a destroyed image's buffer for the next image of its size, within a bound of bytes
// and buffers (the longest kept go first); a buffer beyond the bound is freed.
void keepPixels(std::vector<uint32_t>&& pixels);

// A picture as decoded from a file in one load mode: straight ARGB, alpha already applied.
struct DecodedPicture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};
// The picture decoded earlier from the same file bytes in the same mode, copied into a buffer
// from takePixels; false when none is kept. The bytes are the key, compared in full, so a
// file changed on disk is decoded again whatever its name, size or time.
bool findDecodedPicture(const std::vector<uint8_t>& file, int mode, int& width, int& height,
                        std::vector<uint32_t>& pixels);
// Keeps a decoded picture for findDecodedPicture, within a bound of bytes and pictures (the
// least recently used go first).
void keepDecodedPicture(const std::vector<uint8_t>& file, int mode, int width, int height,
                        const std::vector<uint32_t>& pixels);

struct KeptPixelMemory {
  size_t bufferBytes = 0, buffers = 0, pictureBytes = 0, pictures = 0;
};
KeptPixelMemory keptPixelMemory();

// ---- wipes (wipe.cpp) ----

// Decodes an image file as a grey wipe mask (its luminance); null when it is no image.
LbWipe decodeWipe(const std::vector<uint8_t>& bytes);

// The coverage a wipe gives a pixel of grey `g` at `level` in `mode`, 0..255: mode 1 reveals
// dark parts first and shows the whole sprite at level 1; mode 0 is the reverse.
uint8_t wipeCoverage(uint8_t g, float level, int mode);

// ---- the runtime's own text (text.cpp) ----

// A font for what the runtime itself draws (the settings screen), made as lbCreateChar makes
// the game's but not counted among the game's objects: the fontconfig family (UTF-8), or any
// Japanese font when that family is not installed. Null when there is no font at all.
LbFont openRuntimeFont(const char* utf8Family, int size, bool bold);
void closeRuntimeFont(LbFont font);
// The coverage (0..255, width x height, rows unpadded) of the glyph lbRenderChar last
// prepared in the font; null when it prepared none.
const uint8_t* glyphCoverage(LbFont font, int& width, int& height);

// ---- the compositor (compositor.cpp) ----

// Where a sprite lands: its absolute top-left corner and the affine map from the sprite's
// own drawn rectangle (u in 0..width, v in 0..height) to frame coordinates.
struct SpritePlacement {
  double absX = 0, absY = 0;
  double m[6] = {1, 0, 0, 0, 1, 0};  // frame = (m0*u + m1*v + m2, m3*u + m4*v + m5)
  bool axisAligned = true;
};

void spriteAbsolutePosition(const LbSpriteObject& sprite, int* x, int* y);
SpritePlacement placeSprite(const LbSpriteObject& sprite);

// The sprites that would be drawn, bottom first: by level, then creation order.
std::vector<LbSprite> drawOrder();

// Composes every drawn sprite over black into `frame` (kFrameWidth x kFrameHeight opaque
// 0xFFRRGGBB pixels). Only what changed since the last frame composed into the same buffer
// is drawn again: the pixels where a sprite appeared, went, or changed in any way. `changed`
// (when given) receives the rectangle drawn again, empty when the picture stayed the same.
// Returns false when pixman could not allocate what it needed.
bool composeFrame(uint32_t* frame, FrameRect* changed = nullptr);

// Whether the compositor may draw wipes and one-colour sprites itself and compose only what
// changed (the default). Off, pixman draws every sprite and every frame is drawn whole on
// black, as the reference the tests hold the compositor's own paths to; what the compositor
// knows of the frames it composed before stays, so it can go on where it left off.
void useOwnPixelPaths(bool on);

// Forgets the premultiplied copy of an image or the coverage mask of a wipe being destroyed.
void dropCompositorCopies(const void* imageOrWipe);

// ---- drawing through wipe masks (wipe_draw.cpp) ----

// One axis-aligned sprite drawn through its wipe, within a clip of its box.
struct WipeDraw {
  const LbWipeObject* wipe = nullptr;
  int mode = 0;
  // Box pixel to mask pixel: (x * toMask[0] + toMask[1], y * toMask[2] + toMask[3]).
  double toMask[4] = {1, 0, 1, 0};
  int boxX = 0, boxY = 0, boxWidth = 0, boxHeight = 0;
  int clipX = 0, clipY = 0, clipWidth = 0, clipHeight = 0;  // frame pixels, inside the box
  // The premultiplied source pixel of the clip's top-left pixel and the pixels per source
  // row; or, without source, the one colour `solid`.
  const uint32_t* source = nullptr;
  size_t sourceStride = 0;
  uint32_t solid = 0;
  bool opaque = false;  // every source pixel has alpha 255
  uint8_t alpha = 255;  // the sprite's own alpha, the same at every corner
  bool add = false;     // additive blending instead of over
};

// Draws the sprite as pixman would draw it through the bilinear-filtered mask, into the
// frame's pixels. False when the mapping is beyond what it handles; pixman must draw it.
bool drawThroughWipe(const WipeDraw& draw, uint32_t* frame);

// Forgets what drawThroughWipe worked out for a wipe being destroyed.
void dropWipeSamplings(const void* wipe);

#endif  // ORVANE_RUNTIME_COMPOSITOR_H
