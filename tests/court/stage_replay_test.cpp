// The courtroom stage played through orvane: the court positions and their pan, characters
// shown, moved, kept and hidden, and the stage's script errors. Frames are compared with
// their goldens; the game time between two sound effects in the transcript shows how long
// the command between them took (one frame when nothing was animated).
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

class CourtStage : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("orvane_court_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "lsan.supp") << "leak:libfontconfig.so\n";
  }
  void TearDown() override { fs::remove_all(dir); }

  // Plays scn/<folder> of the scenario test game, with frames kept at the given game times.
  int Play(const std::string& folder, const std::vector<std::string>& shotsAt = {}) {
    std::string command = "LSAN_OPTIONS=suppressions=" + (dir / "lsan.supp").string() + " " +
                          std::string(ORVANE_BIN_DIR) + "/orvane --headless --transcript " +
                          (dir / "transcript.txt").string() + " --save-dir " + dir.string() +
                          " --shots " + (dir / "shots").string() + " --scenario scn/" + folder;
    for (const std::string& at : shotsAt) command += " --shot-at " + at;
    command += " " + std::string(TEST_GAMES_DIR) + "/scenarios >/dev/null 2>&1";
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  std::vector<std::string> Lines() const {
    std::ifstream in(dir / "transcript.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const std::string& line : Lines()) {
      std::size_t at = line.find(" message ");
      if (at != std::string::npos) out.push_back(line.substr(at + 9));
    }
    return out;
  }
  // Game time of the transcript line ending in `event` (-1 when there is none).
  long TimeOf(const std::string& event) const {
    for (const std::string& line : Lines()) {
      if (line.size() >= event.size() &&
          line.compare(line.size() - event.size(), event.size(), event) == 0)
        return std::stol(line);
    }
    return -1;
  }
  // Game time the command between the two marker effects took.
  long Between() const { return TimeOf("se sys/se/chime.wav") - TimeOf("se sys/se/ping.wav"); }

  ::testing::AssertionResult Frame(const std::string& shot, const std::string& golden) {
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    if (!loadPng((dir / "shots" / (shot + ".png")).string(), pixels, w, h))
      return ::testing::AssertionFailure() << "no frame " << shot;
    return matchesGolden(pixels, golden);
  }

  fs::path dir;
};

std::string Box(const std::string& folder, int line, const std::string& message) {
  return "Orvane System: ファイル \"scn/" + folder + "/start.scn\"\\n行数 " +
         std::to_string(line) + "\\n\\n" + message;
}

// One frame period at 60 frames a second, which every command line with no animation takes
// between the two markers.
constexpr long kOneFrame = 17;

}  // namespace

TEST_F(CourtStage, Position_WitnessPansFromTheLawyerWithCharactersAndRail) {
  // The command starts at 16 ms; frames at 0, 93 and 186 ms into the pan.
  ASSERT_EQ(Play("court_pan", {"16:pan0", "109:pan93", "202:pan186"}), 0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Frame("pan0", "court_pan_0"));
  EXPECT_TRUE(Frame("pan93", "court_pan_93"));
  EXPECT_TRUE(Frame("pan186", "court_pan_186"));
  // 928 pixels at 500 per 100 ms: 186 ms, plus the frame step before it and the last frame.
  EXPECT_GE(Between(), 186);
  EXPECT_LE(Between(), 186 + 3 * kOneFrame);
}

TEST_F(CourtStage, Position_NoScrollJumpsToTheWitness) {
  ASSERT_EQ(Play("court_noscr", {"33:after"}), 0);
  EXPECT_EQ(Between(), kOneFrame);
  EXPECT_TRUE(Frame("after", "court_noscr"));
}

TEST_F(CourtStage, Position_JudgeTwiceChangesNothingTheSecondTime) {
  ASSERT_EQ(Play("court_judge", {"33:after"}), 0);
  EXPECT_EQ(Between(), kOneFrame);  // no fade, though the second asks for one
  EXPECT_TRUE(Frame("after", "court_judge"));  // the character was not cleared
}

TEST_F(CourtStage, Position_GuideTakesTheRailAndEveryCharacterAway) {
  ASSERT_EQ(Play("court_guide", {"16:after"}), 0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Frame("after", "court_guide"));
}

TEST_F(CourtStage, Position_NoClearReanchorsCharactersOnTheNewBackground) {
  ASSERT_EQ(Play("court_noclear", {"16:after"}), 0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Frame("after", "court_noclear"));
}

TEST_F(CourtStage, Chara_SameFileTwiceOnlyMoves) {
  ASSERT_EQ(Play("court_twice", {"550:after"}), 0);
  EXPECT_GE(TimeOf("se sys/se/ping.wav"), 500);  // the first show fades in
  EXPECT_EQ(Between(), kOneFrame);                // the second does not, despite `wipe`
  EXPECT_TRUE(Frame("after", "court_twice"));
}

TEST_F(CourtStage, Chara_OffsetsAsFarAsANumberGoesStandOffTheScreen) {
  // The place's anchor plus the script's offset saturates rather than wrapping round (which
  // the sanitizer builds stop at).
  ASSERT_EQ(Play("court_far"), 0);
  EXPECT_GE(TimeOf("se sys/se/ping.wav"), 0);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CourtStage, Chara_HideAllFadesEveryoneInOneTransition) {
  ASSERT_EQ(Play("court_hideall", {"266:half", "550:gone"}), 0);
  EXPECT_GE(Between(), 500);
  EXPECT_LT(Between(), 1000);  // one fade of 500 ms, not one per character
  EXPECT_TRUE(Frame("half", "court_hideall_half"));  // all three half gone at once
  EXPECT_TRUE(Frame("gone", "court_hideall_gone"));
}

TEST_F(CourtStage, Chara_ScenarioFolderDefinitionWinsOverTheSystemOne) {
  ASSERT_EQ(Play("court_own", {"16:after"}), 0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Frame("after", "court_own"));
}

TEST_F(CourtStage, Errors_UnknownOptionsNameTheSharedCommandNames) {
  struct Case {
    const char* folder;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"court_err_show", 2, "コマンド@charaShowのsizeオプションが認識できません。"},
      {"court_err_hide", 1, "コマンド@charaHideのfastオプションが認識できません。"},
      {"court_err_position", 1,
       "コマンド@courtSetLawyerBack / @courtSetWitnessBack / @courtSetProsecutorBack / "
       "@courtSetJudgeBack / @courtSetGuideBackのscrollオプションが認識できません。"},
      {"court_err_backset", 1, "コマンド@backSetのcolourオプションが認識できません。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    ASSERT_EQ(Play(c.folder), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{Box(c.folder, c.line, c.message)});
  }
}
