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
#include "host/errors.h"
#include "present/text_layers.h"
#include "script/message.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

constexpr const char* kSection = "save";

// A progress file that could not be written: the player is told, and the game goes on with
// the file as it was.
void ReportUnwritten(const char* path, const char* what) {
  Warn("ファイル \"%s\" に書き込めません。\n%s"_sj, path, what);
}

bool Exists(const char* path) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(path, &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return true;
}

// The five keys of a saved position are written to a copy of the progress file beside it,
// which then replaces the file in one step: a crash or a full disk at any point leaves
// either the old position or the new one, never a mix of the two.
bool WriteSavedPosition(const char* target) {
  char path[kScenarioTextSize];
  ProgressFilePath(path);
  char staged[kScenarioTextSize + 4];
  std::snprintf(staged, sizeof staged, "%s.new", path);
  bool copied = CopyFileA(path, staged, FALSE);
  // Without a progress file yet the copy starts empty; one that exists but cannot be read
  // is never replaced by a file that lacks what it held.
  if (!copied && !Exists(path)) DeleteFileA(staged);
  char owned[1024];
  saveOwnedItems(owned, sizeof owned);
  bool written = (copied || !Exists(path)) &&
                 WritePrivateProfileStringA(kSection, "pt_scn", gScenarioFolder, staged) &&
                 WritePrivateProfileStringA(kSection, "pt_target", target, staged) &&
                 WritePrivateProfileStringA(kSection, "pt_item", owned, staged) &&
                 saveLife(staged) &&
                 MoveFileExA(staged, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!written) {
    DeleteFileA(staged);
    ReportUnwritten(path, "セーブできませんでした。"_sj);
  }
  return written;
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
  if (!WritePrivateProfileStringA(kSection, "clear", text, path))
    ReportUnwritten(path, "クリアの記録を保存できませんでした。"_sj);
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
