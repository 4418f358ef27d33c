// Story text on the current text layer: characters paced by the layer's delay (Ctrl skips
// the delay), the character sound, ruby braces and dropped backslashes, the page break with
// its wait and handler, and the two message window modes. The tags themselves are in
// message_tags.cpp.
#include "script/message.h"

#include <windows.h>

#include <cstring>

#include "host/errors.h"
#include "host/host_api.h"
#include "present/buttons.h"
#include "present/frame.h"
#include "present/sound.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "script/auto_advance.h"
#include "script/message_internal.h"
#include "script/message_log.h"
#include "script/player_settings.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"
#include "support/support.h"

namespace {

MessageHooks gMessageHooks;

// Where the page break keeps its flags when a text is shown outside every scenario run
// (nothing then acts on a picked target, but the wait itself works the same).
Scenario gDetachedScenario;

Scenario& PageScenario() {
  Scenario* scenario = CurrentScenario();
  return scenario ? *scenario : gDetachedScenario;
}

bool IsLeaving(const Scenario& scenario) {
  return scenario.exitRequested || scenario.returnRequested;
}

// The label of the court-record button: picking it opens the record instead of jumping.
constexpr const char* kCourtRecordLabel = "sys_itemkiroku";
constexpr const char* kPageClickSound = "sys/se/文字クリック"_sj;
constexpr const char* kMessageWindowImage = "sys/text_msg";
constexpr const char* kPageCursorName = "sys/cursor_np";
constexpr const char* kMessageFace = "ＭＳ ゴシック"_sj;
constexpr int kPageCursorLevel = 96;
constexpr int kOverlayClass = 1;

// The page-break handler: a picked link or button with a label becomes the scenario's
// pending target; a right click asks for the system menu when the mode allows it.
bool PageBreakHandler(const SelectionEvent& event) {
  Scenario& scenario = PageScenario();
  if ((event.kind == kSelectionChoice || event.kind == kSelectionButton) && event.text &&
      event.text[0] != '\0') {
    CopyText(event.text, scenario.pendingTarget, kScenarioTextSize);
    return true;
  }
  if (event.kind == kSelectionCancel && event.text && std::strcmp(event.text, "rclick") == 0 &&
      scenario.courtFlags[0]) {
    scenario.courtFlags[1] = true;
    return true;
  }
  return false;
}

// The plain page wait with the page cursor at (x, y). Auto-advance gives it a time-out
// (0: none), after which the page turns as if clicked; true when the player ended it.
bool WaitWithPageCursor(int x, int y, int timeoutMs) {
  if (timeoutMs <= 0) {
    waitForSelection(kPageCursorSlot, x, y, false, 0);
    return true;
  }
  // waitForSelection's plain wait, with the answer of its wait kept.
  const bool cursor = isSpriteValid(kPageCursorSlot);
  if (cursor) {
    setSpritePos(kPageCursorSlot, x, y, kStyleLeft | kStyleMiddle);
    showSprite(kPageCursorSlot, kNoSlot, "none");
  }
  beginSelection();
  renderScreen();
  const bool ended = waitFor(pollClickOrKey, 0, static_cast<std::uint32_t>(timeoutMs));
  endSelection();
  if (cursor) hideSprite(kPageCursorSlot, "none");
  return ended;
}

bool IsStoryPage(int mode) { return (mode & kStoryMessageMode) == kStoryMessageMode; }

// One wait at a page break, until the player passes it, picks something or asks for the menu.
// At a story page the message log may open and auto-advance may turn the page; the wait then
// starts again on the same page, or ends as a click would have ended it.
void WaitAtPageBreak(Scenario& scenario, int mode) {
  const bool story = IsStoryPage(mode) && !hasChoices();
  for (;;) {
    scenario.courtFlags[0] = (mode & kMessageMenuOnRightClick) != 0;
    scenario.courtFlags[1] = false;
    scenario.pendingTarget[0] = '\0';
    setSelectionHandler(PageBreakHandler);
    beginPageWait(story, story && !anyTargetShown());
    const int autoTimeout = autoAdvanceTimeout();
    bool passed = true;
    if (beginSelection()) {
      // Links on the page or a shown button: only a pick (or the menu) passes the page.
      updatePointerSelection();
      renderScreen();
      waitFor(pollClickOrKey, 1, kWaitForever);
      endSelection();
    } else {
      int x = 0, y = 0;
      getCursorPos(x, y);
      passed = WaitWithPageCursor(x, y, autoTimeout);
    }
    setSelectionHandler(nullptr);
    const PageWaitRequest request = endPageWait();
    if (request == PageWaitRequest::OpenLog) {
      runMessageLog();
      continue;
    }
    if (request == PageWaitRequest::WaitAgain) continue;
    // A time-out that auto-advance set passes the page only while it is still on.
    if (!passed && autoTimeout > 0 && !isAutoAdvanceOn()) continue;
    break;
  }
}

bool IsBlank(std::uint16_t code) {
  return code == ' ' || code == '\t' || code == 0x8140 || code == '\r' || code == '\n';
}

// One drawn character: its sound, the glyph, and the wait that paces the text (the layer's
// delay at the player's text speed). True when the glyph was drawn.
bool PutPacedChar(std::uint16_t code, const char* sound) {
  if (sound && sound[0] != '\0' && !IsBlank(code)) playSe(sound);
  if (!putChar(code)) return false;
  watchInputWhileTyping();
  waitFor(isSkipKeyHeld, 0, 0);
  int delay = scaledCharDelay(textSpeed());
  if (delay <= 0) return true;
  // The delay runs from the moment the character was put, so the frame that shows it
  // counts towards the delay instead of adding to it.
  renderScreen();
  std::uint32_t elapsed = timeGetTime() - lastCharTime();
  if (elapsed < static_cast<std::uint32_t>(delay))
    waitFor(isSkipKeyHeld, 0, static_cast<std::uint32_t>(delay) - elapsed);
  return true;
}

// The message window is what the log keeps; the record's and the menu's layers are not.
bool IsMessageWindowCurrent() { return currentTextLayer() == findTextLayer("def"); }

// The message window layout shared by both modes; only the window and the line count differ.
void SelectMessageMode(const char* image, const char* colour, int x, int y, int lines) {
  logDropPage();
  selectTextLayer("def");
  setTextLayerWindow("def", image, colour, x, y, 0, 0);
  TextLayerFont font{};
  font.face = kMessageFace;
  font.size = 40;
  font.styleFlag = false;
  font.columns = 16;
  font.lines = lines;
  font.leftMargin = 43;
  font.topMargin = 20;
  font.charSpacing = 5;
  font.lineSpacing = 10;
  font.shadowOn = true;
  font.shadowDx = 2;
  font.shadowDy = 3;
  font.rubyFace = kMessageFace;
  font.rubySize = 10;
  font.rubyGap = -2;
  setTextLayerFont("def", font);
  setDefaultShadowColour("def", 0.2f, 0.2f, 0.2f);
  showTextLayer("def");
  setDefaultTextColour("def", 1.0f, 1.0f, 1.0f);
  setSpeed("def", 30);
  clearTextLayer("def");
  loadSpriteDefinition(kPageCursorSlot, kOverlayClass, kPageCursorName, 0, 0, kPageCursorLevel,
                       kStyleHide, "none");
}

}  // namespace

