// Recording and live reload, as an author uses them: a windowed play under Xvfb (the clicks
// sent by xdotool) recorded and replayed headless, and a debug run that starts again when
// its scenario file is saved. Both need a display server, so they are skipped without Xvfb.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/replay.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string kBin = ORVANE_BIN_DIR;

bool have(const char* program) {
  return exitStatusOf(std::string("command -v ") + program + " >/dev/null 2>&1") == 0;
}

pid_t spawn(const std::vector<std::string>& args, const std::string& display,
            const std::string& log) {
  pid_t pid = fork();
  if (pid == 0) {
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::freopen(log.c_str(), "w", stdout);
    std::freopen(log.c_str(), "a", stderr);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

void stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
}

// A display of its own, for as long as the test runs.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have("Xvfb") || !have("xdotool")) GTEST_SKIP() << "needs Xvfb and xdotool";
    dir = fs::temp_directory_path() / ("orvane_authoring_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (int n = 70 + getpid() % 200; !server_; ++n) {
      if (fs::exists("/tmp/.X11-unix/X" + std::to_string(n))) continue;
      display = ":" + std::to_string(n);
      server_ = spawn({"Xvfb", display, "-screen", "0", "1024x768x24"}, "", (dir / "x.log").string());
      for (int i = 0; i < 50 && !fs::exists("/tmp/.X11-unix/X" + std::to_string(n)); ++i)
        std::this_thread::sleep_for(100ms);
    }
  }
  void TearDown() override {
    stop(server_);
    if (!dir.empty() && !HasFailure()) fs::remove_all(dir);
  }

  // Runs xdotool on the test's display; its output.
  std::string xdotool(const std::string& args) {
    const fs::path out = dir / "xdotool.out";
    exitStatusOf("DISPLAY=" + display + " xdotool " + args + " >" + out.string() + " 2>/dev/null");
    return readFile(out);
  }
  // The window of the process, once it has one.
  std::string windowOf(pid_t pid) {
    for (int i = 0; i < 100; ++i) {
      std::string found = xdotool("search --pid " + std::to_string(pid));
      if (!found.empty()) return found.substr(0, found.find('\n'));
      std::this_thread::sleep_for(100ms);
    }
    return {};
  }

  fs::path dir;
  std::string display;
  pid_t server_ = 0;
};

// What both runs show the player: the transcript without the replay's own actions.
std::vector<std::string> shown(const fs::path& transcript) {
  std::vector<std::string> out;
  for (const std::string& e : transcriptEvents(transcript.string()))
    if (e.rfind("input ", 0) != 0 && e.rfind("shot ", 0) != 0) out.push_back(e);
  return out;
}

}  // namespace

// A game of three pages: a page, a choice of two links, the page the right one leads to,
// and a last choice. The window is closed at the last choice, which shows no page cursor
// (whose animation would tie the frame to the moment).
void writeChoiceGame(const fs::path& game) {
  fs::create_directories(game / "scn" / "choice");
  fs::copy(fs::path(TEST_GAMES_DIR) / "scenarios" / "sys", game / "sys", fs::copy_options::recursive);
  std::ofstream(game / "scn" / "choice" / "start.scn")
      << "@textShowMessage\n"
         "first page[np]\n"
         "[link target=left]left[/link] [link target=right]right[/link][np]\n"
         ":left\nthe left door[np]\n@goto target=end\n"
         ":right\n@sePlay file=chime\nthe right door[np]\n"
         ":end\n[link target=left]again[/link][np]\n@exit\n";
}

