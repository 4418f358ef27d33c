// The frame pump and the waits built on it: render with retry, one pump pass with the
// closed-window check, the general wait, the skip key and the click-or-key predicate with
// its button mode. Nothing draws or waits in the game except through here.
#include "present/frame.h"

#include <windows.h>

#include "host/errors.h"
#include "host/host_api.h"
#include "present/buttons.h"
#include "present/resources.h"
#include "present/sprites.h"
#include "present/timers.h"
#include "present/wait_input.h"
#include "support/sjis_literal.h"

namespace {

// DirectInput key codes the waits look at.
constexpr int kKeyEscape = 1;
constexpr int kKeyTab = 15;
constexpr int kKeyReturn = 28;
constexpr int kKeyLeftCtrl = 29;
constexpr int kKeyLeftShift = 42;
constexpr int kKeyZ = 44;
constexpr int kKeyRightShift = 54;
constexpr int kKeySpace = 57;
constexpr int kKeyF5 = 63;
constexpr int kKeyPadEnter = 156;
constexpr int kKeyRightCtrl = 157;
constexpr int kKeyUp = 200;
constexpr int kKeyLeft = 203;
constexpr int kKeyRight = 205;
constexpr int kKeyDown = 208;

constexpr int kRenderAttempts = 10;

std::uint32_t gMarkTime = 0;
WaitInputFilter gWaitInputFilter = nullptr;

WaitInputUse filterInput(WaitInputKind kind, int code) {
  return gWaitInputFilter ? gWaitInputFilter(kind, code) : WaitInputUse::Pass;
}

bool isDecideKey(int key) {
  return key == kKeyReturn || key == kKeySpace || key == kKeyPadEnter || key == kKeyZ;
}

bool isShiftHeld() {
  return gHost.lbGetKeyState(kKeyLeftShift) != 0 || gHost.lbGetKeyState(kKeyRightShift) != 0;
}

void toggleFullscreen() { gHost.lbSetFullscreen(gHost.lbIsFullscreen() ? 0 : 1); }

}  // namespace

int renderScreen() {
  for (int attempt = 0; attempt < kRenderAttempts; ++attempt) {
    const int result = gHost.lbtsRenderScreen();
    if (result != 0) return result;
    // Video memory ran out: let go of every cached image and sound nobody shows, then retry.
    flushResourceCaches();
  }
  ScriptError("VRAMが不足しています。"_sj);
}

void pumpFrame() {
  dispatchTimerEvents();
  gHost.lbClearEvent();
  gHost.lbWaitEvent(0);
  if (gHost.lbIsExit()) Abort();
}

bool waitFor(WaitPredicate predicate, std::intptr_t argument, std::uint32_t timeout) {
  const std::uint32_t start = timeGetTime();
  gHost.lbClearEvent();
  if (predicate != nullptr) {
    // Input from before the wait does not end it; new input wakes it.
    gHost.lbClearKey();
    gHost.lbClearMouse();
    gHost.lbWaitKeyEvent(1);
    gHost.lbWaitMouseEvent(1);
  }
  for (bool blockThisPass = false;; blockThisPass = !blockThisPass) {
    std::uint32_t remaining = kWaitForever;
    if (timeout != kWaitForever) {
      const std::uint32_t elapsed = timeGetTime() - start;
      remaining = elapsed > timeout ? 0 : timeout - elapsed;
    }
    const std::uint32_t timerWait = dispatchTimerEvents();
    const std::uint32_t wait = remaining < timerWait ? remaining : timerWait;
    // Every other pass takes only what is pending, so input that arrived while timers ran is
    // looked at before the loop blocks again.
    gHost.lbWaitEvent(blockThisPass ? static_cast<int>(wait) : 0);
    if (gHost.lbIsExit()) Abort();
    if (predicate != nullptr && predicate(argument)) return true;
    if (remaining == 0) return false;
  }
}

bool isSkipKeyHeld(std::intptr_t /*ignored*/) {
  return gHost.lbGetKeyState(kKeyLeftCtrl) != 0 || gHost.lbGetKeyState(kKeyRightCtrl) != 0;
}

bool pollClickOrKey(std::intptr_t buttonMode) {
  bool leftClick = false;
  bool rightClick = false;
  bool anyMouse = false;
  int code = 0, x = 0, y = 0;
  bool endsWait = false;
  while (!endsWait && gHost.lbGetMouse(&code, &x, &y)) {
    anyMouse = true;
    if (code != LB_MOUSE_MOVE) {
      const WaitInputUse use = filterInput(WaitInputKind::Mouse, code);
      if (use == WaitInputUse::EndsWait) endsWait = true;
      if (use != WaitInputUse::Pass) continue;
    }
    if (code == LB_MOUSE_LEFT) leftClick = true;
    if (code == LB_MOUSE_RIGHT) rightClick = true;
  }
  if (anyMouse) updatePointerSelection();
  if (endsWait) return true;

  if (!buttonMode) {
    if (leftClick) return true;
    if (rightClick && cancelSelection("rclick")) return true;
  }

  bool decide = false;
  bool cancel = false;
  int key = 0, kind = 0;
  while (gHost.lbGetKeyEvent(&key, &kind)) {
    if (kind != LB_KEY_PRESS) continue;
    const WaitInputUse use = filterInput(WaitInputKind::Key, key);
    if (use == WaitInputUse::EndsWait) return true;
    if (use == WaitInputUse::Taken) continue;
    if (key == kKeyF5) {
      toggleFullscreen();
      continue;
    }
    if (!buttonMode) {
      if (isDecideKey(key)) return true;
      if (key == kKeyEscape && cancelSelection("rclick")) return true;
      continue;
    }
    if (isDecideKey(key)) {
      decide = true;
    } else if (key == kKeyEscape) {
      cancel = true;
    } else if (key == kKeyTab) {
      if (isShiftHeld()) selectPreviousTarget();
      else selectNextTarget();
    } else if (key == kKeyLeft || key == kKeyUp) {
      selectPreviousTarget();
    } else if (key == kKeyRight || key == kKeyDown) {
      selectNextTarget();
    }
    if (pressButtonKey(static_cast<std::uint32_t>(key))) return true;
  }

  if (!buttonMode) return isSkipKeyHeld();

  if (decide || leftClick) {
    if (activateSelection()) return true;
    if (hasSelectionTarget()) return true;
  }
  if ((cancel || rightClick) && cancelSelection("rclick")) return true;
  if ((leftClick || isSkipKeyHeld()) && pressButtonKey(kKeyLeftClick)) return true;
  if (rightClick) return pressButtonKey(kKeyRightClick);
  return false;
}

