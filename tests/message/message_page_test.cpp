// Message text in-process against the headless runtime: the character sound, the mode bits
// at a page break, the system menu loop, text cut off inside a tag, ruby or a character,
// the full page, and the translucent full-screen layer.
#include <windows.h>

#include "message/message_fixture.h"
#include "present/buttons.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "script/message.h"

namespace {

const std::string kClickSound = "se sys/se/文字クリック.wav";

int gMenuRuns = 0;
void CountMenu() { ++gMenuRuns; }

class MessagePage : public MessageTest {
 protected:
  void SetUp() override {
    MessageTest::SetUp();
    InstallMessageHooks(MessageHooks{});
    gMenuRuns = 0;
  }
  void TearDown() override {
    InstallMessageHooks(MessageHooks{});
    MessageTest::TearDown();
  }
  // ShowMessage on Shift-JIS text written here in UTF-8.
  bool Show(const std::string& text, int mode, const char* sound = nullptr) {
    std::string bytes = sjis(text);
    std::string soundName = sound ? sjis(sound) : "";
    return ShowMessage(bytes.c_str(), sound ? soundName.c_str() : nullptr, mode);
  }
};

TEST_F(MessagePage, Sound_PlaysForDrawnCharactersButNotBlanksOrRuby) {
  Start("");
  ShowMessageWindow();
  EXPECT_FALSE(Show("あ い　う\tえ{るび}字[br]お", 0, "sys/se/文字表示"));
  EXPECT_EQ(Count("se sys/se/文字表示.wav"), 6);  // あ い う え 字 お
  EXPECT_TRUE(messages.empty());
}

TEST_F(MessagePage, Page_WithoutTheMenuBitARightClickDoesNothingAndNoClickSounds) {
  Start("rclick 400 300\nclick 400 300\n");
  ShowMessageWindow();
  EXPECT_FALSE(Show("あ[np]", 0));
  EXPECT_EQ(Count("input rclick 400 300"), 1);
  EXPECT_EQ(Count("input click 400 300"), 1);  // only the left click passed the page
  EXPECT_EQ(Count(kClickSound), 0);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MessagePage, Page_ClickSoundBitPlaysTheClickWhenThePageIsPassed) {
  Start("click 400 300\n");
  ShowMessageWindow();
  EXPECT_FALSE(Show("あ[np]", kMessageClickSound));
  EXPECT_EQ(Count(kClickSound), 1);
}

TEST_F(MessagePage, Page_AfterTheSystemMenuThePageWaitsAgain) {
  MessageHooks hooks;
  hooks.runSystemMenu = CountMenu;
  InstallMessageHooks(hooks);
  Start("rclick 400 300\nkey Escape\nclick 400 300\n");
  ShowMessageWindow();
  EXPECT_FALSE(Show("あ[np]", kMessageMenuOnRightClick));
  EXPECT_EQ(gMenuRuns, 2);  // the right click and Escape each asked for it
  EXPECT_EQ(Count("input click 400 300"), 1);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MessagePage, Page_ANewPageStartsClearAfterTheBreak) {
  Start("shot first\nclick 400 300\nshot second\nclick 400 300\nshot again\nclick 400 300\n");
  ShowMessageWindow();
  EXPECT_FALSE(Show("[cr]あ[np]い[np]", 0));
  EXPECT_FALSE(Show("い[np]", 0));
  // The red of the first page is gone with it: the second page matches a fresh one.
  EXPECT_NE(Shot("first"), Shot("second"));
  EXPECT_EQ(Shot("second"), Shot("again"));
}

TEST_F(MessagePage, Robust_TextCutOffInsideATagRubyOrCharacterEndsCleanly) {
  Start("");
  ShowMessageWindow();
  EXPECT_FALSE(Show("あ[br", 0));
  EXPECT_FALSE(Show("あ{るび", 0));
  EXPECT_FALSE(Show("[link target=x", 0));
  std::string cut = sjis("あ") + "\x82";  // a lead byte whose trail byte is missing
  EXPECT_FALSE(ShowMessage(cut.c_str(), nullptr, 0));
  std::uint32_t before = timeGetTime();
  EXPECT_FALSE(Show("[w -5]", 0));
  EXPECT_LT(timeGetTime() - before, 1000u);  // a negative pause is none, not fifty days
  EXPECT_TRUE(messages.empty());
}

TEST_F(MessagePage, Tags_BlankBeforeTheClosingBracketIsNotAnOption) {
  Start("click 60 490\n");  // on the door, at the start of the second line
  ShowMessageWindow();
  EXPECT_FALSE(Show("[br ][link target=a ]扉[/link ][c ][np ]", 0));
  EXPECT_EQ(Count("input click 60 490"), 1);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MessagePage, Pacing_CharactersBeyondAFullPageAreNotWaitedFor) {
  Start("");
  ShowMessageWindow();
  std::uint32_t start = timeGetTime();
  EXPECT_FALSE(Show(std::string(96, 'a'), 0));
  std::uint32_t full = timeGetTime() - start;
  EXPECT_GE(full, 96u * 30u);
  start = timeGetTime();
  EXPECT_FALSE(Show(std::string(40, 'b'), 0));  // the page is full: nothing is drawn
  EXPECT_LT(timeGetTime() - start, 40u * 30u / 2u);
}

TEST_F(MessagePage, FullScreen_TranslucentOverThePictureAndTheWindowLeavesTheTopClear) {
  Start("shot full\nclick 400 300\nshot window\nclick 400 300\n");
  buildColourSprite(kUserSlotBase, 0, 1, 1, "#ffffff", 0, 0, 800, 600, 1, 0, "", "none");
  ShowFullScreenText();
  EXPECT_FALSE(Show("[np]", 0));
  ShowMessageWindow();
  EXPECT_FALSE(Show("[np]", 0));
  uint32_t full = Shot("full")[100 * 800 + 700];
  EXPECT_NEAR(Red(full), 0x7F, 2);  // white under half-transparent black
  EXPECT_NEAR(Green(full), 0x7F, 2);
  EXPECT_NEAR(Blue(full), 0x7F, 2);
  uint32_t window = Shot("window")[100 * 800 + 700];
  EXPECT_EQ(window & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
