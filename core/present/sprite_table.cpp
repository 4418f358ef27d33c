// The sprite table: its settings, building a sprite in the construction slot and moving it
// into place, showing and hiding through transitions, destroying, and the script-facing
// checks that name a bad slot by its sprite number.
#include "host/errors.h"
#include "present/buttons.h"
#include "present/sprite_definition.h"
#include "present/sprite_internal.h"
#include "present/timers.h"
#include "present/transitions.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

SpriteSlot gSprites[kSpriteSlotCount];

int gDefaultSpriteLevel = kDefaultSpriteLevelStart;
DisplayStyle gClassStyle[4] = {};
char gDefaultTransColour[256] = {};
char gDefaultWipeName[256] = {};
int gSceneFadeDuration = 300;
bool gSceneFaded = false;

namespace {

void (*gReleaseMotionEvents)(int slot) = nullptr;
void (*gResetMotions)() = nullptr;

[[noreturn]] void badSlot(int slot) {
  ScriptError("スプライト %d は有効ではありません。"_sj, spriteNumberOf(slot));
}

void checkIndex(int slot) {
  if (slot < 0 || slot >= kSpriteSlotCount) badSlot(slot);
}

void checkClass(int spriteClass) {
  if (spriteClass < 0 || spriteClass > 3)
    ScriptError("スプライトクラス(%d)の指定が異常です"_sj, spriteClass);
}

// The id is cleared before it is cancelled: a bad id ends the game, and the shutdown that
// follows must not meet it again.
void cancelAnimation(SpriteSlot& s) {
  int id = s.animTimer;
  s.animTimer = -1;
  if (id >= 0) removeTimerEvent(id);  // reports an id of 128 or more
}

}  // namespace

void setMotionReleaseHooks(void (*releaseSlot)(int slot), void (*resetAll)()) {
  gReleaseMotionEvents = releaseSlot;
  gResetMotions = resetAll;
}

void initSprites() {
  gDefaultSpriteLevel = kDefaultSpriteLevelStart;
  const DisplayStyle plain = parseDisplayStyle(0, "backnormal wipenofade wipenohide");
  const DisplayStyle backHide = parseDisplayStyle(0, "backhide wipenofade wipenohide");
  gClassStyle[0] = gClassStyle[1] = gClassStyle[3] = plain & kStyleStateBits;
  gClassStyle[2] = backHide & kStyleStateBits;
  gDefaultTransColour[0] = '\0';
  gDefaultWipeName[0] = '\0';
  gSceneFadeDuration = 300;
  gSceneFaded = false;
}

SpriteSlot& requireSprite(int slot) {
  if (!isValidSlot(slot)) badSlot(slot);
  return gSprites[slot];
}

void setDefaultSpriteLevel(int level) {
  gDefaultSpriteLevel = level < 0 ? 0 : level > 126 ? 126 : level;
}

void setDefaultTransColour(const char* text) {
  CopyText(text, gDefaultTransColour, sizeof gDefaultTransColour);
}

void setDefaultWipeName(const char* text) {
  CopyText(text, gDefaultWipeName, sizeof gDefaultWipeName);
}

void setSpriteStateStyle(int slot, const char* styleText) {
  SpriteSlot& s = requireSprite(slot);
  s.style = applyStateWords(s.style, parseDisplayStyle(0, styleText));
}

void setClassStyle(int spriteClass, const char* styleText) {
  checkClass(spriteClass);
  gClassStyle[spriteClass] =
      applyStateWords(gClassStyle[spriteClass], parseDisplayStyle(0, styleText));
}

// ---- Building --------------------------------------------------------------------------

void buildSprite(int target, int spriteClass, int level, SubSpriteHandle subs, int x, int y,
                 int width, int height, DisplayStyle style, const char* transition) {
  // Slot 0 is where the sprite is assembled, so it can never be the target.
  if (target <= kConstructionSlot || target >= kSpriteSlotCount) badSlot(target);
  checkClass(spriteClass);
  SpriteSlot& c = gSprites[kConstructionSlot];
  c = SpriteSlot{};
  c.flags = kSlotValid;
  c.spriteClass = spriteClass;
  c.level = level < 0 ? gDefaultSpriteLevel : level;
  c.style = gClassStyle[spriteClass];
  c.subCount = subs ? static_cast<int>(subs->size()) : 0;
  c.subs = std::move(subs);

  if (SubSpriteArray* parts = subSpritesOf(c)) {
    for (SubSprite& sub : *parts) {
      int w = 0, h = 0;
      gHost.lbtsGetImageSize(hostImage(sub.image), &w, &h);
      sub.sprite.reset();
      sub.x = sub.defX;
      sub.y = sub.defY;
      sub.width = sub.cellWidth = w;
      sub.height = sub.cellHeight = h;
      sub.blend = 1;
      sub.curAnimSet = sub.curFrame = sub.remaining = 0;
    }
  }
  computeSpriteBounds(c);
  c.naturalWidth = c.width;
  c.naturalHeight = c.height;

  c.style = applyStateWords(c.style, style);
  setSpritePos(kConstructionSlot, x, y, style);
  scaleSprite(kConstructionSlot, width > 0 ? width : c.naturalWidth,
              height > 0 ? height : c.naturalHeight);

  // The new sprite comes in while the old content of the target goes out, in one step.
  const bool shown = !(style & kStyleHide);
  if (shown) showSprite(kConstructionSlot, target, transition);

  destroySprite(target);
  gSprites[target] = gSprites[kConstructionSlot];
  gSprites[target].animTimer = -1;
  // The construction slot's host sprites go with it (the sub-sprite array is shared), so a
  // shown sprite is put back on screen under its own index, with its animation.
  destroySprite(kConstructionSlot);
  if (shown) {
    QuietFrameSounds firstSoundAlreadyPlayed;
    hideSprite(target, "none");
    showSprite(target, kNoSlot, "none");
  }
}