TEST_F(WindowTest, Record_WindowedPlayReplaysToTheSameTranscriptAndLastFrame) {
  const fs::path game = dir / "game";
  writeChoiceGame(game);
  fs::create_directories(dir / "live");
  pid_t live = spawn({kBin + "/orvane", "--record", (dir / "play.txt").string(), "--transcript",
                      (dir / "live.txt").string(), "--shots", (dir / "live").string(), "--save-dir",
                      (dir / "save_live").string(), "--scenario", "scn/choice", game.string()},
                     display, (dir / "live.log").string());
  const std::string window = windowOf(live);
  ASSERT_FALSE(window.empty());
  // Each click comes once the page has been drawn. The first two pass a page, which the
  // transcript shows with the click sound; on a busy machine a click sent before the game
  // listens is sent again. The window closes at the last choice.
  const auto transcriptSize = [&] { return readFile(dir / "live.txt").size(); };
  for (const char* at : {"400 300", "200 440"}) {
    std::this_thread::sleep_for(2500ms);
    const std::size_t before = transcriptSize();
    for (int attempt = 0; attempt < 3 && transcriptSize() == before; ++attempt) {
      xdotool("mousemove --window " + window + " " + at + " click 1");
      for (int i = 0; i < 30 && transcriptSize() == before; ++i) std::this_thread::sleep_for(100ms);
    }
  }
  std::this_thread::sleep_for(2500ms);
  xdotool("mousemove --window " + window + " 400 300 click 1");
  std::this_thread::sleep_for(2500ms);
  stop(live);

  const std::string recorded = readFile(dir / "play.txt");
  EXPECT_NE(recorded.find("\nclick 200 440\n"), std::string::npos) << recorded;
  EXPECT_EQ(recorded.substr(recorded.size() - 11), "shot final\n") << recorded;
  EXPECT_NE(readFile(dir / "live.txt").find("se sys/se/chime"), std::string::npos)
      << "the right link was not taken";
  fs::create_directories(dir / "replay");
  ASSERT_EQ(exitStatusOf(kBin + "/orvane --headless --input " + (dir / "play.txt").string() +
                         " --transcript " + (dir / "replay.txt").string() + " --shots " +
                         (dir / "replay").string() + " --save-dir " + (dir / "save_replay").string() +
                         " --scenario scn/choice " + game.string() + " >/dev/null 2>&1"),
            0);
  EXPECT_EQ(shown(dir / "replay.txt"), shown(dir / "live.txt"));
  EXPECT_FALSE(readFile(dir / "live" / "final.png").empty());
  EXPECT_TRUE(readFile(dir / "replay" / "final.png") == readFile(dir / "live" / "final.png"))
      << "the replay's last frame differs from the live one";
}

TEST_F(WindowTest, Record_AVisitToTheSettingsScreenReplaysToTheSameSettings) {
  // At the first page: F1, the music's row chosen by the pointer and turned down a step, the
  // effects' turned down by the wheel and then dragged, Escape; then music up a step with F8,
  // and the page passed. The replay makes the same changes.
  const fs::path game = dir / "game";
  writeChoiceGame(game);
  pid_t live = spawn({kBin + "/orvane", "--record", (dir / "play.txt").string(), "--transcript",
                      (dir / "live.txt").string(), "--save-dir", (dir / "save_live").string(),
                      "--scenario", "scn/choice", game.string()},
                     display, (dir / "live.log").string());
  const std::string window = windowOf(live);
  ASSERT_FALSE(window.empty());
  const auto shownSoFar = [&] { return readFile(dir / "live.txt"); };
  const auto waitFor = [&](const std::string& line) {
    for (int i = 0; i < 100 && shownSoFar().find(line) == std::string::npos; ++i)
      std::this_thread::sleep_for(100ms);
    return shownSoFar().find(line) != std::string::npos;
  };
  std::this_thread::sleep_for(2500ms);
  xdotool("key --window " + window + " F1");
  ASSERT_TRUE(waitFor("settings open")) << shownSoFar();
  std::this_thread::sleep_for(300ms);
  xdotool("mousemove --window " + window + " 200 140 key --window " + window + " Left");
  ASSERT_TRUE(waitFor("volume music 90")) << shownSoFar();
  xdotool("mousemove --window " + window + " 200 186 click 5");
  ASSERT_TRUE(waitFor("volume effects 90")) << shownSoFar();
  // The effects' slider dragged: pressed at 30%, then to 60%, past its end, and back to 90%
  // below its row.
  xdotool("mousemove --window " + window + " 451 186 mousedown 1");
  ASSERT_TRUE(waitFor("volume effects 30")) << shownSoFar();
  for (const char* at : {"502 186", "700 186", "553 240"}) {
    xdotool("mousemove --window " + window + " " + at);
    std::this_thread::sleep_for(300ms);
  }
  xdotool("mouseup 1");
  ASSERT_TRUE(waitFor("volume effects 100")) << shownSoFar();
  ASSERT_TRUE(waitFor("volume effects 90\n")) << shownSoFar();
  xdotool("key --window " + window + " Escape");
  ASSERT_TRUE(waitFor("settings close")) << shownSoFar();
  xdotool("key --window " + window + " F8");
  ASSERT_TRUE(waitFor("volume music 100")) << shownSoFar();
  xdotool("mousemove --window " + window + " 400 300 click 1");
  std::this_thread::sleep_for(1500ms);
  stop(live);

  const std::string recorded = readFile(dir / "play.txt");
  // The pointer's move onto the music's row chose nothing new (the screen opens on it); each
  // step of the drag is the click that sets it.
  EXPECT_NE(recorded.find("key F1\nkey Left\nmove 200 186\nwheel down\nclick 451 186\n"
                          "click 502 "),
            std::string::npos)
      << recorded;
  EXPECT_NE(recorded.find("\nkey Escape\nkey F8\n"),
            std::string::npos)
      << recorded;
  ASSERT_EQ(exitStatusOf(kBin + "/orvane --headless --input " + (dir / "play.txt").string() +
                         " --transcript " + (dir / "replay.txt").string() + " --save-dir " +
                         (dir / "save_replay").string() + " --scenario scn/choice " +
                         game.string() + " >/dev/null 2>&1"),
            0);
  EXPECT_EQ(shown(dir / "replay.txt"), shown(dir / "live.txt"));
  EXPECT_EQ(readFile(dir / "save_replay" / "orvane.ini"), readFile(dir / "save_live" / "orvane.ini"));
}

