// The sound test games played headless through orvane: the transcript's `stream` lines show
// what the music stream was given and when it stopped, its `se` lines which file each effect
// came from (the path the host sound was loaded with, so a cache hit shows the first name).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/replay.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

class SoundReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = freshTestFolder("sound");
  }
  void TearDown() override { fs::remove_all(dir); }

  int Scenario(const std::string& folder) {
    std::string command = std::string(ORVANE_BIN_DIR) + "/orvane --headless --transcript " +
                          (dir / "transcript.txt").string() + " --save-dir " + dir.string() +
                          " --scenario scn/" + folder + " " + TEST_GAMES_DIR +
                          "/scenarios >/dev/null 2>&1";
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  // The transcript's events (without their times) that start with one of the prefixes.
  Lines Events(std::initializer_list<const char*> prefixes) const {
    std::ifstream in(dir / "transcript.txt");
    Lines events;
    for (std::string line; std::getline(in, line);) {
      std::size_t space = line.find(' ');
      std::string event = space == std::string::npos ? line : line.substr(space + 1);
      for (const char* prefix : prefixes)
        if (event.rfind(prefix, 0) == 0) events.push_back(event);
    }
    return events;
  }

  fs::path dir;
};

const std::string kTheme = "stream bgm/theme_prelude.wav bgm/theme_body.wav (loop)";
const std::string kCalm = "stream bgm/calm.wav (loop)";

TEST_F(SoundReplay, Bgm_SameNameKeepsPlayingEmptyStopsAndTheNameThenRestartsFromThePrelude) {
  ASSERT_EQ(Scenario("sound_bgm"), 0);
  EXPECT_EQ(Events({"stream", "message"}),
            (Lines{kTheme,                  // theme
                   "stream-stop",           // THEME kept it; the empty name stopped it
                   kTheme,                  // theme again: from the prelude
                   "stream-stop", kCalm,    // calm replaces it
                   "stream-stop",           // silent has no files: the music stops
                   kCalm,                   // silent again did nothing; calm starts anew
                   "stream-stop"}));        // the game's end
}

TEST_F(SoundReplay, Bgm_UnknownNameEndsTheGameWithItsMessage) {
  ASSERT_EQ(Scenario("sound_bgm_unknown"), 0);
  EXPECT_EQ(Events({"stream", "message"}),
            (Lines{kCalm, "stream-stop",
                   "message Orvane System: BGM \"nosuch\" を再生できません。"}));
}

TEST_F(SoundReplay, Se_ScenarioEffectFirstThenSystemEffectsByExtensionWithCacheHits) {
  ASSERT_EQ(Scenario("sound_se"), 0);
  EXPECT_EQ(Events({"se ", "message"}),
            (Lines{"se scn/sound_se/ping.wav",  // the scenario's own, not sys/se/ping.wav
                   "se sys/se/chime.wav",
                   "se sys/se/click.ogg",        // only click.ogg exists
                   "se sys/se/click.ogg",        // CLICK: the cached click.ogg
                   "se sys/se/chime.wav"}));     // nothing: silent, no message
}

}  // namespace
