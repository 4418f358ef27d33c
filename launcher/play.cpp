/*
 * Playing a game: loads the runtime and the game (core) from the build or installed layout,
 * sets the runtime up, binds the game to it, runs it and turns the outcome into the exit
 * status.
 */
#include "commands.h"
#include "options.h"
#include "watch.h"
#include "paths.h"

#include "lb/host_api.h"
#include "lb/runtime_setup.h"

#include <wincompat.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The game's exports.
using GetFunctionFn = int (*)(char*, int, int);
using LoadInitFn = int (*)(void);
using UnloadExitFn = void (*)(void);
using GetVersionFn = int (*)(void);
using LoadSystemFn = int (*)(const char*);
using UnloadSystemFn = int (*)(void);
using StartFn = int (*)(int);

const char* const kHostNames[] = {
#define LB_NAME(ret, name, params, args) #name,
    LB_HOST_API(LB_NAME)
#undef LB_NAME
};

std::string toSjis(const std::string& utf8) {
  std::vector<char> out(utf8.size() * 2 + 1);
  if (compatUtf8ToSjis(utf8.c_str(), out.data(), out.size()) < 0) return {};
  return out.data();
}

int cannotLoad(const std::string& what) {
  std::fprintf(stderr, "orvane: %s\n", what.c_str());
  return kCannotLoad;
}

template <typename Fn>
bool bind(void* library, const char* name, Fn& out) {
  out = reinterpret_cast<Fn>(dlsym(library, name));
  return out != nullptr;
}

// A window needs a display; SDL would only fail later with a message of its own.
bool haveDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

