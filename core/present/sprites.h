// The sprite table: 120 slots, each one logical sprite made of sub-sprites (an image shown
// through a host sprite), with its anchor, alignment, parent, level, class, display style,
// pivot and rotation. Slot 0 is where every new sprite is assembled; slots 1 to 19 belong
// to the system; script sprite n is slot n + 20 and messages print the slot minus 20.
#pragma once

#include <cstdint>
#include <vector>

#include "present/resources.h"

// ---- Slots -----------------------------------------------------------------------------

constexpr int kSpriteSlotCount = 120;
constexpr int kNoSlot = 120;            // "no slot" wherever a slot index is stored or passed
constexpr int kConstructionSlot = 0;    // where buildSprite assembles a new sprite
constexpr int kCursorSlot = 1;          // the mouse cursor
constexpr int kPageCursorSlot = 2;      // the page cursor, a child of the mouse cursor
constexpr int kBackgroundSlot = 3;      // the system background
constexpr int kUserSlotBase = 20;       // script sprite n lives in slot n + 20
constexpr int kDefaultSpriteLevelStart = 16;

// Script sprite number to slot and back (messages print slot - 20).
constexpr int userSlot(int spriteNumber) { return spriteNumber + kUserSlotBase; }
constexpr int spriteNumberOf(int slot) { return slot - kUserSlotBase; }

// SpriteSlot::flags
constexpr std::uint32_t kSlotValid = 0x1;     // in use
constexpr std::uint32_t kSlotRealized = 0x2;  // host sprites exist and are on screen
constexpr std::uint32_t kSlotFadedOut = 0x4;  // shown, but off screen after the scene fade-out

// ---- Display styles --------------------------------------------------------------------

using DisplayStyle = std::uint32_t;
constexpr DisplayStyle kStyleLeft = 0x1;
constexpr DisplayStyle kStyleRight = 0x2;
constexpr DisplayStyle kStyleCenter = 0x4;
constexpr DisplayStyle kStyleTop = 0x8;
constexpr DisplayStyle kStyleBottom = 0x10;
constexpr DisplayStyle kStyleMiddle = 0x20;
constexpr DisplayStyle kStyleRotateNone = 0x40;
constexpr DisplayStyle kStyleRotateX = 0x80;
constexpr DisplayStyle kStyleRotateY = 0x100;
constexpr DisplayStyle kStyleRotateZ = 0x200;
constexpr DisplayStyle kStyleShow = 0x400;
constexpr DisplayStyle kStyleHide = 0x800;
constexpr DisplayStyle kStyleBackNormal = 0x1000;
constexpr DisplayStyle kStyleBackHide = 0x2000;
constexpr DisplayStyle kStyleWipeFade = 0x4000;
constexpr DisplayStyle kStyleWipeNoFade = 0x8000;
constexpr DisplayStyle kStyleWipeHide = 0x10000;
constexpr DisplayStyle kStyleWipeNoHide = 0x20000;
constexpr DisplayStyle kStyleCache = 0x40000;
constexpr DisplayStyle kStyleNoCache = 0x80000;

constexpr DisplayStyle kStyleAlignBits = 0x3F;      // left .. middle
constexpr DisplayStyle kStyleRotateBits = 0x3C0;    // rotatenone .. rotatez
// The three state bits a slot keeps besides alignment and rotation.
constexpr DisplayStyle kStyleStateBits = kStyleBackHide | kStyleWipeFade | kStyleWipeHide;

// Applies the words of `text` to `start` (each word sets its bit and clears the bits it
// excludes; the later word of a pair wins). An unknown word ends the game.
DisplayStyle parseDisplayStyle(DisplayStyle start, const char* text);
// The stored state bits after the back/wipe words of a parsed style are applied.
DisplayStyle applyStateWords(DisplayStyle stored, DisplayStyle parsed);

// ---- Records ---------------------------------------------------------------------------

// One frame of a cell animation: the cell shown, a sound played when it shows (empty for
// none), and how long it stays (-1: until the set changes).
struct AnimFrame {
  int cell = 0;
  ResourceHandle sound;
  int duration = -1;
};

// A sequence of frames.
struct AnimSet {
  int frameCount = 0;
  SharedHandle<std::vector<AnimFrame>> frames;
};

// One image of a sprite, shown through one host sprite.
struct SubSprite {
  ResourceHandle image;     // loaded as a grid of cells
  ResourceHandle sprite;    // the host sprite; empty while the slot is not realized
  int x = 0, y = 0;         // offset from sub-sprite 0 at the current scale
  int width = 0, height = 0;  // displayed size at the current scale
  int defX = 0, defY = 0;   // offset at scale 1, from the definition
  int cellWidth = 0, cellHeight = 0;  // one cell of the image, also the unscaled size
  int blend = 1;            // host blend mode
  int cellsPerRow = 1;
  int cellRows = 1;
  int animSetCount = 0;     // 0: no animation
  SharedHandle<std::vector<AnimSet>> animSets;
  int curAnimSet = 0;
  int curFrame = 0;
  int remaining = -1;       // ms until the next frame, -1 when the frame has no end
};

using SubSpriteArray = std::vector<SubSprite>;
using SubSpriteHandle = SharedHandle<SubSpriteArray>;

