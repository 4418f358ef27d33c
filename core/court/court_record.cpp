// The item panel that slides across the court, the announcement of a filed item, the
// court-record button, and the record screen on which the player browses what they hold
// and presents one entry.
#include <cstdio>
#include <cstring>

#include "court/items.h"
#include "host/errors.h"
#include "present/buttons.h"
#include "present/frame.h"
#include "present/sound.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "script/message.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

constexpr int kCourtClass = 0;
constexpr int kNamePlateSlot = 20;
constexpr int kRecordButtonSlot = 38;
constexpr int kRecordButtonLevel = 82;
constexpr int kMagnifiedSlot = 43;
constexpr int kMagnifiedLevel = 82;
constexpr int kRecordPartLevel = 21;
constexpr int kPageCursorSlotNumber = 2;
constexpr int kPageCursorLevel = 96;
constexpr int kOverlayClass = 1;
constexpr int kPanelX = 8;
constexpr int kPanelY = 88;
constexpr int kPanelLayerY = 80;
constexpr int kSlideWidth = 800;
constexpr std::uint32_t kSlideMs = 100;
constexpr const char* kRecordButtonLabel = "sys_itemkiroku";
constexpr const char* kSwitchSound = "sys/se/アイテム切り替え"_sj;
constexpr const char* kPresentSound = "sys/se/アイテム決定"_sj;
constexpr const char* kClickSound = "sys/se/文字クリック"_sj;

// Slots of the record screen's buttons.
constexpr int kTsukiSlot = 22;
constexpr int kTojiruSlot = 23;
constexpr int kLeftSlot = 24;
constexpr int kRightSlot = 25;
constexpr int kTabSlot = 26;
constexpr int kMagSlot = 42;

struct RecordButton {
  char label[kScenarioTextSize] = {};
  int x = 0;
  int y = 0;
};
RecordButton gRecordButton;

// The name plate is taken away while a panel or the record covers the court.
bool HideNamePlate() {
  if (!isSpriteValid(kNamePlateSlot) || !isSpriteShown(kNamePlateSlot)) return false;
  hideSprite(kNamePlateSlot, "none");
  return true;
}
void RestoreNamePlate(bool hidden) {
  if (hidden && isSpriteValid(kNamePlateSlot)) showSprite(kNamePlateSlot, -1, "none");
}

void DeleteSprite(int slot) {
  if (!isSpriteValid(slot)) return;
  hideSprite(slot, "none");
  destroySprite(slot);
}

// ---- The item panel ---------------------------------------------------------------------

void PreparePanel(int number) {
  const ItemEntry& entry = checkItem(number);
  char image[kItemImageSize];
  resolveItemSpriteName(entry.image, image, sizeof image);
  loadSpriteDefinition(kItemPictureSlot, kCourtClass, image, kPanelX, kPanelY,
                       kItemPictureLevel, kStyleHide | kStyleCache | kStyleLeft | kStyleTop,
                       "none");
  setTextLayerWindow("sub", "sys/text_item", "", 0, kPanelLayerY, 0, 0);
  const char* gothic = "ＭＳ ゴシック"_sj;
  setTextLayerFont("sub", TextLayerFont{.face = gothic, .size = 32, .styleFlag = false,
                                        .columns = 16, .lines = 4, .leftMargin = 215,
                                        .topMargin = 30, .charSpacing = 3, .lineSpacing = 8,
                                        .shadowOn = true, .shadowDx = 2, .shadowDy = 2,
                                        .rubyFace = gothic, .rubySize = 10, .rubyGap = -2});
  setDefaultTextColour("sub", 1.0f, 1.0f, 1.0f);
  setDefaultShadowColour("sub", 0.2f, 0.15f, 0.15f);
  setSpeed("sub", 0);
  clearTextLayer("sub");
  selectTextLayer("sub");
  for (const char* text : {"　[cy]"_sj, entry.name, "[c][br]", entry.comment})
    ShowMessagePlain(text, 0);
  selectTextLayer("def");
}

