// The frame pump and everything that waits: render with retry, one pump pass, the general
// wait with a time-out and a predicate, the click-or-key predicate, the skip key, the scene
// fade-out and fade-in of "@sprBeginScene" / "@sprEndScene", and the mark time of fades.
#pragma once

#include <cstdint>

// A waitFor time-out of all ones never runs out.
constexpr std::uint32_t kWaitForever = 0xFFFFFFFFu;

// Draws and presents the frame, up to 10 attempts, emptying the image and sound caches
// after each failure; ten failures end the game with the out-of-video-memory message.
int renderScreen();
// One pump pass: due timers, the host's pending events, and Abort once the window closed.
void pumpFrame();
// Waits until the predicate (may be null) returns true for argument or the time-out runs
// out, while timers keep running; true when the predicate ended the wait.
using WaitPredicate = bool (*)(std::intptr_t argument);
bool waitFor(WaitPredicate predicate, std::intptr_t argument, std::uint32_t timeout);
// True while either Ctrl key is held (the skip key); the argument is ignored.
bool isSkipKeyHeld(std::intptr_t ignored = 0);
// The click wait's predicate: mouse and key events, F5 full screen, Ctrl skip, Escape and
// right click to the selection handler; in button mode they drive the buttons instead.
bool pollClickOrKey(std::intptr_t buttonMode);

// Scene fade: sprites with wipefade fade out (and stay off screen until the fade-in).
void sceneFadeOut();
void sceneFadeIn();
// Scene fade duration in ms (300 from the sprite set-up); below 1 turns the fade-out off.
void setSceneFadeDuration(std::int32_t ms);
std::int32_t sceneFadeDuration();
// True between a fade-out that took sprites off screen and the next fade-in.
bool isSceneFaded();

// Mark time: the start of the running fade or transition.
std::uint32_t elapsedSinceMark();  // pumpFrame, then now minus the mark
std::uint32_t restartMark();       // pumpFrame, then the mark is now; returns it
std::uint32_t markTime();          // the mark as it stands, without pumping
void setMarkTime(std::uint32_t time);