int run(const Options& o) {
  if (!o.headless && !haveDisplay()) {
    std::fprintf(stderr,
                 "orvane: no display to open a window on (DISPLAY is not set); to play without "
                 "a window, run: orvane --headless --input FILE [GAME_DIR]\n");
    return kCannotLoad;
  }
  const Layout layout = findLayout(ownFolder());
  const std::string runtimePath = layout.libDir + "/libruntime.so";
  const std::string corePath = layout.libDir + "/libcore.so";

  void* runtime = dlopen(runtimePath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!runtime) return cannotLoad("cannot load the runtime " + runtimePath + ": " + dlerror());
  OrvaneRuntimeSetupFn setup;
  OrvaneRuntimeShutdownFn shutdown;
  if (!bind(runtime, "orvaneRuntimeSetup", setup))
    return cannotLoad("the runtime " + runtimePath + " has no function orvaneRuntimeSetup");
  if (!bind(runtime, "orvaneRuntimeShutdown", shutdown))
    return cannotLoad("the runtime " + runtimePath + " has no function orvaneRuntimeShutdown");
  for (const char* name : kHostNames)
    if (!dlsym(runtime, name))
      return cannotLoad("the runtime " + runtimePath + " has no function " + name);

  void* core = dlopen(corePath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!core) return cannotLoad("cannot load the game " + corePath + ": " + dlerror());
  GetFunctionFn getFunction;
  LoadInitFn loadInit;
  UnloadExitFn unloadExit;
  GetVersionFn getVersion;
  LoadSystemFn loadSystem;
  UnloadSystemFn unloadSystem;
  auto missing = [&](const char* name) {
    return cannotLoad("the game " + corePath + " has no function " + name);
  };
  if (!bind(core, "lbGetFunction", getFunction)) return missing("lbGetFunction");
  if (!bind(core, "lbLoadInit", loadInit)) return missing("lbLoadInit");
  if (!bind(core, "lbUnloadExit", unloadExit)) return missing("lbUnloadExit");
  if (!bind(core, "lbGetVersion", getVersion)) return missing("lbGetVersion");
  if (!bind(core, "lbLoadSystem", loadSystem)) return missing("lbLoadSystem");
  if (!bind(core, "lbUnloadSystem", unloadSystem)) return missing("lbUnloadSystem");
  // The game names its entry point itself.
  char entry[64] = {};
  if (getFunction(entry, sizeof entry - 1, 0) <= 0)
    return cannotLoad("the game " + corePath + " names no entry point (lbGetFunction)");
  StartFn start;
  if (!bind(core, entry, start)) return missing(entry);
  if (!loadInit()) return cannotLoad("the game " + corePath + " refused to load (lbLoadInit)");
  if (getVersion() <= 0)
    return cannotLoad("the game " + corePath + " reports no version (lbGetVersion)");

  // Progress and debug settings live beside the path the game takes for its executable.
  const std::string gameDir = o.gameDir.empty() ? layout.gameDir : o.gameDir;
  struct stat st;
  if (stat(gameDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    std::fprintf(stderr, "orvane: no game folder at %s\n", gameDir.c_str());
    return kBadArguments;
  }
  std::string saveDir = o.saveDir;
  if (saveDir.empty()) {
    std::string why;
    saveDir = defaultSaveFolder(gameDir, layout, why);
    if (saveDir.empty()) {
      std::fprintf(stderr, "orvane: %s\n", why.c_str());
      return kBadArguments;
    }
  } else {
    mkdir(saveDir.c_str(), 0755);  // a new save folder is made once
  }
  if (access(saveDir.c_str(), W_OK) != 0) {
    std::fprintf(stderr, "orvane: cannot write to the save folder %s\n", saveDir.c_str());
    return kBadArguments;
  }
  std::string modulePath = toSjis(saveDir + "/orvane.exe");
  if (modulePath.empty()) {
    std::fprintf(stderr, "orvane: the save folder %s has no Shift-JIS name\n", saveDir.c_str());
    return kBadArguments;
  }
  compatSetModuleFileName(modulePath.c_str());
  if (!o.log.empty() && !compatSetDebugLogFile(o.log.c_str())) {
    std::fprintf(stderr, "orvane: cannot write the log %s\n", o.log.c_str());
    return kBadArguments;
  }
  if (!o.scenario.empty()) {
    std::string scenario = toSjis(o.scenario);
    if (scenario.empty()) {
      std::fprintf(stderr, "orvane: the scenario %s has no Shift-JIS name\n", o.scenario.c_str());
      return kBadArguments;
    }
    // The debug run of either episode collection.
    compatOverrideProfileString("derizi1.ini", "Debug", "ScnName", scenario.c_str());
    compatOverrideProfileString("derizi2.ini", "Debug", "ScnName", scenario.c_str());
    if (!o.at.empty()) {
      // A label alone is one of the folder's first file, where the debug run starts.
      std::string target = toSjis(o.at.find(':') == std::string::npos ? "start:" + o.at : o.at);
      compatOverrideProfileString("derizi1.ini", "Debug", "ScnTarget", target.c_str());
      compatOverrideProfileString("derizi2.ini", "Debug", "ScnTarget", target.c_str());
    }
  }

  // Bind first: a game that cannot bind never opens a window.
  std::string runtimeSjis = toSjis(runtimePath);
  if (runtimeSjis.empty() || !loadSystem(runtimeSjis.c_str())) {
    unloadSystem();
    return cannotLoad("the game " + corePath + " could not bind the runtime " + runtimePath +
                      " (lbLoadSystem)");
  }
  std::vector<const char*> shotNames;
  for (const std::string& n : o.shotAtNames) shotNames.push_back(n.c_str());
  OrvaneRuntimeOptions ro{};
  ro.headless = o.headless;
  ro.gameDir = gameDir.c_str();
  ro.inputScript = o.input.empty() ? nullptr : o.input.c_str();
  ro.transcript = o.transcript.empty() ? nullptr : o.transcript.c_str();
  ro.shotsDir = o.shotsDir.empty() ? nullptr : o.shotsDir.c_str();
  ro.shotAtMs = o.shotAtMs.data();
  ro.shotAtNames = shotNames.data();
  ro.shotAtCount = int(shotNames.size());
  ro.maxTimeMs = o.maxTimeMs;
  ro.saveDir = saveDir.c_str();
  char error[1024] = {};
  int status = setup(&ro, error, sizeof error);
  if (status != ORVANE_SETUP_OK) {
    std::fprintf(stderr, "orvane: %s\n", error);
    unloadSystem();
    return status == ORVANE_SETUP_BAD_OPTION ? kBadArguments : kCannotLoad;
  }

  using RecordFn = int (*)(const char*);
  using RecordEndFn = void (*)(void);
  RecordFn record = nullptr;
  RecordEndFn recordEnd = nullptr;
  if (!o.record.empty() &&
      (!bind(runtime, "orvaneRuntimeRecord", record) ||
       !bind(runtime, "orvaneRuntimeRecordEnd", recordEnd) || !record(o.record.c_str()))) {
    std::fprintf(stderr, "orvane: cannot record into %s\n", o.record.c_str());
    unloadSystem();
    shutdown();
    return kBadArguments;
  }
  start(0);
  if (recordEnd) recordEnd();
  unloadSystem();
  unloadExit();
  shutdown();
  return kRanToEnd;
}

}  // namespace

int playCommand(int argc, char** argv) {
  Options o;
  std::string error;
  if (!parseOptions(argc, argv, o, error)) {
    std::fprintf(stderr, "orvane: %s\n%s", error.c_str(), usageText());
    return kBadArguments;
  }
  if (o.help) {
    std::fputs(usageText(), stdout);
    return kRanToEnd;
  }
  return o.watch ? watchScenario(o, run) : run(o);
}
