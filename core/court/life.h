// The life gauge: how many wrong answers the player has left, the gauge at the top right
// that shows them, the loss animation, and the no-life target run when the last one goes.
// Life and target are kept with a saved game under "pt_life" and "pt_nolife".
#pragma once

#include <cstddef>

constexpr int kMaxLife = 5;
constexpr std::size_t kNolifeTargetSize = 264;  // 263 bytes kept
constexpr int kLifeGaugeSlot = 36;              // court sprite of the gauge
constexpr int kLifeGaugeLevel = 21;
constexpr int kLifeLossSlot = 37;               // court sprite of the loss animation
constexpr int kLifeLossLevel = 22;

// Life 5 and the target "start:nolife"; with `restore`, the saved values of the progress
// file instead ("pt_life" taken as written, without a range test). Every top-level run.
void loadLife(bool restore, const char* progressFile);
// Writes "pt_life" and "pt_nolife" to the progress file; false when a write failed.
bool saveLife(const char* progressFile);
// `@courtSetLife`: 1 to 5, anything else is a script error and nothing changes. The gauge
// is not redrawn.
void setLife(int value);
// `@courtShowLife`: shows the gauge for the current life (hides it at life 0 or less); with
// `noTransition` at once, otherwise fading in.
void showLife(bool noTransition);
// `@courtHideCourtLife`: hides and destroys the gauge, if shown.
void hideLife(bool noTransition);
// `@courtReduceLife`: takes one unit with its sound and animation; at the last one runs the
// no-life target as a nested scenario and copies its result into the current scenario.
// True when the current scenario must end.
bool reduceLife();
// `@courtSetNolifeScenario`: the target run when the life runs out (cut to 263 bytes).
void setNolifeTarget(const char* target);

// The current values, for the save and for tests.
int currentLife();
const char* nolifeTarget();
