// The courtroom stage: one background (slot 3), an optional foreground band drawn over the
// characters, three character places, the fixed table of court sprite slots and levels that
// every courtroom screen uses, and the five court positions the script selects.
#pragma once

#include <cstdint>

#include "present/sprites.h"
#include "support/support.h"

// ---- Court sprite table ----------------------------------------------------------------

// One court sprite: its slot, the level it is built with, whether the system menu hides it,
// and the menu's scratch mark that it was visible when the menu opened.
struct CourtSpriteEntry {
  std::int32_t slot;
  std::int32_t level;
  std::uint8_t hideUnderMenu;
  std::uint8_t wasVisible;
};
constexpr int kCourtSpriteCount = 24;
// The table itself; only the menu's scratch marks ever change.
extern CourtSpriteEntry CourtSpriteTable[kCourtSpriteCount];

// Entries other courtroom screens refer to by number.
constexpr int kCourtEntryCharaLeft = 0;
constexpr int kCourtEntryCharaRight = 1;
constexpr int kCourtEntryCharaCenter = 2;
constexpr int kCourtEntryForeground = 3;
constexpr int kCourtEntryRecordButton = 20;

constexpr int kCourtBackgroundLevel = 1;
constexpr int kCourtForegroundSlot = 41;
constexpr int kCourtForegroundLevel = 19;
constexpr int kCourtBackgroundClass = 3;

// ---- Stage state -----------------------------------------------------------------------

constexpr int kCharaPlaceCount = 3;
constexpr int kCharaPlaceLeft = 0;
constexpr int kCharaPlaceCenter = 1;
constexpr int kCharaPlaceRight = 2;
constexpr int kCharaPlaceAll = 3;  // hideChara only

struct CharaPlace {
  std::uint32_t courtEntry = 0;   // index into CourtSpriteTable
  DisplayStyle alignment = 0;     // parsed from alignmentText
  char alignmentText[256] = {};   // "left bottom", "center bottom", "right bottom"
  std::int32_t x = 0, y = 0;      // offsets from the anchor, set by the last show
  PathBuffer path = {};           // the definition shown here; empty when the place is empty
};

struct CourtScene {
  CharaPlace places[kCharaPlaceCount];
  PathBuffer backPath = {};   // empty when no background was named (a colour, or none)
  PathBuffer frontPath = {};
  std::int32_t backX = 0;     // the background's y is always 0
};
extern CourtScene gCourtScene;

// ---- Operations ------------------------------------------------------------------------

// Empties the stage record: places back to their entries and alignments, no paths, x 0.
void resetCourtScene();
// The sprite definition for a court name: inside the scenario folder when "<name>.spr"
// exists there, else inside "sys".
void resolveSpriteName(PathBuffer& out, const char* name);
// True when the stored background is the name in the scenario folder or in "sys".
bool isBackShown(const char* name);
// Shows a new background (a definition, or a colour stretched over the screen when the name
// is empty) at x; removes the foreground; keeps the characters re-anchored or removes them.
void setBack(const char* name, const char* colour, int x, bool keepCharacters,
             const char* wipe, bool noWipe);
// Shows the foreground band at (x, y) from the background's top-left corner.
void setFront(const char* name, int x, int y, bool noWipe);
// Moves the background to x at `speed` pixels per 100 ms (<= 0: at once); children follow.
void panBack(int x, float speed);
// Shows a character in a place at offsets (x, y); the same definition again only moves it.
void showChara(const char* name, int place, int x, int y, bool noWipe);
// Hides the character of one place, or of all three (kCharaPlaceAll) in one transition.
void hideChara(int place, bool noWipe);
// Re-applies a place's offsets against the current background.
void placeChara(int place);

// The court positions.
void setLawyerBack(bool noScroll, bool keepCharacters, bool wipe, bool fade);
void setWitnessBack(bool noScroll, bool keepCharacters, bool wipe, bool fade);
void setProsecutorBack(bool noScroll, bool keepCharacters, bool wipe, bool fade);
void setJudgeBack(bool keepCharacters, bool wipe, bool fade);
void setGuideBack(bool keepCharacters, bool wipe, bool fade);
