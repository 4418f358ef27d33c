// The timer table: 128 one-shot events and the stack of free ids. An event is freed just
// before its callback runs, so a repeating activity (animation, motion) schedules its next
// step from inside the callback.
#include "present/timers.h"

#include <windows.h>

#include "host/errors.h"
#include "present/frame.h"
#include "support/sjis_literal.h"

namespace {

struct TimerEvent {
  TimerCallback callback = nullptr;  // null marks a free entry
  std::uint32_t argument = 0;
  std::uint32_t due = 0;
};

TimerEvent gEvents[kTimerEventCount];
int gFreeIds[kTimerEventCount];
int gUsedCount = 0;
// Set by every add: a loop that computed its wait before the add must look again at once.
bool gTimersChanged = false;

void freeEntry(int id) {
  gEvents[id].callback = nullptr;
  --gUsedCount;
  gFreeIds[gUsedCount] = id;
}

}  // namespace

void initTimers() {
  for (int i = 0; i < kTimerEventCount; ++i) {
    gEvents[i] = TimerEvent{};
    gFreeIds[i] = i;
  }
  gUsedCount = 0;
  gTimersChanged = false;
}

int addTimerEvent(TimerCallback callback, std::uint32_t argument, std::uint32_t delay) {
  if (gUsedCount >= kTimerEventCount || callback == nullptr)
    Fatal("タイマーイベントをこれ以上登録できません。"_sj);
  const int id = gFreeIds[gUsedCount++];
  gEvents[id].callback = callback;
  gEvents[id].argument = argument;
  gEvents[id].due = timeGetTime() + delay;
  gTimersChanged = true;
  return id;
}

void removeTimerEvent(int id) {
  if (id < 0) return;
  if (id >= kTimerEventCount) Fatal("タイマーイベントIDが不正(%d)"_sj, id);
  // Removing an entry that is already free would push its id twice and later hand one id
  // to two events; a second removal is therefore a no-op.
  if (gEvents[id].callback == nullptr) return;
  freeEntry(id);
}

std::uint32_t dispatchTimerEvents() {
  const std::uint32_t now = timeGetTime();
  std::uint32_t next = kNoTimerDue;
  bool fired = false;
  for (int id = 0; id < kTimerEventCount; ++id) {
    TimerEvent& event = gEvents[id];
    if (event.callback == nullptr) continue;
    // The difference, read as signed, keeps events in order across the wrap of the 32-bit
    // millisecond clock (every 49.7 days): an event due just after the wrap is not yet due.
    const auto ahead = static_cast<std::int32_t>(event.due - now);
    if (ahead > 0) {
      if (static_cast<std::uint32_t>(ahead) < next) next = static_cast<std::uint32_t>(ahead);
      continue;
    }
    const TimerCallback callback = event.callback;
    const std::uint32_t argument = event.argument;
    freeEntry(id);
    callback(argument);
    fired = true;
  }
  if (fired) renderScreen();
  if (gTimersChanged) {
    gTimersChanged = false;
    return 0;
  }
  return next;
}

int pendingTimerEvents() { return gUsedCount; }
