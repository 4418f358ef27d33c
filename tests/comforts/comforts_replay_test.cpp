// The player's comforts as a player meets them, played headless: the message log opened at
// the first episode's third page and closed back onto it, auto-advance through the court's
// opening to the cross-examination's first statement, input that stops auto-advance, the
// places the log does not open, and the text speed against the written pauses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/golden.h"
#include "common/replay.h"

namespace fs = std::filesystem;

namespace {

class Comforts : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = freshTestFolder("comforts");
    fs::create_directories(dir / "save");
  }
  void TearDown() override { fs::remove_all(dir); }

  // The player's reading settings, as the settings screen keeps them.
  void Settings(const std::string& lines) {
    std::ofstream(dir / "save" / "orvane.ini") << "[settings]\r\n" << lines;
  }

  // Plays the bundled game, or with `scenario` one folder of the test games, with the
  // player's actions; returns orvane's exit status.
  int Play(const std::vector<std::string>& actions, const std::string& scenario = "") {
    std::ofstream input(dir / "input.txt");
    for (const std::string& action : actions) input << action << "\n";
    input.close();
    std::string game = scenario.empty()
                           ? std::string(ORVANE_BIN_DIR) + "/game"
                           : "--scenario scn/" + scenario + " " + TEST_GAMES_DIR + "/scenarios";
    return exitStatusOf(std::string(ORVANE_BIN_DIR) + "/orvane --headless --transcript " +
                        (dir / "transcript.txt").string() + " --input " +
                        (dir / "input.txt").string() + " --shots " + dir.string() +
                        " --save-dir " + (dir / "save").string() + " " + game +
                        " >/dev/null 2>&1");
  }

  std::vector<TimedEvent> Events() const {
    return timedTranscriptEvents((dir / "transcript.txt").string());
  }
  // Game times of the events that start with `prefix`.
  std::vector<long> Times(const std::string& prefix) const {
    std::vector<long> out;
    for (const TimedEvent& e : Events())
      if (e.text.rfind(prefix, 0) == 0) out.push_back(e.time);
    return out;
  }
  long TimeOf(const std::string& event) const {
    for (const TimedEvent& e : Events())
      if (e.text == event) return e.time;
    ADD_FAILURE() << "no \"" << event << "\" in the transcript";
    return -1;
  }
  std::vector<uint32_t> Shot(const std::string& name) const {
    return loadShot((dir / (name + ".png")).string());
  }

  fs::path dir;
};

const std::string kPageClick = "se sys/se/文字クリック.wav";

// From the title to the first episode's third page (the footprints filed as evidence).
const std::vector<std::string> kToThirdPage = {
    "click 400 430",  // はじめから
    "key Return",     // the first case
    "key Return",     // the scene caption
    "key Return",     // 朧月の夜 ...
    "key Return",     // 門へ続く ...
};

std::vector<std::string> Then(std::vector<std::string> first,
                              const std::vector<std::string>& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

}  // namespace

TEST_F(Comforts, Log_OpensOverTheThirdPageWithTheEarlierPagesAndClosesBackOntoIt) {
  ASSERT_EQ(Play(Then(kToThirdPage,
                      {"shot before", "wheel up", "shot log_open", "key Up", "shot log_up",
                       "wheel down", "shot after", "key Return", "key Return", "key Return",
                       "key PageUp", "shot later_log", "key Up", "shot later_up", "key Down",
                       "shot later_back", "key Escape", "shot later_after", "key Return"})),
            0);
  // The caption and the two pages of narration (the ruby over 小夜 small above its
  // characters) above the third page, the newest at the bottom, over the dimmed picture.
  EXPECT_TRUE(matchesGolden(Shot("log_open"), "comforts_log_open"));
  // Nothing older to scroll to; the wheel turned down past the end closed the log, and
  // nothing of it is left: the page as it was, not turned.
  EXPECT_EQ(Shot("log_up"), Shot("log_open"));
  EXPECT_TRUE(matchesGolden(Shot("before"), "comforts_log_third_page"));
  EXPECT_EQ(Shot("after"), Shot("before"));
  // Three pages on, the log (opened with Page Up) holds more than one view: Up shows older
  // pages, Down comes back, Escape closes.
  EXPECT_NE(Shot("later_up"), Shot("later_log"));
  EXPECT_EQ(Shot("later_back"), Shot("later_log"));
  EXPECT_NE(Shot("later_after"), Shot("later_log"));
  // One page click for each page passed by the player; the log turned none.
  EXPECT_EQ(Times(kPageClick).size(), 9u);
}

TEST_F(Comforts, Log_DoesNotOpenAtAChoiceOfLinksOrInTheSystemMenu) {
  // The third page of the story test game holds two doors; the menu is opened on the first.
  ASSERT_EQ(Play({"rclick 400 300", "shot menu", "wheel up", "key PageUp", "shot menu_after",
                  "click 400 190", "click 400 300", "click 400 300", "shot doors", "wheel up",
                  "key PageUp", "shot doors_after", "click 290 490", "key Return"},
                 "message_story"),
            0);
  EXPECT_EQ(Shot("menu_after"), Shot("menu"));
  EXPECT_EQ(Shot("doors_after"), Shot("doors"));
  EXPECT_TRUE(matchesGolden(Shot("doors"), "message_story_page3"));
}

