// Shortcut keys, deciding, cancelling, and the button list itself: registration, labels,
// replacement in place and removal with the sprite.
#include <cstring>

#include "buttons_fixture.h"
#include "support/sjis_literal.h"

namespace {

TEST_F(ButtonsTest, Key_BoundToTwoButtonsGoesToTheSecondWhenTheFirstIsRefused) {
  Start();
  Plate(40, 100, 100);
  Plate(41, 100, 300, "sys/title_exit");
  registerButton(41, "first", {44});
  registerButton(40, "second", {45, 44});
  setSelectionHandler(Record);
  refuse = {"first"};
  EXPECT_TRUE(pressButtonKey(44));
  EXPECT_EQ(events, (Events{{kSelectionButton, "first"}, {kSelectionButton, "second"}}));
  // Accepted by the first, the second is never asked.
  events.clear();
  refuse.clear();
  EXPECT_TRUE(pressButtonKey(44));
  EXPECT_EQ(events, (Events{{kSelectionButton, "first"}}));
  // Refused by both: false.
  events.clear();
  refuse = {"first", "second"};
  EXPECT_FALSE(pressButtonKey(44));
  EXPECT_EQ(events.size(), 2u);
}

TEST_F(ButtonsTest, Key_ReachesOnlyShownButtonsThatHaveIt) {
  Start();
  Plate(40, 100, 100);
  Plate(41, 100, 300, "sys/title_exit");
  registerButton(40, "hidden", {28});
  registerButton(41, "other", {57});
  hideSprite(40, "none");
  setSelectionHandler(Record);
  EXPECT_FALSE(pressButtonKey(28));
  EXPECT_FALSE(pressButtonKey(1));
  EXPECT_TRUE(events.empty());
  // Keys work whether or not a selection is active.
  EXPECT_FALSE(isSelectionActive());
  EXPECT_TRUE(pressButtonKey(57));
  EXPECT_EQ(events, (Events{{kSelectionButton, "other"}}));
}

TEST_F(ButtonsTest, Key_WithoutAHandlerNothingIsPicked) {
  Start();
  Plate(40, 100, 100);
  registerButton(40, "plate", {44});
  EXPECT_FALSE(pressButtonKey(44));
  EXPECT_FALSE(cancelSelection("rclick"));
  Pointer(150, 120);
  ASSERT_TRUE(beginSelection());
  EXPECT_FALSE(activateSelection());
  EXPECT_TRUE(hasSelectionTarget());
  endSelection();
}

TEST_F(ButtonsTest, Key_HandlerThatDestroysTheButtonsEndsTheVisitSafely) {
  Start();
  Plate(40, 100, 100);
  Plate(41, 100, 300, "sys/title_exit");
  registerButton(40, "first", {44});
  registerButton(41, "second", {44});
  // A refusing handler that tears both sprites down: neither destroyed button may be
  // offered afterwards, and the list walk must survive it.
  static int calls;
  calls = 0;
  setSelectionHandler([](const SelectionEvent&) {
    ++calls;
    destroySprite(40);
    destroySprite(41);
    return false;
  });
  EXPECT_FALSE(pressButtonKey(44));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(buttonCount(), 0);
}

TEST_F(ButtonsTest, Activate_DeliversTheButtonUnderThePointer) {
  Start();
  Plate(40, 100, 100);
  registerButton(40, "begin", nullptr);
  setSelectionHandler(Record);
  Pointer(150, 120);
  ASSERT_TRUE(beginSelection());
  EXPECT_TRUE(activateSelection());
  EXPECT_EQ(events, (Events{{kSelectionButton, "begin"}}));
  // A refused pick leaves the selection active with its target.
  refuse = {"begin"};
  EXPECT_FALSE(activateSelection());
  EXPECT_TRUE(isSelectionActive());
  EXPECT_TRUE(hasSelectionTarget());
  endSelection();
  EXPECT_FALSE(activateSelection());  // inactive
  EXPECT_EQ(events.size(), 2u);
}

TEST_F(ButtonsTest, Cancel_HandsTheWordToTheHandlerWhetherOrNotActive) {
  Start();
  setSelectionHandler(Record);
  EXPECT_FALSE(cancelSelection("rclick"));
  acceptCancel = true;
  EXPECT_TRUE(cancelSelection("rclick"));
  EXPECT_EQ(events, (Events{{kSelectionCancel, "rclick"}, {kSelectionCancel, "rclick"}}));
}

TEST_F(ButtonsTest, Register_SameSlotKeepsItsPlaceWithNewLabelAndKeys) {
  Start();
  Plate(40, 100, 100);
  Plate(41, 100, 300, "sys/title_exit");
  registerButton(40, "a", {44});
  registerButton(41, "b", {44});
  registerButton(40, "c", {45});
  ASSERT_EQ(buttonCount(), 2);
  EXPECT_EQ(buttonList().first()->element->slot, 40);
  EXPECT_STREQ(buttonList().first()->element->label, "c");
  setSelectionHandler(Record);
  refuse = {"b"};
  EXPECT_FALSE(pressButtonKey(44));  // 40 lost key 44
  EXPECT_TRUE(pressButtonKey(45));
  EXPECT_EQ(events, (Events{{kSelectionButton, "b"}, {kSelectionButton, "c"}}));
}

TEST_F(ButtonsTest, Register_KeysAreCopiedNotBorrowed) {
  Start();
  Plate(40, 100, 100);
  std::uint32_t keys[] = {44, 45, 0};
  registerButton(40, "plate", keys);
  keys[0] = 28;
  setSelectionHandler(Record);
  EXPECT_TRUE(pressButtonKey(44));
  EXPECT_FALSE(pressButtonKey(28));
  // However many keys a button has, the last one still works.
  registerButton(40, "plate", {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                               15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,
                               29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40});
  EXPECT_TRUE(pressButtonKey(40));
}

TEST_F(ButtonsTest, Register_LongLabelIsCutBeforeASplitCharacter) {
  Start();
  std::string label;
  for (int i = 0; i < 150; ++i) label += "\x82\xa0";  // 300 bytes of two-byte characters
  registerButton(40, label.c_str(), nullptr);
  const Button* button = findButtonOfSlot(40);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(std::strlen(button->label), 262u);
  EXPECT_EQ(label.compare(0, 262, button->label), 0);
  std::string ascii(300, 'k');
  registerButton(41, ascii.c_str(), nullptr);
  EXPECT_EQ(std::strlen(findButtonOfSlot(41)->label), 263u);
}

TEST_F(ButtonsTest, Register_SlotOutsideTheTableEndsTheGame) {
  Start();
  EXPECT_THROW(registerButton(120, "x", nullptr), DExceptGame);
  EXPECT_THROW(registerButton(-1, "x", nullptr), DExceptGame);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].find("スプライト 100 は有効ではありません。"_sj), std::string::npos);
  EXPECT_NE(messages[1].find("スプライト -21 は有効ではありません。"_sj), std::string::npos);
  EXPECT_EQ(buttonCount(), 0);
}

