// start, the game itself: checks the host, registers the data archive, sets the engine up,
// runs the game and shuts down. Every way the game can end (a fatal error, a closed window,
// the quit choice, running out of memory) arrives at the one handler here.
#include <new>

#include "game/build_constants.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "support/support.h"

void StartSystem(int width, int height, bool fullscreen) {
  initSupportLibrary();
  SystemInit(width, height, fullscreen);
}

void ShutdownSystem() { shutdownSupportLibrary(); }

namespace {

void RunGame() {
  if (gHost.lbIsFileExist(kDataArchive)) gHost.lbSetDataFile(kDataArchive);
  StartSystem(kScreenWidth, kScreenHeight, false);
  gHost.lbSetTitle(kBuild.windowTitle);
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
  ShutdownSystem();
  return 1;
}
