// The shouted exclamations "igi", "matta" and "kurae": an optional item picture flying in,
// the bubble sweeping across the screen by its motion, the shout and the speaker's voice.
#include <cstdio>

#include "court/exclamations.h"
#include "court/items.h"
#include "present/motion.h"
#include "present/sound.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "support/sjis_literal.h"

namespace {

constexpr const char* kShout = "sys/se/異議あり"_sj;
constexpr int kItemFlourishSize = 378;

void removeSprite(int slot) {
  if (!isSpriteValid(slot)) return;
  hideSprite(slot, "none");
  destroySprite(slot);
}

}  // namespace

void showExclamation(const char* type, const char* voice, int item, bool right) {
  bool itemShown = false;
  if (item >= 0) {
    char image[264];
    resolveItemSpriteName(checkItem(item).image, image, sizeof image);
    loadSpriteDefinition(kItemFlourishSlot, 0, image, -200, -200, kItemFlourishLevel,
                         parseDisplayStyle(0, "center middle show cache"), "none");
    setSpriteSize(kItemFlourishSlot, kItemFlourishSize, kItemFlourishSize);
    loadMotion(kItemFlourishSlot, "sys/item_kurae", false);
    itemShown = true;
  }

  char bubble[264];
  std::snprintf(bubble, sizeof bubble, "sys/court_%s", type);
  char voiceSound[264] = {};
  if (voice && voice[0] != '\0')
    std::snprintf(voiceSound, sizeof voiceSound, "sys/voice/%s_%s", voice, type);

  // The bubble starts outside the 800-pixel screen; its motion brings it across.
  if (right)
    loadSpriteDefinition(kExclamationSlot, 0, bubble, 1033, 60, kExclamationLevel,
                         parseDisplayStyle(0, "right top show cache"), "none");
  else
    loadSpriteDefinition(kExclamationSlot, 0, bubble, -233, 60, kExclamationLevel,
                         parseDisplayStyle(0, "left top show cache"), "none");

  playSe(kShout);
  if (voiceSound[0] != '\0') playSe(voiceSound);

  loadMotion(kExclamationSlot, right ? "sys/court_kakegoe_right" : "sys/court_kakegoe_left",
             true);

  removeSprite(kExclamationSlot);
  if (itemShown) removeSprite(kItemFlourishSlot);
}
