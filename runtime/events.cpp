/*
 * The host's event loop as the game drives it: lbWaitEvent lets time pass (real or virtual)
 * until an event or a scripted action arrives, lbClearEvent services pending window events.
 * Both are where the settings screen opens when the player asked for it.
 */
#include "present.h"
#include "runtime.h"

#include <algorithm>

extern "C" {

int lbWaitEvent(int ms) {
  Platform& p = platform();
  if (ms < 0) ms = 0;
  serviceSettingsScreen();
  if (deliverDueActions() || p.exitRequested) {
    serviceSettingsScreen();
    return 1;
  }
  // A scripted action that becomes due during the wait ends it early.
  uint32_t now = gameTime();
  uint64_t wait = uint64_t(ms);
  if (p.scripted) {
    if (std::optional<uint32_t> due = p.script.due())
      wait = std::min<uint64_t>(wait, uint32_t(std::max<int32_t>(int32_t(*due - now), 0)));
  }
  // A Back button held down opens the settings screen on time. The window's event wait
  // counts its own milliseconds, which may end one short of the game clock's: one more.
  if (std::optional<uint32_t> hold = settingsHoldDue())
    wait = std::min<uint64_t>(wait, uint32_t(std::max<int32_t>(int32_t(*hold - now), 0)) +
                                        (p.headless ? 0 : 1));
  // The safety net: the window closes once the longest allowed game time has passed. The
  // wait ends there at the latest; an event that ends it sooner leaves the window open.
  if (uint64_t(now) + wait >= p.maxTime) wait = p.maxTime > now ? p.maxTime - now : 0;
  if (p.headless)
    advanceGameTime(uint32_t(wait));
  else if (p.backend)
    p.backend->waitEvents(int(wait));
  if (gameTime() >= p.maxTime) requestExit();
  deliverDueActions();
  serviceSettingsScreen();
  // The next pass counts as a wait for the player only if the game polls again.
  p.script.polling = false;
  return 1;
}

int lbClearEvent(void) {
  Platform& p = platform();
  if (p.backend) p.backend->waitEvents(0);
  serviceSettingsScreen();
  return 1;
}

}  // extern "C"
