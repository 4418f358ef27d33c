// The system menu a right click opens at a story page break: a box on the layer "system" with
// three links (back to the game, look at the picture, back to the title), written with the
// message machinery. It hides the story layers and the courtroom pieces that must not stand
// over it, and puts every one of them back as it was when it closes.
#include "game/system.h"

#include <span>

#include "court/court_scene.h"
#include "court/items.h"
#include "host/errors.h"
#include "present/buttons.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "script/message.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

// The menu's own pages: the click sound, and no menu over the menu.
constexpr int kMenuPageMode = kMessageClickSound;
constexpr const char* kSystemLayer = "system";
constexpr const char* kTitleResult = "sys_exit";

constexpr const char* kMenuLines[] = {
    "[br]", "[br]", "[br]",
    "　　　　　[link target=game]ゲームへ戻る[/link]　　　　　[br]"_sj,
    "[br]",
    "　　　　 　[link target=show]画像を表示[/link]　　　　　[br]"_sj,
    "[br]",
    "　　　　 [link target=title]タイトルへ戻る[/link]　　　　[br]"_sj,
    "[np]",
};
constexpr const char* kConfirmLines[] = {
    "[br]", "[br]", "[br]", "[br]",
    "　　　本当に終了しますか？[br]"_sj,
    "[br]",
    "　　　　[link target=yes]はい[/link]　　　[link target=no]いいえ[/link]"_sj,
    "[np]",
};

// What the menu hid, to be put back exactly.
struct HiddenScene {
  bool defShown = false;
  bool subShown = false;
  bool recordButtonShown = false;
};

// A flagged court sprite must stand in the sprite table's range; one that does not exist is
// simply not shown, so the menu opens in every scene.
void CheckCourtSlot(int slot) {
  if (slot < 0 || slot >= kSpriteSlotCount)
    ScriptError("スプライト %d は有効ではありません。"_sj, spriteNumberOf(slot));
}

HiddenScene HideScene() {
  HiddenScene hidden;
  hidden.defShown = isTextLayerShown("def");
  hidden.subShown = isTextLayerShown("sub");
  hidden.recordButtonShown = isRecordButtonShown();
  if (hidden.defShown) hideTextLayer("def");
  if (hidden.subShown) hideTextLayer("sub");
  for (CourtSpriteEntry& entry : CourtSpriteTable) {
    if (!entry.hideUnderMenu) continue;
    CheckCourtSlot(entry.slot);
    entry.wasVisible = isSpriteShown(entry.slot);
    if (entry.wasVisible) hideSprite(entry.slot, "none");
  }
  return hidden;
}

void RestoreScene(const HiddenScene& hidden) {
  hideTextLayer(kSystemLayer);
  if (hidden.defShown) showTextLayer("def");
  if (hidden.subShown) showTextLayer("sub");
  if (hidden.recordButtonShown) placeRecordButtonAgain();
  for (const CourtSpriteEntry& entry : CourtSpriteTable) {
    if (!entry.hideUnderMenu) continue;
    CheckCourtSlot(entry.slot);
    if (entry.wasVisible) showSprite(entry.slot, kNoSlot, "none");
  }
  selectTextLayer("def");
}

// One page of the menu on a cleared "system"; the picked link comes back as the target.
void ShowMenuPage(std::span<const char* const> lines) {
  clearTextLayer(kSystemLayer);
  for (const char* line : lines) ShowMessagePlain(line, kMenuPageMode);
}

bool Picked(const Scenario& scenario, const char* name) {
  return TextEqualsNoCase(scenario.pendingTarget, name);
}

// The picture alone until the player clicks or presses a key.
void ShowPictureAlone() {
  hideTextLayer(kSystemLayer);
  dropTextLayerChoices(kSystemLayer);
  waitForSelection(kCursorSlot, 0, 0, false, 0);
  showTextLayer(kSystemLayer);
}

void ClearRequest(Scenario& scenario) {
  scenario.courtFlags[1] = false;
  scenario.pendingTarget[0] = '\0';
}

}  // namespace

void RunSystemMenu() {
  Scenario* current = CurrentScenario();
  if (!current) Fatal("The system menu was asked for outside every scenario.");
  Scenario& scenario = *current;

  HiddenScene hidden = HideScene();
  selectTextLayer(kSystemLayer);
  ShapeMenuBox(kSystemLayer);

  for (;;) {
    ShowMenuPage(kMenuLines);
    if (Picked(scenario, "game")) break;
    if (Picked(scenario, "show")) {
      ShowPictureAlone();
      continue;
    }
    if (Picked(scenario, "title")) {
      ClearRequest(scenario);
      ShowMenuPage(kConfirmLines);
      if (Picked(scenario, "yes")) {
        scenario.exitRequested = true;
        CopyText(kTitleResult, scenario.result, kScenarioResultSize);
      }
      break;
    }
  }

  ClearRequest(scenario);
  RestoreScene(hidden);
}
