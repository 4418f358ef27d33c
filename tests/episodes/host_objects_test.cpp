// Every host object the game creates while playing the bundled episodes (images, sprites,
// fonts, sounds, streams, files, wipes) is destroyed again by the time the runtime shuts
// down, as the runtime's last line in the debug log says. In a sanitizer build the same
// replays also end without a leak, or orvane's exit status says otherwise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/replay.h"

namespace fs = std::filesystem;

TEST(HostObjects, EveryEpisodeReleasesWhatItCreated) {
  const fs::path dir = fs::temp_directory_path() / ("orvane_objects_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  // In turn, so that each episode finds the progress the one before it left.
  for (const char* script : {"maid", "kigae", "tabako", "gameover"}) {
    const fs::path log = dir / (std::string(script) + ".log");
    const int status = exitStatusOf(std::string(ORVANE_BIN_DIR) + "/orvane --headless --input " +
                                    REPLAYS_DIR + "/" + script + ".txt --save-dir " +
                                    (dir / "save").string() + " --log " + log.string() + " " +
                                    ORVANE_BIN_DIR "/game >/dev/null 2>&1");
    EXPECT_EQ(status, 0) << script;
    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t report = text.rfind("host objects");
    ASSERT_NE(report, std::string::npos) << script << "\n" << text;
    const std::string line = text.substr(report, text.find('\n', report) - report);
    EXPECT_EQ(line.rfind("host objects: every one destroyed (", 0), 0u) << script << ": " << line;
    for (const char* kind : {"images", "sprites", "fonts", "files"})
      EXPECT_NE(line.find(kind), std::string::npos) << script << ": " << line;
  }
  fs::remove_all(dir);
}