void PlacePanel(const PanelPlace& place) {
  setSpritePos(kItemPictureSlot, place.pictureX, kPanelY, kStyleLeft | kStyleTop);
  setTextLayerPos("sub", place.layerOffset, kPanelLayerY);
}

// One slide over 100 ms; `in` brings the panel from the right, otherwise it leaves left.
void SlidePanel(bool in) {
  if (in) {
    PlacePanel(panelPlaceAt(0, true));
    showSprite(kItemPictureSlot, -1, "none");
    showTextLayer("sub");
  }
  restartMark();
  for (;;) {
    const std::uint32_t elapsed = elapsedSinceMark();
    PlacePanel(panelPlaceAt(elapsed, in));
    renderScreen();
    if (elapsed >= kSlideMs) break;
  }
}

void ClosePanel() {
  DeleteSprite(kItemPictureSlot);
  hideTextLayer("sub");
}

// ---- The record screen ------------------------------------------------------------------

bool OwnsAny(bool profiles) {
  for (const ItemEntry& entry : gItems.entries)
    if (entry.name[0] != '\0' && entry.owned && (entry.isProfile != 0) == profiles) return true;
  return false;
}

bool IsOwnedOfKind(std::size_t i, bool profiles) {
  const ItemEntry& entry = gItems.entries[i];
  return entry.name[0] != '\0' && entry.owned && (entry.isProfile != 0) == profiles;
}

int LowestOwned(bool profiles) {
  for (std::size_t i = 0; i < gItems.entries.size(); ++i)
    if (IsOwnedOfKind(i, profiles)) return static_cast<int>(i);
  return -1;
}

// The next owned entry of the kind above (step 1) or below (step -1) `from`, wrapping.
int StepOwned(int from, int step, bool profiles) {
  const int count = static_cast<int>(gItems.entries.size());
  for (int n = 1; n <= count; ++n) {
    const int i = ((from + step * n) % count + count) % count;
    if (IsOwnedOfKind(static_cast<std::size_t>(i), profiles)) return i;
  }
  return from;
}

void AddButton(int slot, const char* label, const char* definition, DisplayStyle align, int x,
               int y, std::initializer_list<std::uint32_t> keys) {
  loadSpriteDefinition(slot, kCourtClass, definition, x, y, kRecordPartLevel,
                       kStyleShow | align, "none");
  registerButton(slot, label, keys);
}

void PlaceRecordButtons(bool present, bool close, bool onProfiles, bool otherTabAllowed,
                        bool hasMag) {
  const DisplayStyle rightTop = kStyleRight | kStyleTop;
  AddButton(kRightSlot, "right", "sys/btn_item_right", rightTop, 735, 286, {205, 0});
  int x = 700;
  if (close) {
    AddButton(kTojiruSlot, "tojiru", "sys/btn_item_tojiru", rightTop, x, 286, {45, 0});
    x = 601;
  }
  if (present) {
    AddButton(kTsukiSlot, "tsuki", "sys/btn_item_tsuki", rightTop, x, 286, {44, 28, 156, 0});
    x -= 163;
  }
  AddButton(kLeftSlot, "left", "sys/btn_item_left", rightTop, x, 286, {203, 0});
  if (otherTabAllowed) {
    if (onProfiles)
      AddButton(kTabSlot, "item", "sys/btn_item_item", kStyleLeft | kStyleTop, 65, 286, {57, 0});
    else
      AddButton(kTabSlot, "chara", "sys/btn_item_chara", kStyleLeft | kStyleTop, 65, 286, {57, 0});
  }
  if (hasMag)
    AddButton(kMagSlot, "mag", "sys/btn_item_mag", kStyleRight | kStyleBottom, 735, 79, {46, 0});
}

void RemoveRecordButtons() {
  for (int slot : {kRightSlot, kTojiruSlot, kTsukiSlot, kLeftSlot, kTabSlot, kMagSlot})
    DeleteSprite(slot);
}

