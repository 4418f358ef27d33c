// The name plate, the verdict, the loud text and the scene caption, each run in-process over
// the bundled game: what shows when, what plays, and what is left once the piece is over.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/golden.h"
#include "court/exclamations.h"
#include "excl_fixture.h"
#include "host/errors.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "script/commands.h"
#include "support/sjis_literal.h"

namespace {

long CountOf(const std::vector<std::string>& lines, const std::string& line) {
  return std::count(lines.begin(), lines.end(), line);
}

}  // namespace

// ---- Caption padding ---------------------------------------------------------------------

TEST(SceneCaptionPadding, CountsBytesSoFullWidthCharactersTakeTwo) {
  EXPECT_EQ(sceneCaptionPadding("一二三四五六七八九十"_sj), 6);  // width 20
  EXPECT_EQ(sceneCaptionPadding("abcd"), 14);
  EXPECT_EQ(sceneCaptionPadding(""), 16);
}

TEST(SceneCaptionPadding, LongLinesGetNoneAndOddRemaindersRoundDown) {
  EXPECT_EQ(sceneCaptionPadding("0123456789012345678901234567890"), 0);   // 31 bytes
  EXPECT_EQ(sceneCaptionPadding("01234567890123456789012345678901"), 0);  // 32
  EXPECT_EQ(sceneCaptionPadding("0123456789012345678901234567890123456789"), 0);
  EXPECT_EQ(sceneCaptionPadding("012345678901234567890123456789"), 1);    // 30
  EXPECT_EQ(sceneCaptionPadding("0123456789012345678901234"), 3);         // 25: 3.5 down
}

TEST(SceneCaptionPadding, RubyGroupCountsOne) {
  // The reading in braces takes one column; the character it rides on counts as usual.
  EXPECT_EQ(sceneCaptionPadding("{ほうてい}法廷"_sj), (32 - 5) / 2);
  // An unclosed group runs to the end and still counts once.
  EXPECT_EQ(sceneCaptionPadding("ab{cdef"), (32 - 3) / 2);
}

TEST(SceneCaptionPadding, TrailBytesThatLookLikeBracesAreNotBraces) {
  // "ボ" is 83 7B and "マ" is 83 7D in Shift-JIS: the trail bytes are the brace codes.
  EXPECT_EQ(sceneCaptionPadding("ボタン"_sj), (32 - 6) / 2);
  EXPECT_EQ(sceneCaptionPadding("{ママ}真"_sj), (32 - 3) / 2);
}

// ---- Name plate --------------------------------------------------------------------------

TEST_F(SetPieceTest, NamePlate_ShowsTheSpeakersPlateAboveTheWindowAndEmptyNameRemovesIt) {
  Start();
  DispatchCommand("@textShowName tsukioka", 0);
  ASSERT_TRUE(isSpriteValid(kNamePlateSlot));
  EXPECT_TRUE(isSpriteShown(kNamePlateSlot));
  EXPECT_TRUE(EndsWith(getSpriteImage(kNamePlateSlot)->name, "name_tsukioka.png"));
  EXPECT_EQ(getSpriteLevel(kNamePlateSlot), kNamePlateLevel);
  // Anchored by its bottom left corner at (0, 403), just over the message window.
  EXPECT_EQ(gSprites[kNamePlateSlot].reqX, 0);
  EXPECT_EQ(gSprites[kNamePlateSlot].reqY, 403);
  EXPECT_EQ(gSprites[kNamePlateSlot].style & kStyleAlignBits, kStyleLeft | kStyleBottom);
  EXPECT_EQ(gSprites[kNamePlateSlot].absX, 0);
  EXPECT_NEAR(gSprites[kNamePlateSlot].absY + gSprites[kNamePlateSlot].height, 403, 1);

  DispatchCommand("@textShowName kirishima", 0);
  EXPECT_TRUE(EndsWith(getSpriteImage(kNamePlateSlot)->name, "name_kirishima.png"));

  DispatchCommand("@textShowName", 0);
  EXPECT_FALSE(isSpriteValid(kNamePlateSlot));
  // Removing a plate that is not there is no error.
  DispatchCommand("@textShowName", 0);
  EXPECT_TRUE(messages.empty());
}

