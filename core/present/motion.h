// Motions: short scripts of timed sprite changes read from "%s.mot" files (move, turn,
// scale), each event interpolated linearly from the value it finds when it starts. Up to
// four motions run at once, stepped by timer events.
#pragma once

#include <cstdint>
#include <vector>

#include "support/shared_handle.h"

constexpr int kMotionRecordCount = 4;

// MotionEvent::kind
constexpr int kMotionPos = 0;
constexpr int kMotionRot = 1;
constexpr int kMotionSize = 2;

// One timed change. The six values mean, by kind:
//   pos:  start x, start y, end x, end y, span
//   rot:  rotation bits, start angle, end angle, pivot x, pivot y, span
//   size: start width, start height, end width, end height, span
// Rot keeps its angles and pivot in the float values; the others in the int values.
struct MotionEvent {
  int start = 0;        // ms after the motion starts
  int slot = 120;       // 120 once finished or its sprite was destroyed
  int kind = kMotionPos;
  bool capture = false; // take the start values from the sprite when first run
  int values[6] = {};
  float floats[6] = {};
};

struct MotionRecord {
  int eventCount = 0;  // 0: free
  SharedHandle<std::vector<MotionEvent>> events;
  std::uint32_t startTime = 0;
  int timerId = -1;
};

extern MotionRecord gMotions[kMotionRecordCount];

// Reads "<file>.mot" with sprite numbers relative to `baseSlot` and starts it; with `wait`,
// returns only once it has ended. A file with no events starts nothing.
void loadMotion(int baseSlot, const char* file, bool wait);
// One step of the motion record with this index (a timer callback argument).
void motionStep(std::uint32_t record);
// Adds the timer event for the record's next step, or frees the record when done.
void scheduleMotion(std::uint32_t record);
// Installs the sprite table's hooks: a destroyed slot's events stop, a reset empties all.
void installMotionHooks();
// Stops every event that drives the slot (the sprite was destroyed).
void releaseMotionSlot(int slot);
// Empties all four records (their timers are cancelled).
void resetMotions();
