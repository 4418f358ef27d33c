// Auto-advance: the session's on/off state and its mark, the delay before a story page turns
// by itself, and the filter that sees every input of a click wait first (the toggle key, any
// input that stops auto-advance, the keys that open the message log at a story page).
#include "script/auto_advance.h"

#include "host/host_api.h"
#include "lb/keycodes.h"
#include "present/frame.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "present/wait_input.h"
#include "script/message_log.h"
#include "script/player_settings.h"

namespace {

constexpr int kKeyA = 30;
constexpr int kKeyPageUp = 201;

// The mark borrows the last slot of the text layer entry the game never creates.
constexpr int kMarkSlot = 18;
constexpr int kMarkLevel = 83;
constexpr int kMarkClass = 1;
constexpr int kMarkX = 792;  // right edge, just above the message window
constexpr int kMarkY = 396;
constexpr const char* kMarkDefinition = "sys/mark_auto";
constexpr const char* kMarkColour = "#40c8ffe0";  // a bar, for a game without the picture

struct PageWait {
  bool active = false;
  bool logAllowed = false;
  bool autoAllowed = false;
  PageWaitRequest request = PageWaitRequest::None;
};

bool gAutoAdvance = false;
PageWait gWait;

void ShowMark() {
  if (isSpriteValid(kMarkSlot)) {
    if (!isSpriteShown(kMarkSlot)) showSprite(kMarkSlot, kNoSlot, "none");
    return;
  }
  const DisplayStyle place = kStyleShow | kStyleRight | kStyleBottom;
  if (gHost.lbIsFileExist("sys/mark_auto.spr"))
    loadSpriteDefinition(kMarkSlot, kMarkClass, kMarkDefinition, kMarkX, kMarkY, kMarkLevel,
                         place, "none");
  else
    buildColourSprite(kMarkSlot, kMarkClass, 1, 1, kMarkColour, kMarkX, kMarkY, 48, 8,
                      kMarkLevel, place, "", "none");
}

void HideMark() {
  if (!isSpriteValid(kMarkSlot)) return;
  hideSprite(kMarkSlot, "none");
  destroySprite(kMarkSlot);
}

WaitInputUse ComfortInput(WaitInputKind kind, int code) {
  const bool key = kind == WaitInputKind::Key;
  if (key && code == kKeyA && gWait.active) {
    setAutoAdvance(!gAutoAdvance);
    // A page that may turn by itself starts its count again (or stops counting).
    if (!gWait.autoAllowed) return WaitInputUse::Taken;
    gWait.request = PageWaitRequest::WaitAgain;
    return WaitInputUse::EndsWait;
  }
  // Any other input stops auto-advance and then does what it always does.
  if (gAutoAdvance) setAutoAdvance(false);
  const bool logKey = key ? code == kKeyPageUp : code == LB_MOUSE_WHEEL_UP;
  if (logKey && gWait.active && gWait.logAllowed) {
    gWait.request = PageWaitRequest::OpenLog;
    return WaitInputUse::EndsWait;
  }
  return WaitInputUse::Pass;
}

}  // namespace

void installPlayerComforts() { setWaitInputFilter(ComfortInput); }

bool isAutoAdvanceOn() { return gAutoAdvance; }

void setAutoAdvance(bool on) {
  if (on == gAutoAdvance) return;
  gAutoAdvance = on;
  if (on)
    ShowMark();
  else
    HideMark();
  renderScreen();
}

void beginPageWait(bool logAllowed, bool autoAllowed) {
  gWait = PageWait{true, logAllowed, autoAllowed, PageWaitRequest::None};
  // The screen may have been set up anew since the mark was shown.
  if (gAutoAdvance) ShowMark();
}

int autoAdvanceTimeout() {
  if (!gAutoAdvance || !gWait.autoAllowed) return 0;
  const int delay = autoAdvanceBaseDelay() + kAutoAdvancePerChar * lastLoggedPageLength();
  return delay > 0 ? delay : 1;
}

void watchInputWhileTyping() {
  if (!gAutoAdvance) return;
  bool any = false;
  int code = 0, x = 0, y = 0;
  while (gHost.lbGetMouse(&code, &x, &y))
    if (code != LB_MOUSE_MOVE) any = true;
  int key = 0, kind = 0;
  while (gHost.lbGetKeyEvent(&key, &kind))
    if (kind == LB_KEY_PRESS) any = true;
  if (any) setAutoAdvance(false);
}

PageWaitRequest endPageWait() {
  const PageWaitRequest request = gWait.request;
  gWait = PageWait{};
  return request;
}
