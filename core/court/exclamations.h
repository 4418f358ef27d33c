// The courtroom's short set pieces, each started by one command: the speaker's name plate,
// the shouted exclamations with their voices, the two-character verdict, the loud text that
// fills the message window, and the two-line scene caption.
#pragma once

// Court sprite slots and levels of the set pieces (all class 0).
constexpr int kNamePlateSlot = 20;
constexpr int kNamePlateLevel = 20;
constexpr int kItemFlourishSlot = 21;
constexpr int kItemFlourishLevel = 82;
constexpr int kExclamationSlot = 35;
constexpr int kExclamationLevel = 83;
constexpr int kVerdictFirstSlot = 39;
constexpr int kVerdictSecondSlot = 40;
constexpr int kVerdictLevel = 83;

// Shows the plate "sys/name_<name>" at the bottom left; an empty name removes the plate.
void showNamePlate(const char* name);
// Removes the plate if there is one (the save question and the full-screen text call it).
void clearNamePlate();

// Shouts "igi", "matta" or "kurae": the item's picture flies first when `item` >= 0, the
// bubble "sys/court_<type>" sweeps across from the left or right, the shout plays, then the
// voice "sys/voice/<voice>_<type>" when a voice is named. Returns once both are gone.
void showExclamation(const char* type, const char* voice, int item, bool right);

// The verdict: the two characters "sys/court_guilty0/1" or "sys/court_innocence0/1" wiped
// in one after the other with the gavel, then wiped away; the message window and the name
// plate come back as they were.
void showVerdict(bool guilty);

// Large green characters across the message window, each with the loud voice; the window
// returns to its normal mode afterwards unless the scenario is leaving.
void showLoudText(const char* text);

// Two centred lines of green text in the message window, typed with the character sound.
void showSceneCaption(const char* line1, const char* line2);
// The half-width spaces that centre a caption line: (32 - width) / 2, where the width counts
// bytes and a ruby group in braces counts one; never negative.
int sceneCaptionPadding(const char* line);
