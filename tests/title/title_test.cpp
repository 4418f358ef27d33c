// The title screen and the bundled game as the player meets it: the buttons and their lit
// look, and a first episode played from the title through its ending.
#include <string>

#include "common/golden.h"
#include "title/flow_fixture.h"

namespace {

using Boxes = std::vector<std::string>;

::testing::AssertionResult ShotMatches(const std::filesystem::path& dir, const std::string& shot,
                                       const std::string& golden) {
  std::vector<uint32_t> frame;
  int w = 0, h = 0;
  if (!loadPng((dir / (shot + ".png")).string(), frame, w, h))
    return ::testing::AssertionFailure() << "no shot " << shot;
  return matchesGolden(frame, golden);
}

std::string BundledGame() { return std::string(ORVANE_BIN_DIR) + "/game"; }

}  // namespace

TEST_F(FlowTest, TitleWithASavedGameShowsThreeButtonsAndLightsTheOneUnderThePointer) {
  WriteProgress("[save]\npt_scn=scn/maid\npt_target=start:x\n");
  // A right click is a pointer event the title refuses: the button under it lights up and
  // nothing is picked.
  EXPECT_EQ(Play({"rclick 400 465", "shot lit"}, "", BundledGame()), 0);
  EXPECT_EQ(Count(kTitlePickSound), 0);
  EXPECT_TRUE(ShotMatches(dir, "lit", "title_saved_load_lit"));
}

TEST_F(FlowTest, TitleWithoutASavedGameShowsTwoButtons) {
  EXPECT_EQ(Play({"shot title"}, "", BundledGame()), 0);
  EXPECT_TRUE(ShotMatches(dir, "title", "title_begin_exit"));
}

TEST_F(FlowTest, BundledGameFirstEpisodeClearsOneAndTheTitleComesBack) {
  std::vector<std::string> actions = {kClickBeginAlone, "key Return"};  // the first link
  for (int page = 0; page < 3; ++page) actions.push_back("key Return");
  actions.push_back(kClickSaveNo);
  // The footprints and the letter are filed, each on a page of its own, among three pages.
  for (int page = 0; page < 5; ++page) actions.push_back("key Return");
  // The prosecutor's two pages; the next passes only by its record button: a look at the
  // letter, then the record closed.
  actions.insert(actions.end(), {"key Return", "key Return", "click 730 34", "key Right", "key X"});
  // The letter presented first misses and the question comes again; then the footprints.
  actions.insert(actions.end(), {"key Return", "key Right", "key Z", "key Return"});
  actions.insert(actions.end(), {"key Return", "key Z"});
  for (int page = 0; page < 2; ++page) actions.push_back("key Return");
  for (int page = 0; page < 2; ++page) actions.push_back("key Return");  // the ending
  actions.push_back("shot back");
  EXPECT_EQ(Play(actions, "", BundledGame()), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(Count("se sys/se/アイテム取得.wav"), 2);
  EXPECT_EQ(Count("se sys/se/アイテム切り替え.wav"), 2);
  EXPECT_EQ(Count("se sys/se/アイテム決定.wav"), 2);
  // Only the footprints draw the shout, with the lawyer's voice.
  EXPECT_EQ(Count("se sys/se/異議あり.wav"), 1);
  EXPECT_EQ(Count("se sys/voice/tsukioka_kurae.wav"), 1);
  EXPECT_EQ(ProgressValue("clear"), "1");
  EXPECT_EQ(ProgressValue("pt_scn"), "<missing>");
  EXPECT_TRUE(ShotMatches(dir, "back", "title_begin_exit"));
}
