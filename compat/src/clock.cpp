/*
 * The process clock behind timeGetTime: real milliseconds since the library was loaded, or a
 * virtual clock that moves only when the host advances it (headless replays).
 */
#include "wincompat.h"
#include "windows.h"

#include <chrono>
#include <mutex>

namespace {

using SteadyClock = std::chrono::steady_clock;

const SteadyClock::time_point loadTime = SteadyClock::now();

struct ClockState {
  std::mutex lock;
  bool isVirtual = false;
  uint32_t virtualNow = 0;
  // Added to the real elapsed time, so that switching modes or setting the clock never
  // makes the real clock jump to an unrelated value.
  uint32_t realOffset = 0;
};

ClockState& state() {
  static ClockState clock;
  return clock;
}

uint32_t realElapsed() {
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - loadTime);
  return static_cast<uint32_t>(static_cast<uint64_t>(elapsed.count()));
}

// Callers hold the lock.
uint32_t currentLocked(ClockState& clock) {
  return clock.isVirtual ? clock.virtualNow : static_cast<uint32_t>(realElapsed() + clock.realOffset);
}

}  // namespace

extern "C" DWORD WINAPI timeGetTime(void) {
  ClockState& clock = state();
  std::lock_guard<std::mutex> guard(clock.lock);
  return currentLocked(clock);
}

extern "C" void compatUseVirtualClock(int on) {
  ClockState& clock = state();
  std::lock_guard<std::mutex> guard(clock.lock);
  bool wantVirtual = on != 0;
  if (wantVirtual == clock.isVirtual) return;
  // Either way the clock continues from where it stands, so no wait sees time go backwards.
  uint32_t now = currentLocked(clock);
  clock.isVirtual = wantVirtual;
  if (wantVirtual) {
    clock.virtualNow = now;
  } else {
    clock.realOffset = static_cast<uint32_t>(now - realElapsed());
  }
}

extern "C" int compatIsVirtualClock(void) {
  ClockState& clock = state();
  std::lock_guard<std::mutex> guard(clock.lock);
  return clock.isVirtual ? 1 : 0;
}

extern "C" void compatAdvanceClock(uint32_t ms) {
  ClockState& clock = state();
  std::lock_guard<std::mutex> guard(clock.lock);
  if (clock.isVirtual) clock.virtualNow = static_cast<uint32_t>(clock.virtualNow + ms);
}

extern "C" void compatSetClock(uint32_t now) {
  ClockState& clock = state();
  std::lock_guard<std::mutex> guard(clock.lock);
  if (clock.isVirtual) {
    clock.virtualNow = now;
  } else {
    clock.realOffset = static_cast<uint32_t>(now - realElapsed());
  }
}
