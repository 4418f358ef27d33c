/*
 * Host sprites: the table of everything the compositor draws, in creation order, and the
 * lbts calls that set a sprite's image, level, position, size, map, pivot, rotation,
 * corner colours, blend, parent, draw flag and wipe mask.
 */
#include "compositor.h"
#include "ledger.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

struct SpriteTable {
  std::vector<LbSprite> ordered;  // creation order
  std::unordered_set<LbSprite> live;
  uint64_t nextSerial = 1;
};

SpriteTable& table() {
  static SpriteTable t;
  return t;
}

float clampUnit(float v) {
  if (!(v > 0.0f)) return 0.0f;  // also NaN
  return v > 1.0f ? 1.0f : v;
}

// A finite angle or nothing: NaN or infinity would poison the whole frame's geometry.
bool finite(float v) { return std::isfinite(v); }

bool isDescendantOrSelf(LbSprite candidate, LbSprite of) {
  for (LbSprite s = candidate; s; s = s->parent)
    if (s == of) return true;
  return false;
}

}  // namespace

bool isLiveSprite(LbSprite sprite) { return sprite && table().live.count(sprite) != 0; }

const std::vector<LbSprite>& allSprites() { return table().ordered; }

void forgetImage(LbImage image) {
  for (LbSprite s : table().ordered)
    if (s->image == image) s->image = nullptr;
  dropCompositorCopies(image);
}

void forgetWipe(LbWipe wipe) {
  for (LbSprite s : table().ordered)
    if (s->wipe == wipe) {
      s->wipe = nullptr;
      s->wipeMode = 0;
    }
  dropCompositorCopies(wipe);
}

