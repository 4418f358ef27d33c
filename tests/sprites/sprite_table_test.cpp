// The sprite table against the real headless runtime: style words, placement with alignment
// and parents, scaling and rotation, building into occupied slots, hiding, destroying, and
// the messages that name a bad slot by its sprite number.
#include "present/timers.h"
#include "sprites_fixture.h"

namespace {

using Sprites = SpritesTest;

// The host sprite of a slot's sub-sprite, null when it has none.
LbSprite HostOf(int slot, int sub = 0) {
  const SpriteSlot& s = gSprites[slot];
  if (!s.subs || sub >= static_cast<int>(s.subs->size())) return nullptr;
  return hostSprite((*s.subs)[sub].sprite);
}

TEST_F(Sprites, Style_WordsSetTheirBitAndTheLaterWordOfAPairWins) {
  Start();
  EXPECT_EQ(parseDisplayStyle(0, "left top"), 0x9u);
  EXPECT_EQ(parseDisplayStyle(0, "backnormal wipenofade wipehide"), 0x1000u + 0x8000u + 0x10000u);
  EXPECT_EQ(parseDisplayStyle(0, "right left"), 0x1u);
  EXPECT_EQ(parseDisplayStyle(0x9, ""), 0x9u);
  EXPECT_EQ(parseDisplayStyle(0x9, nullptr), 0x9u);
  EXPECT_EQ(parseDisplayStyle(0, "RIGHT Bottom"), kStyleRight | kStyleBottom);
  // Tabs and the full-width space separate words; a line end ends the text.
  EXPECT_EQ(parseDisplayStyle(0, (std::string("center\tmiddle") + sjis("　") + "rotatez").c_str()),
            kStyleCenter | kStyleMiddle | kStyleRotateZ);
  EXPECT_EQ(parseDisplayStyle(0, "hide\r\nshow"), kStyleHide);
  // A word clears only what it excludes.
  EXPECT_EQ(parseDisplayStyle(kStyleLeft | kStyleCache, "top nocache"),
            kStyleLeft | kStyleTop | kStyleNoCache);
}

TEST_F(Sprites, Style_UnknownWordEndsTheGameNamingIt) {
  Start();
  EXPECT_THROW(parseDisplayStyle(0, "left upper"), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("表示スタイル \"upper\" を認識できません。")));
  // A word is compared whole, not by its start.
  EXPECT_THROW(parseDisplayStyle(0, "lefty"), DExceptGame);
  EXPECT_EQ(messages.size(), 2u);
}

TEST_F(Sprites, Classes_StartWithTheirDefaultStateBits) {
  Start();
  EXPECT_EQ(gClassStyle[0], 0u);
  EXPECT_EQ(gClassStyle[2], kStyleBackHide);
  setClassStyle(1, "wipefade");
  buildSprite(userSlot(0), 1, -1, Parts({Part("img/red20")}), 0, 0, 0, 0, 0, "none");
  EXPECT_EQ(gSprites[userSlot(0)].style & kStyleStateBits, kStyleWipeFade);
  EXPECT_EQ(gSprites[userSlot(0)].level, 16);
  EXPECT_THROW(setClassStyle(4, "backhide"), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("スプライトクラス(4)の指定が異常です")));
}

TEST_F(Sprites, Position_AlignmentPlacesTheBoxAroundTheAnchor) {
  Start();
  Build(userSlot(0), {Part("img/green")}, 100, 50, "right bottom");
  const SpriteSlot& s = gSprites[userSlot(0)];
  EXPECT_EQ(s.absX, 100 + 1 - 30);
  EXPECT_EQ(s.absY, 50 + 1 - 10);
  setSpritePos(userSlot(0), 100, 50, kStyleCenter | kStyleMiddle);
  EXPECT_EQ(s.absX, 100 - 15);
  EXPECT_EQ(s.absY, 50 - 5);
  EXPECT_EQ(s.reqX, 100);
  int x = 0, y = 0;
  ASSERT_NE(gHost.lbtsGetSpritePos(HostOf(userSlot(0)), &x, &y), 0);
  EXPECT_EQ(x, 85);
  EXPECT_EQ(y, 45);
  // The script form starts from left-top.
  setSpritePosChecked(userSlot(0), 7, 8, "");
  EXPECT_EQ(s.absX, 7);
  EXPECT_EQ(s.absY, 8);
}

