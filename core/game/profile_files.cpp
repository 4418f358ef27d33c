// Where the game's profile files live: beside the host executable, named by the build's save
// name, so each episode collection keeps its own debug settings and progress.
#include <windows.h>

#include "game/build_constants.h"
#include "game/system.h"
#include "support/support.h"

namespace {

void BesideExecutable(const char* extension, char (&out)[264]) {
  char module[kPathSize] = {};
  GetModuleFileNameA(nullptr, module, sizeof module);
  PathParts parts = splitPath(module);
  joinPath(out, parts.folder, kBuild.saveName, extension);
}

}  // namespace

void DebugSettingsPath(char (&out)[264]) { BesideExecutable("ini", out); }

void ProgressFilePath(char (&out)[264]) { BesideExecutable("sav", out); }

void DebugScenarioName(char (&out)[264]) {
  char path[kPathSize];
  DebugSettingsPath(path);
  GetPrivateProfileStringA("Debug", "ScnName", "", out, sizeof out, path);
}
