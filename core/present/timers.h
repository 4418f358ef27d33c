// Timers: the one-shot timer events that drive everything that moves (cell animation,
// motions). 128 entries with a stack of free ids; the waiting loops of frame.h dispatch
// the due ones and render once after anything fired.
#pragma once

#include <cstdint>

// A timer callback takes the event's 32-bit argument. An argument that names an object
// (a motion record) is its index in its owner's table, never its address, so it fits in
// 32 bits on every build.
using TimerCallback = void (*)(std::uint32_t argument);

constexpr int kTimerEventCount = 128;
// What dispatchTimerEvents reports when no event is pending.
constexpr std::uint32_t kNoTimerDue = 0xFFFFFF;

// Empties the table: every callback null, the free stack 0..127 in order, none in use.
void initTimers();
// Schedules callback(argument) once, delay ms from now; returns its id (0 to 127).
// A full table or a null callback ends the game.
int addTimerEvent(TimerCallback callback, std::uint32_t argument, std::uint32_t delay);
// Cancels an event: negative ids are ignored, ids of 128 or more end the game.
void removeTimerEvent(int id);
// Runs every due event in id order, renders once if any fired; returns the ms until the
// next event (0 when an event was added since the last dispatch, 16777215 with none).
std::uint32_t dispatchTimerEvents();
// Number of events pending (for tests and the debug log).
int pendingTimerEvents();
