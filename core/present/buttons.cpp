// The button list: the registered buttons in registration order, at most one per sprite
// slot, each with its label and shortcut keys. Buttons are dropped when their sprite is
// destroyed, when a run resets the screen, and at shutdown.
#include "present/buttons.h"

#include <cstring>
#include <vector>

#include "host/errors.h"
#include "present/sprites.h"
#include "support/sjis_literal.h"

namespace {

OrderedList<ButtonHandle> gButtons;

// At most 263 bytes of the label, never splitting a two-byte character.
void copyLabel(char (&out)[kButtonLabelSize], const char* label) {
  std::size_t length = 0;
  if (label != nullptr) {
    while (label[length] != '\0') {
      std::size_t width =
          isLeadByte(static_cast<unsigned char>(label[length])) && label[length + 1] != '\0' ? 2 : 1;
      if (length + width > kButtonLabelSize - 1) break;
      length += width;
    }
    std::memmove(out, label, length);  // the new label may be the old one
  }
  out[length] = '\0';
}

// A private copy of the caller's keys, ended by 0; none gives an empty handle.
KeyArray copyKeys(const std::uint32_t* keys) {
  if (keys == nullptr || keys[0] == 0) return KeyArray();
  std::size_t count = 0;
  while (keys[count] != 0) ++count;
  KeyArray copy(new std::uint32_t[count + 1]);
  std::memcpy(copy.get(), keys, (count + 1) * sizeof(std::uint32_t));
  return copy;
}

}  // namespace

const OrderedList<ButtonHandle>& buttonList() { return gButtons; }

void registerButton(int slot, const char* label, const std::uint32_t* keys) {
  if (slot < 0 || slot >= kSpriteSlotCount)
    ScriptError("スプライト %d は有効ではありません。"_sj, slot - kUserSlotBase);
  KeyArray copied = copyKeys(keys);
  for (ButtonHandle& button : gButtons) {
    if (button->slot != slot) continue;
    copyLabel(button->label, label);
    button->keys = copied;
    return;
  }
  ButtonHandle button = makeHandle<Button>();
  button->slot = slot;
  copyLabel(button->label, label);
  button->keys = copied;
  gButtons.append(button);
}

void registerButton(int slot, const char* label, std::initializer_list<std::uint32_t> keys) {
  std::vector<std::uint32_t> ended(keys);
  ended.push_back(0);  // a 0 written among the keys ends them there, as in the array form
  registerButton(slot, label, ended.data());
}

bool removeButtonOfSlot(int slot) {
  for (auto at = gButtons.first(); at != nullptr; at = gButtons.next(at)) {
    if (at->element->slot != slot) continue;
    forgetCurrentButton(at->element.get());
    gButtons.remove(at);
    return true;
  }
  return false;
}

void clearButtons() {
  forgetCurrentButton(nullptr);
  gButtons.clear();
}

int buttonCount() { return static_cast<int>(gButtons.count()); }

const Button* findButtonOfSlot(int slot) {
  for (const ButtonHandle& button : gButtons)
    if (button->slot == slot) return button.get();
  return nullptr;
}

bool isButtonShown(const Button& button) {
  return isSpriteValid(button.slot) && isSpriteShown(button.slot);
}

bool buttonHasKey(const Button& button, std::uint32_t key) {
  if (!button.keys) return false;
  for (const std::uint32_t* k = button.keys.get(); *k != 0; ++k)
    if (*k == key) return true;
  return false;
}

void shutdownButtons() {
  endSelection();
  forgetCurrentButton(nullptr);
  gButtons = OrderedList<ButtonHandle>();  // the sentinel goes too
}