void InstallMessageHooks(const MessageHooks& hooks) { gMessageHooks = hooks; }

const MessageHooks& InstalledMessageHooks() { return gMessageHooks; }

bool RunPageBreak(int mode) {
  Scenario& scenario = PageScenario();
  // The log keeps the pages it can open over: the story's, not a choice of links.
  logPageBreak(IsStoryPage(mode) && IsMessageWindowCurrent() && !hasChoices());
  for (;;) {
    WaitAtPageBreak(scenario, mode);
    if (!scenario.courtFlags[1]) break;
    // The player asked for the system menu; it returns here unless the scenario is leaving.
    if (!gMessageHooks.runSystemMenu)
      ScriptError("The system menu cannot be opened: none is installed.");
    gMessageHooks.runSystemMenu();
    if (IsLeaving(scenario)) break;
  }
  if (!scenario.courtFlags[1] && std::strcmp(scenario.pendingTarget, kCourtRecordLabel) == 0) {
    if (!gMessageHooks.openCourtRecord)
      ScriptError("The court record cannot be opened: this build has no court record yet.");
    gMessageHooks.openCourtRecord();  // leaves the record button's jump label as the target
  }
  // Without a court record there is no record button to hide.
  if (gMessageHooks.hideCourtRecordButton) gMessageHooks.hideCourtRecordButton();
  if (IsLeaving(scenario)) return true;
  if (mode & kMessageClickSound) playSe(kPageClickSound);
  dropTextLayerChoices("");
  clearTextLayer("");
  return false;
}

