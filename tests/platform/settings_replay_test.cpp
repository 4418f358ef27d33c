// The settings screen opened at a story page wait leaves the story exactly where it was: the
// same story played with and without a visit to the screen (keys that would turn the page
// and click, pressed inside it) shows the same events and the same frames afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/golden.h"
#include "common/replay.h"

namespace fs = std::filesystem;

namespace {

class SettingsReplay : public FolderTest {
 protected:

  // Plays scn/<folder> of the test games as run `name`; the transcript's events without
  // their times, and without the lines of the player's actions and of the settings screen.
  std::vector<std::string> Play(const std::string& name, const std::string& folder,
                                const std::vector<std::string>& actions) {
    const fs::path run = dir / name;
    const std::string transcript = (run / "transcript.txt").string();
    EXPECT_EQ(playHeadlessInto(std::string(ORVANE_BIN_DIR) + "/orvane", run, std::string(TEST_GAMES_DIR) + "/scenarios",
                               actions, "--scenario scn/" + folder),
              0)
        << name;
    std::vector<std::string> events;
    for (const std::string& e : transcriptEvents(transcript))
      if (e.rfind("input ", 0) != 0 && e.rfind("settings ", 0) != 0 && e.rfind("setting ", 0) != 0 &&
          e.rfind("volume ", 0) != 0 && e != "shot inside")
        events.push_back(e);
    return events;
  }

  std::vector<uint32_t> Shot(const std::string& run, const std::string& name) {
    return loadShot((dir / run / (name + ".png")).string());
  }
};

}  // namespace

TEST_F(SettingsReplay, AVisitAtAPageWaitLeavesTheStoryWhereItWas) {
  // Two pages, then the right-hand door of the third, then the page after it.
  const std::vector<std::string> plain = {"shot first", "key Return", "shot second", "key Return",
                                          "click 290 490", "key Return"};
  const std::vector<std::string> visit = {
      "shot first", "key F1",      "key Return",  "key Space",  "click 200 140",
      "key Left",   "key Down",    "key Left",    "shot inside", "key Escape",
      "key Return", "shot second", "key Return",  "click 290 490", "key Return"};
  const std::vector<std::string> events = Play("plain", "message_story", plain);
  EXPECT_TRUE(std::any_of(events.begin(), events.end(), [](const std::string& e) {
    return e.find("@arrivedRight") != std::string::npos;
  })) << "the story went its way";
  EXPECT_EQ(Play("visit", "message_story", visit), events);
  EXPECT_EQ(Shot("visit", "second"), Shot("plain", "second")) << "the second page differs";
  EXPECT_NE(Shot("visit", "inside"), Shot("visit", "first")) << "the screen was not drawn";
  // What was changed inside is kept for the story's next lines.
  std::ifstream ini(dir / "visit" / "orvane.ini");
  std::stringstream text;
  text << ini.rdbuf();
  EXPECT_NE(text.str().find("effects=90"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("music=90"), std::string::npos) << text.str();
}
