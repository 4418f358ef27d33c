// The court record played with the player's keys and clicks: owned-entry navigation with
// wrap, the places of the buttons, the profile-only choice, the record button of a page,
// and the item announcement's sound. Which entry was shown is read from what is presented.
#include "items/items_fixture.h"
#include "present/sprites.h"

namespace {

// Evidence 1, 4, 7 and the profile 5, each owned; evidence 2 defined but not owned.
constexpr const char* kItems =
    "@item no=1 name=Knife comment=Sharp image=ev\n"
    "@item no=2 name=Rope comment=Long image=ev\n"
    "@item no=4 name=Letter comment=Torn image=ev\n"
    "@item no=5 name=Ann comment=Witness image=ev type=chara\n"
    "@item no=7 name=Key comment=Brass image=ev mag=ev\n";

class RecordTest : public ItemsTest {
 protected:
  void Open(const std::string& scenario, const std::string& actions) {
    WriteItems(kItems);
    WriteRecordGame(scenario);
    WriteInput(actions);
    Bind(true);
    ASSERT_FALSE(LoadFails());
    for (int number : {1, 4, 5, 7}) gainItem(number);
  }
  // Opens the record from inside a running scenario, as the game always does: each line
  // "@open P C" opens it with presenting (P) and closing (C) allowed, 1 or 0. With
  // `windowCloses` the player's actions run out first and the closed window ends the game.
  std::vector<int> Present(const std::string& opens, bool windowCloses = false) {
    std::ofstream(game / "t" / "start.scn") << ":start\n" << opens;
    results_.clear();
    ScenarioHooks hooks = InstalledScenarioHooks();
    hooks.dispatchCommand = OpenLine;
    InstallScenarioHooks(hooks);
    EXPECT_EQ(RunStart() == "error", windowCloses);
    return results_;
  }

 private:
  static void OpenLine(const char* line, int) {
    bool leaving = false;
    const int result = openCourtRecord(line[6] == '1', line[8] == '1', true, true, leaving);
    results_.push_back(result);
    // The choice is also the scenario's result text.
    EXPECT_EQ(std::string(CurrentScenario()->result), std::to_string(result));
  }
  static inline std::vector<int> results_;
};

TEST_F(RecordTest, Navigation_LeftAndRightWrapOverOwnedEvidenceOnly) {
  Open("", "key Left\nkey Z\n"                      // 1 -> 7
           "key Left\nkey Right\nkey Right\nkey Z\n"  // 1 -> 7 -> 1 -> 4
           "key Left\nkey Left\nkey Left\nkey Z\n");  // 1 -> 7 -> 4 -> 1
  EXPECT_EQ(Present("@open 1 0\n@open 1 0\n@open 1 0\n"), (std::vector<int>{7, 4, 1}));
  EXPECT_EQ(Count("se sys/se/アイテム決定.wav"), 3);
  EXPECT_EQ(Count("se sys/se/アイテム切り替え.wav"), 7);
}

TEST_F(RecordTest, Navigation_TabSwitchesToTheLowestOwnedProfile) {
  Open("", "key Space\nkey Left\nkey Z\n"  // profiles: 5 only, left stays on 5
           "key Space\nkey Space\nkey Z\n");  // back to evidence at 1
  EXPECT_EQ(Present("@open 1 0\n@open 1 0\n"), (std::vector<int>{5, 1}));
}

TEST_F(RecordTest, Buttons_LeftStandsLeftOfTheButtonsPlaced) {
  // A click just inside the left edge of where "left" should stand moves to 7; anywhere
  // else it hits nothing and the next key presents 1.
  Open("", "click 420 300\nkey Z\n"   // present and close: 438
           "click 519 300\nkey Z\n"   // present only: 537
           "click 583 300\nkey X\n"   // close only: 601, then closed
           "click 583 300\nkey Z\n");  // present only: nothing at 601
  EXPECT_EQ(Present("@open 1 1\n@open 1 0\n@open 0 1\n@open 1 0\n"),
            (std::vector<int>{7, 7, -1, 1}));
}

TEST_F(RecordTest, Buttons_LeftStandsAt700WhenNeitherPresentingNorClosing) {
  // Nothing but the arrows: the click moves from 1 to 7 and the record waits on 7 until the
  // player's actions run out and the window closes.
  Open("", "click 682 300\n");
  EXPECT_EQ(Present("@open 0 0\n", true), std::vector<int>{});
  EXPECT_EQ(Count("se sys/se/アイテム切り替え.wav"), 1);
}

TEST_F(RecordTest, Select_RightItemJumpsToSuccess) {
  Open(":start\n@itemSelect item=4 success=ok miss=no\n@exit rescode=none\n"
       ":ok\n@exit rescode=found\n:no\n@exit rescode=wrong\n",
       "key Right\nkey Z\n");
  EXPECT_EQ(RunStart(), "found");
}

TEST_F(RecordTest, Select_WrongItemJumpsToMiss) {
  Open(":start\n@itemSelect item=4 success=ok miss=no\n@exit rescode=none\n"
       ":ok\n@exit rescode=found\n:no\n@exit rescode=wrong\n",
       "key Left\nkey Z\n");
  EXPECT_EQ(RunStart(), "wrong");
}

TEST_F(RecordTest, Select_CharaOnlyOpensOnProfilesWithoutTheEvidenceTab) {
  // Space would switch to evidence (and present 1) if the tab button were there.
  Open(":start\n@itemSelect item=5 success=ok miss=no charaonly\n@exit rescode=none\n"
       ":ok\n@exit rescode=found\n:no\n@exit rescode=wrong\n",
       "key Space\nkey Z\n");
  EXPECT_EQ(RunStart(), "found");
}

TEST_F(RecordTest, Select_CharaOnlyWithNoProfileOwnedClosesAtOnceOnMiss) {
  Open(":start\n@itemLost 5\n@itemSelect item=5 success=ok miss=no charaonly\n"
       "@exit rescode=none\n:ok\n@exit rescode=found\n:no\n@exit rescode=wrong\n",
       "");
  EXPECT_EQ(RunStart(), "wrong");
  EXPECT_EQ(Count("se sys/se/アイテム決定.wav"), 0);
}

TEST_F(RecordTest, RecordButton_OpensTheRecordAndContinuesAtItsLabel) {
  // The record's own clicks ("left", "tojiru") never become jumps of the story.
  Open(":start\n@itemShowKiroku x=10 y=10 target=after\nFirst page[np]\n"
       "@exit rescode=passed\n:after\n@exit rescode=record\n",
       "key X\nkey Left\nkey X\n");
  EXPECT_EQ(RunStart(), "record");
  EXPECT_FALSE(isRecordButtonShown());
}

TEST_F(RecordTest, Announce_JingleOnlyWhenAskedFor) {
  Open(":start\n@itemGetShow 2 se=1\n@itemGetShow 2\n@exit rescode=done\n",
       "click 400 400\nclick 400 400\n");
  EXPECT_EQ(RunStart(), "done");
  EXPECT_EQ(Count("se sys/se/ジングル.wav"), 1);
  EXPECT_EQ(Count("se sys/se/アイテム取得.wav"), 1);
  EXPECT_EQ(gItems.entries[2].owned, 1);
  EXPECT_FALSE(isSpriteValid(kItemPictureSlot));  // the panel is gone
}

}  // namespace

