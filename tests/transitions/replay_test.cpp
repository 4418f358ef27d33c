// Test games played headless through orvane: the frame and scene commands, the window
// closed while the game waits for the player, and a game folder without the wipe mask.
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

class FrameReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = freshTestFolder("frame_replay");
    // Under the leak checker, what the system's font configuration keeps for the life of the
    // process is not the game's leak.
    std::ofstream(dir / "lsan.supp") << "leak:libfontconfig.so\n";
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs orvane on a test game folder; returns its exit status.
  int Play(const std::string& game, const std::string& extra) {
    std::string command = "LSAN_OPTIONS=suppressions=" + (dir / "lsan.supp").string() + " " +
                          std::string(ORVANE_BIN_DIR) + "/orvane --headless --transcript " +
                          (dir / "transcript.txt").string() + " --save-dir " + dir.string() +
                          " --shots " + (dir / "shots").string() + " " + extra + " " +
                          TEST_GAMES_DIR + "/" + game + " >/dev/null 2>&1";
    return exitStatusOf(command);
  }

  std::vector<std::string> Events() const { return transcriptEvents(dir / "transcript.txt"); }
  std::vector<std::string> Messages() const { return transcriptMessages(dir / "transcript.txt"); }

  fs::path dir;
};

std::string Box(const std::string& file, int line, const std::string& message) {
  return "Orvane System: ファイル \"" + file + "\"\\n行数 " + std::to_string(line) + "\\n\\n" + message;
}

}  // namespace

TEST_F(FrameReplay, FrameAndSceneCommandsRunAndRefuseOptions) {
  EXPECT_EQ(Play("scenarios", "--scenario scn/timers_commands --shot-at 0:first"), 0);
  EXPECT_TRUE(fs::exists(dir / "shots" / "first.png"));
  EXPECT_EQ(Messages(),
            std::vector<std::string>{Box("scn/timers_commands/start.scn", 7,
                                         "コマンド@sprRenderのnowオプションが認識できません。")});
}

TEST_F(FrameReplay, AClosedWindowDuringAClickWaitEndsTheGameQuietly) {
  EXPECT_EQ(Play("scenarios", "--scenario scn/timers_closed"), 0);
  EXPECT_TRUE(Messages().empty());
  const std::vector<std::string> events = Events();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "exit");
}

TEST_F(FrameReplay, AGameWithoutTheWipeMaskStopsAtStartUp) {
  EXPECT_EQ(Play("wipeless", "--scenario scn/plain --shot-at 0:first"), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            Box("", 0, "ワイプ \"sys/wipe_bg\" が読み込めません。")});
  EXPECT_FALSE(fs::exists(dir / "shots" / "first.png"));  // the scenario never ran
}
