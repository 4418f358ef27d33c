// The system background: sprite place 3, the backdrop of the logo, the title and the
// selection menu, drawn below every other sprite.
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "support/sjis_literal.h"

void SetSystemBackground(const char* name, const char* colour, const char* transition) {
  const bool named = name && name[0] != '\0';
  if (!named && (!colour || colour[0] == '\0'))
    ScriptError("背景の種類が指定されていません。"_sj);
  // Class 3: shown as a background, it takes the screen with it through the transition and
  // sends the backhide sprites (the title's buttons) away at once.
  constexpr int kBackgroundClass = 3;
  constexpr int kBackgroundLevel = 0;
  if (named)
    loadSpriteDefinition(kBackgroundSlot, kBackgroundClass, name, 0, 0, kBackgroundLevel, 0,
                         transition);
  else
    buildColourSprite(kBackgroundSlot, kBackgroundClass, 8, 8, colour, 0, 0, gScreenWidth,
                      gScreenHeight, kBackgroundLevel, 0, "", transition);
}