namespace {

struct Kurae {
  int item;
  std::string voice;
  bool right;
};
std::vector<Kurae> gKuraes;
void RecordKurae(int item, const char* voice, bool right) { gKuraes.push_back({item, voice, right}); }

TEST_F(RecordTest, Select_KuraeFollowsOnlyTheRightItem) {
  gKuraes.clear();
  gItemKuraeHook = RecordKurae;
  Open(":start\n@itemSelect item=4 success=ok miss=next kurae\n"
       ":next\n@itemSelect item=4 success=ok miss=no kurae right voice=ann\n@exit rescode=none\n"
       ":ok\n@exit rescode=found\n:no\n@exit rescode=wrong\n",
       "key Left\nkey Z\nkey Right\nkey Z\n");
  EXPECT_EQ(RunStart(), "found");
  gItemKuraeHook = nullptr;
  ASSERT_EQ(gKuraes.size(), 1u);  // the miss (7) shouts nothing
  EXPECT_EQ(gKuraes[0].item, 4);
  EXPECT_EQ(gKuraes[0].voice, "ann");
  EXPECT_TRUE(gKuraes[0].right);
}

}  // namespace

namespace {

TEST_F(RecordTest, RecordButton_WithoutLabelContinuesOnTheNextLine) {
  Open(":start\n@itemShowKiroku x=10 y=10\nFirst page[np]\n@exit rescode=passed\n"
       ":tojiru\n@exit rescode=jumped\n",
       "key X\nkey X\n");
  EXPECT_EQ(RunStart(), "passed");
}

}  // namespace

namespace {

TEST(PanelSlide, ComesFromTheRightAndLeavesToTheLeftOverOneTenthOfASecond) {
  const struct {
    std::uint32_t ms;
    bool in;
    int pictureX, layerOffset;
  } steps[] = {{0, true, 808, 800},   {50, true, 408, 400},   {100, true, 8, 0},
               {500, true, 8, 0},     {0, false, 8, 0},       {50, false, -392, -400},
               {100, false, -792, -800}, {33, true, 544, 536}, {33, false, -256, -264}};
  for (const auto& step : steps) {
    const PanelPlace place = panelPlaceAt(step.ms, step.in);
    EXPECT_EQ(place.pictureX, step.pictureX) << step.ms << (step.in ? " in" : " out");
    EXPECT_EQ(place.layerOffset, step.layerOffset) << step.ms << (step.in ? " in" : " out");
  }
}

}  // namespace
