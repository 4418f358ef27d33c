// What the player meets around the game: the settings file and the volume keys, screenshots,
// the message when there is no display, and clicks in a scaled or full-screen window mapped
// to the game's pixels (under a virtual display with a window manager).
#include "launcher/launcher_fixture.h"

#include <algorithm>

namespace {

std::vector<std::string> volumeEvents(const std::vector<std::string>& events) {
  std::vector<std::string> out;
  for (const std::string& e : events)
    if (e.rfind("volume ", 0) == 0) out.push_back(e);
  return out;
}

}  // namespace

TEST_F(Launcher, VolumeKeysChangeTheMixerAndTheSettingsSurviveARestart) {
  const std::string save = "--save-dir " + (dir / "save").string();
  // F7 lowers the music twice, F9 the effects once; F10 at the top changes nothing.
  write("input.txt", "key F7\nkey F7\nkey F9\nclick 1 1\n");
  ASSERT_EQ(run(headless(save)).status, 0);
  EXPECT_EQ(volumeEvents(transcriptEvents()),
            (std::vector<std::string>{"volume music 90", "volume music 80", "volume effects 90"}));
  const std::string settings = readFile(dir / "save" / "orvane.ini");
  EXPECT_NE(settings.find("music=80"), std::string::npos) << settings;
  // The next start begins where the last one left off; the keys never reach the game.
  write("input.txt", "key F8\nkey F9\nkey F9\nkey F10\nclick 2 2\n");
  ASSERT_EQ(run(headless(save)).status, 0);
  std::vector<std::string> events = transcriptEvents();
  EXPECT_EQ(volumeEvents(events), (std::vector<std::string>{"volume music 90", "volume effects 80",
                                                             "volume effects 70", "volume effects 80"}));
  EXPECT_NE(std::find(events.begin(), events.end(), "message Test game: clicked left at 2 2"),
            events.end());
}

TEST_F(Launcher, F12WritesNumberedScreenshotsIntoTheSaveFolder) {
  write("input.txt", "key F12\nkey F12\n");
  ASSERT_EQ(run(headless("--save-dir " + (dir / "save").string())).status, 0);
  std::vector<std::string> events = transcriptEvents();
  EXPECT_NE(std::find(events.begin(), events.end(), "screenshot screenshot-001.png"), events.end());
  EXPECT_NE(std::find(events.begin(), events.end(), "screenshot screenshot-002.png"), events.end());
  std::ifstream png(dir / "save" / "screenshot-002.png", std::ios::binary);
  char magic[4] = {};
  png.read(magic, 4);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
}

TEST_F(Launcher, WithoutADisplayOneLineSaysHowToPlayHeadless) {
  Result r = run(dir.string() + "/game", "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("DISPLAY"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--headless"), std::string::npos) << r.err;
}

namespace {

class WindowClicks : public Launcher {
 protected:
  void SetUp() override {
    if (std::system("command -v xdotool >/dev/null && command -v openbox >/dev/null") != 0)
      GTEST_SKIP() << "no xdotool or openbox";
    Launcher::SetUp();
  }

  // Plays the test game in a window on a virtual screen of the given size with a window
  // manager, runs the xdotool commands (the window's id is $W) and returns what the game
  // reported: "clicked ..." lines, and "window WxH" for the window's size at the start.
  std::vector<std::string> clicksInWindow(const std::string& screen, const std::string& actions) {
  const fs::path script = dir / "drive.sh";
  std::ofstream(script) << "openbox >/dev/null 2>&1 & WM=$!\n"
                        << "sleep 1\n"
                        << "TEST_GAME_MODE=report " << (dir / "orvane").string() << " --save-dir "
                        << (dir / "save").string() << " --max-time 30000 " << (dir / "game").string()
                        << " 2>" << (dir / "game.txt").string() << " & GAME=$!\n"
                        << "xdotool search --sync --onlyvisible --name 'Test game' >/dev/null\n"
                        // Looked up a second after it first appears: under load, the id taken
                        // at once could be neither queried nor clicked.
                        << "sleep 1\n"
                        << "W=$(xdotool search --sync --onlyvisible --name 'Test game' | head -1)\n"
                        << "xdotool getwindowgeometry $W | sed -n 's/.*Geometry: /window /p' >&2\n"
                        << actions << "\n"
                        << "xdotool mousemove --window $W 5 5 click 3\n"  // ends the game
                        << "wait $GAME; kill $WM\n";
  Result r = runShell(underVirtualDisplay("sh " + script.string(), screen));
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<std::string> out;
  std::istringstream lines(r.err + readFile(dir / "game.txt"));
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("clicked ", 0) == 0 || line.rfind("window ", 0) == 0) out.push_back(line);
  return out;
  }
};

}  // namespace

TEST_F(WindowClicks, ClicksInAResizedWindowLandOnTheGamesPixels) {
  write("save/orvane.ini", "[settings]\nscale=1\n");
  // Twice the game's size: window pixel 2x+1 is inside game pixel x.
  std::vector<std::string> got = clicksInWindow(
      "1920x1440",
      "xdotool windowsize --sync $W 1600 1200; sleep 0.5\n"
      "xdotool mousemove --window $W 201 401 click 1; sleep 0.3\n"
      "xdotool mousemove --window $W 1599 1199 click 1; sleep 0.3\n"
      "xdotool mousemove --window $W 0 0 click 1; sleep 0.3");
  EXPECT_EQ(got, (std::vector<std::string>{"window 800x600", "clicked left at 100 200",
                                           "clicked left at 799 599", "clicked left at 0 0",
                                           "clicked right at 2 2"}));
}

TEST_F(WindowClicks, ClicksInAFullScreenWindowLandOnTheGamesPixels) {
  // A 1280x1024 screen: fitted, the frame is 1280x960 with bars of 32 above and below; in
  // whole multiples it is 800x600 at (240, 212).
  const std::string clicks =
      "xdotool mousemove 640 32 click 1; sleep 0.3\n"
      "xdotool mousemove 1279 991 click 1; sleep 0.3\n"
      "xdotool mousemove 240 212 click 1; sleep 0.3\n"
      "xdotool mousemove 1039 811 click 1; sleep 0.3";
  write("save/orvane.ini", "[settings]\nfullscreen=1\n");
  EXPECT_EQ(clicksInWindow("1280x1024", clicks),
            (std::vector<std::string>{"window 1280x1024", "clicked left at 400 0",
                                      "clicked left at 799 599", "clicked left at 150 112",
                                      "clicked left at 649 487", "clicked right at 3 0"}));
  write("save/orvane.ini", "[settings]\nfullscreen=1\ninteger=1\n");
  EXPECT_EQ(clicksInWindow("1280x1024", clicks),
            (std::vector<std::string>{"window 1280x1024", "clicked left at 400 0",
                                      "clicked left at 799 599", "clicked left at 0 0",
                                      "clicked left at 799 599", "clicked right at 0 0"}));
}
