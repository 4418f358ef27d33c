// The wipe table and the transition engine: immediate changes, cross-fades, mask wipes over a
// captured screen, companions, post-waits, and the scene fade-out and fade-in around them.
#include "engine_fixture.h"

namespace {

class Transitions : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    Start();
  }
};

bool HasMask(const WipeHandle& wipe) { return static_cast<bool>(wipe->mask); }

}  // namespace

// ---- The wipe table ----------------------------------------------------------------------

TEST_F(Transitions, StandardWipesAreRegisteredAndFoundWithoutCase) {
  const WipeHandle wipe = findWipe("Wipe");
  EXPECT_STREQ(wipe->name, "wipe");
  EXPECT_TRUE(HasMask(wipe));
  EXPECT_EQ(wipe->duration, 500u);
  EXPECT_EQ(findWipe("LOGOFADE")->duration, 1000u);
  EXPECT_FALSE(HasMask(findWipe("logofade")));
  EXPECT_FALSE(HasMask(findWipe("fade")));
  EXPECT_TRUE(HasMask(findWipe("bg")));
  EXPECT_EQ(findWipe("slowwipe")->duration, 1000u);
  EXPECT_EQ(findWipe("slowwipe")->postWait, 0u);
}

TEST_F(Transitions, RegisteringANameTwiceEndsTheGame) {
  const std::vector<std::string> boxes = Ends([] { registerWipe("FADE", "", 100, 0); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("すでにFADEというワイプは存在します。"), std::string::npos) << boxes[0];
}

TEST_F(Transitions, AnUnknownWipeEndsTheGame) {
  Box(20, 0, "red", 0, 0, 50, 50, 10, "hide");
  const std::vector<std::string> boxes = Ends([] { showSprite(20, kNoSlot, "sideways"); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("\"sideways\"というワイプは存在しません。"), std::string::npos)
      << boxes[0];
}

TEST_F(Transitions, AMaskThatCannotBeLoadedEndsTheGame) {
  const std::vector<std::string> boxes = Ends([] { registerWipe("odd", "sys/no_mask", 100, 0); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("ワイプ \"sys/no_mask\" が読み込めません。"), std::string::npos)
      << boxes[0];
}

TEST_F(Transitions, NegativeTimesAreStoredAsZero) {
  registerWipe("snap", "", -5, -7);
  EXPECT_EQ(findWipe("snap")->duration, 0u);
  EXPECT_EQ(findWipe("snap")->postWait, 0u);
}

// ---- Immediate changes -------------------------------------------------------------------

TEST_F(Transitions, NoneInAnyCaseAndAnEmptyNameChangeAtOnceWithoutDrawing) {
  Box(20, 0, "red", 0, 0, 50, 50, 10, "hide");
  Box(21, 0, "blue", 0, 0, 50, 50, 10, "hide");
  renders = 0;
  const std::uint32_t before = timeGetTime();
  showSprite(20, kNoSlot, "none");
  showSprite(21, 20, "NONE");
  EXPECT_FALSE(Realized(20));
  EXPECT_TRUE(Realized(21));
  hideSprite(21, "");
  EXPECT_FALSE(Realized(21));
  EXPECT_EQ(renders, 0);
  EXPECT_EQ(timeGetTime(), before);
}

TEST_F(Transitions, TheDefaultWipeNameStandsInForAnEmptyOne) {
  Box(20, 0, "red", 0, 0, 50, 50, 10, "hide");
  setDefaultWipeName("fade");
  const std::uint32_t before = timeGetTime();
  showSprite(20, kNoSlot, "");
  EXPECT_GE(timeGetTime() - before, 500u);
  EXPECT_TRUE(Realized(20));
}

// The wipehide bit is cleared whenever a slot is realized, so it is given to shown sprites.
TEST_F(Transitions, AnImmediateShowSendsWipehideSpritesAway) {
  Box(20, 0, "red", 0, 0, 50, 50, 10);
  setSpriteStateStyle(20, "wipehide");
  Box(21, 0, "blue", 100, 0, 50, 50, 10, "hide");
  showSprite(21, kNoSlot, "none");
  EXPECT_FALSE(Realized(20));
  EXPECT_TRUE(Realized(21));
}

TEST_F(Transitions, AnImmediateBackgroundSendsBackhideSpritesAway) {
  Box(20, 0, "red", 0, 0, 50, 50, 10, "backhide");
  Box(21, 0, "blue", 100, 0, 50, 50, 10);
  Box(4, 3, "green", 0, 0, 800, 600, 0, "hide");
  showSprite(4, kNoSlot, "none");
  EXPECT_FALSE(Realized(20));
  EXPECT_TRUE(Realized(21));
  EXPECT_TRUE(Realized(4));
}

// ---- Sweeps ------------------------------------------------------------------------------

TEST_F(Transitions, AFadeRunsItsDurationAndLeavesTheNewSpriteWholeAndTheOldOneGone) {
  Box(20, 0, "red", 100, 100, 200, 200, 10);
  Box(21, 0, "blue", 100, 100, 200, 200, 10, "hide");
  const std::uint32_t before = timeGetTime();
  showSprite(21, 20, "fade");
  const std::uint32_t took = timeGetTime() - before;
  EXPECT_GE(took, 500u);
  EXPECT_LT(took, 550u);
  EXPECT_FALSE(Realized(20));
  EXPECT_TRUE(Realized(21));
  for (const SubSprite& sub : *gSprites[21].subs)
    EXPECT_EQ(gHost.lbtsGetSpriteLevel(hostSprite(sub.sprite)), 20);  // even again
  renderScreen();
  const std::vector<std::uint32_t> frame = [] {
    LbImage image = gHost.lbtsCreateDynamicImage(800, 600);
    gHost.lbtsGetRenderImage(image);
    std::vector<std::uint32_t> pixels(image->pixels);
    gHost.lbtsDestroyImage(image);
    return pixels;
  }();
  EXPECT_EQ(At(frame, 200, 200), 0x0000FFu);  // the new sprite at full strength
}

TEST_F(Transitions, AZeroDurationWipeSkipsTheSweepButStillResetsTheSprites) {
  registerWipe("cut", "sys/wipe_bg", 0, 0);
  Box(20, 0, "red", 0, 0, 50, 50, 10, "hide");
  renders = 0;
  showSprite(20, kNoSlot, "cut");
  EXPECT_EQ(renders, 1);  // only the finishing frame
  for (const SubSprite& sub : *gSprites[20].subs)
    EXPECT_EQ(gHost.lbtsGetSpriteLevel(hostSprite(sub.sprite)), 20);
}

TEST_F(Transitions, ThePostWaitLetsTimePassAfterTheSweep) {
  registerWipe("linger", "", 100, 250);
  Box(20, 0, "red", 0, 0, 50, 50, 10, "hide");
  const std::uint32_t before = timeGetTime();
  showSprite(20, kNoSlot, "linger");
  EXPECT_GE(timeGetTime() - before, 350u);
  EXPECT_LT(timeGetTime() - before, 400u);
}

TEST_F(Transitions, WipehideCompanionsLeaveWithTheNextTransition) {
  Box(20, 0, "red", 0, 0, 50, 50, 10);
  setSpriteStateStyle(20, "wipehide");
  Box(21, 0, "blue", 100, 0, 50, 50, 10, "hide");
  showSprite(21, kNoSlot, "fade");
  EXPECT_FALSE(Realized(20));
  EXPECT_TRUE(Realized(21));
  // The bit acts once: the sprite shown stays for the next change.
  Box(22, 0, "green", 200, 0, 50, 50, 10, "hide");
  showSprite(22, kNoSlot, "fade");
  EXPECT_TRUE(Realized(21));
}

TEST_F(Transitions, HidingABackgroundKeepsTheCaptureForTheWholeWipe) {
  Box(4, 3, "green", 0, 0, 800, 600, 0);
  const std::uint32_t before = timeGetTime();
  hideSprite(4, "fade");
  EXPECT_GE(timeGetTime() - before, 500u);
  EXPECT_FALSE(Realized(4));
}

// ---- Scene fades -------------------------------------------------------------------------

TEST_F(Transitions, SceneFadeOutTakesWipefadeSpritesOffScreenUntilTheFadeIn) {
  Box(20, 0, "red", 0, 0, 50, 50, 10, "wipefade");
  Box(21, 0, "blue", 100, 0, 50, 50, 10);
  Box(22, 0, "green", 200, 0, 50, 50, 10, "wipefade");
  setSpriteStateStyle(22, "wipehide");
  const std::uint32_t before = timeGetTime();
  sceneFadeOut();
  EXPECT_GE(timeGetTime() - before, 300u);
  EXPECT_TRUE(isSceneFaded());
  EXPECT_FALSE(Realized(20));
  EXPECT_TRUE(FadedOut(20));
  EXPECT_TRUE(Realized(21));
  EXPECT_FALSE(Realized(22));  // left for good
  EXPECT_FALSE(FadedOut(22));
  sceneFadeIn();
  EXPECT_FALSE(isSceneFaded());
  EXPECT_TRUE(Realized(20));
  EXPECT_FALSE(FadedOut(20));
  EXPECT_FALSE(Realized(22));
}

TEST_F(Transitions, SceneFadeWithDurationZeroDoesNothingAndNeitherDoesTheFadeIn) {
  setSceneFadeDuration(0);
  Box(20, 0, "red", 0, 0, 50, 50, 10, "wipefade");
  renders = 0;
  sceneFadeOut();
  EXPECT_FALSE(isSceneFaded());
  EXPECT_TRUE(Realized(20));
  sceneFadeIn();
  EXPECT_TRUE(Realized(20));
  EXPECT_EQ(renders, 0);
}

TEST_F(Transitions, SceneFadeInWithoutAFadeOutDoesNothing) {
  Box(20, 0, "red", 0, 0, 50, 50, 10, "wipefade");
  const std::uint32_t before = timeGetTime();
  sceneFadeIn();
  EXPECT_EQ(timeGetTime(), before);
  EXPECT_TRUE(Realized(20));
}

TEST_F(Transitions, ATransitionFadesTheSceneOutFirst) {
  Box(20, 0, "red", 0, 0, 50, 50, 10, "wipefade");
  Box(21, 0, "blue", 100, 0, 50, 50, 10, "hide");
  const std::uint32_t before = timeGetTime();
  showSprite(21, kNoSlot, "fade");
  EXPECT_GE(timeGetTime() - before, 800u);
  EXPECT_TRUE(FadedOut(20));
  EXPECT_TRUE(Realized(21));
}

TEST_F(Transitions, HidingASpriteTheFadeOutTookAwayEndsAtOnce) {
  Box(20, 0, "red", 0, 0, 50, 50, 10, "wipefade");
  sceneFadeOut();
  ASSERT_TRUE(FadedOut(20));
  const std::uint32_t before = timeGetTime();
  hideSprite(20, "fade");
  EXPECT_EQ(timeGetTime(), before);
  EXPECT_FALSE(FadedOut(20));
  EXPECT_FALSE(Realized(20));
}

TEST_F(Transitions, ASpriteReplacedAfterTheFadeOutTookItStaysGoneAfterTheFadeIn) {
  Box(20, 0, "red", 0, 0, 50, 50, 10, "wipefade");
  Box(21, 0, "blue", 100, 0, 50, 50, 10, "hide");
  showSprite(21, 20, "fade");
  EXPECT_FALSE(FadedOut(20));
  sceneFadeIn();
  EXPECT_FALSE(Realized(20));
  EXPECT_TRUE(Realized(21));
}
