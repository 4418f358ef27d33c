// Story text played headless through orvane: the pages of a short story against golden
// frames, links that decide where the scenario goes, the skip key against written pauses and
// the character delay, tag names in either case, the full-screen mode, and the tag errors.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/golden.h"
#include "common/replay.h"

namespace fs = std::filesystem;

namespace {

class MessageReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("orvane_message_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Plays scn/<folder> with the player's actions; returns orvane's exit status.
  int Play(const std::string& folder, const std::vector<std::string>& actions) {
    std::ofstream input(dir / "input.txt");
    for (const std::string& action : actions) input << action << "\n";
    input.close();
    std::string command = std::string(ORVANE_BIN_DIR) + "/orvane --headless --transcript " +
                          (dir / "transcript.txt").string() + " --input " +
                          (dir / "input.txt").string() + " --shots " + dir.string() +
                          " --save-dir " + dir.string() + " --scenario scn/" + folder + " " +
                          TEST_GAMES_DIR + "/scenarios >/dev/null 2>&1";
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  std::vector<TimedEvent> Events() const {
    return timedTranscriptEvents((dir / "transcript.txt").string());
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const TimedEvent& e : Events())
      if (e.text.rfind("message ", 0) == 0) out.push_back(e.text.substr(8));
    return out;
  }
  // Game times at which the page click sounded, that is at which a page was passed.
  std::vector<long> PagesPassed() const {
    std::vector<long> out;
    for (const TimedEvent& e : Events())
      if (e.text.rfind("se sys/se/", 0) == 0) out.push_back(e.time);
    return out;
  }
  std::vector<uint32_t> Shot(const std::string& name) const {
    return loadShot((dir / (name + ".png")).string());
  }

  fs::path dir;
};

std::string Box(const std::string& folder, int line, const std::string& message) {
  return "Orvane System: ファイル \"scn/" + folder + "/start.scn\"\\n行数 " +
         std::to_string(line) + "\\n\\n" + message;
}

// A line such as `@arrivedRight` names where the scenario went in its unknown-command message.
std::string Probe(const std::string& folder, int line, const std::string& command) {
  return Box(folder, line, "コマンド" + command + "が認識できません。");
}

using Boxes = std::vector<std::string>;

// The third page of the story holds the two doors on its second line.
constexpr const char* kLeftDoor = "click 110 490";
constexpr const char* kRightDoor = "click 290 490";

}  // namespace

TEST_F(MessageReplay, Story_EachPageMatchesItsGoldenFrameAndTheRightDoorIsFollowed) {
  ASSERT_EQ(Play("message_story", {"shot message_story_page1", "click 400 300",
                                   "shot message_story_page2", "click 400 300",
                                   "shot message_story_page3", kRightDoor,
                                   "shot message_story_page4", "key Return"}),
            0);
  EXPECT_EQ(Messages(), Boxes{Probe("message_story", 11, "@arrivedRight")});
  // Ruby over 法 and 廷, emphasis, a wrapped line; the four colours and an indented quote;
  // the doors with the first one lit; the page after the jump, its backslash not drawn.
  for (const char* page : {"message_story_page1", "message_story_page2", "message_story_page3",
                           "message_story_page4"})
    EXPECT_TRUE(matchesGolden(Shot(page), page));
  EXPECT_EQ(PagesPassed().size(), 4u);
}

TEST_F(MessageReplay, Link_ClickOutsideEveryDoorDoesNotPassThePage) {
  ASSERT_EQ(Play("message_story",
                 {"click 400 300", "click 400 300", "click 700 300", "key Space", kLeftDoor}),
            0);
  EXPECT_EQ(Messages(), Boxes{Probe("message_story", 8, "@arrivedLeft")});
  EXPECT_EQ(PagesPassed().size(), 3u);
}

TEST_F(MessageReplay, Skip_WrittenPauseWaitsWhileCtrlIsHeldButTheCharacterDelayDoesNot) {
  ASSERT_EQ(Play("message_skip", {"hold LCtrl"}), 0);
  EXPECT_EQ(Messages(), Boxes{Probe("message_skip", 6, "@done")});
  std::vector<long> passed = PagesPassed();
  ASSERT_EQ(passed.size(), 3u);
  long paused = passed[1] - passed[0];  // [w 200] and thirty characters
  long plain = passed[2] - passed[1];   // the same thirty characters alone
  EXPECT_GE(paused - plain, 200);
  EXPECT_LT(paused - plain, 250);
  // Thirty characters at 30 ms each would take 900 ms; held Ctrl leaves only their frames.
  EXPECT_LT(plain, 30 * 30);
}

TEST_F(MessageReplay, Skip_WithoutCtrlEveryCharacterTakesItsDelay) {
  ASSERT_EQ(Play("message_skip", {"click 400 300", "click 400 300", "click 400 300"}), 0);
  std::vector<long> passed = PagesPassed();
  ASSERT_EQ(passed.size(), 3u);
  // The last page: thirty characters, then the 300 ms the player waits before clicking.
  EXPECT_GE(passed[2] - passed[1], 30 * 30 + 300);
}

TEST_F(MessageReplay, Tags_UpperCaseColourTagWorksLikeLowerCase) {
  ASSERT_EQ(Play("message_case", {"shot lower", "click 400 300", "shot upper", "click 400 300",
                                  "shot plain", "click 400 300"}),
            0);
  EXPECT_EQ(Messages(), Boxes{Probe("message_case", 6, "@done")});
  std::vector<uint32_t> lower = Shot("lower");
  EXPECT_EQ(Shot("upper"), lower);
  EXPECT_NE(Shot("plain"), lower);  // the comparison sees the colour at all
}

TEST_F(MessageReplay, FullScreen_ElevenLinesOverTheScreenThenBackToTheWindow) {
  ASSERT_EQ(Play("message_full", {"shot message_full_screen", "click 400 300",
                                  "shot message_full_window", "click 400 300"}),
            0);
  EXPECT_EQ(Messages(), Boxes{Probe("message_full", 6, "@shownBoth")});
  EXPECT_TRUE(matchesGolden(Shot("message_full_screen"), "message_full_screen"));
  EXPECT_TRUE(matchesGolden(Shot("message_full_window"), "message_full_window"));
}

TEST_F(MessageReplay, Errors_UnknownTagLinkOptionAndWaitWithoutTimeEndTheGame) {
  EXPECT_EQ(Play("message_bad_tag", {}), 0);
  EXPECT_EQ(Messages(), Boxes{Box("message_bad_tag", 2, "タグ[big]が認識できません。")});
  EXPECT_EQ(Play("message_bad_link", {}), 0);
  EXPECT_EQ(Messages(),
            Boxes{Box("message_bad_link", 2, "タグ[link]のlabelオプションが認識できません。")});
  EXPECT_EQ(Play("message_bad_wait", {}), 0);
  EXPECT_EQ(Messages(),
            Boxes{Box("message_bad_wait", 2, "タグ[w]の待ち時間オプションが認識できません。")});
}

TEST_F(MessageReplay, Page_RightClickOpensTheSystemMenuAndGameKeepsThePage) {
  ASSERT_EQ(Play("message_story", {"rclick 400 300", "click 400 202"}), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  // Only the menu's own page was passed; the story still waits on its first page.
  EXPECT_EQ(PagesPassed().size(), 1u);
}
