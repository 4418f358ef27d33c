/*
 * Input: the SDL-to-DirectInput key table, script key names, the key and mouse queues the
 * game pops, and the lb input functions (key state, key and mouse events, pointer position).
 */
#include "record.h"
#include "present.h"
#include "runtime.h"

#include "lb/keycodes.h"

#include <SDL.h>

#include <algorithm>

namespace {

struct KeyEntry {
  SDL_Scancode scancode;
  int code;
  const char* name;  // the script's name for the key, null when it has none of its own
};

// Letters and digits are handled by range below; everything else is listed.
const KeyEntry kKeys[] = {
    {SDL_SCANCODE_ESCAPE, LB_KEY_ESCAPE, "Escape"},
    {SDL_SCANCODE_MINUS, LB_KEY_MINUS, "Minus"},
    {SDL_SCANCODE_EQUALS, LB_KEY_EQUALS, "Equals"},
    {SDL_SCANCODE_BACKSPACE, LB_KEY_BACK, "Back"},
    {SDL_SCANCODE_TAB, LB_KEY_TAB, "Tab"},
    {SDL_SCANCODE_LEFTBRACKET, LB_KEY_LBRACKET, "LBracket"},
    {SDL_SCANCODE_RIGHTBRACKET, LB_KEY_RBRACKET, "RBracket"},
    {SDL_SCANCODE_RETURN, LB_KEY_RETURN, "Return"},
    {SDL_SCANCODE_LCTRL, LB_KEY_LCONTROL, "LCtrl"},
    {SDL_SCANCODE_SEMICOLON, LB_KEY_SEMICOLON, "Semicolon"},
    {SDL_SCANCODE_APOSTROPHE, LB_KEY_APOSTROPHE, "Apostrophe"},
    {SDL_SCANCODE_GRAVE, LB_KEY_GRAVE, "Grave"},
    {SDL_SCANCODE_LSHIFT, LB_KEY_LSHIFT, "LShift"},
    {SDL_SCANCODE_BACKSLASH, LB_KEY_BACKSLASH, "Backslash"},
    {SDL_SCANCODE_COMMA, LB_KEY_COMMA, "Comma"},
    {SDL_SCANCODE_PERIOD, LB_KEY_PERIOD, "Period"},
    {SDL_SCANCODE_SLASH, LB_KEY_SLASH, "Slash"},
    {SDL_SCANCODE_RSHIFT, LB_KEY_RSHIFT, "RShift"},
    {SDL_SCANCODE_KP_MULTIPLY, LB_KEY_MULTIPLY, "Multiply"},
    {SDL_SCANCODE_LALT, LB_KEY_LMENU, "LAlt"},
    {SDL_SCANCODE_SPACE, LB_KEY_SPACE, "Space"},
    {SDL_SCANCODE_CAPSLOCK, LB_KEY_CAPITAL, "CapsLock"},
    {SDL_SCANCODE_F1, LB_KEY_F1, "F1"},
    {SDL_SCANCODE_F2, LB_KEY_F2, "F2"},
    {SDL_SCANCODE_F3, LB_KEY_F3, "F3"},
    {SDL_SCANCODE_F4, LB_KEY_F4, "F4"},
    {SDL_SCANCODE_F5, LB_KEY_F5, "F5"},
    {SDL_SCANCODE_F6, LB_KEY_F6, "F6"},
    {SDL_SCANCODE_F7, LB_KEY_F7, "F7"},
    {SDL_SCANCODE_F8, LB_KEY_F8, "F8"},
    {SDL_SCANCODE_F9, LB_KEY_F9, "F9"},
    {SDL_SCANCODE_F10, LB_KEY_F10, "F10"},
    {SDL_SCANCODE_F11, LB_KEY_F11, "F11"},
    {SDL_SCANCODE_F12, LB_KEY_F12, "F12"},
    {SDL_SCANCODE_NUMLOCKCLEAR, LB_KEY_NUMLOCK, "NumLock"},
    {SDL_SCANCODE_SCROLLLOCK, LB_KEY_SCROLL, "ScrollLock"},
    {SDL_SCANCODE_KP_7, LB_KEY_NUMPAD7, "KP7"},
    {SDL_SCANCODE_KP_8, LB_KEY_NUMPAD8, "KP8"},
    {SDL_SCANCODE_KP_9, LB_KEY_NUMPAD9, "KP9"},
    {SDL_SCANCODE_KP_MINUS, LB_KEY_SUBTRACT, "KPMinus"},
    {SDL_SCANCODE_KP_4, LB_KEY_NUMPAD4, "KP4"},
    {SDL_SCANCODE_KP_5, LB_KEY_NUMPAD5, "KP5"},
    {SDL_SCANCODE_KP_6, LB_KEY_NUMPAD6, "KP6"},
    {SDL_SCANCODE_KP_PLUS, LB_KEY_ADD, "KPPlus"},
    {SDL_SCANCODE_KP_1, LB_KEY_NUMPAD1, "KP1"},
    {SDL_SCANCODE_KP_2, LB_KEY_NUMPAD2, "KP2"},
    {SDL_SCANCODE_KP_3, LB_KEY_NUMPAD3, "KP3"},
    {SDL_SCANCODE_KP_0, LB_KEY_NUMPAD0, "KP0"},
    {SDL_SCANCODE_KP_PERIOD, LB_KEY_DECIMAL, "KPPeriod"},
    {SDL_SCANCODE_KP_ENTER, LB_KEY_NUMPADENTER, "KPEnter"},
    {SDL_SCANCODE_RCTRL, LB_KEY_RCONTROL, "RCtrl"},
    {SDL_SCANCODE_KP_DIVIDE, LB_KEY_DIVIDE, "KPDivide"},
    {SDL_SCANCODE_RALT, LB_KEY_RMENU, "RAlt"},
    {SDL_SCANCODE_PAUSE, LB_KEY_PAUSE, "Pause"},
    {SDL_SCANCODE_HOME, LB_KEY_HOME, "Home"},
    {SDL_SCANCODE_UP, LB_KEY_UP, "Up"},
    {SDL_SCANCODE_PAGEUP, LB_KEY_PRIOR, "PageUp"},
    {SDL_SCANCODE_LEFT, LB_KEY_LEFT, "Left"},
    {SDL_SCANCODE_RIGHT, LB_KEY_RIGHT, "Right"},
    {SDL_SCANCODE_END, LB_KEY_END, "End"},
    {SDL_SCANCODE_DOWN, LB_KEY_DOWN, "Down"},
    {SDL_SCANCODE_PAGEDOWN, LB_KEY_NEXT, "PageDown"},
    {SDL_SCANCODE_INSERT, LB_KEY_INSERT, "Insert"},
    {SDL_SCANCODE_DELETE, LB_KEY_DELETE, "Delete"},
};

// DirectInput codes of the letters A..Z and the digits 1..9, 0 in keyboard order.
const int kLetterCodes[26] = {
    LB_KEY_A, LB_KEY_B, LB_KEY_C, LB_KEY_D, LB_KEY_E, LB_KEY_F, LB_KEY_G, LB_KEY_H, LB_KEY_I,
    LB_KEY_J, LB_KEY_K, LB_KEY_L, LB_KEY_M, LB_KEY_N, LB_KEY_O, LB_KEY_P, LB_KEY_Q, LB_KEY_R,
    LB_KEY_S, LB_KEY_T, LB_KEY_U, LB_KEY_V, LB_KEY_W, LB_KEY_X, LB_KEY_Y, LB_KEY_Z};

bool validKey(int key) { return key > 0 && key < LB_KEY_COUNT; }

}  // namespace

