// Sprite definition files ("%s.spr") and cell animation: reading a definition into the
// sub-sprites of a slot, and the timer-driven stepping of each sub-sprite through the cells
// of its current animation set.
#pragma once

#include <cstdint>

#include "present/sprites.h"

// Reads "<name>.spr" and builds the sprite in `slot` through buildSprite: the simple form
// (one image, animation sets from "anim") or the compound form ("subcount" sub-sprites from
// `@subN` lines). `level` negative means the default level; `style` is the starting style
// bit set the definition's "style" text is parsed from. Every failure ends the game.
void loadSpriteDefinition(int slot, int spriteClass, const char* name, int x, int y, int level,
                          DisplayStyle style, const char* transition);

// Shows the sub-sprite's current frame: moves its image to the frame's cell, sets how long
// the frame stays (-1 for ever) and plays the frame's sound. Without frames: cell 0, for ever.
void applyFrame(SubSprite& sub);

// Moves the sub-sprite's image so that cell `cell` of its grid shows through its sprite. A
// cell outside the grid shows nothing there.
void showCell(const SubSprite& sub, int cell);

// While one exists, applyFrame moves cells but starts no frame sounds. buildSprite holds one
// while it re-shows a finished sprite under its own slot: the first frame's sound already
// played when the sprite appeared, and playing it again would double it.
struct QuietFrameSounds {
  QuietFrameSounds();
  ~QuietFrameSounds();
  QuietFrameSounds(const QuietFrameSounds&) = delete;
  QuietFrameSounds& operator=(const QuietFrameSounds&) = delete;
};

// Registers the slot's next animation step at the earliest due sub-sprite, or marks the
// slot as having no pending step (animTimer -1) when every frame stays for ever.
void scheduleAnimation(int slot);

// The timer callback of cell animation (argument: the slot): advances every sub-sprite that
// is due, then schedules the next step.
void animationTick(std::uint32_t slot);

// Switches every animated sub-sprite of a valid slot to `set` (held to its last set) from
// its first frame, rescheduling a shown slot. Returns whether any sub-sprite changed.
bool setAnimSet(int slot, int set);

// Start-up: the mouse cursor "cursor0" and the page cursor "cursor1", each loaded hidden into
// its system place when its definition exists.
void loadSystemCursors();
// Before every run: the blank page cursor "sys/cursor_blank", hidden, riding on the mouse
// cursor when there is one.
void loadBlankPageCursor();
