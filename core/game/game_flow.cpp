// The game flow: the logo, then the title loop that runs the selection menu, the episode it
// returns, and the menu scenario's ending for a clear or a game over; or resumes the saved
// position. Which folder runs when is decided here, from the build's constants and the clear
// count; everything else is the scenarios' business.
#include "game/game_flow.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "game/build_constants.h"
#include "game/progress.h"
#include "game/system.h"
#include "host/errors.h"
#include "present/frame.h"
#include "present/sound.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "script/message_log.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

// The menu scenario offers as many episodes as have been cleared, plus the next one; a
// hand-edited count outside the three the build has is held to them.
void RunSelectionMenu() {
  int clears = ReadClearCount();
  int offered = clears < 0 ? 0 : clears > 2 ? 2 : clears;
  char target[16];
  std::snprintf(target, sizeof target, "select%d:", offered);
  char result[kScenarioResultSize] = {};
  RunScenario(kBuild.menuFolder, result, sizeof result, target, false);

  static const char* const kChoices[] = {"0", "1", "2"};
  for (int episode = 0; episode < 3; ++episode) {
    if (TextEqualsNoCase(result, kChoices[episode])) {
      RunEpisode(kBuild.episodeFolders[episode], false);
      return;
    }
  }
  // Any other result is the menu's way back to the title.
}

}  // namespace

void RunGameFlow() {
  ShowLogo();
  for (;;) {
    switch (RunTitleScreen()) {
      case kTitleBegin:
        RunSelectionMenu();
        playBgm("");
        break;
      case kTitleLoad:
        // Folder and target come from the progress file.
        RunEpisode("", true);
        playBgm("");
        break;
      case kTitleExit:
        Abort();
      default:
        break;
    }
  }
}

void ShowLogo() {
  ResetPresentation();
  SetSystemBackground("", "black", "none");
  const int slot = userSlot(0);
  loadSpriteDefinition(slot, 0, "sys/logo", 400, 300, -1, 0, "logofade");
  waitFor(nullptr, 0, 1500);
  // Nothing of the game runs during the wait, but a timer callback could have taken the
  // slot; hiding a sprite that is gone would hide nothing and say nothing.
  if (!isSpriteValid(slot)) ScriptError("スプライト %d は有効ではありません。"_sj, 0);
  hideSprite(slot, "logofade");
  destroySprite(slot);
}

void RunEpisode(const char* folder, bool resume) {
  clearMessageLog();  // the log shows this episode's pages, not the last one's
  char result[kScenarioResultSize] = {};
  RunScenario(folder, result, sizeof result, "start:", resume);

  if (TextStartsWithNoCase(result, "clear", 5)) {
    int cleared = ParseInt(result + 5);
    // "clear2147483647" must not wrap the count round to the lowest number.
    RaiseClearCount(cleared == INT_MAX ? cleared : cleared + 1);
    char target[32];
    std::snprintf(target, sizeof target, "clear%d:", cleared);
    RunScenario(kBuild.menuFolder, nullptr, 0, target, false);
  } else if (std::strlen(result) == 8 && TextStartsWithNoCase(result, "gameover", 8)) {
    RunScenario(kBuild.menuFolder, nullptr, 0, "gameover:", false);
  }
  // Anything else ("sys_exit" from the system menu, an empty result) goes back to the title.
}
