// The text layer table itself, shared by the files that implement text layers (and read by
// tests): the entry of one layer with its fonts, surfaces, pen and choice regions.
#pragma once

#include <cstdint>

#include "present/resources.h"
#include "present/text_layers.h"
#include "support/ordered_list.h"

// The three sprite slots of a layer.
struct TextLayerSlots {
  int text, window, shadow;
};
constexpr TextLayerSlots textLayerSlots(int index) {
  return {6 + 3 * index, 4 + 3 * index, 5 + 3 * index};
}

struct TextLayer {
  char name[kTextLayerNameSize];  // empty = free entry
  int x, y;                       // screen position of the window's top-left corner
  int width, height;              // size of the text and shadow surfaces
  int level;                      // sprite level of the three sprites (80 + layer level)
  char face[kTextLayerNameSize];
  int size;                       // font size; with lineSpacing the line height
  bool styleFlag;
  int lineWidth;                  // half-width units per line
  int lines;
  int leftMargin, topMargin;
  int charSpacing, lineSpacing;
  bool shadowOn;
  int shadowDx, shadowDy;
  char rubyFace[kTextLayerNameSize];
  int rubySize;
  int rubyGap;
  Colour defaultTextColour, defaultShadowColour;
  int defaultSpeed;
  ResourceHandle bodyFont, emphasisFont, rubyFont;
  Colour textColour, shadowColour;
  int speed;
  ResourceHandle windowImage, textImage, shadowImage;
  ResourceHandle font;            // body or emphasis, for the next characters
  int column;                     // half-width units used on the current line
  int line;
  int penX, penY;
  int prevX, prevY;               // pen before the last character or line feed
  Colour clearTextColour, clearShadowColour;  // what each surface was last filled with
  int indentColumn, indentX;
  bool rubyMode;
  char ruby[256];
  int rubyLength;
  ChoiceHandle choiceInProgress;
  OrderedList<ChoiceHandle> choices;
  ChoiceHandle currentChoice;
};

extern TextLayer gTextLayers[kTextLayerCount];
extern int gCurrentTextLayer;

// The entry a name argument stands for ("" = the current layer); unknown names end the game.
TextLayer& textLayerNamed(const char* name);
inline TextLayer& currentLayer() { return gTextLayers[gCurrentTextLayer]; }
// A line feed on the layer, unless its page is full.
void lineFeed(TextLayer& layer);
// Index of an entry of the table.
inline int indexOfLayer(const TextLayer& layer) {
  return static_cast<int>(&layer - gTextLayers);
}
