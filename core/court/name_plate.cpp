// The speaker's name plate: one definition per speaker under "sys", shown at the bottom left
// above the message window until it is replaced or cleared.
#include <cstdio>

#include "court/exclamations.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "script/message_log.h"

void showNamePlate(const char* name) {
  if (!name || name[0] == '\0') {
    clearNamePlate();
    return;
  }
  // The plate belongs to the system, so a scenario folder never supplies its own.
  char path[264];
  std::snprintf(path, sizeof path, "sys/name_%s", name);
  loadSpriteDefinition(kNamePlateSlot, 0, path, 0, 403, kNamePlateLevel,
                       parseDisplayStyle(0, "left bottom show wipefade"), "none");
  logNamePlate(kNamePlateSlot, path);  // the log shows it beside the pages read under it
}

void clearNamePlate() {
  logNamePlate(-1, "");
  if (!isSpriteValid(kNamePlateSlot)) return;
  hideSprite(kNamePlateSlot, "none");
  destroySprite(kNamePlateSlot);
}