Scenario* RunningScenario() { return CurrentScenario(); }

// A page wait of the record: true when the scenario is leaving. The clicked name is taken
// out of the scenario's pending target into `clicked`, so the run loop never mistakes a
// record button for a jump.
bool RecordWait(char (&clicked)[kScenarioTextSize]) {
  const bool leaving = ShowMessagePlain("[np]", kMessageMenuOnRightClick);
  clicked[0] = '\0';
  if (Scenario* scenario = RunningScenario()) {
    CopyText(scenario->pendingTarget, clicked, kScenarioTextSize);
    scenario->pendingTarget[0] = '\0';
  }
  return leaving;
}

// The magnified picture over the record until the next click; true when leaving.
bool ShowMagnified(const ItemEntry& entry) {
  char name[kItemImageSize];
  resolveItemSpriteName(entry.mag, name, sizeof name);
  loadSpriteDefinition(kMagnifiedSlot, kCourtClass, name, 400, 300, kMagnifiedLevel,
                       kStyleShow | kStyleCenter | kStyleMiddle, "fade");
  loadBlankPageCursor();
  char clicked[kScenarioTextSize];
  if (RecordWait(clicked)) return true;
  playSe(kClickSound);
  hideSprite(kMagnifiedSlot, "fade");
  DeleteSprite(kMagnifiedSlot);
  return false;
}

}  // namespace

PanelPlace panelPlaceAt(std::uint32_t elapsedMs, bool in) {
  const double f = elapsedMs >= kSlideMs ? 1.0 : elapsedMs * 0.01;
  const int d = static_cast<int>(f * kSlideWidth + 0.5);
  if (in) return {kPanelX + kSlideWidth - d, kSlideWidth - d};
  return {kPanelX - d, -d};
}

void (*gItemKuraeHook)(int item, const char* voice, bool right) = nullptr;

void announceItem(int number, int se) {
  gainItem(number);
  const bool plateHidden = HideNamePlate();
  PreparePanel(number);
  SlidePanel(true);
  playSe(se == 1 ? "sys/se/ジングル"_sj : "sys/se/アイテム取得"_sj);
  const ItemEntry& entry = checkItem(number);
  ShowMessagePlain("[cb]証拠品[br]「"_sj, 0);
  ShowMessagePlain(entry.name, 0);
  if (ShowMessagePlain("」を[br]法廷記録にファイルした。[c][np]"_sj, kStoryMessageMode)) return;
  SlidePanel(false);
  ClosePanel();
  RestoreNamePlate(plateHidden);
}

void showRecordButton(const char* label, int x, int y) {
  CopyText(label, gRecordButton.label, sizeof gRecordButton.label);
  gRecordButton.x = x;
  gRecordButton.y = y;
  if (isSpriteValid(kRecordButtonSlot)) {
    setSpritePos(kRecordButtonSlot, x, y, kStyleLeft | kStyleTop);
    return;
  }
  loadSpriteDefinition(kRecordButtonSlot, kCourtClass, "sys/btn_other_kiroku", x, y,
                       kRecordButtonLevel, kStyleShow | kStyleLeft | kStyleTop, "none");
  registerButton(kRecordButtonSlot, kRecordButtonLabel, {45, 0});
}

void hideRecordButton() { DeleteSprite(kRecordButtonSlot); }

bool isRecordButtonShown() {
  return isSpriteValid(kRecordButtonSlot) && isSpriteShown(kRecordButtonSlot);
}

void placeRecordButtonAgain() {
  showRecordButton(gRecordButton.label, gRecordButton.x, gRecordButton.y);
}

