// The progress file's clear count and saved position, and the save dialog of `@save`: a
// yes/no box drawn with the message machinery on the layer "def", whose answer comes back
// through the current scenario like a link's target, but is never acted on as a jump.
#include "game/progress.h"

#include <windows.h>

#include <climits>
#include <cstdio>

#include "court/items.h"
#include "court/life.h"
#include "game/system.h"
#include "present/text_layers.h"
#include "script/message.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

constexpr const char* kSection = "save";

void WriteSavedPosition(const char* target) {
  char path[kScenarioTextSize];
  ProgressFilePath(path);
  WritePrivateProfileStringA(kSection, "pt_scn", gScenarioFolder, path);
  WritePrivateProfileStringA(kSection, "pt_target", target, path);
  char owned[1024];
  saveOwnedItems(owned, sizeof owned);
  WritePrivateProfileStringA(kSection, "pt_item", owned, path);
  saveLife(path);
}

}  // namespace

int ReadClearCount() {
  char path[kScenarioTextSize];
  ProgressFilePath(path);
  return static_cast<int>(GetPrivateProfileIntA(kSection, "clear", 0, path));
}

void RaiseClearCount(int count) {
  if (count <= ReadClearCount()) return;
  char path[kScenarioTextSize];
  ProgressFilePath(path);
  char text[16];
  std::snprintf(text, sizeof text, "%d", count);
  WritePrivateProfileStringA(kSection, "clear", text, path);
}

bool HasSavedGame() {
  char path[kScenarioTextSize];
  ProgressFilePath(path);
  char folder[256];
  GetPrivateProfileStringA(kSection, "pt_scn", "", folder, sizeof folder, path);
  return folder[0] != '\0';
}

void SaveDialog(const char* target) {
  ShowMessageWindow();
  if (void (*clearNamePlate)() = InstalledMessageHooks().clearNamePlate) clearNamePlate();
  ShapeMenuBox("def");
  clearTextLayer("def");

  // Mode 2 on the page break: the click sound, and no system menu over the question.
  constexpr int kMode = kMessageClickSound;
  static const char* const kLines[] = {
      "[br]", "[br]", "[br]", "[br]",
      "　　ここまでをセーブしますか？[br]"_sj,
      "[br]",
      "　　　　　 [link target=yes]はい[/link]　[link target=no]いいえ[/link][br]"_sj,
      "[np]",
  };
  for (const char* line : kLines) ShowMessagePlain(line, kMode);

  Scenario* scenario = CurrentScenario();
  if (!scenario) return;
  if (TextEqualsNoCase(scenario->pendingTarget, "yes")) WriteSavedPosition(target ? target : "");
  // The answer was a link label, not a place in the script: the run goes on after `@save`.
  scenario->courtFlags[1] = false;
  scenario->pendingTarget[0] = '\0';
}
