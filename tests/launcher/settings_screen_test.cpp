// The settings screen over the test game: what it changes reaches the mixer, the transcript
// and the settings file (and the next start), none of its input reaches the game, game time
// stands still while it is open, the pad opens it by holding Back, and how it looks.
#include "launcher/launcher_fixture.h"

#include "common/golden.h"

#include <algorithm>

namespace {

// The transcript's lines the settings screen and the game wrote (no input lines).
std::vector<std::string> screenEvents(const std::vector<std::string>& events) {
  std::vector<std::string> out;
  for (const std::string& e : events)
    for (const char* kind : {"settings ", "setting ", "volume ", "fullscreen ", "message "})
      if (e.rfind(kind, 0) == 0) out.push_back(e);
  return out;
}

// The game time of the first transcript line that starts with `event`; -1 when none does.
long timeOf(const fs::path& transcript, const std::string& event) {
  std::ifstream in(transcript);
  for (std::string line; std::getline(in, line);) {
    size_t space = line.find(' ');
    if (line.compare(space + 1, event.size(), event) == 0) return std::stol(line.substr(0, space));
  }
  return -1;
}

}  // namespace

TEST_F(Launcher, SettingsScreenKeepsWhatItChangesAndTheGameWaitsOnUntouched) {
  const std::string save = "--save-dir " + (dir / "save").string();
  // Music down twice; text speed one step faster; auto-advance two steps longer; a click in
  // the middle of the effects slider; Return on the whole-multiples switch; a click on the
  // music's name, which only selects it; then Escape. The click after it is the game's, at
  // the wait it was in.
  write("input.txt",
        "key F1\nkey Left\nkey Left\nkey Down\nkey Down\nkey Right\nkey Down\nkey Right\n"
        "key Right\nclick 485 186\nkey Down\nkey Down\nkey Down\nkey Down\nkey Down\n"
        "key Return\nclick 200 140\nkey Escape\nclick 5 5\n");
  ASSERT_EQ(run(headless(save)).status, 0);
  EXPECT_EQ(screenEvents(transcriptEvents()),
            (std::vector<std::string>{"settings open", "volume music 90", "volume music 80",
                                      "setting textspeed 50", "setting autodelay 1750",
                                      "setting autodelay 2000", "volume effects 50",
                                      "setting integer 1",
                                      "settings close", "message Test game: clicked left at 5 5"}));
  // Every action inside came at once: game time stood still from opening to closing.
  EXPECT_EQ(timeOf(dir / "transcript.txt", "settings open"),
            timeOf(dir / "transcript.txt", "settings close"));
  const std::string ini = readFile(dir / "save" / "orvane.ini");
  for (const char* line : {"music=80", "effects=50", "textspeed=50", "autodelay=2000", "integer=1"})
    EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
  EXPECT_EQ(ini.find("fullscreen="), std::string::npos) << ini;

  // The next start reads it all back: a step right from 80 is 90, left from 50 is 40; F1
  // closes the screen as it opens it.
  write("input.txt", "key F1\nkey Right\nkey Down\nkey Left\nkey F1\nclick 6 6\n");
  ASSERT_EQ(run(headless(save)).status, 0);
  EXPECT_EQ(screenEvents(transcriptEvents()),
            (std::vector<std::string>{"settings open", "volume music 90", "volume effects 40",
                                      "settings close", "message Test game: clicked left at 6 6"}));
}

TEST_F(Launcher, SettingsScreenOpensOnAHeldBackButtonAndClosesOnB) {
  // Back pressed and let go at once opens nothing; held for a second it does, while the game
  // waits; B closes it; a click outside the panel closes it too.
  write("input.txt",
        "pad back\npad hold back\nwait 2000\npad release back\npad down\npad down\npad down\n"
        "pad down\npad a\npad b\nkey F1\nclick 20 20\nclick 7 7\n");
  ASSERT_EQ(run(headless("--save-dir " + (dir / "save").string())).status, 0);
  EXPECT_EQ(screenEvents(transcriptEvents()),
            (std::vector<std::string>{"settings open", "fullscreen on", "settings close",
                                      "settings open", "settings close",
                                      "message Test game: clicked left at 7 7"}));
  const fs::path t = dir / "transcript.txt";
  EXPECT_EQ(timeOf(t, "settings open") - timeOf(t, "input pad hold back"), 1000);
}

TEST_F(Launcher, SettingsScreenTakesTheWheel) {
  // Over the music's row the wheel moves its value, down twice and up once; over the
  // effects' row that value; over the smoothing switch it moves the selection up, to the
  // whole-multiples switch, which Return then turns on.
  write("input.txt",
        "key F1\nmove 200 140\nwheel down\nwheel down\nwheel up\nmove 200 186\nwheel down\n"
        "move 200 462\nwheel up\nkey Return\nkey Escape\nclick 8 8\n");
  ASSERT_EQ(run(headless("--save-dir " + (dir / "save").string())).status, 0);
  EXPECT_EQ(screenEvents(transcriptEvents()),
            (std::vector<std::string>{"settings open", "volume music 90", "volume music 80",
                                      "volume music 90", "volume effects 90", "setting integer 1",
                                      "settings close", "message Test game: clicked left at 8 8"}));
}

TEST_F(Launcher, SettingsScreenGoldenFrame) {
  // Over the test game's bands, dimmed: the text speed row selected by the pointer, the music
  // at 70%, a setting read from the file (a window twice the game's size).
  write("save/orvane.ini", "[settings]\nscale=2\nautodelay=2250\n");
  write("input.txt", "key F1\nkey Left\nkey Left\nkey Left\nmove 300 210\nshot settings\nkey Escape\n");
  ASSERT_EQ(run(headless("--save-dir " + (dir / "save").string() + " --shots " +
                         (dir / "shots").string()))
                .status,
            0);
  EXPECT_TRUE(matchesGolden(loadShot((dir / "shots" / "settings.png").string()), "settings_screen"));
}

TEST_F(Launcher, SettingsScreenStepsFromHandWrittenValuesToWholeSteps) {
  // 85 lies between two steps of 10, 75 between normal and fast; 100 ms is no delay the
  // file accepts, so the delay is the default 1.5 seconds.
  write("save/orvane.ini", "[settings]\nmusic=85\ntextspeed=75\nautodelay=100\n");
  write("input.txt", "key F1\nkey Left\nkey Down\nkey Down\nkey Right\nkey Down\nkey Left\nkey Escape\n");
  ASSERT_EQ(run(headless("--save-dir " + (dir / "save").string())).status, 0);
  EXPECT_EQ(screenEvents(transcriptEvents()),
            (std::vector<std::string>{"settings open", "volume music 80", "setting textspeed 50",
                                      "setting autodelay 1250", "settings close"}));
}
