// The life gauge in the game's own flow: a saved game keeps life and no-life target and
// brings both back on "load", and the no-life run's result becomes the episode's.
#include <string>
#include <vector>

#include "title/flow_fixture.h"

namespace {

using Boxes = std::vector<std::string>;

}  // namespace

class LifeFlow : public FlowTest {};

TEST_F(LifeFlow, SaveKeepsLifeAndNolifeTargetAndLoadBringsThemBack) {
  MakeGame({{"scn/menu1/select0.scn", "@exit rescode=0\n"},
            {"scn/maid/start.scn",
             "@courtSetLife 2\n"
             "@courtSetNolifeScenario target=start:lost\n"
             "@save target=start:after\n"
             "@exit rescode=saved\n"
             ":after\n"
             "@courtReduceLife\n"
             "@courtReduceLife\n"
             "@life_left\n"
             ":lost\n"
             "@lost_ran\n"}});
  EXPECT_EQ(Play({kClickBeginAlone, kClickSaveYes}), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(ProgressValue("pt_life"), "2");
  EXPECT_EQ(ProgressValue("pt_nolife"), "start:lost");

  // Two losses from the saved 2 reach the saved target; from a fresh 5 they would not.
  EXPECT_EQ(Play({kClickLoadSaved}), 0);
  EXPECT_EQ(Messages(), Boxes{ProbeBox("scn/maid/start.scn", 10, "@lost_ran")});
}

TEST_F(LifeFlow, SavedLifeOfZeroEndsTheScenarioAtTheNextLoss) {
  // A saved value is taken as written: at 0 the next loss ends the run without a no-life run.
  MakeGame({{"scn/maid/start.scn",
             "@courtReduceLife\n"
             "@not_ended\n"
             ":nolife\n"
             "@nolife_ran\n"}});
  WriteProgress("[save]\npt_scn=scn/maid\npt_target=start:\npt_life=0\n");
  EXPECT_EQ(Play({kClickLoadSaved}), 0);
  EXPECT_EQ(Messages(), Boxes{});
}

TEST_F(LifeFlow, NolifeResultEndsTheEpisodeAsAGameOver) {
  MakeGame({{"scn/menu1/select0.scn", "@exit rescode=0\n"},
            {"scn/menu1/gameover.scn", "@gameover_ran\n"},
            {"scn/maid/start.scn",
             "@courtSetLife 1\n"
             "@courtReduceLife\n"
             "@after_loss\n"
             ":nolife\n"
             "@exit rescode=gameover\n"}});
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{ProbeBox("scn/menu1/gameover.scn", 1, "@gameover_ran")});
}

TEST_F(LifeFlow, SaveWritesTheLifeLeftAfterLosses) {
  // Four losses from the five every run starts with leave one.
  MakeGame({{"scn/menu1/select0.scn", "@exit rescode=0\n"},
            {"scn/maid/start.scn",
             "@courtReduceLife\n@courtReduceLife\n@courtReduceLife\n@courtReduceLife\n"
             "@courtSetNolifeScenario target=start:elsewhere\n"
             "@save target=start:again\n"
             "@exit rescode=saved\n"
             ":again\n"
             "@four_more\n"}});
  EXPECT_EQ(Play({kClickBeginAlone, kClickSaveYes}), 0);
  EXPECT_EQ(ProgressValue("pt_life"), "1");
  EXPECT_EQ(ProgressValue("pt_nolife"), "start:elsewhere");
}
