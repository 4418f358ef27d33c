// Cell animation on the virtual clock: the worked examples of the simple form frame by frame
// (each cell exactly as long as its duration, checked one millisecond before and at every
// change, in the image offset and in the composed frame), a compound sprite whose frames play
// sounds, changing sets, and showing and hiding.
#include <utility>
#include <vector>

#include "present/sprite_definition.h"
#include "present/timers.h"
#include "spr_fixture.h"

namespace {

constexpr int kSlot = userSlot(0);
constexpr int kCell = 16;  // cell size of every test picture

struct Frame {
  int cell;
  int duration;
};

class Animation : public SpriteDefinitionTest {
 protected:
  // Loads and shows the definition in kSlot at (0, 0); returns the time it was shown.
  std::uint32_t Show(const char* name) {
    loadSpriteDefinition(kSlot, 0, name, 0, 0, -1, 0, "none");
    return Now();
  }

  std::pair<int, int> OffsetOf(int cell, int cols) const {
    return {cell % cols * kCell, cell / cols * kCell};
  }

  // Follows the frames from `start` for `cycles` rounds: at every change the old cell still
  // shows one millisecond before it and the new one at it, in the image and on screen.
  void ExpectFrames(std::uint32_t start, const std::vector<Frame>& frames, int cols, int cycles,
                    int sub = 0, int screenX = 4) {
    std::uint32_t at = start;
    int shown = frames.front().cell;
    ASSERT_EQ(ImageOffset(kSlot, sub), OffsetOf(shown, cols));
    for (int round = 0; round < cycles; ++round) {
      for (std::size_t i = 0; i < frames.size(); ++i) {
        at += static_cast<std::uint32_t>(frames[i].duration);
        int next = frames[(i + 1) % frames.size()].cell;
        WaitUntil(at - 1);
        ASSERT_EQ(ImageOffset(kSlot, sub), OffsetOf(shown, cols))
            << "round " << round << ", frame " << i << " ends early at +" << at - 1 - start;
        ASSERT_EQ(FramePixel(screenX, 4), CellColour(shown));
        WaitUntil(at);
        ASSERT_EQ(ImageOffset(kSlot, sub), OffsetOf(next, cols))
            << "round " << round << ", frame " << i << " did not end at +" << at - start;
        ASSERT_EQ(FramePixel(screenX, 4), CellColour(next));
        shown = next;
      }
    }
  }
};

TEST_F(Animation, LoopOfFourShowsEachCellOneHundredMilliseconds) {
  WriteCells("anim/walk.png", 4, 1);
  WriteDefinition("anim/walk", {"@sprite file=\"walk.png\" anim=\"4 loop 100\""});
  Start();
  std::uint32_t shown = Show("anim/walk");
  ExpectFrames(shown, {{0, 100}, {1, 100}, {2, 100}, {3, 100}}, 4, 2);
}

TEST_F(Animation, ReturnLoopRunsForwardAndBackWithTheFirstDurationOnTheWayBack) {
  WriteCells("anim/bow.png", 3, 2);
  WriteDefinition("anim/bow", {"@sprite file=\"bow.png\" anim=\"3 rloop 80 120 s2\""});
  Start();
  std::uint32_t shown = Show("anim/bow");
  ASSERT_EQ(gSprites[kSlot].subs->front().animSetCount, 2);
  ExpectFrames(shown, {{0, 80}, {1, 120}, {2, 80}, {1, 80}}, 3, 1);

  ASSERT_TRUE(setAnimSet(kSlot, 1));
  ExpectFrames(Now(), {{3, 80}, {4, 120}, {5, 80}, {4, 80}}, 3, 2);
}

TEST_F(Animation, StopPlaysOnceAndStaysOnItsLastCell) {
  WriteCells("anim/door.png", 5, 1);
  WriteDefinition("anim/door", {"@sprite file=\"door.png\" anim=\"5 stop 50\""});
  Start();
  std::uint32_t shown = Show("anim/door");
  std::uint32_t at = shown;
  for (int cell = 0; cell < 5; ++cell, at += 50) {
    WaitUntil(at + 25);
    EXPECT_EQ(ImageOffset(kSlot), OffsetOf(cell, 5)) << "at +" << at + 25 - shown;
  }
  EXPECT_EQ(gSprites[kSlot].animTimer, -1);
  WaitUntil(shown + 2000);
  EXPECT_EQ(ImageOffset(kSlot), OffsetOf(4, 5));
  EXPECT_EQ(FramePixel(4, 4), CellColour(4));
}

TEST_F(Animation, OneCellReturnLoopIsAStillPictureOfEachRow) {
  WriteCells("anim/face.png", 1, 3);
  WriteDefinition("anim/face", {"@sprite file=\"face.png\" anim=\"1 rloop s3\""});
  Start();
  Show("anim/face");
  EXPECT_EQ(gSprites[kSlot].animTimer, -1);
  EXPECT_EQ(gSprites[kSlot].subs->front().remaining, -1);
  EXPECT_TRUE(setAnimSet(kSlot, 2));
  EXPECT_EQ(ImageOffset(kSlot), std::make_pair(0, 2 * kCell));
  EXPECT_EQ(gSprites[kSlot].animTimer, -1);
  // A set past the last holds to the last, which is already shown: nothing changes.
  EXPECT_FALSE(setAnimSet(kSlot, 9));
  EXPECT_TRUE(setAnimSet(kSlot, 0));
  EXPECT_EQ(ImageOffset(kSlot), std::make_pair(0, 0));
}

TEST_F(Animation, CompoundSpriteStepsEachPartOnItsOwnTimesAndPlaysFrameSounds) {
  WriteCells("anim/lamp.png", 2, 1);
  WriteCells("anim/flame.png", 3, 1);
  WriteSound("anim/tick.wav");
  WriteSound("sys/se/flicker.wav");
  WriteDefinition(
      "anim/lamp",
      {
          "@sprite subcount=2",
          "@sub0 file=\"lamp.png\" cellx=2 animsetcount=1 animset0=\"0 150 1 150\" se=\"0 1 "
          "anim/tick\"",
          "@sub1 file=\"flame.png\" x=32 cellx=3 animsetcount=1 animset0=\"2 100 0 100 1 100\" "
          "se=\"0 0 sys/se/flicker\"",
      });
  Start();
  std::uint32_t shown = Show("anim/lamp");

  // The lamp changes at 150 and 300, the flame at 100, 200 and 300: one timer serves both.
  WaitUntil(shown + 99);
  EXPECT_EQ(ImageOffset(kSlot, 0), OffsetOf(0, 2));
  EXPECT_EQ(ImageOffset(kSlot, 1), OffsetOf(2, 3));
  EXPECT_EQ(FramePixel(4, 4), CellColour(0));
  EXPECT_EQ(FramePixel(36, 4), CellColour(2));
  WaitUntil(shown + 100);
  EXPECT_EQ(ImageOffset(kSlot, 1), OffsetOf(0, 3));
  WaitUntil(shown + 150);
  EXPECT_EQ(ImageOffset(kSlot, 0), OffsetOf(1, 2));
  EXPECT_EQ(ImageOffset(kSlot, 1), OffsetOf(0, 3));
  EXPECT_EQ(FramePixel(4, 4), CellColour(1));
  EXPECT_EQ(FramePixel(36, 4), CellColour(0));
  WaitUntil(shown + 300);
  EXPECT_EQ(ImageOffset(kSlot, 0), OffsetOf(0, 2));
  EXPECT_EQ(ImageOffset(kSlot, 1), OffsetOf(2, 3));
  WaitUntil(shown + 610);

  // The flame's sound goes with its first frame, the moment the sprite shows and at every
  // round; the lamp's with its second frame.
  std::vector<std::pair<std::uint32_t, std::string>> expected = {
      {shown, "se sys/se/flicker.wav"},       {shown + 150, "se anim/tick.wav"},
      {shown + 300, "se sys/se/flicker.wav"}, {shown + 450, "se anim/tick.wav"},
      {shown + 600, "se sys/se/flicker.wav"},
  };
  EXPECT_EQ(Transcript("se "), expected);
}

TEST_F(Animation, HidingStopsTheAnimationAndShowingRestartsItFromTheFirstFrame) {
  WriteCells("anim/walk.png", 4, 1);
  WriteDefinition("anim/walk", {"@sprite file=\"walk.png\" anim=\"4 loop 100\""});
  Start();
  std::uint32_t shown = Show("anim/walk");
  int pending = pendingTimerEvents();
  WaitUntil(shown + 250);
  EXPECT_EQ(ImageOffset(kSlot), OffsetOf(2, 4));

  hideSprite(kSlot, "none");
  EXPECT_EQ(gSprites[kSlot].animTimer, -1);
  EXPECT_EQ(pendingTimerEvents(), pending - 1);
  WaitUntil(shown + 600);
  EXPECT_EQ(ImageOffset(kSlot), OffsetOf(2, 4)) << "a hidden sprite does not animate";

  // Changing the set of a hidden sprite schedules nothing.
  EXPECT_FALSE(setAnimSet(kSlot, 0));
  showSprite(kSlot, kNoSlot, "none");
  ExpectFrames(Now(), {{0, 100}, {1, 100}, {2, 100}, {3, 100}}, 4, 1);
}

}  // namespace
