// The title screen: the title background with two buttons (begin, exit) or three when a
// position is saved (begin, load, exit), followed by the pointer until one is clicked.
#include <cstdint>

#include "game/build_constants.h"
#include "game/game_flow.h"
#include "game/progress.h"
#include "game/system.h"
#include "present/buttons.h"
#include "present/frame.h"
#include "present/sound.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

struct TitleButton {
  const char* sprite;
  const char* label;
  int result;
};

constexpr TitleButton kBegin = {"sys/title_begin", "begin", kTitleBegin};
constexpr TitleButton kLoad = {"sys/title_load", "load", kTitleLoad};
constexpr TitleButton kExit = {"sys/title_exit", "exit", kTitleExit};

// The title's buttons live in the first script sprites: nothing else is on screen.
constexpr int kFirstButtonSlot = userSlot(0);

int gTitleResult = 0;
const TitleButton* gShown[3] = {};
int gShownCount = 0;

bool OnTitlePick(const SelectionEvent& event) {
  if (event.kind != kSelectionButton || !event.text) return false;
  for (int i = 0; i < gShownCount; ++i) {
    if (TextEqualsNoCase(event.text, gShown[i]->label)) {
      gTitleResult = gShown[i]->result;
      return true;
    }
  }
  return false;
}

}  // namespace

int RunTitleScreen() {
  const bool saved = HasSavedGame();
  ResetPresentation();
  SetSystemBackground(kBuild.titleBackground, "", "fade");

  struct Placed {
    const TitleButton* button;
    int y;
  };
  const Placed withSave[] = {{&kBegin, 400}, {&kLoad, 465}, {&kExit, 530}};
  const Placed withoutSave[] = {{&kBegin, 430}, {&kExit, 500}};
  const Placed* placed = saved ? withSave : withoutSave;
  gShownCount = saved ? 3 : 2;

  // backhide: the change of background after the pick takes them away at once; wipefade:
  // a scene fade takes them with it.
  const DisplayStyle style = kStyleBackHide | kStyleWipeFade;
  for (int i = 0; i < gShownCount; ++i) {
    gShown[i] = placed[i].button;
    loadSpriteDefinition(kFirstButtonSlot + i, 0, placed[i].button->sprite, 400, placed[i].y,
                         -1, style, "none");
  }
  renderScreen();

  for (int i = 0; i < gShownCount; ++i)
    registerButton(kFirstButtonSlot + i, gShown[i]->label, nullptr);
  gTitleResult = 0;
  setSelectionHandler(OnTitlePick);
  beginSelection();
  while (gTitleResult == 0) {
    updatePointerSelection();
    renderScreen();
    waitFor(pollClickOrKey, 1, kWaitForever);
  }
  endSelection();
  setSelectionHandler(nullptr);

  playSe("sys/se/文字クリック"_sj);
  if (gTitleResult == kTitleBegin)
    SetSystemBackground(kBuild.selectionBackground, "", "fade");
  else
    SetSystemBackground("", "black", "fade");
  for (int i = 0; i < gShownCount; ++i) destroySprite(kFirstButtonSlot + i);
  return gTitleResult;
}
