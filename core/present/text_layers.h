// Text layers: the fixed table of five named text windows (window, text surface and shadow
// surface, each a sprite slot), their fonts and colours, the pen that puts characters one at
// a time with wrapping, ruby and page fullness, and the clickable choice regions of a page.
#pragma once

#include <cstdint>

#include "support/shared_handle.h"

constexpr int kTextLayerCount = 5;
constexpr int kTextLayerNameSize = 256;   // at most 255 bytes kept
constexpr int kChoiceLabelSize = 264;     // at most 263 bytes kept
constexpr int kChoiceHighlightSlot = 19;  // shared by every layer
constexpr int kTextLayerLevelBase = 80;   // a layer's sprite level is 80 + its layer level

// A stretch of text that a click picks; bounds are inclusive surface pixels.
struct ChoiceRegion {
  int minX = 0, minY = 0, maxX = -1, maxY = -1;
  char label[kChoiceLabelSize] = {};
};
using ChoiceHandle = SharedHandle<ChoiceRegion>;

// The font and page layout of a layer (setTextLayerFont). Faces are Shift-JIS, cut to 255
// bytes. columns are full-width columns: a line holds twice as many half-width characters.
struct TextLayerFont {
  const char* face;
  int size;
  bool styleFlag;  // selects the second pair of font kinds
  int columns;
  int lines;
  int leftMargin, topMargin;
  int charSpacing, lineSpacing;
  bool shadowOn;
  int shadowDx, shadowDy;
  const char* rubyFace;
  int rubySize;
  int rubyGap;
};

// The layout every new or re-windowed layer starts with.
TextLayerFont defaultTextLayerFont();

// ---- The table (an empty name argument means the current layer) ----------------------------
void initTextLayers();                      // empties the table, builds slot 19, "def" + "system"
int findTextLayer(const char* name);        // index; unknown names end the game
void selectTextLayer(const char* name);     // makes it current; "" selects "def"
int currentTextLayer();                     // index of the current layer
void createTextLayer(const char* name);     // first free entry, default window and font, shown
void destroyTextLayers();                   // shutdown: hides and destroys every layer's slots
// Window from an image (non-empty name) or from a colour; size 0 or less = natural/screen.
void setTextLayerWindow(const char* name, const char* image, const char* colour, int x, int y,
                        int width, int height);
void setTextLayerFont(const char* name, const TextLayerFont& font);  // fonts, layout, clears
void setTextLayerPos(const char* name, int x, int y);                // moves the three sprites
void setTextLayerLevel(const char* name, int level);                 // sprite level 80 + level
void showTextLayer(const char* name);        // also re-stacks every other shown layer
void hideTextLayer(const char* name);
bool isTextLayerShown(const char* name);
void clearTextLayer(const char* name);       // new page: fills, pen home, colours and speed reset

// ---- The pen of the current layer -----------------------------------------------------------
void newLine();                              // line feed, unless the page is full
bool putChar(std::uint16_t code);            // true when a glyph was drawn
void getCursorPos(int& x, int& y);           // screen position for the page cursor
std::uint32_t lastCharTime();                // timeGetTime of the last putChar
void useBodyFont();
void useEmphasisFont();
void setIndent(bool on);                     // wrapped lines start at the current column and x
void setRubyMode(bool on);                   // characters collect as ruby for the next one
bool isRubyMode();

// ---- Colours and speeds (components 0 to 1) -------------------------------------------------
void setTextColour(float r, float g, float b);
void resetTextColour();
void setShadowColour(float r, float g, float b);
void resetShadowColour();
void setDefaultTextColour(const char* name, float r, float g, float b);
void setDefaultShadowColour(const char* name, float r, float g, float b);
void setSpeed(const char* name, int milliseconds);  // default and current speed
void setCurrentSpeed(int milliseconds);
void resetSpeed();
int textSpeed();                                     // ms per character now in force

// ---- Choice regions of the current layer ----------------------------------------------------
void beginChoice(const char* label);        // starts a region, unless one is in progress
void endChoice();                           // clamps it; kept only when it has an area
bool updateChoiceHover();                   // moves the highlight; true when it changed
void selectNextChoice();                    // moves the pointer to the next region (wraps)
void selectPreviousChoice();                // ... to the previous one (wraps)
bool finishChoices();                       // pointer to the first region; false when none
void hideChoiceHighlight();
ChoiceHandle getCurrentChoice();            // empty when none is under the highlight
bool hasChoices();
void dropTextLayerChoices(const char* name);  // forgets the regions of a page (link regions)