TEST_F(Sprites, Position_ChildOfRightAlignedParentStartsAtItsLastColumn) {
  Start();
  Build(userSlot(0), {Part("img/green")}, 600, 100, "right bottom");
  Build(userSlot(1), {Part("img/blue10")}, 0, 0, "");
  connectSprite(userSlot(1), userSlot(0));
  const SpriteSlot& parent = gSprites[userSlot(0)];
  const SpriteSlot& child = gSprites[userSlot(1)];
  EXPECT_EQ(child.absX, parent.absX + parent.width - 1);
  EXPECT_EQ(child.absY, parent.absY + parent.height - 1);
  // Moving the parent moves the child, down a chain of parents.
  Build(userSlot(2), {Part("img/blue10")}, 5, 5, "");
  connectSprite(userSlot(2), userSlot(1));
  setSpritePos(userSlot(0), 400, 300, kStyleLeft | kStyleTop);
  EXPECT_EQ(child.absX, 400);
  EXPECT_EQ(gSprites[userSlot(2)].absX, 405);
  // A destroyed parent leaves its child where its own request puts it.
  destroySpriteChecked(userSlot(0));
  EXPECT_EQ(child.parent, kNoSlot);
  EXPECT_EQ(child.absX, 0);
  EXPECT_EQ(gSprites[userSlot(2)].absX, 5);
}

TEST_F(Sprites, Position_ParentLoopIsRefused) {
  Start();
  Build(userSlot(0), {Part("img/blue10")}, 0, 0, "");
  Build(userSlot(1), {Part("img/blue10")}, 0, 0, "");
  connectSprite(userSlot(1), userSlot(0));
  EXPECT_THROW(connectSprite(userSlot(0), userSlot(1)), DExceptGame);
  EXPECT_THROW(connectSprite(userSlot(0), userSlot(0)), DExceptGame);
  EXPECT_EQ(gSprites[userSlot(0)].parent, kNoSlot);
  connectSprite(userSlot(1), -1);
  EXPECT_EQ(gSprites[userSlot(1)].parent, kNoSlot);
}

TEST_F(Sprites, Size_ScalingRoundsTiesToEvenAndNaturalSizeRestoresOffsets) {
  Start();
  // 20x20 with a 10x10 part at (5, 7): the box is 20x20.
  Build(userSlot(0), {Part("img/red20"), Part("img/blue10", 5, 7)}, 0, 0, "");
  const SpriteSlot& s = gSprites[userSlot(0)];
  EXPECT_EQ(s.naturalWidth, 20);
  EXPECT_EQ(s.naturalHeight, 20);
  setSpriteSize(userSlot(0), 10, 10);
  const SubSprite& part = (*s.subs)[1];
  EXPECT_EQ(part.x, 2);  // 2.5 rounds to even
  EXPECT_EQ(part.y, 4);  // 3.5 rounds to even
  EXPECT_EQ(part.width, 5);
  EXPECT_EQ(s.width, 10);
  int w = 0, h = 0;
  gHost.lbtsGetSpriteSize(HostOf(userSlot(0), 1), &w, &h);
  EXPECT_EQ(w, 5);
  setSpriteSize(userSlot(0), 37, 23);
  setSpriteSize(userSlot(0), 20, 20);
  EXPECT_EQ(part.x, 5);
  EXPECT_EQ(part.y, 7);
  EXPECT_EQ(part.width, 10);
  int x = 0, y = 0;
  gHost.lbtsGetSpritePos(HostOf(userSlot(0), 1), &x, &y);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 7);
  getSpriteSize(userSlot(0), w, h);
  EXPECT_EQ(w, 20);
}

TEST_F(Sprites, Size_BuildScalesToTheDisplaySizeAndKeepsAlignment) {
  Start();
  Build(userSlot(0), {Part("img/green")}, 799, 0, "right top", 60, 0);
  const SpriteSlot& s = gSprites[userSlot(0)];
  EXPECT_EQ(s.width, 60);
  EXPECT_EQ(s.height, 10);  // 0 keeps the natural height
  EXPECT_EQ(s.absX, 740);
}

