// start, the game itself: checks the host, registers the data archive, sets the engine up,
// runs the debug scenario or the game, and shuts down. Every way the game can end (a fatal
// error, a closed window, the quit choice, running out of memory) arrives at the one handler here.
#include <windows.h>

#include <new>

#include "court/court_scene.h"
#include "court/exclamations.h"
#include "court/items.h"
#include "court/life.h"
#include "game/build_constants.h"
#include "game/game_flow.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "present/buttons.h"
#include "present/motion.h"
#include "present/resources.h"
#include "present/sound.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "present/timers.h"
#include "present/transitions.h"
#include "script/auto_advance.h"
#include "script/commands.h"
#include "script/message.h"
#include "script/scenario.h"
#include "support/support.h"

void StartSystem(int width, int height, bool fullscreen) {
  initSupportLibrary();
  setImageExtensions("png:bmp:jpg");
  setImageCacheLimit(32);
  initSoundCache(8);
  SystemInit(width, height, fullscreen);
  initTimers();
  installMotionHooks();
  resetSprites();
  initSprites();
  initTextLayers();
  loadSystemCursors();
  SetSystemBackground("", "black", "none");
  resetSelection();
  clearButtons();
}

void ShutdownSystem() {
  shutdownButtons();
  for (int slot : {kBackgroundSlot, kCursorSlot, kPageCursorSlot}) {
    hideSprite(slot, "none");
    destroySprite(slot);
  }
  destroyTextLayers();
  // The wipes hold their masks; they go before the host does.
  clearWipes();
  resetSprites();
  releaseResourceCaches();
  shutdownSupportLibrary();
}

void ClearPresentation() {
  destroyUserSprites();
  for (const char* layer : {"def", "sub", "system"}) hideTextLayer(layer);
  for (const char* layer : {"def", "sub", "system"}) dropTextLayerChoices(layer);
  clearButtons();
  setSelectionHandler(nullptr);
}

void ResetPresentation() {
  // A run starts clean of script sprites, text layers, the page cursor and buttons.
  ClearPresentation();
  loadBlankPageCursor();
}

namespace {

// What a top-level run starts from: fresh, or the saved game's values when resuming.
void LoadHeldState(bool resume, const char* progressFile) {
  loadItems(resume, progressFile);
  resetCourtScene();  // nothing of the stage survives from one run to the next
  loadLife(resume, progressFile);
}

// The record's "kurae" after the right entry is presented: the set pieces' exclamation.
void ShoutKurae(int item, const char* voice, bool right) {
  showExclamation("kurae", voice, item, right);
}

// The run loop sits below the command table, the message window and the screen reset; it
// reaches them through these.
void InstallHooks() {
  ScenarioHooks hooks;
  hooks.dispatchCommand = DispatchCommand;
  hooks.showMessage = ShowStoryLine;
  hooks.resetPresentation = ResetPresentation;
  hooks.progressFilePath = ProgressFilePath;
  hooks.loadHeldState = LoadHeldState;
  InstallScenarioHooks(hooks);
  // The save question and the full-screen text take the speaker's plate away.
  MessageHooks messageHooks = InstalledMessageHooks();
  messageHooks.runSystemMenu = RunSystemMenu;
  messageHooks.clearNamePlate = clearNamePlate;
  messageHooks.openCourtRecord = openCourtRecordFromButton;
  messageHooks.hideCourtRecordButton = hideRecordButton;
  InstallMessageHooks(messageHooks);
  gItemKuraeHook = ShoutKurae;
  installPlayerComforts();
}

void RunGame() {
  if (gHost.lbIsFileExist(kDataArchive)) gHost.lbSetDataFile(kDataArchive);
  StartSystem(kScreenWidth, kScreenHeight, false);
  gHost.lbSetTitle(kBuild.windowTitle);
  registerStandardWipes();
  createTextLayer("sub");
  setTextLayerLevel("def", 0);
  setTextLayerLevel("sub", 1);
  setTextLayerLevel("system", 2);
  InstallHooks();
  loadBgmList();

  char debugScenario[kScenarioTextSize];
  DebugScenarioName(debugScenario);
  if (debugScenario[0] != '\0') {
    // The debug run starts at the top of "start", unless the settings name another target.
    char settings[kScenarioTextSize];
    char target[kScenarioTextSize];
    DebugSettingsPath(settings);
    GetPrivateProfileStringA("Debug", "ScnTarget", "start:", target, sizeof target, settings);
    RunScenario(debugScenario, nullptr, 0, target, false);
    return;
  }
  RunGameFlow();
}

}  // namespace

CORE_EXPORT int start(int /*unused*/) {
  // A host that calls start without a successful lbLoadSystem gets nothing done rather than a
  // call through a null table entry.
  if (!IsHostBound()) return 1;
  if (!gHost.lbCheckSystemName(kSystemName)) return 1;
  try {
    RunGame();
  } catch (const DExceptGame&) {
    // The game has ended; its message, if any, has been shown.
  } catch (const std::bad_alloc&) {
    Warn("メモリが不足しています。\n"_sj);
  }
  releaseSoundEffects();
  releaseBgm();
  ShutdownSystem();
  return 1;
}
