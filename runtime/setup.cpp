/*
 * The launcher's set-up entry: mounts the game folder, reads the player's settings, chooses
 * the window or the headless backend, loads the replay script and opens the transcript; and
 * the matching shutdown.
 */
#include "present.h"
#include "ledger.h"
#include "runtime.h"

#include "lb/runtime_setup.h"

#include <windows.h>
#include <wincompat.h>

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

int failWith(int status, const std::string& why, char* error, int errorSize) {
  if (error && errorSize > 0) std::snprintf(error, size_t(errorSize), "%s", why.c_str());
  return status;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int orvaneRuntimeSetup(
    const OrvaneRuntimeOptions* o, char* error, int errorSize) {
  if (!o) return failWith(ORVANE_SETUP_BAD_OPTION, "no options", error, errorSize);
  Platform& p = platform();
  orvaneRuntimeShutdown();  // a second set-up starts from scratch
  p = Platform{};
  p.headless = o->headless != 0;

  const char* dir = o->gameDir ? o->gameDir : ".";
  if (!mountGameFolder(dir))
    return failWith(ORVANE_SETUP_BAD_OPTION, std::string("not a game folder: ") + dir, error,
                    errorSize);

  if (o->inputScript) {
    std::ifstream in(o->inputScript, std::ios::binary);
    if (!in)
      return failWith(ORVANE_SETUP_BAD_OPTION,
                      std::string("cannot read the input script ") + o->inputScript, error,
                      errorSize);
    std::stringstream text;
    text << in.rdbuf();
    std::string why;
    if (!parseInputScript(text.str(), p.script.actions, why))
      return failWith(ORVANE_SETUP_BAD_OPTION, std::string(o->inputScript) + ": " + why, error,
                      errorSize);
  }
  // A headless run with no script has nobody to play: it ends at the first wait for the
  // player, just as a used-up script does.
  p.scripted = p.headless || o->inputScript;

  if (o->shotsDir) {
    std::error_code ec;
    std::filesystem::create_directories(o->shotsDir, ec);
    if (!std::filesystem::is_directory(o->shotsDir, ec))
      return failWith(ORVANE_SETUP_BAD_OPTION,
                      std::string("cannot create the shots folder ") + o->shotsDir, error,
                      errorSize);
    p.shotsDir = o->shotsDir;
  }
  for (int i = 0; i < o->shotAtCount; ++i)
    p.shotAt.push_back({o->shotAtMs[i], o->shotAtNames[i]});

  // The one-hour safety net is for replays; a player at the window is never cut off.
  if (o->maxTimeMs >= 0) p.maxTime = uint64_t(o->maxTimeMs);
  else if (!p.headless) p.maxTime = UINT64_MAX;

  if (o->transcript) {
    p.transcript = std::fopen(o->transcript, "w");
    if (!p.transcript)
      return failWith(ORVANE_SETUP_BAD_OPTION,
                      std::string("cannot write the transcript ") + o->transcript, error,
                      errorSize);
  }

  // The player's settings: volumes, and how the window opens.
  if (o->saveDir) p.saveDir = o->saveDir;
  loadSettings();
  p.fullscreen = p.settings.fullscreen;

  compatUseVirtualClock(p.headless ? 1 : 0);
  if (p.headless) {
    p.backend = makeHeadlessBackend();
  } else {
    std::string why;
    p.backend = makeWindowBackend(why);
    if (!p.backend) return failWith(ORVANE_SETUP_FAILED, why, error, errorSize);
  }
  p.startTime = timeGetTime();
  p.script.cleared(0);
  return ORVANE_SETUP_OK;
}

extern "C" __attribute__((visibility("default"))) void orvaneRuntimeShutdown(void) {
  Platform& p = platform();
  if (p.backend || p.transcript) requestExit();  // the game ended: its window closes
  closeAudio();
  p.backend.reset();
  SDL_Quit();  // also ends SDL's desktop-bus connection, which only SDL_Quit closes
  logLedgerReport();
  if (p.transcript) std::fclose(p.transcript);
  p.transcript = nullptr;
}