struct SpriteSlot {
  std::uint32_t flags = 0;
  int subCount = 0;
  SubSpriteHandle subs;
  int absX = 0, absY = 0;                   // top-left of the bounding box on screen
  int width = 0, height = 0;                // bounding box at the current scale
  int reqX = 0, reqY = 0;                   // anchor as requested
  int naturalWidth = 0, naturalHeight = 0;  // bounding box at scale 1
  int level = 0;                            // host level is twice this
  int spriteClass = 0;                      // 0..3; 3 is the background class
  DisplayStyle style = 0;                   // alignment, rotation and the three state bits
  int parent = kNoSlot;
  float pivotX = 0, pivotY = 0;             // fractions of the bounding box
  float angle = 0;                          // degrees
  int animTimer = -1;                       // pending animation timer id, or -1
};

// The table itself; indices are slots, not sprite numbers.
extern SpriteSlot gSprites[kSpriteSlotCount];

// ---- Settings (set by initSprites) ------------------------------------------------------

extern int gDefaultSpriteLevel;           // used when a creator passes a negative level
extern DisplayStyle gClassStyle[4];       // state bits a new sprite of each class starts with
extern char gDefaultTransColour[256];     // transparency colour of definitions without one
extern char gDefaultWipeName[256];        // transition used when a show or hide names none
extern int gSceneFadeDuration;            // ms, for the scene fade-out and fade-in
extern bool gSceneFaded;                  // a scene fade-out is in effect

// ---- Operations (slot indices throughout) -----------------------------------------------
// "Checked" variants report "スプライト %d は有効ではありません。" (slot - 20) for a slot
// outside 0..119 or not in use; the plain ones do nothing on such a slot.

// Sets the globals above to their start values.
void initSprites();
// The slot if it is in range and in use; otherwise the game ends with the slot message.
SpriteSlot& requireSprite(int slot);

// Builds a sprite from `subs` (taken over) in slot 0 and moves it into `target`, showing it
// through the transition unless the style says "hide". Width/height <= 0: natural size.
void buildSprite(int target, int spriteClass, int level, SubSpriteHandle subs, int x, int y,
                 int width, int height, DisplayStyle style, const char* transition);
// Builds a one-image sprite filled with a colour.
void buildColourSprite(int slot, int spriteClass, int imageWidth, int imageHeight,
                       const char* colour, int x, int y, int width, int height, int level,
                       DisplayStyle startStyle, const char* styleText, const char* transition);

void setDefaultSpriteLevel(int level);   // clamped to 0..126
void setDefaultTransColour(const char* text);
void setDefaultWipeName(const char* text);

// Places the slot's anchor (alignment bits from `style`) and repositions its children.
void setSpritePos(int slot, int x, int y, DisplayStyle style);
// The same for scripts: the style text is parsed from left-top.
void setSpritePosChecked(int slot, int x, int y, const char* styleText);
// Attaches the slot to a parent (negative: none) and repositions it.
void connectSprite(int slot, int parent);
// Scales the slot to a display size (checked).
void setSpriteSize(int slot, int width, int height);
// Sets the drawing level (checked); 2 x level on the host.
void setSpriteLevel(int slot, int level);
// Sets pivot, angle (kept in [0, 360)) and rotation axis from the style text (checked).
void setSpritePivot(int slot, float pivotX, float pivotY, float angle, const char* styleText);
// Applies the back/wipe words of the text to the slot (checked).
void setSpriteStateStyle(int slot, const char* styleText);
// Applies the back/wipe words of the text to a class's default style.
void setClassStyle(int spriteClass, const char* styleText);

// Shows the slot through the transition while hiding `other` (kNoSlot: none).
void showSprite(int slot, int other, const char* transition);
void showSpriteChecked(int slot, int other, const char* transition);
// Hides the slot through the transition.
void hideSprite(int slot, const char* transition);
void hideSpriteChecked(int slot, const char* transition);
// Frees the slot: its button and motion events go, its children lose their parent.
void destroySprite(int slot);
// Hides with "none" first (checked).
void destroySpriteChecked(int slot);
// Hides and destroys every script sprite (slots 20..119).
void destroyUserSprites();
// Empties the motion records and destroys all 120 slots.
void resetSprites();

// Queries (checked unless noted).
void getSpriteSize(int slot, int& width, int& height);
void getSpritePos(int slot, int& x, int& y);
int getSpriteLevel(int slot);        // 0 for an invalid slot (not checked)
bool isSpriteShown(int slot);        // index checked; false when the slot is not in use
bool isSpriteValid(int slot);        // index checked
ResourceHandle getSpriteImage(int slot);  // sub-sprite 0's image

// Creates (make) or releases the slot's host sprites; clears the wipehide bit either way.
void realizeSprite(int slot, bool make);
// Applies pivot and rotation to the host sprites of a realized slot.
void applySpritePivot(int slot);
// Sets the host level of every host sprite of a realized slot (transitions use odd levels).
void setSpriteHostLevel(int slot, int hostLevel);

// Motions keep per-slot state that goes when a slot is destroyed; their part registers how
// to drop it and how to empty the motion records. Without motions there is nothing to drop.
void setMotionReleaseHooks(void (*releaseSlot)(int slot), void (*resetAll)());