TEST_F(Comforts, Auto_PlaysTheCourtsOpeningAndStopsAtTheFirstStatement) {
  // After the save question, A at the judge's first page; the player then does nothing.
  ASSERT_EQ(Play(Then(kToThirdPage, {"key Return", "key Return", "key Return", "key Return",
                                     "click 327 352",  // save: はい
                                     "key A", "wait 60000", "shot statement", "wait 5000",
                                     "shot statement_later"})),
            0);
  // The first statement with its buttons and the mark; nothing pressed or stepped since.
  EXPECT_TRUE(matchesGolden(Shot("statement"), "comforts_auto_first_statement"));
  EXPECT_EQ(Shot("statement_later"), Shot("statement"));
  for (const TimedEvent& e : Events()) {
    EXPECT_NE(e.text, "se sys/se/異議あり.wav");
    EXPECT_EQ(e.text.find("matta"), std::string::npos) << e.text;
  }
  // Ten pages turned by themselves: from the judge's to the cross-examination's title.
  const long on = TimeOf("input key A");
  std::vector<long> clicks = Times(kPageClick);
  long turned = std::count_if(clicks.begin(), clicks.end(), [&](long t) { return t > on; });
  EXPECT_EQ(turned, 10);
}

TEST_F(Comforts, Auto_AnyOtherInputStopsItAndThePageWaitsForTheClick) {
  ASSERT_EQ(Play({"click 400 300", "key A", "key Down", "wait 20000", "click 400 300",
                  "shot doors"},
                 "message_story"),
            0);
  // Down stopped it on page two: that page turned only with the click 20 s later, and the
  // mark is gone from the doors' page.
  const long stopped = TimeOf("input key Down");
  std::vector<long> clicks = Times(kPageClick);
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_GE(clicks[1] - stopped, 20000);
  EXPECT_TRUE(matchesGolden(Shot("doors"), "message_story_page3"));
}

TEST_F(Comforts, Auto_TurnsAStoryPageAfterTheBaseDelayAndItsLength) {
  Settings("autodelay=700\r\n");
  ASSERT_EQ(Play({"key A", "wait 30000", "shot doors", "key A", "shot doors_off"},
                 "message_story"),
            0);
  // Pages one and two turned by themselves; the page of links waits for the player, with
  // the mark on until A turns it off.
  EXPECT_TRUE(matchesGolden(Shot("doors_off"), "message_story_page3"));
  EXPECT_NE(Shot("doors"), Shot("doors_off"));
  std::vector<long> clicks = Times(kPageClick);
  ASSERT_EQ(clicks.size(), 2u);
  // Each page waited 700 ms plus 60 ms for each of its characters once its text was shown:
  // the first from when A was taken, the second (longer) from when its last character was.
  const long on = TimeOf("input key A");
  EXPECT_GE(clicks[0] - on, 700 + 60 * 20);
  EXPECT_LT(clicks[0] - on, 700 + 60 * 40);
}

TEST_F(Comforts, TextSpeed_ScalesTheCharacterDelayButNotTheWrittenPause) {
  struct Run {
    long between;  // median time from one character sound to the next
    long pause;    // from the caption's page to the passing of the pause's page
  };
  auto play = [&](const std::string& speed) {
    Settings(speed.empty() ? "" : "textspeed=" + speed + "\r\n");
    EXPECT_EQ(Play({"click 400 300", "click 400 300"}, "text_speed"), 0);
    std::vector<long> sounds = Times("se sys/se/文字表示.wav");
    std::vector<long> gaps;
    for (std::size_t i = 1; i < sounds.size(); ++i) gaps.push_back(sounds[i] - sounds[i - 1]);
    EXPECT_EQ(sounds.size(), 15u);
    std::sort(gaps.begin(), gaps.end());
    std::vector<long> pages = Times(kPageClick);
    EXPECT_EQ(pages.size(), 2u);
    if (gaps.empty() || pages.size() < 2) return Run{};
    return Run{gaps[gaps.size() / 2], pages[1] - pages[0]};
  };
  Run normal = play("");
  Run fast = play("50");
  Run slow = play("200");
  // The caption's own 200 ms a character, halved and doubled; each gap also holds the frame
  // drawn as a character's wait ends, which the speed does not touch.
  EXPECT_GE(normal.between, 200);
  EXPECT_LT(normal.between, 200 + 20);
  EXPECT_EQ(normal.between - fast.between, 100);
  EXPECT_EQ(slow.between - normal.between, 200);
  EXPECT_GE(normal.pause, 500);
  EXPECT_EQ(fast.pause, normal.pause);
  EXPECT_EQ(slow.pause, normal.pause);
}