void setWaitInputFilter(WaitInputFilter filter) { gWaitInputFilter = filter; }

std::uint32_t elapsedSinceMark() {
  pumpFrame();
  return timeGetTime() - gMarkTime;
}

std::uint32_t restartMark() {
  pumpFrame();
  gMarkTime = timeGetTime();
  return gMarkTime;
}

std::uint32_t markTime() { return gMarkTime; }

void setMarkTime(std::uint32_t time) { gMarkTime = time; }

// ---- Scene fades -------------------------------------------------------------------------
// The fade-out takes every wipefade sprite off screen and leaves it "faded out": still shown
// as far as the script knows, its host sprites released until the fade-in brings it back.

namespace {

void setSlotAlpha(const SpriteSlot& slot, float alpha) {
  if (!slot.subs) return;
  for (const SubSprite& sub : *slot.subs) {
    const LbSprite sprite = hostSprite(sub.sprite);
    if (sprite == nullptr) continue;
    for (int corner = 0; corner < 4; ++corner) gHost.lbtsSetSpriteColorA(sprite, corner, alpha);
  }
}

float fadeProgress(std::uint32_t elapsed, std::int32_t duration) {
  const float p = static_cast<float>(elapsed) / static_cast<float>(duration);
  return p < 1.0f ? p : 1.0f;
}

}  // namespace

void sceneFadeOut() {
  const std::int32_t duration = gSceneFadeDuration;
  if (duration < 1) return;
  bool marked[kSpriteSlotCount] = {};
  bool any = false;
  for (int i = 0; i < kSpriteSlotCount; ++i) {
    const SpriteSlot& slot = gSprites[i];
    if ((slot.flags & kSlotValid) && (slot.flags & kSlotRealized) &&
        (slot.style & kStyleWipeFade) && !(slot.flags & kSlotFadedOut)) {
      marked[i] = any = true;
    }
  }
  if (!any) return;

  pumpFrame();
  gMarkTime = timeGetTime();
  std::uint32_t elapsed = 0;
  do {
    const float alpha = 1.0f - fadeProgress(elapsed, duration);
    for (int i = 0; i < kSpriteSlotCount; ++i)
      if (marked[i]) setSlotAlpha(gSprites[i], alpha);
    renderScreen();
    pumpFrame();
    elapsed = timeGetTime() - gMarkTime;
  } while (elapsed < static_cast<std::uint32_t>(duration));

  for (int i = 0; i < kSpriteSlotCount; ++i) {
    if (!marked[i]) continue;
    SpriteSlot& slot = gSprites[i];
    // A timer callback during the fade may have destroyed or hidden the slot.
    if (!(slot.flags & kSlotValid) || !(slot.flags & kSlotRealized)) continue;
    if (slot.style & kStyleWipeHide) {
      // A sprite that leaves with the next change leaves for good here.
      setSlotAlpha(slot, 1.0f);
      hideSprite(i, "none");
    } else {
      realizeSprite(i, false);
      slot.flags |= kSlotFadedOut;
    }
  }
  gSceneFaded = true;
}

void sceneFadeIn() {
  if (!gSceneFaded) return;
  gSceneFaded = false;
  bool any = false;
  for (const SpriteSlot& slot : gSprites)
    if (slot.flags & kSlotFadedOut) any = true;
  if (!any) return;

  for (int i = 0; i < kSpriteSlotCount; ++i) {
    if (!(gSprites[i].flags & kSlotFadedOut)) continue;
    realizeSprite(i, true);
    // New host sprites start opaque; the fade-in starts from nothing, so a render during
    // the pump below must not flash them at full strength.
    setSlotAlpha(gSprites[i], 0.0f);
  }
  pumpFrame();
  gMarkTime = timeGetTime();

  const std::int32_t duration = gSceneFadeDuration;
  if (duration > 0) {
    std::uint32_t elapsed = 0;
    do {
      const float alpha = fadeProgress(elapsed, duration);
      for (const SpriteSlot& slot : gSprites)
        if (slot.flags & kSlotFadedOut) setSlotAlpha(slot, alpha);
      renderScreen();
      pumpFrame();
      elapsed = timeGetTime() - gMarkTime;
    } while (elapsed < static_cast<std::uint32_t>(duration));
  }
  for (SpriteSlot& slot : gSprites) {
    if (!(slot.flags & kSlotFadedOut)) continue;
    setSlotAlpha(slot, 1.0f);
    slot.flags &= ~kSlotFadedOut;
  }
}

void setSceneFadeDuration(std::int32_t ms) { gSceneFadeDuration = ms; }

std::int32_t sceneFadeDuration() { return gSceneFadeDuration; }

bool isSceneFaded() { return gSceneFaded; }