TEST_F(ButtonsTest, Remove_DestroyingTheSpriteDropsItsButton) {
  Start();
  Plate(40, 100, 100);
  Plate(41, 100, 300, "sys/title_exit");
  registerButton(40, "a", nullptr);
  registerButton(41, "b", nullptr);
  Pointer(150, 120);
  ASSERT_TRUE(beginSelection());
  ASSERT_STREQ(currentButtonLabel(), "a");
  destroySprite(40);
  EXPECT_EQ(findButtonOfSlot(40), nullptr);
  EXPECT_EQ(currentButtonLabel(), nullptr);  // a destroyed button is no longer a target
  EXPECT_FALSE(hasSelectionTarget());
  EXPECT_EQ(buttonCount(), 1);
  EXPECT_FALSE(removeButtonOfSlot(40));
  EXPECT_TRUE(removeButtonOfSlot(41));
  endSelection();
}

TEST_F(ButtonsTest, Reset_ARunStartsWithoutButtonsOrHandler) {
  Start();
  Plate(40, 100, 100);
  registerButton(40, "a", nullptr);
  setSelectionHandler(Record);
  ResetPresentation();
  EXPECT_EQ(buttonCount(), 0);
  EXPECT_EQ(selectionHandler(), nullptr);
}

}  // namespace
