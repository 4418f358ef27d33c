// The click-or-key predicate inside the general wait, fed by scripted input: plain waits end
// on a click, a decide key or a held Ctrl key, hand Escape and right clicks to the selection
// handler and keep waiting through F5; in button mode keys and clicks go to the buttons.
#include <string>
#include <utility>
#include <vector>

#include "engine_fixture.h"
#include "present/buttons.h"

namespace {

std::vector<std::pair<int, std::string>> gEvents;
bool gAcceptCancel = false;

bool Record(const SelectionEvent& event) {
  gEvents.emplace_back(event.kind, event.text != nullptr ? event.text : "");
  return event.kind != kSelectionCancel || gAcceptCancel;
}

using Events = std::vector<std::pair<int, std::string>>;

class ClickWait : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    gEvents.clear();
    gAcceptCancel = false;
  }
  void Play(const std::string& script, bool handler = true) {
    Start(script);
    setSelectionHandler(handler ? Record : nullptr);
  }
  bool Wait(bool buttonMode) { return waitFor(pollClickOrKey, buttonMode ? 1 : 0, kWaitForever); }
  // A shown sprite with a button whose keys are given.
  void Button(std::initializer_list<std::uint32_t> keys) {
    Box(20, 0, "red", 100, 100, 100, 40, 10);
    registerButton(20, "pick", keys);
  }
};

}  // namespace

TEST_F(ClickWait, ALeftClickEndsAPlainWait) {
  Play("click 10 10\n");
  EXPECT_TRUE(Wait(false));
  EXPECT_TRUE(gEvents.empty());
}

TEST_F(ClickWait, F5TogglesFullScreenWithoutEndingTheWait) {
  Play("key F5\nkey Return\n");
  EXPECT_TRUE(Wait(false));
  EXPECT_TRUE(Contains("fullscreen on"));
  EXPECT_TRUE(Contains("input key Return"));  // the wait went on past F5
}

TEST_F(ClickWait, AHeldCtrlKeyEndsTheWait) {
  Play("hold RCtrl\n");
  EXPECT_TRUE(Wait(false));
}

TEST_F(ClickWait, EscapeAndRightClickAreOfferedToTheHandlerAsCancels) {
  Play("key Escape\nrclick 5 5\nkey Z\n");
  EXPECT_TRUE(Wait(false));
  EXPECT_EQ(gEvents, (Events{{kSelectionCancel, "rclick"}, {kSelectionCancel, "rclick"}}));
  EXPECT_TRUE(Contains("input key Z"));
}

TEST_F(ClickWait, ACancelTheHandlerAcceptsEndsTheWait) {
  gAcceptCancel = true;
  Play("rclick 5 5\nkey Space\n");
  EXPECT_TRUE(Wait(false));
  EXPECT_EQ(gEvents, (Events{{kSelectionCancel, "rclick"}}));
  EXPECT_FALSE(Contains("input key Space"));
}

TEST_F(ClickWait, WithoutAHandlerARightClickIsIgnored) {
  Play("rclick 5 5\nkey X\nkey Space\n", false);
  EXPECT_TRUE(Wait(false));
  EXPECT_TRUE(Contains("input key Space"));
}

TEST_F(ClickWait, InButtonModeAShortcutKeyPicksItsButton) {
  Play("key X\nkey Z\n");
  Button({44});
  EXPECT_TRUE(Wait(true));
  EXPECT_EQ(gEvents, (Events{{kSelectionButton, "pick"}}));
  EXPECT_TRUE(Contains("input key Z"));
}

TEST_F(ClickWait, InButtonModeAClickAnywhereIsTheLeftClickKey) {
  Play("click 700 500\n");
  Button({kKeyLeftClick});
  EXPECT_TRUE(Wait(true));
  EXPECT_EQ(gEvents, (Events{{kSelectionButton, "pick"}}));
}

TEST_F(ClickWait, InButtonModeARefusedRightClickFallsToTheRightClickKey) {
  Play("rclick 700 500\n");
  Button({kKeyRightClick});
  EXPECT_TRUE(Wait(true));
  EXPECT_EQ(gEvents, (Events{{kSelectionCancel, "rclick"}, {kSelectionButton, "pick"}}));
}

TEST_F(ClickWait, InButtonModeAPlainClickWithNoButtonForItKeepsWaiting) {
  Play("click 700 500\nkey Z\n");
  Button({44});
  EXPECT_TRUE(Wait(true));
  EXPECT_EQ(gEvents, (Events{{kSelectionButton, "pick"}}));
  EXPECT_TRUE(Contains("input key Z"));
}
