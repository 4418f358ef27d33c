// The transition engine: one slot shown while another is hidden, by a cross-fade or a mask
// sweep, with the wipehide companions leaving alongside and, for backgrounds, the old screen
// captured into a picture that stays underneath while the new one wipes in.
#include <windows.h>

#include "host/errors.h"
#include "host/host_api.h"
#include "present/frame.h"
#include "present/sprites.h"
#include "present/transitions.h"
#include "script/syntax.h"

namespace {

constexpr int kBackgroundClass = 3;

bool isSlot(int slot) { return slot >= 0 && slot < kNoSlot; }

bool isRealized(int slot) {
  const std::uint32_t flags = gSprites[slot].flags;
  return (flags & kSlotValid) && (flags & kSlotRealized);
}

// Calls f(host sprite) for every host sprite of the slot.
template <class F>
void forEachHostSprite(int slot, F f) {
  const SpriteSlot& s = gSprites[slot];
  if (!s.subs) return;
  for (const SubSprite& sub : *s.subs)
    if (LbSprite sprite = hostSprite(sub.sprite)) f(sprite);
}

void setAlpha(int slot, float alpha) {
  forEachHostSprite(slot, [alpha](LbSprite sprite) {
    for (int corner = 0; corner < 4; ++corner) gHost.lbtsSetSpriteColorA(sprite, corner, alpha);
  });
}

// The incoming slot draws one host level above its even level, so that at equal levels it
// covers what goes out; the outgoing ones sit on the even level.
void prepareSweep(int slot, LbWipe mask, bool incoming) {
  forEachHostSprite(slot, [mask, incoming](LbSprite sprite) {
    const int even = gHost.lbtsGetSpriteLevel(sprite) & ~1;
    gHost.lbtsSetSpriteLevel(sprite, incoming ? even + 1 : even);
    if (mask != nullptr) gHost.lbtsSetSpriteWipe(sprite, mask, incoming ? 1 : 0);
  });
}

void finishSweep(int slot) {
  forEachHostSprite(slot, [](LbSprite sprite) {
    gHost.lbtsSetSpriteWipe(sprite, nullptr, 0);
    for (int corner = 0; corner < 4; ++corner) gHost.lbtsSetSpriteColorA(sprite, corner, 1.0f);
    gHost.lbtsSetSpriteLevel(sprite, gHost.lbtsGetSpriteLevel(sprite) & ~1);
  });
}

// Hides with "none" every slot other than `except` whose style has the bit.
void hideAllWith(DisplayStyle bit, int except) {
  for (int i = 0; i < kSpriteSlotCount; ++i) {
    if (i == except) continue;
    const SpriteSlot& s = gSprites[i];
    if ((s.flags & kSlotValid) && (s.style & bit)) hideSprite(i, "none");
  }
}

void changeAtOnce(int hide, int show, int spriteClass) {
  if (isSlot(show)) realizeSprite(show, true);
  if (isSlot(hide)) realizeSprite(hide, false);
  if (!isSlot(show)) return;
  // The sprite just shown is never among those it sends away.
  if (spriteClass == kBackgroundClass) hideAllWith(kStyleBackHide, show);
  hideAllWith(kStyleWipeHide, show);
}

}  // namespace

void runTransition(int hide, int subject, int show, const char* name) {
  if (!isSlot(hide)) hide = kNoSlot;
  if (!isSlot(show)) show = kNoSlot;
  char used[kWipeNameSize];
  CopyText(name != nullptr && name[0] != '\0' ? name : gDefaultWipeName, used, sizeof used);
  const int spriteClass = isSlot(show)   ? gSprites[show].spriteClass
                          : isSlot(hide) ? gSprites[hide].spriteClass
                                         : 1;

  if (used[0] == '\0' || TextEqualsNoCase(used, "none")) {
    changeAtOnce(hide, show, spriteClass);
    return;
  }
  if (!isSlot(show) && !isSlot(hide)) return;

  const WipeHandle wipe = findWipe(used);
  const LbWipe mask = hostWipe(wipe->mask);
  if (isSlot(show)) realizeSprite(show, false);
  if (isSlot(hide)) realizeSprite(hide, true);
  sceneFadeOut();
  if (!isSlot(show) && !isRealized(hide)) {
    // The fade-out already took the sprite off screen; only its faded-out state remains.
    hideSprite(subject, "none");
    return;
  }

  bool companion[kSpriteSlotCount] = {};
  for (int i = 0; i < kSpriteSlotCount; ++i)
    if (i != subject && isRealized(i) && (gSprites[i].style & kStyleWipeHide)) companion[i] = true;

  ResourceHandle captureImage;
  ResourceHandle captureSprite;
  bool hiddenSweeps = false;
  if (spriteClass == kBackgroundClass) {
    gHost.lbtsRender();
    captureImage = createScreenImage(gScreenWidth, gScreenHeight);
    gHost.lbtsGetRenderImage(hostImage(captureImage));
    const int level = isSlot(hide) ? gSprites[hide].level : 2 * gSprites[show].level;
    captureSprite = createSprite(captureImage, level, 1);
    hideAllWith(kStyleBackHide, subject);
    // The hidden background lives on in the capture.
    if (isSlot(hide)) realizeSprite(hide, false);
    // A companion that backhide just took away stays away: it is already off the picture.
    for (int i = 0; i < kSpriteSlotCount; ++i)
      if (companion[i] && !isRealized(i)) companion[i] = false;
  } else {
    hiddenSweeps = isSlot(hide) && isRealized(hide);
  }

  if (isSlot(show)) {
    realizeSprite(show, true);
    prepareSweep(show, mask, true);
  }
  if (hiddenSweeps) {
    realizeSprite(hide, true);
    prepareSweep(hide, mask, false);
  }
  for (int i = 0; i < kSpriteSlotCount; ++i) {
    if (!companion[i]) continue;
    realizeSprite(i, true);
    prepareSweep(i, mask, false);
  }

  pumpFrame();
  setMarkTime(timeGetTime());
  if (wipe->duration > 0) {
    std::uint32_t elapsed = 0;
    do {
      if (captureImage && gHost.lbtsIsImageLost(hostImage(captureImage))) break;
      float progress = static_cast<float>(elapsed) / static_cast<float>(wipe->duration);
      if (progress > 1.0f) progress = 1.0f;
      if (mask != nullptr) {
        gHost.lbtsSetWipeLevel(mask, progress);
      } else {
        if (isSlot(show)) setAlpha(show, progress);
        if (hiddenSweeps) setAlpha(hide, 1.0f - progress);
        for (int i = 0; i < kSpriteSlotCount; ++i)
          if (companion[i]) setAlpha(i, 1.0f - progress);
      }
      renderScreen();
      pumpFrame();
      elapsed = timeGetTime() - markTime();
    } while (elapsed < wipe->duration);
  }

  captureSprite.reset();
  captureImage.reset();
  if (isSlot(show)) {
    finishSweep(show);
    realizeSprite(show, true);
  }
  if (hiddenSweeps) finishSweep(hide);
  if (isSlot(hide)) {
    realizeSprite(hide, false);
    // A hidden slot the fade-out had taken off screen is gone for good now; left marked,
    // the next fade-in would bring back a sprite that was replaced.
    gSprites[hide].flags &= ~kSlotFadedOut;
  }
  for (int i = 0; i < kSpriteSlotCount; ++i) {
    if (!companion[i]) continue;
    finishSweep(i);
    hideSprite(i, "none");
  }
  renderScreen();
  waitFor(nullptr, 0, wipe->postWait);
}
