// The episode sequence: which menu target the clear count selects, what each episode result
// does to the clear count and which ending it runs, and the way back to the title. Every
// scenario file a test does not expect to run is an unknown command, so reaching it shows up
// as a message box naming that file.
#include <map>
#include <string>

#include "title/flow_fixture.h"

namespace {

using Files = std::map<std::string, std::string>;
using Boxes = std::vector<std::string>;

// Every menu target and episode, each a probe that reports it ran; a test replaces the files
// it means to run.
Files Probes(const Files& replaced) {
  Files files;
  for (const char* name : {"select0", "select1", "select2", "clear0", "clear1", "clear2",
                           "gameover"})
    files[std::string("scn/menu1/") + name + ".scn"] = std::string("@") + name + "_ran\n";
  for (const char* name : {"maid", "kigae", "tabako"})
    files[std::string("scn/") + name + "/start.scn"] = std::string("@") + name + "_ran\n";
  for (const auto& [path, text] : replaced) files[path] = text;
  return files;
}

TEST_F(FlowTest, FirstClearOfEpisodeZeroRecordsOneAndRunsItsEnding) {
  MakeGame(Probes({{"scn/menu1/select0.scn", "@exit rescode=0\n"},
                   {"scn/maid/start.scn", ":start\n@exit rescode=clear0\n"}}));
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(ProgressValue("clear"), "1");
  EXPECT_EQ(Messages(), Boxes{ProbeBox("scn/menu1/clear0.scn", 1, "@clear0_ran")});
}

TEST_F(FlowTest, UpperCaseClearOneRaisesTheCountToTwoAndRunsClearOne) {
  WriteProgress("[save]\nclear=1\n");
  MakeGame(Probes({{"scn/menu1/select1.scn", "@exit rescode=1\n"},
                   {"scn/kigae/start.scn", "@exit rescode=CLEAR1\n"}}));
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(ProgressValue("clear"), "2");
  EXPECT_EQ(Messages(), Boxes{ProbeBox("scn/menu1/clear1.scn", 1, "@clear1_ran")});
}

TEST_F(FlowTest, ClearZeroTwiceLeavesTheCountAtOne) {
  // The second time round the count is 1, so the menu runs select1: and picks episode 0.
  MakeGame(Probes({{"scn/menu1/select0.scn", "@exit rescode=0\n"},
                   {"scn/menu1/select1.scn", "@exit rescode=0\n"},
                   {"scn/maid/start.scn", "@exit rescode=clear0\n"},
                   {"scn/menu1/clear0.scn", "; the ending\n"}}));
  EXPECT_EQ(Play({kClickBeginAlone, kClickBeginAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(Count(kTitlePickSound), 2);
  EXPECT_EQ(ProgressValue("clear"), "1");
}

TEST_F(FlowTest, HandEditedCountOfNineSelectsSelectTwo) {
  WriteProgress("[save]\nclear=9\n");
  MakeGame(Probes({}));
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{ProbeBox("scn/menu1/select2.scn", 1, "@select2_ran")});
}

TEST_F(FlowTest, HandEditedCountOfNineIsNotLoweredByALaterClear) {
  WriteProgress("[save]\nclear=9\n");
  MakeGame(Probes({{"scn/menu1/select2.scn", "@exit rescode=2\n"},
                   {"scn/tabako/start.scn", "@exit rescode=clear2\n"},
                   {"scn/menu1/clear2.scn", "\n"}}));
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(ProgressValue("clear"), "9");
}

TEST_F(FlowTest, NegativeCountSelectsSelectZero) {
  WriteProgress("[save]\nclear=-4\n");
  MakeGame(Probes({}));
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{ProbeBox("scn/menu1/select0.scn", 1, "@select0_ran")});
}

TEST_F(FlowTest, MenuResultOtherThanAnEpisodeReturnsToTheTitle) {
  // Only "0", "1" and "2" name episodes.
  MakeGame(Probes({{"scn/menu1/select0.scn", "@exit rescode=3\n"}}));
  EXPECT_EQ(Play({kClickBeginAlone, kClickBeginAlone, kClickExitAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(Count(kTitlePickSound), 3);
  ASSERT_FALSE(Events().empty());
  EXPECT_EQ(Events().back(), "exit");
}

TEST_F(FlowTest, SystemExitFromAnEpisodeLeavesTheCountAndRunsNoEnding) {
  WriteProgress("[save]\nclear=1\n");
  MakeGame(Probes({{"scn/menu1/select1.scn", "@exit rescode=0\n"},
                   {"scn/maid/start.scn", "@exit rescode=sys_exit\n"}}));
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(ProgressText(), "[save]\nclear=1\n");
}

TEST_F(FlowTest, GameOverRunsTheMenuEndingWithoutAClear) {
  MakeGame(Probes({{"scn/menu1/select0.scn", "@exit rescode=0\n"},
                   {"scn/maid/start.scn", "@exit rescode=GameOver\n"}}));
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{ProbeBox("scn/menu1/gameover.scn", 1, "@gameover_ran")});
  EXPECT_EQ(ProgressValue("clear"), "<missing>");
}

TEST_F(FlowTest, ResultThatOnlyStartsWithGameOverIsNoGameOver) {
  MakeGame(Probes({{"scn/menu1/select0.scn", "@exit rescode=0\n"},
                   {"scn/maid/start.scn", "@exit rescode=gameovers\n"}}));
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{});
}

TEST_F(FlowTest, HugeClearNumberDoesNotWrapTheCount) {
  MakeGame(Probes({{"scn/menu1/select0.scn", "@exit rescode=0\n"},
                   {"scn/maid/start.scn", "@exit rescode=clear2147483647\n"},
                   {"scn/menu1/clear2147483647.scn", "\n"}}));
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(ProgressValue("clear"), "2147483647");
}

TEST_F(FlowTest, WithoutASavedGameTheLoadPlaceIsEmpty) {
  // Between the two buttons, where "load" stands when a game is saved.
  MakeGame(Probes({}));
  EXPECT_EQ(Play({kClickLoadSaved, kClickExitAlone}), 0);
  EXPECT_EQ(Count(kTitlePickSound), 1);
  EXPECT_EQ(Messages(), Boxes{});
}

TEST_F(FlowTest, QuittingFromTheTitleKeepsTheProgressFile) {
  const std::string progress = "[save]\nclear=2\npt_scn=scn/kigae\npt_target=start:x\n";
  WriteProgress(progress);
  MakeGame(Probes({}));
  EXPECT_EQ(Play({kClickExitSaved}), 0);
  EXPECT_EQ(Count(kTitlePickSound), 1);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(ProgressText(), progress);
}

TEST_F(FlowTest, ClosingTheWindowDuringTheLogoKeepsTheProgressFile) {
  const std::string progress = "[save]\nclear=1\n";
  WriteProgress(progress);
  MakeGame(Probes({}));
  EXPECT_EQ(Play({}, "--max-time 800"), 0);
  EXPECT_EQ(Count(kTitlePickSound), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(ProgressText(), progress);
}

}  // namespace
