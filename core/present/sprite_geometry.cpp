// Sprite geometry: where a slot's bounding box lands (alignment, parents), how its
// sub-sprites scale, the shared pivot and rotation, levels, and the creation and release of
// the host sprites that put a slot on screen.
#include <cmath>

#include "host/errors.h"
#include "present/resources.h"
#include "present/sprite_definition.h"
#include "present/sprite_internal.h"
#include "support/sjis_literal.h"
#include "support/support.h"

namespace {

// Nearest integer, ties to even (the current rounding mode is never changed).
int roundEven(float value) { return static_cast<int>(std::lrintf(value)); }

// Horizontal or vertical offset of the box's top-left from the anchor, saturating at the ends
// of int like every sum of positions.
int alignedStart(int anchor, int size, bool far, bool centred) {
  if (far) return clampToInt(static_cast<long long>(anchor) + 1 - size);
  if (centred) return clampToInt(static_cast<long long>(anchor) - (size >> 1));
  return anchor;
}

// The point of a parent that its children are placed from.
void parentAnchor(const SpriteSlot& parent, int& x, int& y) {
  x = parent.absX;
  if (parent.style & kStyleRight) x = addClamped(x, parent.width - 1);
  else if (parent.style & kStyleCenter) x = addClamped(x, parent.width >> 1);
  y = parent.absY;
  if (parent.style & kStyleBottom) y = addClamped(y, parent.height - 1);
  else if (parent.style & kStyleMiddle) y = addClamped(y, parent.height >> 1);
}

// The first cell of a sub-sprite's current animation set, 0 without frames.
int currentCell(const SubSprite& sub) {
  if (sub.animSetCount <= 0 || !sub.animSets) return 0;
  if (sub.curAnimSet < 0 || sub.curAnimSet >= static_cast<int>(sub.animSets->size())) return 0;
  const AnimSet& set = (*sub.animSets)[sub.curAnimSet];
  if (set.frameCount <= 0 || !set.frames) return 0;
  if (sub.curFrame < 0 || sub.curFrame >= static_cast<int>(set.frames->size())) return 0;
  return (*set.frames)[sub.curFrame].cell;
}

float fraction(int part, int whole) { return whole != 0 ? static_cast<float>(part) / whole : 0.0f; }

}  // namespace

bool isValidSlot(int slot) {
  return slot >= 0 && slot < kSpriteSlotCount && (gSprites[slot].flags & kSlotValid);
}

void computeSpriteBounds(SpriteSlot& s) {
  SubSpriteArray* subs = subSpritesOf(s);
  if (subs == nullptr) {
    s.width = s.height = 0;
    return;
  }
  s.width = (*subs)[0].width;
  s.height = (*subs)[0].height;
  for (std::size_t i = 1; i < subs->size(); ++i) {
    const SubSprite& sub = (*subs)[i];
    if (sub.x + sub.width > s.width) s.width = sub.x + sub.width;
    if (sub.y + sub.height > s.height) s.height = sub.y + sub.height;
  }
}

void setSpritePos(int slot, int x, int y, DisplayStyle style) {
  if (!isValidSlot(slot)) return;
  SpriteSlot& s = gSprites[slot];
  s.style = (s.style & ~kStyleAlignBits) | (style & kStyleAlignBits);
  s.reqX = x;
  s.reqY = y;
  int absX = alignedStart(x, s.width, s.style & kStyleRight, s.style & kStyleCenter);
  int absY = alignedStart(y, s.height, s.style & kStyleBottom, s.style & kStyleMiddle);
  if (isValidSlot(s.parent)) {
    int px, py;
    parentAnchor(gSprites[s.parent], px, py);
    absX = addClamped(absX, px);
    absY = addClamped(absY, py);
  }
  s.absX = absX;
  s.absY = absY;
  SubSpriteArray* subs = subSpritesOf(s);
  if ((s.flags & kSlotRealized) && subs != nullptr)
    gHost.lbtsSetSpritePos(hostSprite((*subs)[0].sprite), absX, absY);
  // Children follow; connectSprite refuses loops, so this ends.
  for (int child = 0; child < kSpriteSlotCount; ++child) {
    if (child == slot || !isValidSlot(child) || gSprites[child].parent != slot) continue;
    const SpriteSlot& c = gSprites[child];
    setSpritePos(child, c.reqX, c.reqY, c.style);
  }
}

void setSpritePosChecked(int slot, int x, int y, const char* styleText) {
  requireSprite(slot);
  setSpritePos(slot, x, y, parseDisplayStyle(kStyleLeft | kStyleTop, styleText));
}

void connectSprite(int slot, int parent) {
  SpriteSlot& s = requireSprite(slot);
  if (parent < 0) parent = kNoSlot;
  if (parent != kNoSlot) {
    requireSprite(parent);
    // A parent that is the slot itself or one of its descendants would make positions
    // depend on themselves; such a parent is refused like one that does not exist.
    for (int up = parent; up != kNoSlot && isValidSlot(up); up = gSprites[up].parent) {
      if (up == slot)
        ScriptError("スプライト %d は有効ではありません。"_sj, spriteNumberOf(parent));
    }
  }
  s.parent = parent;
  setSpritePos(slot, s.reqX, s.reqY, s.style);
}