int openCourtRecord(bool present, bool close, bool evidence, bool profiles, bool& leaving) {
  leaving = false;
  int result = -1;
  // The record's clicks arrive through the running scenario, so it needs one.
  if (!RunningScenario()) Fatal("The court record was opened outside every scenario.");
  RunningScenario()->result[0] = '\0';
  const bool defShown = isTextLayerShown("def");
  if (defShown) hideTextLayer("def");
  const bool plateHidden = HideNamePlate();

  const bool evidenceOpen = evidence && OwnsAny(false);
  const bool profilesOpen = profiles && OwnsAny(true);
  bool onProfiles = !evidenceOpen;
  int current = evidenceOpen ? LowestOwned(false) : profilesOpen ? LowestOwned(true) : -1;

  while (current >= 0 && !leaving) {
    const ItemEntry& entry = checkItem(current);
    PreparePanel(current);
    SlidePanel(true);
    const bool otherTab = onProfiles ? evidenceOpen : profilesOpen;
    PlaceRecordButtons(present, close, onProfiles, otherTab, entry.mag[0] != '\0');
    char clicked[kScenarioTextSize];
    if (RecordWait(clicked)) {
      leaving = true;
      break;
    }
    RemoveRecordButtons();
    const bool switching = std::strcmp(clicked, "left") == 0 ||
                           std::strcmp(clicked, "right") == 0 ||
                           std::strcmp(clicked, "chara") == 0 || std::strcmp(clicked, "item") == 0;
    if (switching) playSe(kSwitchSound);
    else if (std::strcmp(clicked, "tsuki") == 0) playSe(kPresentSound);
    else if (std::strcmp(clicked, "mag") == 0) playSe(kClickSound);
    SlidePanel(false);
    ClosePanel();

    if (std::strcmp(clicked, "left") == 0) {
      current = StepOwned(current, -1, onProfiles);
    } else if (std::strcmp(clicked, "right") == 0) {
      current = StepOwned(current, 1, onProfiles);
    } else if (std::strcmp(clicked, "chara") == 0 || std::strcmp(clicked, "item") == 0) {
      onProfiles = std::strcmp(clicked, "chara") == 0;
      current = LowestOwned(onProfiles);
    } else if (std::strcmp(clicked, "tsuki") == 0) {
      result = current;
      break;
    } else if (std::strcmp(clicked, "tojiru") == 0) {
      break;
    } else if (std::strcmp(clicked, "mag") == 0) {
      if (ShowMagnified(entry)) leaving = true;
    }
  }
  if (leaving) {
    RemoveRecordButtons();
    ClosePanel();
  }

  loadSpriteDefinition(kPageCursorSlotNumber, kOverlayClass, "sys/cursor_np", 0, 0,
                       kPageCursorLevel, kStyleHide, "none");
  if (Scenario* scenario = RunningScenario())
    std::snprintf(scenario->result, sizeof scenario->result, "%d", result);
  if (defShown) showTextLayer("def");
  selectTextLayer("def");
  RestoreNamePlate(plateHidden);
  return result;
}

void openCourtRecordFromButton() {
  hideRecordButton();
  bool leaving = false;
  openCourtRecord(false, true, true, true, leaving);
  // Closing the record continues the story at the button's label.
  if (Scenario* scenario = RunningScenario(); scenario && !leaving)
    CopyText(gRecordButton.label, scenario->pendingTarget, kScenarioTextSize);
}

void selectItem(int number, const char* success, const char* miss, bool profilesOnly,
                bool kurae, bool right, const char* voice) {
  bool leaving = false;
  const int chosen = openCourtRecord(true, false, !profilesOnly, true, leaving);
  if (leaving) return;
  Scenario* scenario = RunningScenario();
  if (!scenario) Fatal("The court record was asked for outside every scenario.");
  if (chosen == number) {
    CopyText(success, scenario->jumpTarget, kScenarioTextSize);
    if (kurae) {
      if (!gItemKuraeHook)
        ScriptError("The exclamation cannot be shown: this build has no exclamations yet.");
      gItemKuraeHook(chosen, voice, right);
    }
  } else {
    CopyText(miss, scenario->jumpTarget, kScenarioTextSize);
  }
}