TEST_F(Sprites, Pivot_AngleIsKeptBetweenZeroAnd360) {
  Start();
  Build(userSlot(0), {Part("img/red20")}, 0, 0, "");
  setSpritePivot(userSlot(0), 0.5f, 0.5f, -30.0f, "rotatez");
  EXPECT_EQ(gSprites[userSlot(0)].angle, 330.0f);
  EXPECT_EQ(gSprites[userSlot(0)].style & kStyleRotateBits, kStyleRotateZ);
  setSpritePivot(userSlot(0), 0.5f, 0.5f, 720.0f, "");
  EXPECT_EQ(gSprites[userSlot(0)].angle, 0.0f);
  EXPECT_EQ(gSprites[userSlot(0)].style & kStyleRotateBits, 0u);
  setSpritePivot(userSlot(0), 0.5f, 0.5f, 1e30f, "rotatez");  // never a hang
  EXPECT_GE(gSprites[userSlot(0)].angle, 0.0f);
  EXPECT_LT(gSprites[userSlot(0)].angle, 360.0f);
}

TEST_F(Sprites, Level_HostLevelIsTwiceTheSpriteLevel) {
  Start();
  Build(userSlot(0), {Part("img/red20"), Part("img/blue10", 3, 3)}, 0, 0, "");
  EXPECT_EQ(gHost.lbtsGetSpriteLevel(HostOf(userSlot(0))), 32);
  setSpriteLevel(userSlot(0), 5);
  EXPECT_EQ(gHost.lbtsGetSpriteLevel(HostOf(userSlot(0), 1)), 10);
  EXPECT_EQ(getSpriteLevel(userSlot(0)), 5);
  setDefaultSpriteLevel(300);
  EXPECT_EQ(gDefaultSpriteLevel, 126);
  setDefaultSpriteLevel(-4);
  EXPECT_EQ(gDefaultSpriteLevel, 0);
}

TEST_F(Sprites, Build_ReplacesTheSpriteInTheTargetAndFreesTheConstructionSlot) {
  Start();
  Build(userSlot(4), {Part("img/red20")}, 10, 10, "");
  LbSprite old = HostOf(userSlot(4));
  ASSERT_NE(old, nullptr);
  Build(userSlot(4), {Part("img/blue10")}, 30, 30, "");
  EXPECT_EQ(gSprites[kConstructionSlot].flags, 0u);
  const SpriteSlot& s = gSprites[userSlot(4)];
  EXPECT_EQ(s.flags, kSlotValid | kSlotRealized);
  EXPECT_EQ(s.width, 10);
  EXPECT_EQ(s.subs.useCount(), 1);  // slot 0 let go of the shared array
  EXPECT_TRUE(isSpriteShown(userSlot(4)));
  int x = 0, y = 0;
  gHost.lbtsGetSpritePos(HostOf(userSlot(4)), &x, &y);
  EXPECT_EQ(x, 30);
}

TEST_F(Sprites, Build_WithHideLeavesItHiddenAndTheOldOneGone) {
  Start();
  Build(userSlot(4), {Part("img/red20")}, 10, 10, "");
  Build(userSlot(4), {Part("img/blue10")}, 30, 30, "hide");
  EXPECT_TRUE(isSpriteValid(userSlot(4)));
  EXPECT_FALSE(isSpriteShown(userSlot(4)));
  EXPECT_EQ(HostOf(userSlot(4)), nullptr);
  EXPECT_EQ(gSprites[userSlot(4)].width, 10);
  showSpriteChecked(userSlot(4), kNoSlot, "none");
  EXPECT_TRUE(isSpriteShown(userSlot(4)));
  EXPECT_NE(HostOf(userSlot(4)), nullptr);
}

TEST_F(Sprites, Build_ColourSpriteFillsItsImage) {
  Start();
  buildColourSprite(kBackgroundSlot, 3, 8, 8, "#ff000080", 0, 0, 800, 600, 0, 0, "", "none");
  const SpriteSlot& s = gSprites[kBackgroundSlot];
  EXPECT_EQ(s.width, 800);
  EXPECT_EQ(s.spriteClass, 3);
  EXPECT_STREQ((*s.subs)[0].image->name, "<#ff000080>");
  EXPECT_TRUE(isSpriteShown(kBackgroundSlot));
}

