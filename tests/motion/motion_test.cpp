// Motions against the real headless runtime: file reading, start values captured when an
// event first runs, interpolation and its rounding, end values, the four records, and what
// destroying a sprite or resetting the table does to a running motion.
#include <windows.h>

#include <fstream>

#include "present/frame.h"
#include "present/motion.h"
#include "present/timers.h"
#include "sprites/sprites_fixture.h"

namespace {

class MotionTest : public SpritesTest {
 protected:
  // Starts the engine with a 20x20 sprite as script sprite 5 (slot 25) at (10, 10).
  void StartWithSprite() {
    Start();
    Build(25, {Part("img/red20.png")}, 10, 10, "left top");
  }
  // Writes "<name>.mot" into the game folder.
  void MotionFile(const std::string& name, const std::string& text) {
    std::ofstream(dir / "game" / (name + ".mot")) << text;
  }
  static void Pass(std::uint32_t ms) { waitFor(nullptr, 0, ms); }
  static int RecordsInUse() {
    int used = 0;
    for (const MotionRecord& r : gMotions) used += r.eventCount != 0;
    return used;
  }
  static void ExpectPos(int slot, int x, int y) {
    EXPECT_EQ(gSprites[slot].reqX, x);
    EXPECT_EQ(gSprites[slot].reqY, y);
  }
  // Loads a motion that must be refused; the message must end with `tail` (UTF-8).
  void ExpectRefused(int base, const char* name, const std::string& tail) {
    EXPECT_THROW(loadMotion(base, name, false), DExceptGame);
    EXPECT_TRUE(EndsWith(LastMessage(), sjis(tail))) << LastMessage();
  }
};

TEST_F(MotionTest, Pos_SpanZeroMovesAtItsStartTimeInOneStep) {
  StartWithSprite();
  MotionFile("jump", "@pos 200 5 x=300 y=40\n");
  loadMotion(kUserSlotBase, "jump", false);
  EXPECT_EQ(RecordsInUse(), 1);
  Pass(150);
  ExpectPos(25, 10, 10);
  Pass(100);
  ExpectPos(25, 300, 40);
  EXPECT_EQ(RecordsInUse(), 0);
  EXPECT_EQ(gMotions[0].timerId, -1);
}

TEST_F(MotionTest, Pos_WaitReturnsAtTheEndWithTheEndValue) {
  StartWithSprite();
  MotionFile("slide", "@pos 0 5 x=110 y=-90 span=300\n");
  const std::uint32_t before = timeGetTime();
  loadMotion(kUserSlotBase, "slide", true);
  const std::uint32_t took = timeGetTime() - before;
  EXPECT_GE(took, 300u);
  EXPECT_LT(took, 450u);
  ExpectPos(25, 110, -90);
  EXPECT_EQ(RecordsInUse(), 0);
}

TEST_F(MotionTest, Pos_InterpolationRoundsHalvesToEven) {
  StartWithSprite();
  setSpritePos(25, 0, 0, gSprites[25].style);
  MotionFile("half", "@pos 0 5 x=5 y=7 span=10\n@pos 0 6 x=-5 y=-7 span=10\n");
  Build(26, {Part("img/blue10.png")}, 0, 0, "left top");
  loadMotion(kUserSlotBase, "half", false);
  // Step by hand at exactly half the span: 2.5, 3.5, -2.5 and -3.5 round to even.
  removeTimerEvent(gMotions[0].timerId);
  gMotions[0].timerId = -1;
  gMotions[0].startTime = timeGetTime() - 5;
  motionStep(0);
  ExpectPos(25, 2, 4);
  ExpectPos(26, -2, -4);
  EXPECT_EQ(RecordsInUse(), 1);
}

TEST_F(MotionTest, Pos_LaterEventStartsFromWhereTheEarlierOneLeftTheSprite) {
  StartWithSprite();
  // Written out of order: the later line runs first, and the second event captures its
  // start when it begins, not when the file was read.
  MotionFile("chain", "@pos 100 5 x=200 y=50 span=100\n@pos 0 5 x=100 y=50\n");
  loadMotion(kUserSlotBase, "chain", false);
  Pass(150);
  EXPECT_NEAR(gSprites[25].reqX, 150, 20);
  EXPECT_EQ(gSprites[25].reqY, 50);
  Pass(100);
  ExpectPos(25, 200, 50);
}

TEST_F(MotionTest, Pos_KeepsTheSpritesAlignment) {
  StartWithSprite();
  setSpritePos(25, 400, 300, parseDisplayStyle(0, "center middle"));
  MotionFile("centre", "@pos 0 5 x=100 y=100\n");
  loadMotion(kUserSlotBase, "centre", true);
  EXPECT_EQ(gSprites[25].absX, 90);
  EXPECT_EQ(gSprites[25].absY, 90);
}

TEST_F(MotionTest, Size_WithoutWidthAndHeightKeepsTheSizeReadWithTheFile) {
  StartWithSprite();
  MotionFile("grow", "@size 0 5 w=60 h=40\n@size 100 5 span=0\n@size 200 5 h=30\n");
  loadMotion(kUserSlotBase, "grow", false);
  Pass(50);
  EXPECT_EQ(gSprites[25].width, 60);
  EXPECT_EQ(gSprites[25].height, 40);
  Pass(100);
  EXPECT_EQ(gSprites[25].width, 20);
  EXPECT_EQ(gSprites[25].height, 20);
  Pass(100);
  EXPECT_EQ(gSprites[25].width, 20);
  EXPECT_EQ(gSprites[25].height, 30);
}

TEST_F(MotionTest, Rot_From350To370TurnsThrough360AndEndsAt370) {
  StartWithSprite();
  setSpritePivot(25, 0, 0, 350, "rotatez");
  MotionFile("turn", "@rot 0 5 pivx=0.5 pivy=0.25 deg=370 style=rotatex span=200\n");
  loadMotion(kUserSlotBase, "turn", false);
  Pass(150);
  EXPECT_GT(gSprites[25].angle, 360.0f);
  EXPECT_LT(gSprites[25].angle, 370.0f);
  Pass(100);
  EXPECT_FLOAT_EQ(gSprites[25].angle, 370.0f);
  EXPECT_FLOAT_EQ(gSprites[25].pivotX, 0.5f);
  EXPECT_FLOAT_EQ(gSprites[25].pivotY, 0.25f);
  EXPECT_EQ(gSprites[25].style & kStyleRotateBits, kStyleRotateX);
}

TEST_F(MotionTest, Rot_WithoutStyleTurnsNothing) {
  StartWithSprite();
  setSpritePivot(25, 0, 0, 0, "rotatez");
  MotionFile("flat", "@rot 0 5 deg=45\n");
  loadMotion(kUserSlotBase, "flat", true);
  EXPECT_FLOAT_EQ(gSprites[25].angle, 45.0f);
  EXPECT_EQ(gSprites[25].style & kStyleRotateBits, kStyleRotateNone);
}

TEST_F(MotionTest, File_EmptyLinesAndBareWordsStartNothingAndWaitReturnsAtOnce) {
  StartWithSprite();
  MotionFile("empty", "\n   \n@pos\n@size\n");
  const int timers = pendingTimerEvents();
  const std::uint32_t before = timeGetTime();
  loadMotion(kUserSlotBase, "empty", true);
  EXPECT_EQ(timeGetTime(), before);
  EXPECT_EQ(RecordsInUse(), 0);
  EXPECT_EQ(pendingTimerEvents(), timers);
}

TEST_F(MotionTest, File_NamesAndPositionalTokensAreReadAsWritten) {
  StartWithSprite();
  // Words and options in any case; the sprite number is relative to the base given.
  MotionFile("case", "@POS 0 15 X=70 Y=80\n");
  loadMotion(10, "case", true);
  ExpectPos(25, 70, 80);
}

// An empty "w" is a width of 0, unlike a "w" left out. Blanks that end a line are no
// token: they never stand in for the sprite number, which would pick sprite 0 unseen.
TEST_F(MotionTest, File_EmptyValuesReadZeroTrailingBlanksAreNoPositionalToken) {
  StartWithSprite();
  MotionFile("thin", "@size 0 5 h=30 w=\n");
  loadMotion(kUserSlotBase, "thin", true);
  EXPECT_EQ(gSprites[25].width, 0);
  EXPECT_EQ(gSprites[25].height, 30);
  MotionFile("nosprite", "@pos 0 \n");
  ExpectRefused(kUserSlotBase, "nosprite",
                "モーションファイル\"nosprite\"の定義文にスプライト番号が指定されていない");
}

TEST_F(MotionTest, Records_AFifthMotionIsRefused) {
  StartWithSprite();
  MotionFile("long", "@pos 0 5 x=300 span=5000\n");
  for (int i = 0; i < kMotionRecordCount; ++i) loadMotion(kUserSlotBase, "long", false);
  EXPECT_EQ(RecordsInUse(), 4);
  ExpectRefused(kUserSlotBase, "long", "モーション実行領域に空きがありません");
}

TEST_F(MotionTest, Destroy_StopsTheEventsOfThatSlotOnly) {
  StartWithSprite();
  Build(26, {Part("img/blue10.png")}, 0, 0, "left top");
  MotionFile("pair", "@pos 0 5 x=300 span=200\n@pos 0 6 x=300 span=200\n");
  loadMotion(kUserSlotBase, "pair", false);
  Pass(50);
  destroySprite(25);
  // A new sprite in the freed slot is not driven by the old motion.
  Build(25, {Part("img/red20.png")}, 10, 10, "left top");
  Pass(250);
  ExpectPos(25, 10, 10);
  ExpectPos(26, 300, 0);
  EXPECT_EQ(RecordsInUse(), 0);
}

TEST_F(MotionTest, Reset_EmptiesEveryRecordAndCancelsItsTimer) {
  StartWithSprite();
  const int timers = pendingTimerEvents();
  MotionFile("long", "@pos 1000 5 x=300 span=5000\n");
  loadMotion(kUserSlotBase, "long", false);
  loadMotion(kUserSlotBase, "long", false);
  EXPECT_EQ(pendingTimerEvents(), timers + 2);
  resetSprites();
  EXPECT_EQ(RecordsInUse(), 0);
  EXPECT_EQ(pendingTimerEvents(), timers);
  for (const MotionRecord& r : gMotions) EXPECT_EQ(r.timerId, -1);
}

}  // namespace