TEST_F(WindowTest, Watch_SavingTheScenarioStartsTheDebugRunAgainWithinASecond) {
  const fs::path game = dir / "game";
  fs::create_directories(game);
  fs::copy(fs::path(TEST_GAMES_DIR) / "scenarios" / "sys", game / "sys", fs::copy_options::recursive);
  fs::create_directories(game / "scn" / "live");
  const fs::path start = game / "scn" / "live" / "start.scn";
  std::ofstream(start) << ":top\n@sePlay file=ping\n@textShowMessage\n[np]\n";
  pid_t watcher = spawn({kBin + "/orvane", "--watch", "--scenario", "scn/live", "--at", "top",
                         "--transcript", (dir / "t.txt").string(), "--save-dir",
                         (dir / "save").string(), game.string()},
                        display, (dir / "watch.log").string());
  auto played = [&](const std::string& sound) {
    return readFile(dir / "t.txt").find("se sys/se/" + sound) != std::string::npos;
  };
  for (int i = 0; i < 400 && !played("ping"); ++i) std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(played("ping")) << readFile(dir / "watch.log");

  std::ofstream(start) << "@sePlay file=ping\n:top\n@sePlay file=chime\n@textShowMessage\n[np]\n";
  const auto saved = std::chrono::steady_clock::now();
  auto restarted = [&] {
    return readFile(dir / "watch.log").find("starting the debug run again") != std::string::npos;
  };
  while (!restarted() && std::chrono::steady_clock::now() - saved < 10s)
    std::this_thread::sleep_for(20ms);
  // The watcher ends the old run at once (a second on an idle machine; the bound here leaves
  // room for a busy one); the engine's own start then follows.
  EXPECT_TRUE(restarted()) << readFile(dir / "watch.log");
  EXPECT_LT(std::chrono::steady_clock::now() - saved, 5s);
  while (!played("chime") && std::chrono::steady_clock::now() - saved < 20s)
    std::this_thread::sleep_for(20ms);
  stop(watcher);
  // The new run starts afresh at the label: the effect above it is not played.
  EXPECT_TRUE(played("chime")) << readFile(dir / "watch.log");
  EXPECT_FALSE(played("ping"));
}