TEST_F(Sprites, Hide_FadedOutSlotOnlyLosesTheFlag) {
  Start();
  Build(userSlot(0), {Part("img/red20")}, 0, 0, "");
  realizeSprite(userSlot(0), false);
  gSprites[userSlot(0)].flags |= kSlotFadedOut;
  hideSpriteChecked(userSlot(0), "fade");  // no transition runs: no render, no wait
  EXPECT_EQ(gSprites[userSlot(0)].flags, kSlotValid);
}

TEST_F(Sprites, Realize_ClearsWipeHideEitherWay) {
  Start();
  Build(userSlot(0), {Part("img/red20")}, 0, 0, "hide");
  setSpriteStateStyle(userSlot(0), "wipehide backhide");
  EXPECT_EQ(gSprites[userSlot(0)].style & kStyleStateBits, kStyleWipeHide | kStyleBackHide);
  realizeSprite(userSlot(0), false);  // nothing to release, still a change of state
  EXPECT_EQ(gSprites[userSlot(0)].style & kStyleStateBits, kStyleBackHide);
  setSpriteStateStyle(userSlot(0), "backnormal");
  EXPECT_EQ(gSprites[userSlot(0)].style & kStyleStateBits, 0u);
}

TEST_F(Sprites, Destroy_UserSpritesGoAndSystemSlotsStay) {
  Start();
  Build(userSlot(0), {Part("img/red20")}, 0, 0, "");
  Build(userSlot(99), {Part("img/red20")}, 0, 0, "hide");
  Build(5, {Part("img/red20")}, 0, 0, "");
  destroyUserSprites();
  EXPECT_FALSE(isSpriteValid(userSlot(0)));
  EXPECT_FALSE(isSpriteValid(userSlot(99)));
  EXPECT_TRUE(isSpriteShown(5));
  resetSprites();
  EXPECT_FALSE(isSpriteValid(5));
}

TEST_F(Sprites, Messages_NameTheSpriteNumber) {
  Start();
  EXPECT_THROW(requireSprite(userSlot(3)), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("スプライト 3 は有効ではありません。")));
  int system = 1;  // a free system slot prints a negative number
  while (system < kUserSlotBase && isSpriteValid(system)) ++system;
  ASSERT_LT(system, kUserSlotBase);
  EXPECT_THROW(setSpriteSize(system, 1, 1), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("スプライト " + std::to_string(system - 20) +
                                           " は有効ではありません。")));
  EXPECT_THROW(isSpriteShown(120), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("スプライト 100 は有効ではありません。")));
  EXPECT_FALSE(isSpriteShown(userSlot(3)));  // in range but free: no message
  EXPECT_THROW(buildSprite(kConstructionSlot, 0, -1, Parts({}), 0, 0, 0, 0, 0, "none"),
               DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("スプライト -20 は有効ではありません。")));
  buildSprite(userSlot(7), 0, -1, Parts({}), 0, 0, 0, 0, kStyleHide, "none");
  EXPECT_THROW(getSpriteImage(userSlot(7)), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("スプライト 7 はサブスプライトがありません。")));
  EXPECT_EQ(messages.size(), 5u);
  // Unchecked operations pass over a free slot without a word.
  hideSprite(userSlot(50), "none");
  destroySprite(userSlot(50));
  setSpritePos(userSlot(50), 1, 1, 0);
  EXPECT_EQ(messages.size(), 5u);
}

TEST_F(Sprites, Hide_CancelsTheAnimationTimer) {
  Start();
  Build(userSlot(0), {Part("img/red20")}, 0, 0, "");
  gSprites[userSlot(0)].animTimer = 200;
  EXPECT_THROW(hideSpriteChecked(userSlot(0), "none"), DExceptGame);
  EXPECT_EQ(LastMessage(), sjis("タイマーイベントIDが不正(200)"));
  // The bad id is gone with the report, so the shutdown that follows meets it no more.
  EXPECT_EQ(gSprites[userSlot(0)].animTimer, -1);
}

}  // namespace
