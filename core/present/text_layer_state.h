// What a screen drawn over the game reads back of the text layers, so it can put the layer
// it borrows and the current layer back as they were.
#pragma once

// The level last given to setTextLayerLevel (the sprites stand at 80 plus it).
int textLayerLevel(const char* name);
// The name of the layer at an index; "" for a free entry or an index out of range.
const char* textLayerName(int index);
