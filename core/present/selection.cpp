// The selection: while active it follows the pointer over the text choices of the current
// text layer and over the shown buttons, lights what is under it, and hands the label of
// what the player decides on (or a cancel) to the installed handler.
#include <vector>

#include "host/host_api.h"
#include "present/buttons.h"
#include "present/frame.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "present/text_layers.h"

namespace {

struct SelectionState {
  bool active = false;
  bool textChoices = false;  // the current text layer had choices when the selection began
  SelectionHandler handler = nullptr;
  ButtonHandle current;      // the button under the pointer
};

SelectionState gSelection;

bool deliver(std::int32_t kind, const char* text) {
  if (gSelection.handler == nullptr) return false;
  return gSelection.handler(SelectionEvent{kind, text});
}

bool anyButtonShown() {
  for (const ButtonHandle& button : buttonList())
    if (isButtonShown(*button)) return true;
  return false;
}

bool isHit(const Button& button, int x, int y) {
  const SpriteSlot& slot = gSprites[button.slot];
  // Right and bottom edges are outside, so two buttons placed edge to edge never share a
  // pixel column.
  return x >= slot.absX && x < slot.absX + slot.width && y >= slot.absY &&
         y < slot.absY + slot.height;
}

// The button under the pointer shows animation set 1, every other shown button set 0.
// True when any look changed.
bool updateButtonLooks() {
  bool changed = false;
  for (const ButtonHandle& button : buttonList()) {
    if (!isButtonShown(*button)) continue;
    bool lit = gSelection.current.get() == button.get();
    if (setAnimSet(button->slot, lit ? 1 : 0)) changed = true;
  }
  return changed;
}

bool choiceIsCurrent() { return gSelection.textChoices && static_cast<bool>(getCurrentChoice()); }

}  // namespace

void setSelectionHandler(SelectionHandler handler) { gSelection.handler = handler; }

SelectionHandler selectionHandler() { return gSelection.handler; }

void resetSelection() {
  gSelection.active = false;
  gSelection.textChoices = false;
  gSelection.handler = nullptr;
  gSelection.current.reset();
}

bool isSelectionActive() { return gSelection.active; }

bool beginSelection() {
  if (gSelection.active) return false;
  gSelection.active = true;
  // finishChoices also puts the pointer on the first choice, so the hover below lights it.
  gSelection.textChoices = finishChoices();
  bool buttonShown = anyButtonShown();
  gSelection.current.reset();
  updatePointerSelection();
  return gSelection.textChoices || buttonShown;
}

void endSelection() {
  if (!gSelection.active) return;
  gSelection.active = false;
  if (gSelection.textChoices) hideChoiceHighlight();
  gSelection.current.reset();
  updateButtonLooks();
}

void updatePointerSelection() {
  if (!gSelection.active) return;
  gSelection.current.reset();
  bool highlightChanged = false;
  if (gSelection.textChoices) highlightChanged = updateChoiceHover();
  // A text choice under the pointer takes it; buttons are hovered only elsewhere.
  if (!choiceIsCurrent()) {
    int x = 0, y = 0;
    gHost.lbGetMousePos(&x, &y);
    for (const ButtonHandle& button : buttonList()) {
      if (isButtonShown(*button) && isHit(*button, x, y)) {
        gSelection.current = button;
        break;
      }
    }
  }
  bool looksChanged = updateButtonLooks();
  // Drawing only on a change keeps a pointer moving inside one button from costing frames.
  if (looksChanged || highlightChanged) renderScreen();
}

bool activateSelection() {
  if (!gSelection.active || gSelection.handler == nullptr) return false;
  if (gSelection.textChoices) {
    // Held for the call: the handler may clear the layer that owns the region.
    ChoiceHandle choice = getCurrentChoice();
    if (choice && deliver(kSelectionChoice, choice->label)) return true;
  }
  if (gSelection.current) {
    ButtonHandle button = gSelection.current;  // the handler may destroy the button's sprite
    return deliver(kSelectionButton, button->label);
  }
  return false;
}

bool hasSelectionTarget() {
  return gSelection.active && (choiceIsCurrent() || static_cast<bool>(gSelection.current));
}

const char* currentButtonLabel() {
  return gSelection.current ? gSelection.current->label : nullptr;
}

void forgetCurrentButton(const Button* button) {
  if (button == nullptr || gSelection.current.get() == button) gSelection.current.reset();
}

bool cancelSelection(const char* word) { return deliver(kSelectionCancel, word); }

bool pressButtonKey(std::uint32_t key) {
  if (gSelection.handler == nullptr) return false;
  // The buttons bound to the key are gathered first: a handler that refuses one may still
  // change the list (destroy a sprite, register another button) before the next is tried.
  std::vector<ButtonHandle> bound;
  for (const ButtonHandle& button : buttonList())
    if (isButtonShown(*button) && buttonHasKey(*button, key)) bound.push_back(button);
  for (const ButtonHandle& button : bound) {
    if (findButtonOfSlot(button->slot) != button.get() || !isButtonShown(*button)) continue;
    if (deliver(kSelectionButton, button->label)) return true;
  }
  return false;
}

void selectPreviousTarget() {
  if (!gSelection.active || !gSelection.textChoices) return;
  selectPreviousChoice();
  updatePointerSelection();
}

void selectNextTarget() {
  if (!gSelection.active || !gSelection.textChoices) return;
  selectNextChoice();
  updatePointerSelection();
}

bool anyTargetShown() { return hasChoices() || anyButtonShown(); }

void waitForSelection(int cursorSlot, int x, int y, bool buttonMode, int timeoutMs) {
  bool cursor = cursorSlot >= 0 && cursorSlot < kUserSlotBase && isSpriteValid(cursorSlot);
  if (cursor) {
    setSpritePos(cursorSlot, x, y, kStyleLeft | kStyleMiddle);
    showSprite(cursorSlot, kNoSlot, "none");
  }
  bool found = beginSelection();
  renderScreen();
  std::uint32_t timeout = timeoutMs <= 0 ? kWaitForever : static_cast<std::uint32_t>(timeoutMs);
  if (!buttonMode) {
    waitFor(pollClickOrKey, 0, timeout);
  } else if (found) {
    waitFor(pollClickOrKey, 1, timeout);
  }
  endSelection();
  if (cursor) hideSprite(cursorSlot, "none");
}
