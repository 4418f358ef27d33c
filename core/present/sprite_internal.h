// What the sprite table's own files share and nobody else calls: the validity test, the
// bounding box and scaling without the script's slot check.
#pragma once

#include "present/sprites.h"

// True for an index 0..119 whose slot is in use.
bool isValidSlot(int slot);
// The slot's sub-sprites (none when the array is empty).
inline SubSpriteArray* subSpritesOf(SpriteSlot& s) { return s.subCount > 0 ? s.subs.get() : nullptr; }
// Width and height from the sub-sprites' sizes and offsets.
void computeSpriteBounds(SpriteSlot& s);
// Scales a valid slot to a display size and repositions it.
void scaleSprite(int slot, int width, int height);