void buildColourSprite(int slot, int spriteClass, int imageWidth, int imageHeight,
                       const char* colour, int x, int y, int width, int height, int level,
                       DisplayStyle startStyle, const char* styleText, const char* transition) {
  SubSpriteHandle subs(new SubSpriteArray(1));
  SubSprite& sub = (*subs)[0];
  sub.image = createColourImage(imageWidth, imageHeight, colour);
  sub.cellsPerRow = 1;
  sub.cellRows = 1;
  sub.animSetCount = 0;
  buildSprite(slot, spriteClass, level, std::move(subs), x, y, width, height,
              parseDisplayStyle(startStyle, styleText), transition);
}

// ---- Showing, hiding, destroying -------------------------------------------------------

void showSprite(int slot, int other, const char* transition) {
  if (!isValidSlot(slot)) return;
  SpriteSlot& s = gSprites[slot];
  if (s.flags & kSlotRealized) return;
  if (s.flags & kSlotFadedOut) hideSprite(slot, "none");
  s.animTimer = -1;
  if (SubSpriteArray* subs = subSpritesOf(s)) {
    for (SubSprite& sub : *subs) {
      sub.curFrame = 0;
      applyFrame(sub);
    }
  }
  runTransition(other, slot, slot, transition);
  scheduleAnimation(slot);
}

void showSpriteChecked(int slot, int other, const char* transition) {
  requireSprite(slot);
  showSprite(slot, other, transition);
}

void hideSprite(int slot, const char* transition) {
  if (!isValidSlot(slot)) return;
  SpriteSlot& s = gSprites[slot];
  if (!(s.flags & (kSlotRealized | kSlotFadedOut))) return;
  cancelAnimation(s);
  if (s.flags & kSlotFadedOut) {
    // The scene fade-out already took it off screen.
    s.flags &= ~kSlotFadedOut;
    return;
  }
  runTransition(slot, slot, kNoSlot, transition);
}

void hideSpriteChecked(int slot, const char* transition) {
  requireSprite(slot);
  hideSprite(slot, transition);
}

void destroySprite(int slot) {
  if (!isValidSlot(slot)) return;
  removeSpriteButton(slot);
  if (gReleaseMotionEvents != nullptr) gReleaseMotionEvents(slot);
  for (int child = 0; child < kSpriteSlotCount; ++child) {
    if (!isValidSlot(child) || gSprites[child].parent != slot) continue;
    SpriteSlot& c = gSprites[child];
    c.parent = kNoSlot;
    setSpritePos(child, c.reqX, c.reqY, c.style);
  }
  hideSprite(slot, "none");
  SpriteSlot& s = gSprites[slot];
  s.flags = 0;
  s.subs.reset();
  s.subCount = 0;
  s.animTimer = -1;
}

void destroySpriteChecked(int slot) {
  requireSprite(slot);
  hideSprite(slot, "none");
  destroySprite(slot);
}

void destroyUserSprites() {
  for (int slot = kUserSlotBase; slot < kSpriteSlotCount; ++slot) {
    if (!isValidSlot(slot)) continue;
    hideSprite(slot, "none");
    destroySprite(slot);
  }
}

void resetSprites() {
  if (gResetMotions != nullptr) gResetMotions();
  for (int slot = 0; slot < kSpriteSlotCount; ++slot) destroySprite(slot);
  for (SpriteSlot& s : gSprites) s = SpriteSlot{};
}

// ---- Queries ---------------------------------------------------------------------------

void getSpriteSize(int slot, int& width, int& height) {
  const SpriteSlot& s = requireSprite(slot);
  width = s.width;
  height = s.height;
}

void getSpritePos(int slot, int& x, int& y) {
  const SpriteSlot& s = requireSprite(slot);
  x = s.reqX;
  y = s.reqY;
}

int getSpriteLevel(int slot) { return isValidSlot(slot) ? gSprites[slot].level : 0; }

bool isSpriteShown(int slot) {
  checkIndex(slot);
  return isValidSlot(slot) && (gSprites[slot].flags & kSlotRealized);
}

bool isSpriteValid(int slot) {
  checkIndex(slot);
  return gSprites[slot].flags & kSlotValid;
}

ResourceHandle getSpriteImage(int slot) {
  SpriteSlot& s = requireSprite(slot);
  SubSpriteArray* subs = subSpritesOf(s);
  if (subs == nullptr)
    ScriptError("スプライト %d はサブスプライトがありません。"_sj, spriteNumberOf(slot));
  return (*subs)[0].image;
}