void scaleSprite(int slot, int width, int height) {
  if (!isValidSlot(slot)) return;
  SpriteSlot& s = gSprites[slot];
  SubSpriteArray* subs = subSpritesOf(s);
  if (subs == nullptr) return;
  // A box with no natural size has nothing to scale from.
  float sx = s.naturalWidth != 0 ? static_cast<float>(width) / s.naturalWidth : 1.0f;
  float sy = s.naturalHeight != 0 ? static_cast<float>(height) / s.naturalHeight : 1.0f;
  for (SubSprite& sub : *subs) {
    sub.x = roundEven(sub.defX * sx);
    sub.y = roundEven(sub.defY * sy);
    sub.width = roundEven(sub.cellWidth * sx);
    sub.height = roundEven(sub.cellHeight * sy);
  }
  computeSpriteBounds(s);
  if (s.flags & kSlotRealized) {
    const SubSprite& first = (*subs)[0];
    gHost.lbtsSetSpriteSize(hostSprite(first.sprite), first.width, first.height);
    for (std::size_t i = 1; i < subs->size(); ++i) {
      const SubSprite& sub = (*subs)[i];
      gHost.lbtsSetSpritePos(hostSprite(sub.sprite), sub.x, sub.y);
      gHost.lbtsSetSpriteSize(hostSprite(sub.sprite), sub.width, sub.height);
    }
  }
  setSpritePos(slot, s.reqX, s.reqY, s.style);
  applySpritePivot(slot);
}

void setSpriteSize(int slot, int width, int height) {
  requireSprite(slot);
  scaleSprite(slot, width, height);
}

void setSpritePivot(int slot, float pivotX, float pivotY, float angle, const char* styleText) {
  SpriteSlot& s = requireSprite(slot);
  // fmod rather than repeated steps of 360, so a huge angle cannot stall the game.
  if (!std::isfinite(angle)) angle = 0.0f;
  angle = std::fmod(angle, 360.0f);
  if (angle < 0.0f) angle += 360.0f;
  if (angle >= 360.0f) angle -= 360.0f;
  DisplayStyle parsed = parseDisplayStyle(0, styleText);
  s.style = (s.style & ~kStyleRotateBits) | (parsed & kStyleRotateBits);
  s.pivotX = pivotX;
  s.pivotY = pivotY;
  s.angle = angle;
  applySpritePivot(slot);
}

void applySpritePivot(int slot) {
  if (!isValidSlot(slot)) return;
  SpriteSlot& s = gSprites[slot];
  SubSpriteArray* subs = subSpritesOf(s);
  if (!(s.flags & kSlotRealized) || subs == nullptr) return;
  // Every part turns about the same point of the whole box.
  int px = roundEven(s.width * s.pivotX);
  int py = roundEven(s.height * s.pivotY);
  for (std::size_t i = 0; i < subs->size(); ++i) {
    const SubSprite& sub = (*subs)[i];
    int ox = i == 0 ? 0 : sub.x;
    int oy = i == 0 ? 0 : sub.y;
    gHost.lbtsSetSpritePivot(hostSprite(sub.sprite), fraction(px - ox, sub.width),
                             fraction(py - oy, sub.height));
  }
  for (const SubSprite& sub : *subs) {
    LbSprite sprite = hostSprite(sub.sprite);
    gHost.lbtsRotateSpriteNone(sprite);
    if (s.style & kStyleRotateX) gHost.lbtsRotateSpriteX(sprite, s.angle);
    else if (s.style & kStyleRotateY) gHost.lbtsRotateSpriteY(sprite, s.angle);
    else if (s.style & kStyleRotateZ) gHost.lbtsRotateSpriteZ(sprite, s.angle);
  }
}

void setSpriteLevel(int slot, int level) {
  SpriteSlot& s = requireSprite(slot);
  s.level = level;
  setSpriteHostLevel(slot, 2 * level);
}

void setSpriteHostLevel(int slot, int hostLevel) {
  if (!isValidSlot(slot)) return;
  SpriteSlot& s = gSprites[slot];
  SubSpriteArray* subs = subSpritesOf(s);
  if (!(s.flags & kSlotRealized) || subs == nullptr) return;
  for (const SubSprite& sub : *subs) gHost.lbtsSetSpriteLevel(hostSprite(sub.sprite), hostLevel);
}

void realizeSprite(int slot, bool make) {
  if (!isValidSlot(slot)) return;
  SpriteSlot& s = gSprites[slot];
  SubSpriteArray* subs = subSpritesOf(s);
  if (make && !(s.flags & kSlotRealized)) {
    s.flags |= kSlotRealized;
    if (subs != nullptr) {
      for (std::size_t i = 0; i < subs->size(); ++i) {
        SubSprite& sub = (*subs)[i];
        showCell(sub, currentCell(sub));
        sub.sprite = createSprite(sub.image, 2 * s.level, 1);
        LbSprite sprite = hostSprite(sub.sprite);
        if (i == 0) {
          gHost.lbtsSetSpritePos(sprite, s.absX, s.absY);
        } else {
          gHost.lbtsConnectSprite(sprite, hostSprite((*subs)[0].sprite));
          gHost.lbtsSetSpritePos(sprite, sub.x, sub.y);
        }
        gHost.lbtsSetSpriteSize(sprite, sub.width, sub.height);
        gHost.lbtsSetSpriteMap(sprite, 0, 0, sub.cellWidth, sub.cellHeight);
        gHost.lbtsSetSpriteBlend(sprite, sub.blend);
      }
    }
    applySpritePivot(slot);
  } else if (!make && (s.flags & kSlotRealized)) {
    s.flags &= ~kSlotRealized;
    // Connected parts go before the sprite they hang on.
    if (subs != nullptr)
      for (std::size_t i = subs->size(); i-- > 0;) (*subs)[i].sprite.reset();
  }
  // A wipehide acts on the next change only.
  s.style &= ~kStyleWipeHide;
}
