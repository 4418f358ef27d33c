// Choice regions of the current text layer: the region written between beginChoice and
// endChoice, the translucent highlight (slot 19) that follows the pointer, and the keyboard
// steps that move the pointer from region to region.
#include <algorithm>

#include "host/host_api.h"
#include "present/sprites.h"
#include "present/text_layer_table.h"
#include "script/syntax.h"
#include "support/support.h"

namespace {

// The window slot's size bounds every region of the layer.
void windowSize(const TextLayer& layer, int& width, int& height) {
  const SpriteSlot& window = requireSprite(textLayerSlots(indexOfLayer(layer)).window);
  width = window.width;
  height = window.height;
}

void pointAtCentre(const TextLayer& layer, const ChoiceRegion& region) {
  gHost.lbSetMousePos(layer.x + ((region.minX + region.maxX) >> 1),
                      layer.y + ((region.minY + region.maxY) >> 1));
}

// The position of the current choice in the list, or null.
OrderedList<ChoiceHandle>::Position positionOfCurrent(const TextLayer& layer) {
  for (auto at = layer.choices.first(); at != nullptr; at = layer.choices.next(at))
    if (at->element == layer.currentChoice) return at;
  return nullptr;
}

// Keyboard steps forget the current choice, so the next hover lights the region under the
// moved pointer even when it is the same one.
void stepTo(TextLayer& layer, OrderedList<ChoiceHandle>::Position to) {
  layer.currentChoice.reset();
  if (to != nullptr) pointAtCentre(layer, *to->element);
}

}  // namespace

void beginChoice(const char* label) {
  TextLayer& layer = currentLayer();
  if (layer.choiceInProgress) return;
  int width = 0, height = 0;
  windowSize(layer, width, height);
  auto region = makeHandle<ChoiceRegion>();
  // Inverted bounds: the first character put sets all four.
  region->minX = width;
  region->minY = height;
  region->maxX = region->maxY = -1;
  CopyText(label, region->label, sizeof region->label);
  layer.choiceInProgress = region;
}

void endChoice() {
  TextLayer& layer = currentLayer();
  if (!layer.choiceInProgress) return;
  int width = 0, height = 0;
  windowSize(layer, width, height);
  ChoiceRegion& r = *layer.choiceInProgress;
  r.minX = std::clamp(r.minX, 0, std::max(width - 1, 0));
  r.maxX = std::clamp(r.maxX, 0, std::max(width - 1, 0));
  r.minY = std::clamp(r.minY, 0, std::max(height - 1, 0));
  r.maxY = std::clamp(r.maxY, 0, std::max(height - 1, 0));
  if (r.minX > r.maxX) r.minX = r.maxX;
  if (r.minY > r.maxY) r.minY = r.maxY;
  // A region no character grew collapses to a point or a line and is not kept.
  if (r.minX != r.maxX && r.minY != r.maxY) layer.choices.append(layer.choiceInProgress);
  layer.choiceInProgress.reset();
  layer.currentChoice.reset();
}

bool updateChoiceHover() {
  TextLayer& layer = currentLayer();
  int x = 0, y = 0;
  gHost.lbGetMousePos(&x, &y);
  x = clampToInt(static_cast<long long>(x) - layer.x);
  y = clampToInt(static_cast<long long>(y) - layer.y);
  for (const ChoiceHandle& choice : layer.choices) {
    const ChoiceRegion& r = *choice;
    if (x < r.minX || x > r.maxX || y < r.minY || y > r.maxY) continue;
    bool changed = false;
    if (!(choice == layer.currentChoice)) {
      requireSprite(kChoiceHighlightSlot);
      setSpritePos(kChoiceHighlightSlot, addClamped(layer.x, r.minX),
                   addClamped(layer.y, r.minY), kStyleLeft | kStyleTop);
      setSpriteSize(kChoiceHighlightSlot, r.maxX - r.minX + 1, r.maxY - r.minY + 1);
      showSpriteChecked(kChoiceHighlightSlot, kNoSlot, "none");
      changed = true;
    }
    layer.currentChoice = choice;
    return changed;
  }
  if (!layer.currentChoice) return false;
  hideSpriteChecked(kChoiceHighlightSlot, "none");
  layer.currentChoice.reset();
  return true;
}

void selectNextChoice() {
  TextLayer& layer = currentLayer();
  auto at = positionOfCurrent(layer);
  auto to = at != nullptr ? layer.choices.next(at) : nullptr;
  stepTo(layer, to != nullptr ? to : layer.choices.first());
}

void selectPreviousChoice() {
  TextLayer& layer = currentLayer();
  auto at = positionOfCurrent(layer);
  auto to = at != nullptr ? layer.choices.previous(at) : layer.choices.first();
  stepTo(layer, to != nullptr ? to : layer.choices.last());
}

bool finishChoices() {
  TextLayer& layer = currentLayer();
  layer.choiceInProgress.reset();
  layer.currentChoice.reset();
  if (layer.choices.empty()) return false;
  pointAtCentre(layer, *layer.choices.first()->element);
  return true;
}

void hideChoiceHighlight() {
  hideSpriteChecked(kChoiceHighlightSlot, "none");
  currentLayer().currentChoice.reset();
}

ChoiceHandle getCurrentChoice() { return currentLayer().currentChoice; }

bool hasChoices() { return !currentLayer().choices.empty(); }

void dropTextLayerChoices(const char* name) {
  TextLayer& layer = textLayerNamed(name);
  layer.choiceInProgress.reset();
  layer.choices.clear();
  layer.currentChoice.reset();
}