int keyCodeFromScancode(int sdlScancode) {
  if (sdlScancode >= SDL_SCANCODE_A && sdlScancode <= SDL_SCANCODE_Z)
    return kLetterCodes[sdlScancode - SDL_SCANCODE_A];
  // SDL orders the digit row 1..9, 0 exactly as DirectInput does.
  if (sdlScancode >= SDL_SCANCODE_1 && sdlScancode <= SDL_SCANCODE_0)
    return LB_KEY_1 + (sdlScancode - SDL_SCANCODE_1);
  for (const KeyEntry& k : kKeys)
    if (k.scancode == sdlScancode) return k.code;
  return 0;
}

int keyCodeFromName(const std::string& name) {
  if (name.size() == 1) {
    char c = name[0];
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return kLetterCodes[c - 'A'];
    if (c >= '1' && c <= '9') return LB_KEY_1 + (c - '1');
    if (c == '0') return LB_KEY_0;
  }
  for (const KeyEntry& k : kKeys)
    if (name == k.name) return k.code;
  return 0;
}

std::string keyNameFromCode(int code) {
  for (int i = 0; i < 26; ++i)
    if (kLetterCodes[i] == code) return std::string(1, char('A' + i));
  if (code >= LB_KEY_1 && code <= LB_KEY_9) return std::string(1, char('1' + code - LB_KEY_1));
  if (code == LB_KEY_0) return "0";
  for (const KeyEntry& k : kKeys)
    if (k.code == code) return k.name;
  return std::to_string(code);
}

void inputKey(InputState& in, int key, bool press) {
  if (!validKey(key)) return;
  in.down[key] = press;
  in.keys.push_back({key, press ? LB_KEY_PRESS : 0});
}

void inputMouseButton(InputState& in, int code, int x, int y) {
  in.mouse.push_back({code, x, y});
}

