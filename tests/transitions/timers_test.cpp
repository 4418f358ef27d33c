// The timer table, the render retry, the pump and the general wait, against the real
// headless runtime on its virtual clock.
#include <vector>

#include "engine_fixture.h"

// The system's font configuration keeps a few allocations for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

std::vector<std::uint32_t> gFired;

void Record(std::uint32_t argument) { gFired.push_back(argument); }

// Adds two due events from inside the walk: the first takes the id just freed (behind the
// walk), the second the next free one (ahead of it).
void AddTwoDue(std::uint32_t) {
  addTimerEvent(Record, 8, 0);
  addTimerEvent(Record, 9, 0);
}

class Timers : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    gFired.clear();
    Start();
    initTimers();
    renders = 0;
  }
};

}  // namespace

TEST_F(Timers, NoEventsReportsTheLongestWaitAndDrawsNothing) {
  EXPECT_EQ(dispatchTimerEvents(), 16777215u);
  EXPECT_EQ(renders, 0);
}

TEST_F(Timers, AnAddMakesTheNextDispatchReportZeroOnce) {
  addTimerEvent(Record, 7, 100);
  EXPECT_EQ(dispatchTimerEvents(), 0u);
  EXPECT_EQ(dispatchTimerEvents(), 100u);
  EXPECT_TRUE(gFired.empty());
}

TEST_F(Timers, SameTimeEventsFireInIdOrderFollowedByOneRender) {
  const int first = addTimerEvent(Record, 1, 50);
  EXPECT_EQ(addTimerEvent(Record, 2, 50), 1);
  EXPECT_EQ(addTimerEvent(Record, 3, 50), 2);
  removeTimerEvent(first);
  // The freed id is handed out again first, so the latest event holds the lowest id.
  EXPECT_EQ(addTimerEvent(Record, 4, 50), 0);
  dispatchTimerEvents();
  gHost.lbWaitEvent(50);
  renders = 0;
  EXPECT_EQ(dispatchTimerEvents(), 16777215u);
  EXPECT_EQ(gFired, (std::vector<std::uint32_t>{4, 2, 3}));
  EXPECT_EQ(renders, 1);
  EXPECT_EQ(pendingTimerEvents(), 0);
}

TEST_F(Timers, AnEventAddedDuringTheWalkFiresThereOnlyWhenItsIdLiesAhead) {
  addTimerEvent(AddTwoDue, 0, 0);                 // id 0
  addTimerEvent(Record, 1, 1000);                 // id 1, not due
  removeTimerEvent(addTimerEvent(Record, 2, 0));  // id 2 freed again
  EXPECT_EQ(dispatchTimerEvents(), 0u);           // events were added during the walk
  EXPECT_EQ(gFired, (std::vector<std::uint32_t>{9}));
  dispatchTimerEvents();
  EXPECT_EQ(gFired, (std::vector<std::uint32_t>{9, 8}));
}

TEST_F(Timers, TheNextWaitIsTheEarliestDueEvent) {
  addTimerEvent(Record, 1, 300);
  addTimerEvent(Record, 2, 120);
  dispatchTimerEvents();
  gHost.lbWaitEvent(20);
  EXPECT_EQ(dispatchTimerEvents(), 100u);
}

TEST_F(Timers, AFullTableOrANullCallbackEndsTheGame) {
  for (int i = 0; i < kTimerEventCount; ++i) EXPECT_EQ(addTimerEvent(Record, 0, 1000), i);
  const std::string message =
      "Orvane System: タイマーイベントをこれ以上登録できません。";
  EXPECT_EQ(Ends([] { addTimerEvent(Record, 0, 0); }), std::vector<std::string>{message});
  initTimers();
  EXPECT_EQ(Ends([] { addTimerEvent(nullptr, 0, 0); }), std::vector<std::string>{message});
}

TEST_F(Timers, RemovingAnIdPastTheTableEndsTheGameAndNegativeIdsAreIgnored) {
  removeTimerEvent(-1);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Ends([] { removeTimerEvent(128); }),
            std::vector<std::string>{"Orvane System: タイマーイベントIDが不正(128)"});
}

TEST_F(Timers, RemovingAnEventTwiceNeverHandsOneIdToTwoEvents) {
  const int id = addTimerEvent(Record, 0, 100);
  removeTimerEvent(id);
  removeTimerEvent(id);
  const int a = addTimerEvent(Record, 1, 100);
  const int b = addTimerEvent(Record, 2, 100);
  EXPECT_NE(a, b);
  EXPECT_EQ(pendingTimerEvents(), 2);
}

