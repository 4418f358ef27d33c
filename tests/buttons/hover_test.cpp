// Following the pointer over buttons: which button is under it, how it lights, and when
// the screen is drawn again.
#include "buttons_fixture.h"
#include "runtime.h"

namespace {

TEST_F(ButtonsTest, Hover_FirstRegisteredWinsWhereButtonsOverlap) {
  Start();
  Plate(41, 100, 100, "sys/title_exit");
  Plate(40, 100, 130);  // overlaps rows 130..155 of slot 41, and is created later
  // Registered against slot and creation order, so only registration order can decide.
  registerButton(41, "upper", nullptr);
  registerButton(40, "lower", nullptr);
  Pointer(150, 140);
  ASSERT_TRUE(beginSelection());
  ASSERT_NE(currentButtonLabel(), nullptr);
  EXPECT_STREQ(currentButtonLabel(), "upper");
  EXPECT_EQ(CurrentSet(41), 1);
  EXPECT_EQ(CurrentSet(40), 0);
  // Below the first button's bottom only the second is hit.
  Pointer(150, 170);
  updatePointerSelection();
  EXPECT_STREQ(currentButtonLabel(), "lower");
  EXPECT_EQ(CurrentSet(41), 0);
  EXPECT_EQ(CurrentSet(40), 1);
  endSelection();
}

TEST_F(ButtonsTest, Hover_RightAndBottomEdgesAreOutside) {
  Start();
  Plate(40, 100, 200);  // covers x 100..399, y 200..255
  registerButton(40, "plate", nullptr);
  ASSERT_EQ(gSprites[40].width, 300);
  ASSERT_EQ(gSprites[40].height, 56);
  ASSERT_TRUE(beginSelection());
  struct Case { int x, y; bool inside; } cases[] = {
      {100, 200, true}, {399, 255, true}, {400, 200, false}, {100, 256, false},
      {99, 230, false}, {250, 199, false}, {400, 256, false},
  };
  for (const Case& c : cases) {
    Pointer(c.x, c.y);
    updatePointerSelection();
    EXPECT_EQ(currentButtonLabel() != nullptr, c.inside) << c.x << "," << c.y;
    EXPECT_EQ(hasSelectionTarget(), c.inside) << c.x << "," << c.y;
  }
  endSelection();
}

TEST_F(ButtonsTest, Hover_RendersOnlyWhenALookChanges) {
  Start();
  Plate(40, 100, 200);
  registerButton(40, "plate", nullptr);
  Pointer(10, 10);
  ASSERT_TRUE(beginSelection());
  int before = renders;
  Pointer(150, 220);  // onto the button: it lights
  updatePointerSelection();
  EXPECT_EQ(renders, before + 1);
  EXPECT_EQ(CurrentSet(40), 1);
  Pointer(300, 250);  // still on it
  updatePointerSelection();
  Pointer(301, 251);
  updatePointerSelection();
  EXPECT_EQ(renders, before + 1);
  Pointer(500, 500);  // off: it goes dark
  updatePointerSelection();
  EXPECT_EQ(renders, before + 2);
  EXPECT_EQ(CurrentSet(40), 0);
  Pointer(600, 500);
  updatePointerSelection();
  EXPECT_EQ(renders, before + 2);
  endSelection();
}

TEST_F(ButtonsTest, Hover_LitButtonIsWhatTheScreenShows) {
  Start();
  Plate(40, 100, 200);
  registerButton(40, "plate", nullptr);
  Pointer(10, 10);
  ASSERT_TRUE(beginSelection());
  auto frame = [] {
    LbImage image = gHost.lbtsCreateImage(800, 600);
    EXPECT_NE(gHost.lbtsGetRenderImage(image), 0);
    std::vector<std::uint32_t> pixels = image->pixels;
    gHost.lbtsDestroyImage(image);
    return pixels;
  };
  gHost.lbtsRenderScreen();
  auto dark = frame();
  Pointer(150, 220);
  updatePointerSelection();
  auto lit = frame();
  EXPECT_NE(lit, dark);
  endSelection();  // every button shows its resting look again
  gHost.lbtsRenderScreen();
  EXPECT_EQ(frame(), dark);
}

TEST_F(ButtonsTest, Hover_HiddenButtonIsNeverHit) {
  Start();
  Plate(40, 100, 200);
  Plate(41, 100, 200, "sys/title_exit");
  registerButton(40, "hidden", nullptr);
  registerButton(41, "shown", nullptr);
  hideSprite(40, "none");
  Pointer(150, 220);
  ASSERT_TRUE(beginSelection());
  EXPECT_STREQ(currentButtonLabel(), "shown");
  endSelection();
}

TEST_F(ButtonsTest, Begin_TwiceInARowSecondChangesNothing) {
  Start();
  Plate(40, 100, 200);
  registerButton(40, "plate", nullptr);
  Pointer(150, 220);
  ASSERT_TRUE(beginSelection());
  Pointer(500, 500);  // not followed until asked
  EXPECT_FALSE(beginSelection());
  EXPECT_STREQ(currentButtonLabel(), "plate");
  EXPECT_TRUE(isSelectionActive());
  endSelection();
  EXPECT_FALSE(isSelectionActive());
  EXPECT_EQ(currentButtonLabel(), nullptr);
  EXPECT_EQ(CurrentSet(40), 0);
}

TEST_F(ButtonsTest, Begin_NothingToPickReportsFalseButStaysActive) {
  Start();
  Plate(40, 100, 200);
  registerButton(40, "plate", nullptr);
  hideSprite(40, "none");
  EXPECT_FALSE(anyTargetShown());
  EXPECT_FALSE(beginSelection());
  EXPECT_TRUE(isSelectionActive());
  endSelection();
  showSprite(40, kNoSlot, "none");
  EXPECT_TRUE(anyTargetShown());
}

TEST_F(ButtonsTest, Hover_NotFollowedWhileInactive) {
  Start();
  Plate(40, 100, 200);
  registerButton(40, "plate", nullptr);
  Pointer(150, 220);
  int before = renders;
  updatePointerSelection();
  EXPECT_EQ(currentButtonLabel(), nullptr);
  EXPECT_EQ(CurrentSet(40), 0);
  EXPECT_EQ(renders, before);
}

}  // namespace
