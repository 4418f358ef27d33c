// orvane installed with cmake --install into a temporary prefix: the layout (bin, the private
// library folder, the bundled game, the desktop entry and icons), and the bundled game's first
// episode played headless from there exactly as from the build, its progress and settings
// kept in the user's data folder rather than beside the installed game.
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

class Install : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("orvane_install_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "home");
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir);
  }

  // Plays the first episode with orvane at `program`; the transcript's events.
  std::vector<std::string> PlayFirstEpisode(const std::string& name, const std::string& program,
                                            const std::string& extra = "") {
    const std::string transcript = (dir / (name + ".txt")).string();
    // The episode's own replay, with the music turned down first so the settings file is
    // written too.
    const fs::path input = dir / "first_episode.txt";
    std::ofstream(input) << "key F7\n" << readFile(FIRST_EPISODE_REPLAY);
    EXPECT_EQ(exitStatusOf("env -u XDG_DATA_HOME HOME=" + (dir / "home").string() + " " +
                           program + " --headless --input " + input.string() + " --shots " +
                           (dir / name).string() + " --transcript " + transcript + " " + extra +
                           " >/dev/null 2>&1"),
              0)
        << name;
    return transcriptEvents(transcript);
  }

  fs::path dir;
};

}  // namespace

TEST_F(Install, TheInstalledOrvanePlaysTheBundledGameAsTheBuildDoes) {
  const fs::path prefix = dir / "prefix";
  ASSERT_EQ(exitStatusOf(std::string(ORVANE_CMAKE) + " --install " ORVANE_BUILD_DIR " --prefix " +
                         prefix.string() + " >/dev/null"),
            0);
  // lib/ is the library folder of any prefix but /usr on a multiarch system.
  for (const char* file : {"bin/orvane", "lib/orvane/libruntime.so", "lib/orvane/libcore.so",
                           "lib/orvane/libwincompat.so", "share/orvane/game/scn",
                           "share/applications/orvane.desktop"})
    EXPECT_TRUE(fs::exists(prefix / file)) << file;
  const std::string entry = readFile(prefix / "share/applications/orvane.desktop");
  EXPECT_NE(entry.find("\nExec=orvane\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nIcon=orvane\n"), std::string::npos) << entry;
  for (int size : {48, 128, 256}) {
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    const std::string icon = "share/icons/hicolor/" + std::to_string(size) + "x" +
                             std::to_string(size) + "/apps/orvane.png";
    EXPECT_TRUE(loadPng((prefix / icon).string(), pixels, w, h)) << icon;
    EXPECT_EQ(w, size);
    EXPECT_EQ(h, size);
  }

  // The build keeps the player's files where it is told; the installed game in the user's
  // data folder, named after the game folder.
  const auto fromBuild = PlayFirstEpisode(
      "build", std::string(ORVANE_BIN_DIR) + "/orvane", "--save-dir " + (dir / "saved").string());
  const auto installed = PlayFirstEpisode("installed", (prefix / "bin/orvane").string());
  EXPECT_EQ(installed, fromBuild);
  EXPECT_NE(std::find(installed.begin(), installed.end(), "volume music 90"), installed.end());
  EXPECT_EQ(transcriptMessages((dir / "installed.txt").string()), std::vector<std::string>{});
  const fs::path data = dir / "home/.local/share/orvane/game";
  EXPECT_EQ(readFile(data / "derizi1.sav"), readFile(dir / "saved/derizi1.sav"));
  // The replay plays the episode to its end.
  EXPECT_NE(readFile(data / "derizi1.sav").find("clear=1"), std::string::npos);
  EXPECT_NE(readFile(data / "orvane.ini").find("music=90"), std::string::npos);
  for (const char* file : {"derizi1.sav", "orvane.ini"})
    EXPECT_FALSE(fs::exists(prefix / "share/orvane/game" / file)) << file;
}