bool ShowMessage(const char* text, const char* sound, int mode) {
  sceneFadeIn();  // the first text after "@sprBeginScene" brings the scene back
  readTextSpeed();  // a change made in the settings applies from the next text on
  const bool logged = IsMessageWindowCurrent();
  const char* cursor = text;
  while (*cursor != '\0') {
    unsigned char byte = static_cast<unsigned char>(*cursor);
    std::uint16_t code = byte;
    int length = 1;
    if (isLeadByte(byte)) {
      if (cursor[1] == '\0') break;  // a lead byte cut off by the line end is not a character
      code = static_cast<std::uint16_t>(byte << 8 | static_cast<unsigned char>(cursor[1]));
      length = 2;
    }
    if (code == '\\') {
      cursor += 1;
      continue;
    }
    if (isRubyMode()) {
      if (code == '}') {
        setRubyMode(false);
        if (logged) logRubyEnd();
      } else {
        putChar(code);  // collected as ruby for the next drawn character
        if (logged) logRubyChar(code);
      }
      cursor += length;
      continue;
    }
    if (code == '[') {
      ++cursor;
      RunTag(cursor, mode);
      if (IsLeaving(PageScenario())) return true;
      continue;
    }
    if (code == '{') {
      setRubyMode(true);
      if (logged) logRubyStart();
      cursor += 1;
      continue;
    }
    if (PutPacedChar(code, sound) && logged) logDrawnChar(code);
    cursor += length;
  }
  return false;
}

void ShapeMenuBox(const char* layer) {
  setTextLayerWindow(layer, "", "#00000080", 32, 32, 736, 536);
  setTextLayerFont(layer, TextLayerFont{.face = kMessageFace, .size = 40, .styleFlag = false,
                                        .columns = 16, .lines = 11, .leftMargin = 0,
                                        .topMargin = 0, .charSpacing = 5, .lineSpacing = 10,
                                        .shadowOn = true, .shadowDx = 2, .shadowDy = 3,
                                        .rubyFace = kMessageFace, .rubySize = 10,
                                        .rubyGap = -2});
  setDefaultShadowColour(layer, 0.2f, 0.2f, 0.2f);
  showTextLayer(layer);
  setDefaultTextColour(layer, 1.0f, 1.0f, 1.0f);
  setSpeed(layer, 0);  // the whole box is drawn at once
}

bool ShowMessagePlain(const char* text, int mode) { return ShowMessage(text, nullptr, mode); }

void ShowStoryLine(const char* line) { ShowMessage(line, nullptr, kStoryMessageMode); }

void ShowMessageWindow() { SelectMessageMode(kMessageWindowImage, "", 0, 400, 3); }

void ShowFullScreenText() {
  // The speaker's name belongs to the window at the bottom, not over the whole screen.
  if (gMessageHooks.clearNamePlate) gMessageHooks.clearNamePlate();
  SelectMessageMode("", "#00000080", 0, 0, 11);
}
