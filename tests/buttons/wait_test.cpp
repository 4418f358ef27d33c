// Picks made through the real click wait: the player's scripted clicks and keys reach the
// runtime's queues, the click-or-key predicate feeds them to the selection, and the handler
// receives the label of what was picked.
#include <algorithm>

#include "buttons_fixture.h"
#include <windows.h>

#include "support/support.h"

namespace {

// Two plates: "begin" at x 100..399, y 200..255 (slot 40) and "exit" at x 100..399,
// y 400..455 (slot 41).
class ButtonWait : public ButtonsTest {
 protected:
  void Plates() {
    Plate(40, 100, 200);
    Plate(41, 100, 400, "sys/title_exit");
    registerButton(40, "begin", {44});
    registerButton(41, "exit", {44});
    setSelectionHandler(Record);
    Pointer(10, 10);
  }

  bool Heard(const std::string& action) {
    std::vector<std::string> lines = Transcript();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.find(" input " + action) != std::string::npos;
    });
  }
};

TEST_F(ButtonWait, Wait_ScriptedClickOnAButtonReachesTheHandler) {
  Start("click 300 420\n");
  Plates();
  waitForSelection(-1, 0, 0, true, 0);
  EXPECT_EQ(events, (Events{{kSelectionButton, "exit"}}));
  EXPECT_TRUE(Heard("click 300 420"));
  EXPECT_FALSE(isSelectionActive());
  EXPECT_EQ(CurrentSet(41), 0);  // dark again once the wait is over
}

TEST_F(ButtonWait, Wait_PointerMovesDrawOnlyWhenALookChanges) {
  // Beside the buttons, onto "begin", across it, off it, then a click on "exit": the wait's
  // first frame, "begin" lighting, "begin" going dark and "exit" lighting are drawn; the
  // moves that change no look draw nothing.
  Start("move 700 50\nmove 150 220\nmove 300 240\nmove 350 250\nmove 650 580\n"
        "click 200 430\n");
  Plates();
  int before = renders;
  waitForSelection(-1, 0, 0, true, 0);
  EXPECT_EQ(events, (Events{{kSelectionButton, "exit"}}));
  EXPECT_EQ(renders - before, 4);
  EXPECT_TRUE(Heard("move 350 250"));
}

TEST_F(ButtonWait, Wait_ClicksBesideTheButtonsDrawNothing) {
  Start("click 700 50\nclick 650 580\nclick 150 220\n");
  Plates();
  int before = renders;
  waitForSelection(-1, 0, 0, true, 0);
  EXPECT_EQ(events, (Events{{kSelectionButton, "begin"}}));
  EXPECT_EQ(renders - before, 2);
}

TEST_F(ButtonWait, Wait_LeftClickKeyPicksItsButtonWherever) {
  Start("click 700 50\n");
  Plates();
  Plate(42, 500, 500, "sys/title_load");
  registerButton(42, "next", {kKeyLeftClick});
  waitForSelection(-1, 0, 0, true, 0);
  EXPECT_EQ(events, (Events{{kSelectionButton, "next"}}));
}

TEST_F(ButtonWait, Wait_ClickBesideEveryButtonKeepsWaiting) {
  // With no button under the click and none bound to the left click, the wait goes on until
  // the player leaves (the used-up script closes the window, which ends the game).
  Start("click 700 50\n");
  Plates();
  EXPECT_THROW(waitForSelection(-1, 0, 0, true, 0), DExceptGame);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(messages.empty());  // a closed window ends the game without a message
}

TEST_F(ButtonWait, Wait_ShortcutKeyGoesToTheSecondButtonWhenTheFirstRefuses) {
  Start("key Z\n");
  Plates();
  refuse = {"begin"};
  waitForSelection(-1, 0, 0, true, 0);
  EXPECT_EQ(events, (Events{{kSelectionButton, "begin"}, {kSelectionButton, "exit"}}));
}

TEST_F(ButtonWait, Wait_RightClickIsACancel) {
  Start("rclick 600 100\n");
  Plates();
  acceptCancel = true;
  waitForSelection(-1, 0, 0, true, 0);
  EXPECT_EQ(events, (Events{{kSelectionCancel, "rclick"}}));
}

TEST_F(ButtonWait, Wait_ReturnKeyDecidesTheButtonUnderThePointer) {
  Start("key Return\n");
  Plates();
  Pointer(200, 430);  // over "exit", whose keys do not include Return
  waitForSelection(-1, 0, 0, true, 0);
  EXPECT_EQ(events, (Events{{kSelectionButton, "exit"}}));
}

TEST_F(ButtonWait, Wait_ButtonModeWithNothingToPickDoesNotWait) {
  Start();
  std::uint32_t start = timeGetTime();
  waitForSelection(-1, 0, 0, true, 0);
  EXPECT_LT(timeGetTime() - start, 100u);
  EXPECT_FALSE(isSelectionActive());
}

TEST_F(ButtonWait, Wait_PlainModeShowsTheCursorUntilTheTimeOut) {
  Start("wait 5000\n");  // the player stays away past the time-out
  ASSERT_TRUE(isSpriteValid(kPageCursorSlot));
  std::uint32_t start = timeGetTime();
  waitForSelection(kPageCursorSlot, 120, 300, false, 500);
  std::uint32_t waited = timeGetTime() - start;
  EXPECT_GE(waited, 500u);
  EXPECT_LT(waited, 600u);
  // Placed by its left edge and middle, and hidden again.
  EXPECT_EQ(gSprites[kPageCursorSlot].absX, 120);
  EXPECT_EQ(gSprites[kPageCursorSlot].absY, 300 - gSprites[kPageCursorSlot].height / 2);
  EXPECT_FALSE(isSpriteShown(kPageCursorSlot));
}

TEST_F(ButtonWait, Wait_PlainModeEndsOnAClickAnywhere) {
  Start("click 700 50\n");
  Plates();
  waitForSelection(kPageCursorSlot, 120, 300, false, 0);
  EXPECT_TRUE(events.empty());  // a plain wait only waits; nothing is picked
  EXPECT_TRUE(Heard("click 700 50"));
}

}  // namespace
