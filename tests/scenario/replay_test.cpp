// The test games played headless through orvane as debug runs: where each run ends up is
// read from the transcript's message lines (a probe line such as `@arrived` names its file
// and line in the unknown-command message), and every run exits 0.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/replay.h"

namespace fs = std::filesystem;

namespace {

class Replay : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("orvane_replay_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs orvane on the test game; returns its exit status.
  int Play(const std::string& extra) {
    std::string command = std::string(ORVANE_BIN_DIR) + "/orvane --headless --transcript " +
                          (dir / "transcript.txt").string() + " --log " + (dir / "log.txt").string() +
                          " --save-dir " + dir.string() + " " + extra + " " + TEST_GAMES_DIR +
                          "/scenarios >/dev/null 2>&1";
    return exitStatusOf(command);
  }
  int Scenario(const std::string& folder) { return Play("--scenario scn/" + folder); }

  std::vector<std::string> Events() const { return transcriptEvents(dir / "transcript.txt"); }
  // The transcript's message boxes, "Orvane System: " and all.
  std::vector<std::string> Messages() const { return transcriptMessages(dir / "transcript.txt"); }
  std::string Log() const {
    std::ifstream in(dir / "log.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path dir;
};

// A message box under the file and line of the error context, as the transcript writes it.
std::string Box(const std::string& file, int line, const std::string& message) {
  return "Orvane System: ファイル \"" + file + "\"\\n行数 " + std::to_string(line) + "\\n\\n" + message;
}

std::string Probe(const std::string& file, int line, const std::string& command) {
  return Box(file, line, "コマンド" + command + "が認識できません。");
}

using Boxes = std::vector<std::string>;

}  // namespace

TEST_F(Replay, JumpsAcrossFilesCountingCommentLines) {
  EXPECT_EQ(Scenario("jumps"), 0);
  EXPECT_EQ(Messages(), Boxes{Probe("scn/jumps/尋問.scn", 5, "@arrived_in_inquiry")});
}

TEST_F(Replay, UpperAndLowerCaseGotoJumpAlike) {
  EXPECT_EQ(Scenario("goto_case"), 0);
  EXPECT_EQ(Messages(), Boxes{Probe("scn/goto_case/start.scn", 7, "@arrived")});
}

TEST_F(Replay, LabelLineWithTrailingBlankOrCommentDoesNotMatch) {
  EXPECT_EQ(Scenario("labels"), 0);
  EXPECT_EQ(Messages(), Boxes{Probe("scn/labels/start.scn", 7, "@arrived")});
}

TEST_F(Replay, MissingFileNamesItsPathUnderTheJumpingLine) {
  EXPECT_EQ(Scenario("missing_file"), 0);
  EXPECT_EQ(Messages(), Boxes{Box("scn/missing_file/start.scn", 2,
                                     "ファイル \"scn/missing_file/nofile.scn\" が開けません。")});
}

TEST_F(Replay, MissingStartFileOfTheDebugRun) {
  EXPECT_EQ(Scenario("no_such_folder"), 0);
  EXPECT_EQ(Messages(), Boxes{Box("", 0, "ファイル \"scn/no_such_folder/start.scn\" が開けません。")});
}

TEST_F(Replay, MissingLabelNamesTheJumpingLineCountingComments) {
  EXPECT_EQ(Scenario("missing_label"), 0);
  EXPECT_EQ(Messages(), Boxes{Box("scn/missing_label/start.scn", 4,
                                     "ジャンプ先ラベル \"nowhere\" が見つかりません。")});
}

TEST_F(Replay, UnknownCommandAfterAGotoWithNotes) {
  EXPECT_EQ(Scenario("bad_command"), 0);
  EXPECT_EQ(Messages(), Boxes{Probe("scn/bad_command/start.scn", 5, "@noSuchCommand")});
}

TEST_F(Replay, UnknownOptionNamesCommandAndOption) {
  EXPECT_EQ(Scenario("bad_option"), 0);
  EXPECT_EQ(Messages(), Boxes{Box("scn/bad_option/start.scn", 3,
                                     "コマンド@returnのlaterオプションが認識できません。")});
}

TEST_F(Replay, ExitWithResultCodeEndsTheRun) {
  EXPECT_EQ(Scenario("exit_rescode"), 0);
  EXPECT_EQ(Messages(), Boxes{});
  ASSERT_FALSE(Events().empty());
  EXPECT_EQ(Events().back(), "exit");
}

TEST_F(Replay, ReturnAtTheTopEndsTheRun) {
  EXPECT_EQ(Scenario("return"), 0);
  EXPECT_EQ(Messages(), Boxes{});
}

TEST_F(Replay, FileEndingWithoutExitEndsTheRun) {
  EXPECT_EQ(Scenario("ends_without_exit"), 0);
  EXPECT_EQ(Messages(), Boxes{});
  ASSERT_FALSE(Events().empty());
  EXPECT_EQ(Events().back(), "exit");
}

TEST_F(Replay, StoryTextWithoutAPageBreakGoesOnWithoutWaiting) {
  EXPECT_EQ(Scenario("story_text"), 0);
  EXPECT_EQ(Messages(), Boxes{Probe("scn/story_text/start.scn", 3, "@arrived")});
}

TEST_F(Replay, DebugSettingsFileBesideTheExecutableNamesTheScenario) {
  for (const char* name : {"derizi1.ini", "derizi2.ini"})  // either collection's build
    std::ofstream(dir / name) << "[Debug]\r\nScnName=scn/goto_case\r\n";
  EXPECT_EQ(Play(""), 0);
  EXPECT_EQ(Messages(), Boxes{Probe("scn/goto_case/start.scn", 7, "@arrived")});
}

TEST_F(Replay, WithoutADebugScenarioTheGameRunsFromItsLogo) {
  // The test games have no logo: the game flow stops at its first picture.
  EXPECT_EQ(Play(""), 0);
  EXPECT_EQ(Messages(), Boxes{Box("", 0, "ファイル \"sys/logo.spr\" が開けません。")});
}
