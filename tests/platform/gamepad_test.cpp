// Gamepads in a window: a virtual pad plugged in while the game runs reaches the game as the
// keys and click its buttons stand for, its stick steps like the arrow keys, and pulling it
// out lets go of what it held. The window is SDL's off-screen one, so no display is needed.
#include "lb/keycodes.h"
#include "lb/runtime_setup.h"
#include "present.h"
#include "runtime.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
// The off-screen window brings up the system's graphics libraries, which keep allocations
// for the life of the process and are unloaded at exit, so the leak checker can neither
// name them nor suppress them by library: it looks away while the window lives.
static void lookAwayFromLeaks() { __lsan_disable(); }
static void watchForLeaks() { __lsan_enable(); }
#else
static void lookAwayFromLeaks() {}
static void watchForLeaks() {}
#endif

#include <filesystem>
#include <vector>

namespace {

class Gamepad : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("orvane_gamepad_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    lookAwayFromLeaks();
    // The off-screen window never has the focus, without which SDL drops pad events.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    const std::string game = dir.string();
    OrvaneRuntimeOptions o{};
    o.gameDir = game.c_str();
    o.maxTimeMs = -1;
    char error[512] = {};
    ASSERT_EQ(orvaneRuntimeSetup(&o, error, sizeof error), ORVANE_SETUP_OK) << error;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = "test pad";
    int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    pad = SDL_JoystickOpen(index);  // to move its buttons; the runtime opens it for itself
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    instance = index;
    pump();
  }
  void TearDown() override {
    if (pad) SDL_JoystickClose(pad);
    orvaneRuntimeShutdown();
    watchForLeaks();
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS");
    std::filesystem::remove_all(dir);
  }

  void pump() {
    for (int i = 0; i < 3; ++i) lbWaitEvent(1);
  }
  void button(SDL_GameControllerButton b, bool down) {
    SDL_JoystickSetVirtualButton(pad, b, down ? 1 : 0);
    pump();
  }
  std::vector<int> pressed() {
    std::vector<int> keys;
    for (int key = 0, kind = 0; lbGetKeyEvent(&key, &kind);)
      if (kind == LB_KEY_PRESS) keys.push_back(key);
    return keys;
  }

  std::filesystem::path dir;
  SDL_Joystick* pad = nullptr;
  int instance = -1;
};

}  // namespace

TEST_F(Gamepad, ButtonsAndTheStickArriveAsKeysAndStartAsARightClick) {
  for (auto b : {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X,
                 SDL_CONTROLLER_BUTTON_Y, SDL_CONTROLLER_BUTTON_DPAD_DOWN}) {
    button(b, true);
    button(b, false);
  }
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 30000);
  pump();
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
  pump();
  EXPECT_EQ(pressed(), (std::vector<int>{LB_KEY_RETURN, LB_KEY_ESCAPE, LB_KEY_Z, LB_KEY_X,
                                         LB_KEY_DOWN, LB_KEY_RIGHT}));
  EXPECT_EQ(lbGetKeyState(LB_KEY_RIGHT), 0) << "the stick came back";
  lbSetMousePos(40, 50);
  lbClearMouse();
  button(SDL_CONTROLLER_BUTTON_START, true);
  int code = -1, x = 0, y = 0;
  while (lbGetMouse(&code, &x, &y) && code == LB_MOUSE_MOVE) {}
  EXPECT_EQ(code, LB_MOUSE_RIGHT);
  EXPECT_EQ(x, 40);
  EXPECT_EQ(y, 50);
}

TEST_F(Gamepad, AShoulderHoldsCtrlUntilLetGoOrThePadIsPulledOut) {
  button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
  button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
  button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, false);
  EXPECT_NE(lbGetKeyState(LB_KEY_LCONTROL), 0) << "the other shoulder is still held";
  button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
  EXPECT_EQ(lbGetKeyState(LB_KEY_LCONTROL), 0);
  button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
  EXPECT_NE(lbGetKeyState(LB_KEY_LCONTROL), 0);
  SDL_JoystickClose(pad);
  pad = nullptr;
  SDL_JoystickDetachVirtual(instance);
  pump();
  EXPECT_EQ(lbGetKeyState(LB_KEY_LCONTROL), 0) << "a pad pulled out holds nothing down";
}

namespace {

// Presses and lets go of B on the pad from SDL's timer thread, as the player would while the
// settings screen holds the game's thread in its loop.
Uint32 pressB(Uint32, void* pad) {
  SDL_Event e{};
  e.cbutton.which = SDL_JoystickInstanceID(static_cast<SDL_Joystick*>(pad));
  e.cbutton.button = SDL_CONTROLLER_BUTTON_B;
  for (bool down : {true, false}) {
    e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    e.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&e);
  }
  return 0;
}

}  // namespace

TEST_F(Gamepad, HoldingBackOpensTheSettingsScreenWhichHoldsTheGameAndItsClock) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_TIMER), 0) << SDL_GetError();
  const uint32_t gameStart = gameTime(), realStart = SDL_GetTicks();
  button(SDL_CONTROLLER_BUTTON_BACK, true);
  EXPECT_FALSE(settingsScreenOpen());
  SDL_TimerID timer = SDL_AddTimer(2000, pressB, pad);
  // The game waits as it does, a tenth of a second at a time. Held a second, Back opens the
  // screen in one of those waits; it stays open until B, a second later in real time,
  // during which the game's clock stands still.
  while (SDL_GetTicks() - realStart < 3000) lbWaitEvent(100);
  const uint32_t gameSpent = gameTime() - gameStart, realSpent = SDL_GetTicks() - realStart;
  SDL_RemoveTimer(timer);
  EXPECT_FALSE(settingsScreenOpen());
  EXPECT_LE(gameSpent + 500, realSpent) << "game time ran on while the screen was open";
  EXPECT_EQ(pressed(), std::vector<int>{}) << "B closed the screen and never reached the game";
  button(SDL_CONTROLLER_BUTTON_BACK, false);
  button(SDL_CONTROLLER_BUTTON_B, true);
  EXPECT_EQ(pressed(), std::vector<int>{LB_KEY_ESCAPE}) << "B is the game's again";
}