extern "C" {

// The game passes 1 for `flags`, and its screen capture relies on its sprite showing at
// once, so every sprite is drawn from creation whatever the flags say. It shows the whole
// first cell at its natural size until told otherwise.
LbSprite lbtsCreateSprite(LbImage image, int level, int /*flags*/) {
  if (!isLiveImage(image)) return nullptr;
  auto* sprite = new LbSpriteObject;
  sprite->image = image;
  sprite->level = level;
  sprite->serial = table().nextSerial++;
  sprite->width = sprite->mapWidth = image->cellWidth;
  sprite->height = sprite->mapHeight = image->cellHeight;
  table().ordered.push_back(sprite);
  table().live.insert(sprite);
  ledgerCreated(HostObject::Sprite);
  return sprite;
}

// Children keep their place on screen: their relative position becomes absolute.
int lbtsDestroySprite(LbSprite sprite) {
  if (!isLiveSprite(sprite)) return 0;
  ledgerDestroyed(HostObject::Sprite);
  for (LbSprite s : table().ordered)
    if (s->parent == sprite) {
      int x = 0, y = 0;
      spriteAbsolutePosition(*s, &x, &y);
      s->parent = nullptr;
      s->x = x;
      s->y = y;
    }
  auto& ordered = table().ordered;
  ordered.erase(std::find(ordered.begin(), ordered.end(), sprite));
  table().live.erase(sprite);
  delete sprite;
  return 1;
}

// A null wipe detaches. Modes other than 1 (reveal) and 0 (conceal) are refused.
int lbtsSetSpriteWipe(LbSprite sprite, LbWipe wipe, int mode) {
  if (!isLiveSprite(sprite)) return 0;
  if (!wipe) {
    sprite->wipe = nullptr;
    sprite->wipeMode = 0;
    return 1;
  }
  if (!isLiveWipe(wipe) || (mode != 0 && mode != 1)) return 0;
  sprite->wipe = wipe;
  sprite->wipeMode = mode;
  return 1;
}

// A null parent disconnects; the relative position then counts from the screen's corner.
// A connection that would make a sprite its own ancestor is refused.
int lbtsConnectSprite(LbSprite sprite, LbSprite parent) {
  if (!isLiveSprite(sprite)) return 0;
  if (parent && (!isLiveSprite(parent) || isDescendantOrSelf(parent, sprite))) return 0;
  sprite->parent = parent;
  return 1;
}

int lbtsGetSpriteLevel(LbSprite sprite) { return isLiveSprite(sprite) ? sprite->level : 0; }

int lbtsSetSpriteLevel(LbSprite sprite, int level) {
  if (!isLiveSprite(sprite)) return 0;
  sprite->level = level;
  return 1;
}

int lbtsIsSpriteDraw(LbSprite sprite) { return isLiveSprite(sprite) && sprite->draw ? 1 : 0; }

int lbtsSetSpriteDraw(LbSprite sprite, int on) {
  if (!isLiveSprite(sprite)) return 0;
  sprite->draw = on != 0;
  return 1;
}

int lbtsGetSpritePos(LbSprite sprite, int* x, int* y) {
  if (!isLiveSprite(sprite)) return 0;
  if (x) *x = sprite->x;
  if (y) *y = sprite->y;
  return 1;
}

int lbtsGetSpriteAbsPos(LbSprite sprite, int* x, int* y) {
  if (!isLiveSprite(sprite)) return 0;
  int ax = 0, ay = 0;
  spriteAbsolutePosition(*sprite, &ax, &ay);
  if (x) *x = ax;
  if (y) *y = ay;
  return 1;
}

int lbtsSetSpritePos(LbSprite sprite, int x, int y) {
  if (!isLiveSprite(sprite)) return 0;
  sprite->x = x;
  sprite->y = y;
  return 1;
}

int lbtsGetSpriteSize(LbSprite sprite, int* width, int* height) {
  if (!isLiveSprite(sprite)) return 0;
  if (width) *width = sprite->width;
  if (height) *height = sprite->height;
  return 1;
}

// Zero is a valid size (nothing drawn); negative sizes are refused.
int lbtsSetSpriteSize(LbSprite sprite, int width, int height) {
  if (!isLiveSprite(sprite) || width < 0 || height < 0) return 0;
  sprite->width = width;
  sprite->height = height;
  return 1;
}

int lbtsGetSpriteMap(LbSprite sprite, int* x, int* y, int* width, int* height) {
  if (!isLiveSprite(sprite)) return 0;
  if (x) *x = sprite->mapX;
  if (y) *y = sprite->mapY;
  if (width) *width = sprite->mapWidth;
  if (height) *height = sprite->mapHeight;
  return 1;
}

int lbtsSetSpriteMap(LbSprite sprite, int x, int y, int width, int height) {
  if (!isLiveSprite(sprite) || width < 0 || height < 0) return 0;
  sprite->mapX = x;
  sprite->mapY = y;
  sprite->mapWidth = width;
  sprite->mapHeight = height;
  return 1;
}

int lbtsSetSpritePivot(LbSprite sprite, float px, float py) {
  if (!isLiveSprite(sprite) || !finite(px) || !finite(py)) return 0;
  sprite->pivotX = px;
  sprite->pivotY = py;
  return 1;
}

int lbtsRotateSpriteNone(LbSprite sprite) {
  if (!isLiveSprite(sprite)) return 0;
  sprite->angleX = sprite->angleY = sprite->angleZ = 0.0f;
  return 1;
}

int lbtsRotateSpriteX(LbSprite sprite, float degrees) {
  if (!isLiveSprite(sprite) || !finite(degrees)) return 0;
  sprite->angleX = degrees;
  return 1;
}

int lbtsRotateSpriteY(LbSprite sprite, float degrees) {
  if (!isLiveSprite(sprite) || !finite(degrees)) return 0;
  sprite->angleY = degrees;
  return 1;
}

int lbtsRotateSpriteZ(LbSprite sprite, float degrees) {
  if (!isLiveSprite(sprite) || !finite(degrees)) return 0;
  sprite->angleZ = degrees;
  return 1;
}

// Corners 0 to 3 name one corner (top-left, top-right, bottom-left, bottom-right); any
// other corner is refused.
int lbtsSetSpriteColorRGBA(LbSprite sprite, int corner, float r, float g, float b, float a) {
  if (!isLiveSprite(sprite) || corner < 0 || corner > 3) return 0;
  sprite->corners[corner] = {clampUnit(r), clampUnit(g), clampUnit(b), clampUnit(a)};
  return 1;
}

int lbtsSetSpriteColorRGB(LbSprite sprite, int corner, float r, float g, float b) {
  if (!isLiveSprite(sprite) || corner < 0 || corner > 3) return 0;
  SpriteCorner& c = sprite->corners[corner];
  c.r = clampUnit(r);
  c.g = clampUnit(g);
  c.b = clampUnit(b);
  return 1;
}

int lbtsSetSpriteColorA(LbSprite sprite, int corner, float a) {
  if (!isLiveSprite(sprite) || corner < 0 || corner > 3) return 0;
  sprite->corners[corner].a = clampUnit(a);
  return 1;
}

int lbtsGetSpriteBlend(LbSprite sprite) { return isLiveSprite(sprite) ? sprite->blend : 0; }

int lbtsSetSpriteBlend(LbSprite sprite, int blend) {
  if (!isLiveSprite(sprite) || (blend != kBlendAlpha && blend != kBlendAdd)) return 0;
  sprite->blend = blend;
  return 1;
}

}  // extern "C"