TEST_F(SetPieceTest, NamePlate_OnlyTheFirstWordIsReadAsTheName) {
  Start();
  DispatchCommand("@textShowName saibancho voice=x anything", 0);
  ASSERT_TRUE(isSpriteValid(kNamePlateSlot));
  EXPECT_TRUE(EndsWith(getSpriteImage(kNamePlateSlot)->name, "name_saibancho.png"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(SetPieceTest, NamePlate_UnknownSpeakerEndsTheGame) {
  Start();
  EXPECT_THROW(DispatchCommand("@textShowName nobody", 0), DExceptGame);
  EXPECT_EQ(messages.size(), 1u);
}

// ---- Verdict -----------------------------------------------------------------------------

TEST_F(SetPieceTest, Verdict_InnocenceShowsItsTwoCharactersInTurnThenRemovesBoth) {
  Start();
  showNamePlate("tsukioka");
  const int early = Probe(1300, {kVerdictFirstSlot, kVerdictSecondSlot, kNamePlateSlot});
  const int late = Probe(3000, {kVerdictFirstSlot, kVerdictSecondSlot}, true);
  DispatchCommand("@courtShowPlea", 0);
  ASSERT_TRUE(Fired(early) && Fired(late));

  EXPECT_TRUE(Seen(early, kVerdictFirstSlot).shown);
  EXPECT_TRUE(EndsWith(Seen(early, kVerdictFirstSlot).image, "court_innocence0.png"));
  EXPECT_FALSE(Seen(early, kVerdictSecondSlot).valid);
  EXPECT_FALSE(Seen(early, kNamePlateSlot).shown);  // the plate steps aside

  const SlotView& first = Seen(late, kVerdictFirstSlot);
  const SlotView& second = Seen(late, kVerdictSecondSlot);
  EXPECT_TRUE(second.shown);
  EXPECT_TRUE(EndsWith(second.image, "court_innocence1.png"));
  // Centred on (200, 300) and (600, 300).
  EXPECT_EQ(first.x + first.width / 2, 200);
  EXPECT_EQ(first.y + first.height / 2, 300);
  EXPECT_EQ(second.x + second.width / 2, 600);
  EXPECT_TRUE(matchesGolden(ProbeFrame(late), "verdict_innocence"));

  EXPECT_FALSE(isSpriteValid(kVerdictFirstSlot));
  EXPECT_FALSE(isSpriteValid(kVerdictSecondSlot));
  // The window and the plate are back as they were.
  EXPECT_TRUE(isSpriteShown(kNamePlateSlot));
  EXPECT_TRUE(isTextLayerShown("def"));
  EXPECT_EQ(CountOf(Effects(), "sys/se/判決.wav"), 2);
}

TEST_F(SetPieceTest, Verdict_GuiltyUsesTheGuiltyPairAndLeavesAHiddenWindowHidden) {
  Start();
  hideTextLayer("def");
  const int late = Probe(3000, {kVerdictFirstSlot, kVerdictSecondSlot});
  DispatchCommand("@courtShowPlea guilty", 0);
  EXPECT_TRUE(EndsWith(Seen(late, kVerdictFirstSlot).image, "court_guilty0.png"));
  EXPECT_TRUE(EndsWith(Seen(late, kVerdictSecondSlot).image, "court_guilty1.png"));
  EXPECT_FALSE(isTextLayerShown("def"));
  EXPECT_FALSE(isSpriteValid(kNamePlateSlot));  // no plate before, none after
}

// ---- Loud text ---------------------------------------------------------------------------

TEST_F(SetPieceTest, LoudText_LargeGreenCharactersEachWithTheLoudVoice) {
  Start("shot loud\nclick 400 300\n");
  DispatchCommand("@textShowLoud value=静粛に！"_sj, 0);
  std::vector<std::string> effects = Effects();
  EXPECT_EQ(CountOf(effects, "sys/se/大声.wav"), 4);
  EXPECT_EQ(CountOf(effects, "sys/se/文字表示.wav"), 0);

  std::vector<std::uint32_t> frame = Shot("loud");
  int top = 600, bottom = -1;
  for (int y = 400; y < 600; ++y)
    for (int x = 0; x < 800; ++x)
      if (IsGreen(frame[static_cast<std::size_t>(y) * 800 + x])) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  ASSERT_GE(bottom, 0) << "no green text in the window";
  EXPECT_GE(bottom - top, 40);  // size 60 characters, not the story text's
  EXPECT_TRUE(matchesGolden(frame, "excl_loud_text"));
}

// ---- Scene caption -----------------------------------------------------------------------

TEST_F(SetPieceTest, SceneCaption_LinesAreCentredByHalfWidthSpacesAndTyped) {
  Start("shot caption\nclick 400 300\n");
  showNamePlate("tsukioka");
  // Ten full-width characters get six half-width spaces; fourteen get two.
  DispatchCommand(
      "@textShowScene line1=一月十日午後三時五分 line2=地方裁判所第二法廷控え室の前"_sj, 0);
  EXPECT_FALSE(isSpriteValid(kNamePlateSlot));

  std::vector<std::uint32_t> frame = Shot("caption");
  const int line1 = FirstGreenColumn(frame, 430, 495);
  const int line2 = FirstGreenColumn(frame, 505, 575);
  ASSERT_GE(line1, 0);
  ASSERT_GE(line2, 0);
  // Four half-width columns apart: at size 40 with spacing 5 a half-width step is 25 pixels
  // (the two first characters' bearings differ by a few).
  EXPECT_NEAR(line1 - line2, 4 * 25, 8);
  EXPECT_TRUE(matchesGolden(frame, "excl_scene_caption"));

  // Every drawn character ticks; the padding is put silently.
  EXPECT_EQ(CountOf(Effects(), "sys/se/文字表示.wav"), 24);
}
