#include "fuzz_game.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "court/court_scene.h"
#include "court/exclamations.h"
#include "court/items.h"
#include "court/life.h"
#include "game/system.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"
#include "present.h"
#include "present/motion.h"
#include "present/sound.h"
#include "present/text_layers.h"
#include "present/transitions.h"
#include "script/commands.h"
#include "script/message.h"
#include "script/message_log.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/support.h"
#include "wincompat.h"
#include "windows.h"

// The debug log of every refused input would drown the fuzzer's own report; crashes still
// reach standard error through the sanitizers.
extern "C" void WINAPI OutputDebugStringA(LPCSTR) {}

namespace fuzz {
namespace {

namespace fs = std::filesystem;

fs::path gDir;
std::string gGameDir;  // gDir/game, as text: every input is written under it
int gCommandsLeft = 0;

// What the player does in every turn: enough to page through text, answer a question and
// open and close the menus, after which the player leaves.
constexpr const char* kPlayer =
    "click 400 300\nkey Return\nclick 120 480\nrclick\nkey Escape\nclick 680 540\n"
    "key Down\nkey Return\n";
std::vector<ScriptAction> gPlayer;

int Silent(const char*, const char*, int) { return 1; }

void DispatchWithinBudget(const char* line, int mode) {
  if (--gCommandsLeft < 0) Abort();
  DispatchCommand(line, mode);
}

void HeldState(bool resume, const char* progressFile) {
  loadItems(resume, progressFile);
  resetCourtScene();
  loadLife(resume, progressFile);
}

void ShoutKurae(int item, const char* voice, bool right) {
  showExclamation("kurae", voice, item, right);
}

void Shutdown() {
  try {
    releaseSoundEffects();
    releaseBgm();
    ShutdownSystem();
  } catch (const DExceptGame&) {
  }
  lbUnloadSystem();
  orvaneRuntimeShutdown();
  fs::remove_all(gDir);
}

// The game folder lives in memory where the system offers a memory file system: the
// progress file is written through fsync and rename on every input of the profile target.
fs::path TemporaryRoot() {
  std::error_code error;
  if (fs::is_directory("/dev/shm", error)) return "/dev/shm";
  return fs::temp_directory_path();
}

void Setup() {
  gDir = TemporaryRoot() / ("orvane_fuzz_" + std::to_string(::getpid()));
  fs::remove_all(gDir);
  const fs::path game = gDir / "game";
  gGameDir = game.string();
  fs::create_directories(game / "t");
  fs::create_directories(game / "bgm");
  fs::copy(fs::path(TEST_GAMES_DIR) / "scenarios" / "sys", game / "sys",
           fs::copy_options::recursive);
  // The progress and debug files live beside the executable, in a folder of its own as
  // installed: writing them leaves the game folder (and what the runtime keeps of its
  // listing) as it was.
  fs::create_directories(gDir / "bin");
  compatSetModuleFileName((gDir / "bin" / "orvane").string().c_str());
  // The game as a player has it after a first visit to the settings screen, installed a while
  // ago: the settings file is there (every story line reads the text speed from it), and the
  // folders last changed an hour back, so the runtime keeps their listings from the first
  // input on rather than only once they have stood unchanged for 2 s.
  std::ofstream(gDir / "bin" / "orvane.ini") << "[settings]\ntextspeed=100\nautodelay=1500\n";
  std::ofstream(game / "t" / "start.scn");
  const auto installed = fs::file_time_type::clock::now() - std::chrono::hours(1);
  fs::last_write_time(game, installed);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(game))
    if (entry.is_directory()) fs::last_write_time(entry.path(), installed);

  const std::string gameDir = game.string();
  OrvaneRuntimeOptions options{};
  options.headless = 1;
  options.gameDir = gameDir.c_str();
  options.maxTimeMs = 1LL << 40;
  char error[512] = {};
  if (orvaneRuntimeSetup(&options, error, sizeof error) != ORVANE_SETUP_OK ||
      lbLoadSystem(RUNTIME_PATH) != 1) {
    std::fprintf(stderr, "fuzz: the headless runtime cannot be set up: %s\n", error);
    std::abort();
  }
  std::string why;
  if (!parseInputScript(kPlayer, gPlayer, why)) std::abort();
  gHost.lbMessage = Silent;
  // Frames pass without being composed; ComposeScreen composes on request.
  platform().composeFrames = false;

  // The start-up of the game itself, with the command budget in front of the dispatcher.
  StartSystem(800, 600, false);
  registerStandardWipes();
  createTextLayer("sub");
  setTextLayerLevel("def", 0);
  setTextLayerLevel("sub", 1);
  setTextLayerLevel("system", 2);
  ScenarioHooks hooks;
  hooks.dispatchCommand = DispatchWithinBudget;
  hooks.showMessage = ShowStoryLine;
  hooks.resetPresentation = ResetPresentation;
  hooks.progressFilePath = ProgressFilePath;
  hooks.loadHeldState = HeldState;
  InstallScenarioHooks(hooks);
  MessageHooks messageHooks;
  messageHooks.runSystemMenu = RunSystemMenu;
  messageHooks.clearNamePlate = clearNamePlate;
  messageHooks.openCourtRecord = openCourtRecordFromButton;
  messageHooks.hideCourtRecordButton = hideRecordButton;
  InstallMessageHooks(messageHooks);
  gItemKuraeHook = ShoutKurae;
  CopyText("t", gScenarioFolder, kScenarioTextSize);
  // The game ends as it does after start: everything released before the tables go.
  std::atexit(Shutdown);
}

}  // namespace

void StartGame() {
  static bool started = false;
  if (!started) {
    started = true;
    Setup();
  }
}

namespace {

// The input as the whole of the file at `path`: one open, write and close, as this runs
// before every input.
void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    std::perror(path.c_str());
    std::abort();
  }
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written <= 0) {
      std::perror(path.c_str());
      std::abort();
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  ::close(fd);
}

}  // namespace

void WriteGameFile(const std::string& relativePath, const std::uint8_t* data, std::size_t size) {
  WriteWholeFile(gGameDir + "/" + relativePath, data, size);
}

std::string WriteProgressFile(const std::uint8_t* data, std::size_t size) {
  std::string path = (gDir / "bin" / "derizi1.sav").string();
  WriteWholeFile(path, data, size);
  return path;
}

bool PlayTurn(const std::function<void()>& body, std::uint32_t gameTimeMs, int commands) {
  StartGame();
  Platform& p = platform();
  p.exitRequested = false;
  p.script = ScriptPlayer{};
  p.script.actions = gPlayer;
  p.script.cleared(gameTime());
  p.maxTime = uint64_t{gameTime()} + gameTimeMs;
  gCommandsLeft = commands;
  CopyText("t", gScenarioFolder, kScenarioTextSize);
  try {
    body();
  } catch (const DExceptGame&) {
    return false;
  }
  return true;
}

void ClearRun() {
  PlayTurn([] {
    // The page cursor stays: the next run's own reset loads it again.
    ClearPresentation();
    resetMotions();
    resetCourtScene();
    playBgm("");
    clearMessageLog();
  });
}

void ComposeScreen(const std::uint8_t* data, std::size_t size) {
  std::uint32_t hash = 2166136261u;  // FNV-1a: the same input is always chosen or not
  for (std::size_t n = 0; n < size; ++n) hash = (hash ^ data[n]) * 16777619u;
  if (hash % kComposeOneIn == 0) gHost.lbtsRender();
}

std::string AsText(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

}  // namespace fuzz