TEST_F(Timers, AnEventIsFreedBeforeItsCallbackRuns) {
  static int pendingInside = -1;
  addTimerEvent([](std::uint32_t) { pendingInside = pendingTimerEvents(); }, 0, 0);
  dispatchTimerEvents();
  EXPECT_EQ(pendingInside, 0);
}

// ---- Render retry ------------------------------------------------------------------------

TEST_F(Timers, RenderRetriesAfterFailuresAndEmptiesTheImageCache) {
  ResourceHandle picture = loadImage(1, 1, "sys/wipe_bg", true, "");
  picture.reset();
  ASSERT_GT(imageCacheCount(), 0u);
  failRenders = 9;
  EXPECT_NE(renderScreen(), 0);
  EXPECT_EQ(renders, 10);
  EXPECT_EQ(imageCacheCount(), 0u);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Timers, TenFailedRendersEndTheGameWithTheVideoMemoryMessage) {
  failRenders = 10;
  const std::vector<std::string> boxes = Ends([] { renderScreen(); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("VRAMが不足しています。"), std::string::npos) << boxes[0];
  EXPECT_EQ(renders, 10);
}

// ---- The general wait --------------------------------------------------------------------

TEST_F(Timers, AWaitWithTimeOutZeroPumpsOnce) {
  const std::uint32_t before = timeGetTime();
  waits.clear();
  EXPECT_FALSE(waitFor(nullptr, 0, 0));
  EXPECT_EQ(waits, std::vector<int>{0});
  EXPECT_EQ(timeGetTime(), before);
}

TEST_F(Timers, AWaitAlternatesZeroAndTheComputedWaitWhileTimersRun) {
  const std::uint32_t start = timeGetTime();
  addTimerEvent(Record, 5, 30);
  waits.clear();
  EXPECT_FALSE(waitFor(nullptr, 0, 100));
  EXPECT_EQ(timeGetTime() - start, 100u);
  EXPECT_EQ(gFired, std::vector<std::uint32_t>{5});
  ASSERT_GE(waits.size(), 3u);
  EXPECT_EQ(waits[1], 30);  // blocks only until the timer is due
  for (std::size_t i = 0; i < waits.size(); i += 2) EXPECT_EQ(waits[i], 0) << i;
  for (std::size_t i = 1; i < waits.size(); i += 2) EXPECT_GT(waits[i], 0) << i;
  EXPECT_EQ(waits.back(), 0);
}

TEST_F(Timers, APredicateEndsTheWaitWhenItTurnsTrue) {
  static int calls = 0;
  calls = 0;
  const auto third = [](std::intptr_t limit) { return ++calls == limit; };
  EXPECT_TRUE(waitFor(third, 3, 200));
  EXPECT_EQ(calls, 3);
}

TEST_F(Timers, MarkTimeIsTakenAfterAPump) {
  const std::uint32_t mark = restartMark();
  EXPECT_EQ(mark, timeGetTime());
  gHost.lbWaitEvent(40);
  EXPECT_EQ(elapsedSinceMark(), 40u);
}

// ---- The closed window -------------------------------------------------------------------

class ClosedWindow : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    Start("", {}, 1000);  // the window closes at game time 1000
  }
};

TEST_F(ClosedWindow, EndsAWaitWithoutATimeOutQuietly) {
  EXPECT_TRUE(Ends([] { waitFor(nullptr, 0, kWaitForever); }).empty());
  EXPECT_GE(timeGetTime(), 1000u);
  EXPECT_TRUE(Ends([] { pumpFrame(); }).empty());
}

TEST_F(ClosedWindow, EndsAClickWaitQuietly) {
  EXPECT_TRUE(Ends([] { waitFor(pollClickOrKey, 0, kWaitForever); }).empty());
}

TEST_F(ClosedWindow, EndsATransitionQuietly) {
  registerWipe("long", "", 5000, 0);
  Box(20, 0, "red", 0, 0, 100, 100, 10);
  hideSprite(20, "none");
  EXPECT_TRUE(Ends([] { showSprite(20, kNoSlot, "long"); }).empty());
  EXPECT_LT(timeGetTime(), 5000u);
}

TEST_F(ClosedWindow, EndsASceneFadeQuietly) {
  setSceneFadeDuration(5000);
  Box(20, 0, "red", 0, 0, 100, 100, 10, "wipefade");
  EXPECT_TRUE(Ends([] { sceneFadeOut(); }).empty());
  EXPECT_LT(timeGetTime(), 5000u);
}
