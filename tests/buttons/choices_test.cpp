// Text choices of the current text layer next to buttons: a choice under the pointer takes
// it, buttons are hovered elsewhere, and the arrow and Tab steps move through the choices.
#include "buttons_fixture.h"

namespace {

class ButtonChoices : public ButtonsTest {
 protected:
  // Two choices on the "def" layer, "one" on the first line and "two" three lines below.
  void Choices() {
    selectTextLayer("def");
    clearTextLayer("");
    beginChoice("one");
    for (char c : std::string("ONE")) putChar(static_cast<unsigned char>(c));
    endChoice();
    newLine();
    newLine();
    newLine();
    beginChoice("two");
    for (char c : std::string("TWO")) putChar(static_cast<unsigned char>(c));
    endChoice();
    setSelectionHandler(Record);
  }

  std::pair<int, int> PointerAt() {
    int x = 0, y = 0;
    gHost.lbGetMousePos(&x, &y);
    return {x, y};
  }
};

TEST_F(ButtonChoices, Choice_UnderThePointerTakesItFromAButton) {
  Start();
  Choices();
  ASSERT_TRUE(hasChoices());
  ASSERT_TRUE(beginSelection());
  auto [cx, cy] = PointerAt();  // beginning puts the pointer on the first choice
  // A button over the first choice, reaching well above the text.
  Plate(40, cx - 150, cy - 27);
  registerButton(40, "button", nullptr);
  updatePointerSelection();
  EXPECT_EQ(currentButtonLabel(), nullptr);
  EXPECT_TRUE(hasSelectionTarget());
  EXPECT_TRUE(activateSelection());
  // Above the text, still on the button: the button is hovered.
  Pointer(cx, cy - 27);
  updatePointerSelection();
  EXPECT_STREQ(currentButtonLabel(), "button");
  EXPECT_TRUE(activateSelection());
  EXPECT_EQ(events, (Events{{kSelectionChoice, "one"}, {kSelectionButton, "button"}}));
  endSelection();
}

TEST_F(ButtonChoices, Choice_StepsWrapAndThePickFollowsThem) {
  Start();
  Choices();
  ASSERT_TRUE(beginSelection());
  auto first = PointerAt();
  selectNextTarget();
  auto second = PointerAt();
  EXPECT_GT(second.second, first.second);
  EXPECT_TRUE(activateSelection());
  selectNextTarget();  // past the last: back to the first
  EXPECT_EQ(PointerAt(), first);
  EXPECT_TRUE(activateSelection());
  selectPreviousTarget();  // before the first: the last
  EXPECT_EQ(PointerAt(), second);
  EXPECT_EQ(events, (Events{{kSelectionChoice, "two"}, {kSelectionChoice, "one"}}));
  endSelection();
}

TEST_F(ButtonChoices, Choice_StepsDoNothingWithoutAnActiveSelection) {
  Start();
  Choices();
  Pointer(5, 5);
  selectNextTarget();
  EXPECT_EQ(PointerAt(), std::make_pair(5, 5));
  EXPECT_TRUE(anyTargetShown());
}

TEST_F(ButtonChoices, Choice_PickedThroughTheWaitWithTheArrowKeys) {
  Start("key Down\nkey Return\n");
  Choices();
  waitForSelection(-1, 0, 0, true, 0);
  EXPECT_EQ(events, (Events{{kSelectionChoice, "two"}}));
  EXPECT_FALSE(isSelectionActive());
}

}  // namespace
