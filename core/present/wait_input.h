// The click wait's filter: the player's comforts (the message log, auto-advance) see each
// input of a click wait before the wait acts on it, and may keep it or end the wait.
#pragma once

// What the click wait does with one input after the filter has seen it: act on it as
// always, drop it, or end the wait at once so the waiting code can act on what was noted.
enum class WaitInputUse { Pass, Taken, EndsWait };
// A mouse event (an LB_MOUSE_* code; pointer moves are not handed over) or a key press (a
// DirectInput code).
enum class WaitInputKind { Mouse, Key };
using WaitInputFilter = WaitInputUse (*)(WaitInputKind kind, int code);
// Installs the filter every click wait hands its inputs to first (null: none).
void setWaitInputFilter(WaitInputFilter filter);
