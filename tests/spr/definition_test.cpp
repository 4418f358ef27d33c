// Reading sprite definitions against the headless runtime: what each form builds, the limits
// and odd cases of the format, every message of a broken file, and the system cursors.
#include <string>
#include <vector>

#include "game/system.h"
#include "present/sprite_definition.h"
#include "spr_fixture.h"

namespace {

constexpr int kSlot = userSlot(0);

class Definition : public SpriteDefinitionTest {
 protected:
  void SetUp() override {
    SpriteDefinitionTest::SetUp();
    WriteCells("d/grid.png", 4, 2);
    WriteCells("d/one.png", 1, 1);
  }
  void Load(const char* name) { loadSpriteDefinition(kSlot, 0, name, 0, 0, -1, 0, "none"); }
  // The message a definition made of these lines ends the game with.
  std::string ErrorOfLines(const std::vector<std::string>& lines) {
    WriteDefinition("d/bad", lines);
    return ErrorOf([&] { Load("d/bad"); });
  }
  const SubSprite& Sub(int i) const { return (*gSprites[kSlot].subs)[static_cast<size_t>(i)]; }
  std::vector<int> Cells(int sub, int set) const {
    std::vector<int> cells;
    const AnimSet& s = (*Sub(sub).animSets)[static_cast<size_t>(set)];
    for (int i = 0; i < s.frameCount; ++i)
      cells.push_back((*s.frames)[static_cast<size_t>(i)].cell);
    return cells;
  }
};

// The scenario file and line of the error context come first.
std::string InContext(const std::string& message) {
  return "ファイル \"scn/t/start.scn\"\\n行数 7\\n\\n" + message;
}

TEST_F(Definition, SimpleFormWithoutAnimShowsCellZeroOfOneCell) {
  WriteDefinition("d/still", {"@sprite file=\"one.png\" sw=32 sh=8 style=\"right bottom\""});
  Start();
  loadSpriteDefinition(kSlot, 0, "d/still", 100, 50, 5, 0, "none");
  ASSERT_EQ(gSprites[kSlot].subCount, 1);
  EXPECT_EQ(Sub(0).cellsPerRow, 1);
  EXPECT_EQ(Sub(0).animSetCount, 1);
  EXPECT_EQ(Cells(0, 0), std::vector<int>{0});
  EXPECT_EQ(gSprites[kSlot].width, 32);
  EXPECT_EQ(gSprites[kSlot].height, 8);
  EXPECT_EQ(gSprites[kSlot].level, 5);
  // Right-bottom alignment from the definition's style: the anchor is the last pixel.
  EXPECT_EQ(gSprites[kSlot].absX, 100 + 1 - 32);
  EXPECT_EQ(gSprites[kSlot].absY, 50 + 1 - 8);
  EXPECT_TRUE(isSpriteShown(kSlot));
}

TEST_F(Definition, HideInTheCallersStyleLeavesTheSpriteHidden) {
  WriteDefinition("d/still", {"@sprite file=\"one.png\""});
  Start();
  loadSpriteDefinition(kSlot, 0, "d/still", 0, 0, -1, kStyleHide, "none");
  EXPECT_TRUE(isSpriteValid(kSlot));
  EXPECT_FALSE(isSpriteShown(kSlot));
}

TEST_F(Definition, CompoundFormReadsEverySubLine) {
  WriteDefinition(
      "d/multi",
      {
          "@SPRITE subcount=3 sw=-1",
          // A line ending in blanks and options in any case are read like any other.
          "@Sub0 file=\"grid.png\" CELLX=4 celly=2 animsetcount=2 animset1=\"7 40 6 40\"   ",
          "@sub1 file=one.png x=64 y=-8 cellx=0 animsetcount=3 animset2=\"0 100 1\"",
          "@sub2 file=one.png",
          // A later line for the same sub-sprite replaces it whole. Cells are bounded only from
          // above; a negative one shows nothing and must not upset the offset arithmetic.
          "@sub2 file=one.png x=5 animsetcount=1 animset0=\"-2147483648 10\"",
      });
  Start();
  Load("d/multi");
  ASSERT_EQ(gSprites[kSlot].subCount, 3);
  EXPECT_EQ(Sub(0).cellsPerRow, 4);
  EXPECT_EQ(Sub(0).cellRows, 2);
  EXPECT_EQ(Sub(0).cellWidth, 16);
  EXPECT_EQ(Cells(0, 0), std::vector<int>{});
  EXPECT_EQ(Cells(0, 1), (std::vector<int>{7, 6}));
  EXPECT_EQ(Sub(1).defX, 64);
  EXPECT_EQ(Sub(1).defY, -8);
  EXPECT_EQ(Sub(1).cellsPerRow, 1) << "a cellx of 0 is taken as 1";
  EXPECT_EQ(Cells(1, 2), std::vector<int>{0}) << "the dangling word is dropped";
  EXPECT_EQ((*(*Sub(1).animSets)[2].frames)[0].duration, 100);
  EXPECT_EQ(Sub(2).defX, 5);
  EXPECT_EQ(Cells(2, 0), std::vector<int>{-2147483647 - 1});
}

TEST_F(Definition, ZeroSubSpritesBuildAnEmptySpriteAndRefuseAnySubLine) {
  WriteDefinition("d/empty", {"@sprite subcount=0"});
  Start();
  Load("d/empty");
  EXPECT_TRUE(isSpriteValid(kSlot));
  EXPECT_EQ(gSprites[kSlot].subCount, 0);
  EXPECT_EQ(ErrorOfLines({"@sprite subcount=0", "@sub0 file=one.png"}),
            InContext("スプライト定義ファイル\"d/bad\"に不正な@sub0定義が存在します"));
}

// Given empty, "subcount" reads 0 and chooses the compound form with no sub-sprites; left
// out, it keeps the simple form.
TEST_F(Definition, EmptySubcountIsTheCompoundFormAbsentOneTheSimpleForm) {
  Start();
  EXPECT_EQ(ErrorOfLines({"@sprite file=one.png subcount=", "@sub0 file=one.png"}),
            InContext("スプライト定義ファイル\"d/bad\"に不正な@sub0定義が存在します"));
  WriteDefinition("d/empty", {"@sprite file=one.png subcount=\"\""});
  Load("d/empty");
  EXPECT_EQ(gSprites[kSlot].subCount, 0);
  WriteDefinition("d/simple", {"@sprite file=one.png"});
  Load("d/simple");
  EXPECT_EQ(gSprites[kSlot].subCount, 1);
}

TEST_F(Definition, FirstLineMustBeTheSpriteStatement) {
  Start();
  const std::string message =
      InContext("スプライト定義ファイル\"d/bad\"の一行目に@sprite定義文が必要です");
  EXPECT_EQ(ErrorOfLines({"", "@sprite file=one.png"}), message);
  EXPECT_EQ(ErrorOfLines({"@sub0 file=one.png"}), message);
  EXPECT_EQ(ErrorOfLines({"@spritefile=one.png"}), message);
  EXPECT_EQ(ErrorOfLines({}), message);
}

TEST_F(Definition, EachBrokenStatementHasItsMessage) {
  Start();
  const std::string file = "スプライト定義ファイル\"d/bad\"";
  EXPECT_EQ(ErrorOfLines({"@sprite file=one.png size=3"}),
            InContext(file + "の@sprite定義文中のsizeが不正です"));
  EXPECT_EQ(ErrorOfLines({"@sprite subcount=1", "@sub0 file=one.png", "; a comment"}),
            InContext(file + "に不正な定義文が存在します"));
  EXPECT_EQ(ErrorOfLines({"@sprite subcount=1", ""}),
            InContext(file + "に不正な定義文が存在します"));
  EXPECT_EQ(ErrorOfLines({"@sprite subcount=2", "@sub2 file=one.png"}),
            InContext(file + "に不正な@sub2定義が存在します"));
  EXPECT_EQ(ErrorOfLines({"@sprite subcount=2", "@sub-1 file=one.png"}),
            InContext(file + "に不正な@sub-1定義が存在します"));
  EXPECT_EQ(ErrorOfLines({"@sprite subcount=2", "@sub1 file=one.png z=3"}),
            InContext(file + "のサブスプライト1定義に不正な定義が存在します"));
  EXPECT_EQ(
      ErrorOfLines({"@sprite subcount=1", "@sub0 file=grid.png animsetcount=2 animset2=\"0 10\""}),
      InContext(file + "のサブスプライト0定義に不正なanimset2定義が存在します"));
  // Cells count from 0: a 4 x 2 grid has no cell 8.
  EXPECT_EQ(
      ErrorOfLines({"@sprite subcount=1",
                    "@sub0 file=grid.png cellx=4 celly=2 animsetcount=1 animset0=\"7 10 8 10\""}),
      InContext(file +
                "のサブスプライト0定義のアニメセット0定義に不正なcell(8)が使用されています"));
  EXPECT_EQ(ErrorOfLines({"@sprite subcount=1",
                          "@sub0 file=one.png animsetcount=1 animset0=\"0 10\" se=\"1 0 x\""}),
            InContext(file + "のサブスプライト0定義に不正な効果音定義が存在します(animset error)"));
  EXPECT_EQ(ErrorOfLines({"@sprite subcount=1",
                          "@sub0 file=one.png animsetcount=1 animset0=\"0 10\" se=\"0 1 x\""}),
            InContext(file + "のサブスプライト0定義に不正な効果音定義が存在します(cell no error)"));
  EXPECT_EQ(ErrorOfLines({"@sprite file=one.png anim=\"4 bounce 100\""}),
            InContext("bounceが認識できません。"));
}

TEST_F(Definition, NumbersThatWouldGrowTablesWithoutBoundAreRefused) {
  Start();
  const std::string file = "スプライト定義ファイル\"d/bad\"";
  EXPECT_EQ(ErrorOfLines({"@sprite subcount=2000000000"}),
            InContext(file + "に不正な定義文が存在します"));
  EXPECT_EQ(ErrorOfLines({"@sprite subcount=1", "@sub0 file=one.png animsetcount=2000000000"}),
            InContext(file + "のサブスプライト0定義に不正な定義が存在します"));
  EXPECT_EQ(ErrorOfLines({"@sprite file=one.png anim=\"100000 loop 10 s100000\""}),
            InContext("100000 loop 10 s100000が認識できません。"));
}

TEST_F(Definition, MissingDefinitionOrPictureIsReported) {
  Start();
  EXPECT_EQ(ErrorOf([&] { Load("d/none"); }), InContext("ファイル \"d/none.spr\" が開けません。"));
  EXPECT_EQ(ErrorOfLines({"@sprite file=missing.png"}),
            InContext("画像 \"d/missing.png\" が読み込めません。"));
}

TEST_F(Definition, CursorsLoadHiddenAtStartUpAndEveryRunGetsTheBlankPageCursor) {
  WriteCells("sys/cursor0.png", 2, 1);
  WriteDefinition("cursor0", {"@sprite file=\"sys/cursor0.png\" anim=\"2 loop 90\""});
  Start(false);
  ASSERT_TRUE(isSpriteValid(kCursorSlot));
  EXPECT_FALSE(isSpriteShown(kCursorSlot));
  EXPECT_EQ(gSprites[kCursorSlot].level, 96);
  EXPECT_EQ(gSprites[kCursorSlot].animTimer, -1);
  EXPECT_FALSE(isSpriteValid(kPageCursorSlot)) << "there is no cursor1";

  ResetPresentation();
  ASSERT_TRUE(isSpriteValid(kPageCursorSlot));
  EXPECT_FALSE(isSpriteShown(kPageCursorSlot));
  EXPECT_EQ(gSprites[kPageCursorSlot].parent, kCursorSlot);
  EXPECT_EQ(gSprites[kPageCursorSlot].level, 96);
}

}  // namespace
