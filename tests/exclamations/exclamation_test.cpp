// The shouted exclamations in-process over the bundled game: the bubble's side and sweep, the
// item flying with "kurae", the shout and the voice, and nothing left behind afterwards.
#include <gtest/gtest.h>

#include <string>

#include "common/golden.h"
#include "court/exclamations.h"
#include "court/items.h"
#include "excl_fixture.h"
#include "host/errors.h"
#include "present/sprites.h"
#include "script/commands.h"
#include "support/sjis_literal.h"
#include "script/syntax.h"
#include "support/support.h"

namespace {

class ExclamationTest : public SetPieceTest {
 protected:
  // Evidence 3 is defined; its picture is one the system folder has.
  void DefineEvidence() {
    gItems.entries.assign(4, ItemEntry{});
    CopyText("knife", gItems.entries[3].name, kItemNameSize);
    CopyText("court_guilty0", gItems.entries[3].image, kItemImageSize);
  }
  void TearDown() override {
    gItems.entries.clear();
    SetPieceTest::TearDown();
  }
};

}  // namespace

TEST_F(ExclamationTest, Kurae_ItemFliesAndRightBubbleSweepsInThenBothGo) {
  Start();
  DefineEvidence();
  const int early = Probe(40, {kItemFlourishSlot, kExclamationSlot});
  const int held = Probe(600, {kItemFlourishSlot, kExclamationSlot}, true);
  DispatchCommand("@courtShowKurae item=3 right", 0);
  ASSERT_TRUE(Fired(early) && Fired(held));

  const SlotView& item = Seen(early, kItemFlourishSlot);
  EXPECT_TRUE(item.shown);
  EXPECT_TRUE(EndsWith(item.image, "court_guilty0.png"));
  const SlotView& bubble = Seen(early, kExclamationSlot);
  EXPECT_TRUE(bubble.shown);
  EXPECT_TRUE(EndsWith(bubble.image, "court_kurae.png"));

  // Once the sweep has settled: the bubble at full size with its right edge at 770, the item
  // at 378 by 378 about the middle of the screen.
  const SlotView& settledBubble = Seen(held, kExclamationSlot);
  EXPECT_EQ(settledBubble.width, 464);
  EXPECT_NEAR(settledBubble.x + settledBubble.width, 770, 1);
  const SlotView& settledItem = Seen(held, kItemFlourishSlot);
  EXPECT_EQ(settledItem.width, 378);
  EXPECT_NEAR(settledItem.x + settledItem.width / 2, 420, 1);
  EXPECT_TRUE(matchesGolden(ProbeFrame(held), "excl_kurae_right"));

  EXPECT_FALSE(isSpriteValid(kExclamationSlot));
  EXPECT_FALSE(isSpriteValid(kItemFlourishSlot));
  EXPECT_TRUE(messages.empty());
}

TEST_F(ExclamationTest, Igi_WithoutVoicePlaysOnlyTheShoutAndSweepsFromTheLeft) {
  Start();
  const int held = Probe(600, {kExclamationSlot, kItemFlourishSlot});
  DispatchCommand("@courtShowIgi", 0);
  EXPECT_EQ(Effects(), std::vector<std::string>{"sys/se/異議あり.wav"});
  EXPECT_NEAR(Seen(held, kExclamationSlot).x, 30, 1);
  EXPECT_TRUE(EndsWith(Seen(held, kExclamationSlot).image, "court_igi.png"));
  EXPECT_FALSE(Seen(held, kItemFlourishSlot).valid);  // no item asked for, none shown
  EXPECT_FALSE(isSpriteValid(kExclamationSlot));
}

TEST_F(ExclamationTest, Matta_WithVoicePlaysTheShoutThenTheSpeakersVoice) {
  Start();
  DispatchCommand("@courtShowMatta voice=tsukioka", 0);
  EXPECT_EQ(Effects(),
            (std::vector<std::string>{"sys/se/異議あり.wav", "sys/voice/tsukioka_matta.wav"}));
}

TEST_F(ExclamationTest, UndefinedItemEndsTheGameBeforeAnythingShows) {
  Start();
  DefineEvidence();
  EXPECT_THROW(DispatchCommand("@courtShowKurae item=2", 0), DExceptGame);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("アイテム番号 2 は不正"_sj), std::string::npos);
  EXPECT_FALSE(isSpriteValid(kExclamationSlot));
  EXPECT_FALSE(isSpriteValid(kItemFlourishSlot));
  EXPECT_TRUE(Effects().empty());
}

TEST_F(ExclamationTest, UnknownOptionIsReportedUnderTheSharedName) {
  Start();
  EXPECT_THROW(DispatchCommand("@courtShowIgi loud", 0), DExceptGame);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("@courtShowKurae/@courtShowMatta/@courtShowIgi"),
            std::string::npos);
}
