// The system menu played through orvane: a right click at a story page opens it over a court
// scene, "show" leaves the picture alone until a click, "game" and "title" then "no" put
// the scene back exactly on the same page, "title" then "yes" ends the episode without
// touching the clear count, and the save question's page takes no right click.
#include <map>
#include <string>

#include "common/golden.h"
#include "title/flow_fixture.h"

namespace {

// Centres of the menu's links and of the confirmation's answers.
constexpr const char* kPickGame = "click 400 202";
constexpr const char* kPickShow = "click 400 302";
constexpr const char* kPickTitle = "click 400 402";
constexpr const char* kPickYes = "click 257 352";
constexpr const char* kPickNo = "click 505 352";
// A right click away from every link, so no highlight differs between the shots.
constexpr const char* kOpenMenu = "rclick 20 580";

// A witness on the stand with the speaker's plate, the life gauge and the record button
// over a page whose only way on is its link, so no page cursor moves between shots.
const std::map<std::string, std::string> kCourtEpisode = {
    {"scn/menu1/select0.scn", "@exit rescode=0\n"},
    {"scn/menu1/select1.scn", "@exit rescode=0\n"},
    {"scn/menu1/clear0.scn", "@exit\n"},
    {"scn/maid/start.scn",
     "@courtSetWitnessBack\n"
     "@charaShowCenter file=hoshino\n"
     "@textShowMessage\n"
     "@textShowName hoshino\n"
     "@courtShowLife wipe\n"
     "@itemShowKiroku x=640 y=10\n"
     "Page one.[link target=on]On[/link][np]\n"
     ":on\n"
     "@exit rescode=clear0\n"},
};

class SystemMenuTest : public FlowTest {
 protected:
  std::vector<uint32_t> Shot(const std::string& name) const {
    return loadShot((dir / (name + ".png")).string());
  }
};

TEST_F(SystemMenuTest, GameAndTitleNoPutTheSceneBackOnTheSamePage) {
  MakeGame(kCourtEpisode);
  ASSERT_EQ(Play({kClickBeginAlone, "wait 1500", "shot before", kOpenMenu, "shot menu",
                  kPickShow, "shot picture", "click 20 580", "shot menu_again", kPickGame,
                  "shot after_game", kOpenMenu, kPickTitle, "shot confirm", kPickNo,
                  "shot after_no", "click 293 434", kClickExitAlone}),
            0);
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  const auto before = Shot("before");
  EXPECT_EQ(Shot("after_game"), before);
  EXPECT_EQ(Shot("after_no"), before);
  // The plate, the gauge, the record button and the story window all go under the menu.
  EXPECT_TRUE(matchesGolden(Shot("menu"), "system_menu_links"));
  // Back from the picture, the menu again (the witness's blink aside).
  EXPECT_TRUE(matchesGolden(Shot("menu_again"), "system_menu_links_again"));
  EXPECT_TRUE(matchesGolden(Shot("picture"), "system_menu_picture"));
  EXPECT_TRUE(matchesGolden(Shot("confirm"), "system_menu_confirm"));
  // The page's own link then went on to the episode's first clear.
  EXPECT_EQ(ProgressValue("clear"), "1");
}

TEST_F(SystemMenuTest, TitleYesEndsTheEpisodeAndLeavesTheClearCount) {
  WriteProgress("[save]\nclear=1\n");
  MakeGame(kCourtEpisode);
  ASSERT_EQ(Play({kClickBeginAlone, "wait 1500", kOpenMenu, kPickTitle, kPickYes,
                  "wait 1500", "shot title", kClickExitAlone}),
            0);
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  EXPECT_EQ(ProgressText(), "[save]\nclear=1\n");
  // Back at the title, as the game opened with it.
  EXPECT_TRUE(matchesGolden(Shot("title"), "title_begin_exit"));
}

TEST_F(SystemMenuTest, SaveQuestionTakesNoRightClick) {
  MakeGame({{"scn/menu1/select0.scn", "@exit rescode=0\n"},
            {"scn/maid/start.scn", "@textShowMessage\n@save target=here\n@exit rescode=sys_exit\n"}});
  ASSERT_EQ(Play({kClickBeginAlone, "wait 1500", "shot question", "rclick", "shot still",
                  kClickSaveNo, kClickExitAlone}),
            0);
  EXPECT_EQ(Shot("still"), Shot("question"));
  EXPECT_EQ(ProgressValue("pt_scn"), "<missing>");
}

}  // namespace
