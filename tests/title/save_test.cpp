// Saving with `@save` and continuing from the title: the dialog's two answers, what "yes"
// writes to the progress file, the third title button it brings, and where "load" resumes.
#include <map>
#include <string>

#include "common/golden.h"
#include "title/flow_fixture.h"

namespace {

using Boxes = std::vector<std::string>;

}  // namespace

class SaveTest : public FlowTest {
 protected:
  // Episode 0, offered at once by the menu, with the given script.
  void MakeSavingGame(const std::string& episode) {
    MakeGame({{"scn/menu1/select0.scn", "@exit rescode=0\n"},
              {"scn/menu1/select1.scn", "@select1_ran\n"},
              {"scn/maid/start.scn", episode}});
  }
};

TEST_F(SaveTest, YesWritesFolderAndTargetAndLoadResumesThere) {
  MakeSavingGame(
      "@save target=start:after\n"
      "@exit rescode=saved\n"
      ":after\n"
      "@resumed_here\n");
  EXPECT_EQ(Play({kClickBeginAlone, kClickSaveYes}), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(ProgressValue("pt_scn"), "scn/maid");
  EXPECT_EQ(ProgressValue("pt_target"), "start:after");
  EXPECT_EQ(ProgressValue("clear"), "<missing>");

  // The next launch has three buttons; "load" stands where the gap between two would be.
  EXPECT_EQ(Play({kClickLoadSaved}), 0);
  EXPECT_EQ(Messages(), Boxes{ProbeBox("scn/maid/start.scn", 4, "@resumed_here")});
}

TEST_F(SaveTest, NoWritesNothingAndTheScriptGoesOnAfterSave) {
  MakeSavingGame(
      "@save target=start:after\n"
      "@after_save\n"
      ":after\n");
  EXPECT_EQ(Play({kClickBeginAlone, kClickSaveNo}), 0);
  EXPECT_EQ(Messages(), Boxes{ProbeBox("scn/maid/start.scn", 2, "@after_save")});
  EXPECT_EQ(ProgressText(), "");
}

TEST_F(SaveTest, TheAnswerIsNotAJump) {
  // "yes" is a link label; a label of that name in the episode must not be jumped to.
  MakeSavingGame(
      "@save target=start:after\n"
      "@after_save\n"
      ":yes\n"
      "@jumped_to_yes\n");
  EXPECT_EQ(Play({kClickBeginAlone, kClickSaveYes}), 0);
  EXPECT_EQ(Messages(), Boxes{ProbeBox("scn/maid/start.scn", 2, "@after_save")});
}

TEST_F(SaveTest, SaveWithoutTargetResumesIntoAnEmptyEnd) {
  MakeSavingGame(
      "@save\n"
      "@exit rescode=saved\n");
  EXPECT_EQ(Play({kClickBeginAlone, kClickSaveYes}), 0);
  EXPECT_EQ(ProgressValue("pt_scn"), "scn/maid");
  EXPECT_EQ(ProgressValue("pt_target"), "");

  // Loading runs no line at all: the episode ends at once with an empty result, which is
  // neither a clear nor a game over, and the title comes back.
  EXPECT_EQ(Play({kClickLoadSaved, kClickExitSaved}), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(Count(kTitlePickSound), 2);
  EXPECT_EQ(ProgressValue("clear"), "<missing>");
}

TEST_F(SaveTest, ANewSaveOverwritesTheOldPosition) {
  WriteProgress("[save]\nclear=1\npt_scn=scn/tabako\npt_target=start:old\n");
  MakeGame({{"scn/menu1/select1.scn", "@exit rescode=0\n"},
            {"scn/maid/start.scn", "@save target=start:new\n@exit rescode=saved\n"}});
  EXPECT_EQ(Play({kClickBeginSaved, kClickSaveYes}), 0);
  EXPECT_EQ(Messages(), Boxes{});
  // Nothing is owned in this game, so the owned list is written empty.
  EXPECT_EQ(ProgressText(), "[save]\nclear=1\npt_scn=scn/maid\npt_target=start:new\npt_item=\npt_life=5\n"
            "pt_nolife=start:nolife\n");
}

TEST_F(SaveTest, ClosingTheWindowInTheDialogWritesNothing) {
  const std::string progress = "[save]\nclear=1\n";
  WriteProgress(progress);
  MakeGame({{"scn/menu1/select1.scn", "@exit rescode=0\n"},
            {"scn/maid/start.scn", "@save target=start:x\n"}});
  // The script ends while the dialog waits: the player closes the window there.
  EXPECT_EQ(Play({kClickBeginAlone}), 0);
  EXPECT_EQ(Messages(), Boxes{});
  EXPECT_EQ(ProgressText(), progress);
}

TEST_F(SaveTest, SaveDialogLooksTheSame) {
  MakeSavingGame("@save target=start:x\n");
  EXPECT_EQ(Play({kClickBeginAlone, "shot dialog"}), 0);
  std::vector<uint32_t> frame;
  int w = 0, h = 0;
  ASSERT_TRUE(loadPng((dir / "dialog.png").string(), frame, w, h));
  EXPECT_TRUE(matchesGolden(frame, "save_dialog"));
}
