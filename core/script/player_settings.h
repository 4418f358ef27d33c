// The player's reading settings: text speed and the auto-advance delay, kept in section
// [settings] of "orvane.ini" beside the progress file (the runtime's settings screen writes
// them there). Read afresh at each text and each page wait, so a change applies at once.
#pragma once

#include <cstdint>

// Reads the text speed from the file; a text calls it once as it starts.
void readTextSpeed();
// Text speed in percent of the character delay the script asks for: 0 draws a text at once,
// 100 (the default) is the script's own pace, 400 the slowest. Out of range reads as 100.
int textSpeedPercent();
// The character delay of a layer whose speed is `layerDelay` ms at the text speed last read.
int scaledCharDelay(int layerDelay);
// The auto-advance base delay in ms (default 1500, 500 to 5000); a page waits this long
// plus kAutoAdvancePerChar ms for each character on it.
int autoAdvanceBaseDelay();

constexpr int kDefaultTextSpeed = 100;
constexpr int kMaxTextSpeed = 400;
constexpr int kDefaultAutoDelay = 1500;
constexpr int kMinAutoDelay = 500;   // the settings screen's range
constexpr int kMaxAutoDelay = 5000;
constexpr int kAutoAdvancePerChar = 60;
