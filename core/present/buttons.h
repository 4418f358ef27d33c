// Buttons and pointer selection: shown sprites with a label and shortcut keys, and the
// selection that follows the pointer over buttons and the text choices of the current text
// layer, lights what is under it and hands the label of a pick to the installed handler.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "support/support.h"

// What the selection hands to its handler.
struct SelectionEvent {
  std::int32_t kind;  // kSelectionChoice, kSelectionButton or kSelectionCancel
  const char* text;   // the choice's or button's label, or the caller's cancel word
};

constexpr std::int32_t kSelectionChoice = 0;  // a text choice was picked
constexpr std::int32_t kSelectionButton = 1;  // a button was picked
constexpr std::int32_t kSelectionCancel = 2;  // a cancel ("rclick" from the click wait)

// Accepts (true) or refuses an event; an accepted pick ends the wait that delivered it.
using SelectionHandler = bool (*)(const SelectionEvent& event);

// Key values are DirectInput key codes, plus two pseudo keys the click wait delivers.
constexpr std::uint32_t kKeyLeftClick = 0xFFFF;    // a left click, or a held Ctrl key
constexpr std::uint32_t kKeyRightClick = 0x10001;  // a right click

constexpr int kButtonLabelSize = 264;

// The keys of a button: an array ended by 0, freed with the last handle.
struct KeyArrayDeleter {
  void operator()(std::uint32_t* keys) const { delete[] keys; }
};
using KeyArray = SharedHandle<std::uint32_t, KeyArrayDeleter>;

struct Button {
  std::int32_t slot;              // sprite table index 0..119
  char label[kButtonLabelSize];   // at most 263 bytes kept
  KeyArray keys;                  // ended by 0; empty for a button without keys
};
using ButtonHandle = SharedHandle<Button>;

// ---- Buttons (buttons.cpp) -------------------------------------------------------------

// Registers the button of a slot; keys end with 0 (null: none). A slot that already has a
// button keeps its place in the list and gets the new label and keys. A slot outside
// 0..119 ends the game.
void registerButton(int slot, const char* label, const std::uint32_t* keys);
// The same with the keys written out: registerButton(34, "right", {205, 28, kKeyLeftClick}).
void registerButton(int slot, const char* label, std::initializer_list<std::uint32_t> keys);
// Removes the button of a slot; false when the slot had none.
bool removeButtonOfSlot(int slot);
// What the sprite table calls when it destroys a slot.
inline void removeSpriteButton(int slot) { removeButtonOfSlot(slot); }
// Empties the button list.
void clearButtons();
// How many buttons are registered.
int buttonCount();
// The button of a slot, or null.
const Button* findButtonOfSlot(int slot);
// The registered buttons, in registration order.
const OrderedList<ButtonHandle>& buttonList();
// True when the button's sprite is valid and on screen (a slot outside 0..119 ends the game).
bool isButtonShown(const Button& button);
// True when the key is among the button's keys.
bool buttonHasKey(const Button& button, std::uint32_t key);
// endSelection, then empties the button list and frees its storage; at shutdown.
void shutdownButtons();

// ---- Selection (selection.cpp) ---------------------------------------------------------

// Installs the handler (null: none); it stays until replaced.
void setSelectionHandler(SelectionHandler handler);
// The installed handler, or null.
SelectionHandler selectionHandler();
// Inactive, no text choices, no handler; at start-up.
void resetSelection();
// Starts following the pointer; false when already active (nothing changes) or when there
// is neither a text choice nor a shown button to pick.
bool beginSelection();
// Stops following the pointer; hides the choice highlight and turns every button dark.
void endSelection();
// True between beginSelection and endSelection.
bool isSelectionActive();
// Finds the choice or button under the pointer, lights it, and renders when a look changed.
void updatePointerSelection();
// The decide key or left click: hands the current choice, then the current button, to the
// handler; true when it accepted one.
bool activateSelection();
// True while active with a current text choice or a current button.
bool hasSelectionTarget();
// The label of the button under the pointer, or null.
const char* currentButtonLabel();
// Lets go of the button under the pointer when it is `button` (null: whichever it is);
// the button list calls it before it drops a button.
void forgetCurrentButton(const Button* button);
// Hands (cancel, word) to the handler; false without one.
bool cancelSelection(const char* word);
// Hands the label of each shown button bound to the key to the handler, in registration
// order, until it accepts one; false when none was accepted or no handler is installed.
bool pressButtonKey(std::uint32_t key);
// Step the pointer through the text choices (only while active with text choices).
void selectPreviousTarget();
void selectNextTarget();
// True when the current text layer has choices or some button's sprite is shown.
bool anyTargetShown();
// Shows the cursor of a system slot (below 20) at (x, y), selects, and waits for a click or
// key in plain mode, or for a pick in button mode (no wait when nothing can be picked);
// a time-out of 0 or less waits for ever.
void waitForSelection(int cursorSlot, int x, int y, bool buttonMode, int timeoutMs);