void inputMouseMove(InputState& in, int x, int y) {
  in.mouseX = x;
  in.mouseY = y;
  if (!in.mouse.empty() && in.mouse.back().code == LB_MOUSE_MOVE) {
    in.mouse.back().x = x;
    in.mouse.back().y = y;
    return;
  }
  in.mouse.push_back({LB_MOUSE_MOVE, x, y});
}

namespace {

struct PadEntry {
  PadButton button;
  const char* name;  // the script's name
  int code;          // the key it stands for; 0 for Start, a right click, and Back
};

const PadEntry kPad[] = {
    {PadButton::A, "a", LB_KEY_RETURN},       {PadButton::B, "b", LB_KEY_ESCAPE},
    {PadButton::X, "x", LB_KEY_Z},            {PadButton::Y, "y", LB_KEY_X},
    {PadButton::Start, "start", 0},           {PadButton::Up, "up", LB_KEY_UP},
    {PadButton::Down, "down", LB_KEY_DOWN},   {PadButton::Left, "left", LB_KEY_LEFT},
    {PadButton::Right, "right", LB_KEY_RIGHT}, {PadButton::Shoulder, "shoulder", LB_KEY_LCONTROL},
    {PadButton::LeftTrigger, "ltrigger", LB_KEY_PRIOR},
    {PadButton::RightTrigger, "rtrigger", LB_KEY_A},
    {PadButton::Back, "back", 0},
};

}  // namespace

bool padButtonFromName(const std::string& name, PadButton& out) {
  for (const PadEntry& e : kPad)
    if (name == e.name) {
      out = e.button;
      return true;
    }
  return false;
}

int padKeyCode(PadButton b) {
  for (const PadEntry& e : kPad)
    if (e.button == b) return e.code;
  return 0;
}

void inputPadButton(InputState& in, PadButton b, bool press) {
  if (b == PadButton::Back) {
    settingsBackButton(press);
    return;
  }
  if (b == PadButton::Start) {
    if (press) inputMouseButton(in, LB_MOUSE_RIGHT, in.mouseX, in.mouseY);
    return;
  }
  inputKey(in, padKeyCode(b), press);
}

int stickDirection(int previous, int axisValue) {
  constexpr int kPush = 16384, kRest = 8192;  // half and a quarter of the axis
  if (axisValue <= -kPush) return -1;
  if (axisValue >= kPush) return 1;
  if (axisValue > -kRest && axisValue < kRest) return 0;
  return previous;
}

// ---- lb input functions ---------------------------------------------------------------------

extern "C" {

int lbGetKeyState(int key) {
  if (!validKey(key)) return 0;
  return platform().input.down[key] ? 1 : 0;
}

int lbGetKeyEvent(int* key, int* kind) {
  InputState& in = platform().input;
  if (in.keys.empty()) return 0;
  KeyEvent e = in.keys.front();
  in.keys.pop_front();
  recordTakenKey(e.key, e.kind);
  // A key that does not end the wait is followed by more passes of the same wait; one that
  // ends it is followed by no poll, which ends the wait for the player at the next pump.
  if (key) *key = e.key;
  if (kind) *kind = e.kind;
  return 1;
}

int lbClearKey(void) {
  platform().input.keys.clear();
  return 1;
}

int lbGetMouse(int* code, int* x, int* y) {
  Platform& p = platform();
  // Polling the mouse queue is what makes a wait a wait for the player.
  p.script.pollSeen();
  deliverDueActions();
  if (p.input.mouse.empty()) return 0;
  MouseEvent e = p.input.mouse.front();
  p.input.mouse.pop_front();
  recordTakenMouse(e.code, e.x, e.y);
  // The wait has its click; whatever the game does next is not yet a wait for the player.
  p.script.polled = p.script.polling = false;
  if (code) *code = e.code;
  if (x) *x = e.x;
  if (y) *y = e.y;
  return 1;
}

int lbClearMouse(void) {
  Platform& p = platform();
  p.input.mouse.clear();
  p.script.cleared(gameTime());
  return 1;
}

int lbGetMousePos(int* x, int* y) {
  const InputState& in = platform().input;
  if (x) *x = in.mouseX;
  if (y) *y = in.mouseY;
  return 1;
}

int lbSetMousePos(int x, int y) {
  Platform& p = platform();
  x = std::clamp(x, 0, kFrameWidth - 1);
  y = std::clamp(y, 0, kFrameHeight - 1);
  p.input.mouseX = x;
  p.input.mouseY = y;
  if (p.backend) p.backend->warpPointer(x, y);
  return 1;
}

int lbWaitKeyEvent(int on) {
  platform().input.wakeOnKey = on != 0;
  return 1;
}

int lbWaitMouseEvent(int on) {
  platform().input.wakeOnMouse = on != 0;
  return 1;
}

}  // extern "C"
