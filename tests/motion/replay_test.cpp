// Motion test games played headless through orvane: every way a motion file is refused, with
// the scenario line that started it, and golden frames of the message window while a motion
// moves, scales and turns it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/golden.h"

namespace fs = std::filesystem;

namespace {

class MotionReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("orvane_motion_replay_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "lsan.supp") << "leak:libfontconfig.so\n";
  }
  void TearDown() override { fs::remove_all(dir); }

  // Plays one scenario folder of the test game with the given input lines.
  int Play(const std::string& folder, const std::string& input = "",
           const std::string& extra = "") {
    std::ofstream(dir / "input.txt") << input;
    std::string command = "LSAN_OPTIONS=suppressions=" + (dir / "lsan.supp").string() + " " +
                          std::string(ORVANE_BIN_DIR) + "/orvane --headless --transcript " +
                          (dir / "transcript.txt").string() + " --save-dir " + dir.string() +
                          " --shots " + (dir / "shots").string() + " --input " +
                          (dir / "input.txt").string() + " --scenario scn/" + folder + " " +
                          extra + " " + TEST_GAMES_DIR + "/scenarios >/dev/null 2>&1";
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  // Transcript events with their times.
  std::vector<std::pair<long, std::string>> Events() const {
    std::ifstream in(dir / "transcript.txt");
    std::vector<std::pair<long, std::string>> events;
    for (std::string line; std::getline(in, line);) {
      std::size_t space = line.find(' ');
      if (space == std::string::npos) continue;
      events.emplace_back(std::stol(line.substr(0, space)), line.substr(space + 1));
    }
    return events;
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& [time, e] : Events())
      if (e.rfind("message ", 0) == 0) out.push_back(e.substr(8));
    return out;
  }
  // Expects the one message box of a game stopped on line `line` of its start scenario.
  void ExpectStop(const std::string& folder, int line, const std::string& message) {
    EXPECT_EQ(Play(folder), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Orvane System: ファイル \"scn/" + folder +
                                                   "/start.scn\"\\n行数 " +
                                                   std::to_string(line) + "\\n\\n" + message});
  }
  bool FrameMatches(const std::string& shot, const std::string& golden) {
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    if (!loadPng((dir / "shots" / (shot + ".png")).string(), pixels, w, h)) return false;
    return w == 800 && h == 600 && matchesGolden(pixels, golden);
  }

  fs::path dir;
};

TEST_F(MotionReplay, Errors_AnOptionEachStatementDoesNotHave) {
  ExpectStop("motion_bad_pos", 2,
             "モーションファイル\"scn/motion_bad_pos/move\"の定義文@posに不正なオプション\"w\"が存在します");
  ExpectStop("motion_bad_rot", 2,
             "モーションファイル\"scn/motion_bad_rot/turn\"の定義文@rotに不正なオプション\"h\"が存在します");
  ExpectStop("motion_bad_size", 2,
             "モーションファイル\"scn/motion_bad_size/grow\"の定義文@sizeに不正なオプション\"deg\"が存在します");
}

TEST_F(MotionReplay, Errors_AStatementWordTheFilesDoNotKnow) {
  ExpectStop("motion_bad_statement", 2,
             "モーションファイル\"scn/motion_bad_statement/spin\"に不正な定義文\"@spin\"が存在します");
}

TEST_F(MotionReplay, Errors_MissingStartTimeAndSpriteNumber) {
  ExpectStop("motion_no_start", 2,
             "モーションファイル\"scn/motion_no_start/bare\"の定義文に実行開始時間が指定されていない");
  ExpectStop("motion_no_sprite", 2,
             "モーションファイル\"scn/motion_no_sprite/half\"の定義文にスプライト番号が指定されていない");
}

TEST_F(MotionReplay, Errors_AnInvalidSpriteIsNamedByItsScriptNumber) {
  ExpectStop("motion_bad_sprite", 2,
             "モーションファイル\"scn/motion_bad_sprite/lost\"で指定されたスプライト5は有効ではない");
}

TEST_F(MotionReplay, Errors_AFifthRunningMotionFindsNoRoom) {
  ExpectStop("motion_full", 6, "モーション実行領域に空きがありません");
}

TEST_F(MotionReplay, Move_TheWindowMovesScalesAndTurnsWhileTheGameWaits) {
  // The motion starts when the click ends the first page; the frames fall inside it.
  EXPECT_EQ(Play("motion_move", "click 400 300\n",
                 "--shot-at 600:motion_a --shot-at 800:motion_b --shot-at 1150:motion_c "
                 "--shot-at 1300:motion_d"),
            0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(FrameMatches("motion_a", "motion_move_a"));
  EXPECT_TRUE(FrameMatches("motion_b", "motion_move_b"));
  EXPECT_TRUE(FrameMatches("motion_c", "motion_move_c"));
  EXPECT_TRUE(FrameMatches("motion_d", "motion_move_d"));
}

}  // namespace
