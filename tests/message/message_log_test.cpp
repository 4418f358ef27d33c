// What the message log keeps, in-process against the headless runtime: a story page as it
// was drawn (ruby, breaks, colours; no pauses, links or backslashes), the speaker's plate
// while it is on screen, nothing of other layers or of the menu's and the record's pages,
// and its bounds (the oldest page goes past 128, a long page is cut whole).
#include "court/exclamations.h"
#include "message/message_fixture.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "script/message.h"
#include "script/message_log.h"

namespace {

class MessageLog : public MessageTest {
 protected:
  void SetUp() override {
    MessageTest::SetUp();
    InstallMessageHooks(MessageHooks{});
    clearMessageLog();
  }
  void TearDown() override {
    clearMessageLog();
    MessageTest::TearDown();
  }
  bool Show(const std::string& text, int mode) {
    std::string bytes = sjis(text);
    return ShowMessage(bytes.c_str(), nullptr, mode);
  }
  std::string Page(int index) const { return messageLogPage(index); }
};

TEST_F(MessageLog, Page_KeptAsDrawnWithRubyBreaksAndColoursButNoPausesOrChoices) {
  Start("click 400 300\nclick 60 430\n");
  ShowMessageWindow();
  EXPECT_FALSE(Show("朧{さよ}小夜\\が[br][cr]赤[c][w 10]い[np]", kStoryMessageMode));
  EXPECT_FALSE(Show("[link target=x]門[/link]へ[np]", kStoryMessageMode));  // a choice
  ASSERT_EQ(messageLogSize(), 1);
  EXPECT_EQ(Page(0), sjis("朧{さよ}小夜が[br][cr]赤[c]い"));
  EXPECT_EQ(lastLoggedPageLength(), 0);  // the choice's page is no story page
  EXPECT_TRUE(messages.empty());
}

TEST_F(MessageLog, Page_OnlyStoryPagesOfTheMessageWindowAreKept) {
  Start("click 400 300\nclick 400 300\nclick 400 300\nclick 400 300\n");
  ShowMessageWindow();
  EXPECT_FALSE(Show("質問[np]", kMessageClickSound));        // the save question, the menu
  EXPECT_FALSE(Show("記録[np]", kMessageMenuOnRightClick));  // a page of the court record
  selectTextLayer("system");
  EXPECT_FALSE(Show("別の層[np]", kStoryMessageMode));
  selectTextLayer("def");
  EXPECT_FALSE(Show("物語[np]", kStoryMessageMode));
  ASSERT_EQ(messageLogSize(), 1);
  EXPECT_EQ(Page(0), sjis("物語"));
}

TEST_F(MessageLog, Plate_BesideThePagesReadWhileItIsOnScreen) {
  Start("click 400 300\nclick 400 300\nclick 400 300\n");
  ShowMessageWindow();
  showNamePlate("tsukioka");
  EXPECT_FALSE(Show("弁護人[np]", kStoryMessageMode));
  hideSprite(kNamePlateSlot, "none");  // as an item shown over the stage hides it
  EXPECT_FALSE(Show("証拠品[np]", kStoryMessageMode));
  clearNamePlate();
  EXPECT_FALSE(Show("地の文[np]", kStoryMessageMode));
  ASSERT_EQ(messageLogSize(), 3);
  EXPECT_STREQ(messageLogPlate(0), "sys/name_tsukioka");
  EXPECT_STREQ(messageLogPlate(1), "");
  EXPECT_STREQ(messageLogPlate(2), "");
}

TEST_F(MessageLog, Bounds_OldestPageGoesAndALongPageIsCutAtAWholeCharacter) {
  for (int page = 0; page < kMessageLogPages + 2; ++page) {
    logDrawnChar(static_cast<std::uint16_t>('0' + page % 10));
    logPageBreak(true);
  }
  ASSERT_EQ(messageLogSize(), kMessageLogPages);
  EXPECT_STREQ(messageLogPage(0), "2");  // pages 0 and 1 went
  const std::uint16_t a = 0x82A0;       // あ
  logDrawnChar('x');
  for (int i = 0; i < kMessageLogPageSize; ++i) logDrawnChar(a);
  logRubyStart();  // no room left: neither the brace nor its close is kept
  logRubyEnd();
  logPageBreak(true);
  std::string cut = messageLogPage(kMessageLogPages - 1);
  EXPECT_LT(cut.size(), static_cast<std::size_t>(kMessageLogPageSize));
  EXPECT_EQ(cut.size() % 2, 1u);  // "x" and whole two-byte characters
  EXPECT_EQ(cut.back(), '\xA0');
}

}  // namespace
