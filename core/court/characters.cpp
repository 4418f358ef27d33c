// The three character places of the courtroom stage: showing a character (or only moving
// it when the same definition is already there), hiding one or all, and anchoring a place
// to the bottom edge of the current background.
#include <cstring>

#include "court/court_scene.h"
#include "host/errors.h"
#include "present/sprite_definition.h"
#include "support/sjis_literal.h"
#include "support/support.h"

namespace {

void checkPlace(int place, int limit) {
  if (place < 0 || place >= limit) ScriptError("キャラクラス番号 %d は不正"_sj, place);
}

int placeSlot(int place) {
  return CourtSpriteTable[gCourtScene.places[place].courtEntry].slot;
}

// Hides with "none" and frees the slot, as every removal of a character does.
void deleteSprite(int slot) {
  hideSprite(slot, "none");
  destroySprite(slot);
}

}  // namespace

void showChara(const char* name, int place, int x, int y, bool noWipe) {
  checkPlace(place, kCharaPlaceCount);
  CharaPlace& p = gCourtScene.places[place];
  const CourtSpriteEntry& entry = CourtSpriteTable[p.courtEntry];
  p.x = x;
  p.y = y;
  PathBuffer path;
  resolveSpriteName(path, name != nullptr ? name : "");

  // The same character again is only moved: no reload, so no fade and no restarted talking.
  const bool fresh = std::strlen(path) != std::strlen(p.path) || std::strcmp(path, p.path) != 0;
  if (fresh) {
    loadSpriteDefinition(
        entry.slot, 0, path, 0, 0, entry.level,
        parseDisplayStyle(p.alignment, "hide backnormal wipenofade wipenohide cache"), "none");
    std::memcpy(p.path, path, sizeof p.path);
  }
  if (isSpriteValid(entry.slot) && isSpriteValid(kBackgroundSlot))
    connectSprite(entry.slot, kBackgroundSlot);
  placeChara(place);
  if (fresh) showSprite(entry.slot, kNoSlot, noWipe ? "none" : "fade");
}

void hideChara(int place, bool noWipe) {
  checkPlace(place, kCharaPlaceCount + 1);
  const char* transition = noWipe ? "none" : "fade";
  if (place != kCharaPlaceAll) {
    const int slot = placeSlot(place);
    if (isSpriteValid(slot)) {
      hideSprite(slot, transition);
      destroySprite(slot);
    }
    gCourtScene.places[place].path[0] = '\0';
    return;
  }

  // One transition takes every character along (wipehide), so they fade together once.
  for (int i = 0; i < kCharaPlaceCount; ++i) {
    if (isSpriteValid(placeSlot(i)))
      setSpriteStateStyle(placeSlot(i), "backnormal wipenofade wipehide");
  }
  for (int i : {kCharaPlaceLeft, kCharaPlaceCenter, kCharaPlaceRight}) {
    if (isSpriteShown(placeSlot(i))) {
      hideSprite(placeSlot(i), transition);
      break;
    }
  }
  for (int i = 0; i < kCharaPlaceCount; ++i) {
    if (isSpriteValid(placeSlot(i))) deleteSprite(placeSlot(i));
    gCourtScene.places[i].path[0] = '\0';
  }
}

void placeChara(int place) {
  checkPlace(place, kCharaPlaceCount);
  const CharaPlace& p = gCourtScene.places[place];
  int width = 0, height = 0;
  getSpriteSize(kBackgroundSlot, width, height);  // a missing background is reported here
  const int anchorX = place == kCharaPlaceLeft     ? 0
                      : place == kCharaPlaceCenter ? width / 2
                                                   : width;
  setSpritePos(placeSlot(place), addClamped(anchorX, p.x), addClamped(height, p.y),
               parseDisplayStyle(kStyleLeft | kStyleTop, p.alignmentText));
}
