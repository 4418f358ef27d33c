// The title screen and the bundled game as the player meets it: the buttons and their lit
// look, and a first episode played from the title through its ending.
#include <filesystem>
#include <fstream>
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
  // The first episode's own input script, the one `make play` shows without a display.
  std::ifstream script(REPLAYS_DIR "/maid.txt");
  std::vector<std::string> actions;
  for (std::string line; std::getline(script, line);) actions.push_back(line);
  ASSERT_GT(actions.size(), 40u);
  EXPECT_EQ(Play(actions, "", BundledGame()), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(Count("se sys/se/証言開始.wav"), 2);  // the testimony and the cross-examination
  EXPECT_EQ(Count("se sys/se/HP減少.wav"), 1);
  EXPECT_EQ(Count("se sys/voice/tsukioka_kurae.wav"), 2);
  EXPECT_EQ(Count("se sys/se/判決.wav"), 2);
  EXPECT_EQ(ProgressValue("clear"), "1");
  // The game saved halfway stays saved: the title comes back with its three buttons.
  EXPECT_EQ(ProgressValue("pt_target"), "start:court");
  EXPECT_TRUE(ShotMatches(dir, "back_at_title", "title_saved"));
}
