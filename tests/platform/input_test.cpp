// Key translation, the key and mouse queues, and pointer mapping between window and game.
#include "lb/keycodes.h"
#include "present.h"
#include "runtime.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

TEST(KeyTable, ScancodesMapToTheDirectInputCodesTheGameUses) {
  struct { SDL_Scancode sdl; int code; } cases[] = {
      {SDL_SCANCODE_ESCAPE, 1},   {SDL_SCANCODE_RETURN, 28}, {SDL_SCANCODE_LCTRL, 29},
      {SDL_SCANCODE_LSHIFT, 42},  {SDL_SCANCODE_Z, 44},      {SDL_SCANCODE_X, 45},
      {SDL_SCANCODE_C, 46},       {SDL_SCANCODE_RSHIFT, 54}, {SDL_SCANCODE_SPACE, 57},
      {SDL_SCANCODE_F5, 63},      {SDL_SCANCODE_KP_ENTER, 156}, {SDL_SCANCODE_RCTRL, 157},
      {SDL_SCANCODE_UP, 200},     {SDL_SCANCODE_LEFT, 203},  {SDL_SCANCODE_RIGHT, 205},
      {SDL_SCANCODE_DOWN, 208},   {SDL_SCANCODE_TAB, 15},    {SDL_SCANCODE_A, 30},
      {SDL_SCANCODE_Q, 16},       {SDL_SCANCODE_M, 50},      {SDL_SCANCODE_1, 2},
      {SDL_SCANCODE_9, 10},       {SDL_SCANCODE_0, 11},      {SDL_SCANCODE_F11, 87},
      {SDL_SCANCODE_DELETE, 211},
  };
  for (auto c : cases) EXPECT_EQ(keyCodeFromScancode(c.sdl), c.code) << SDL_GetScancodeName(c.sdl);
}

TEST(KeyTable, KeysWithoutACodeGiveZero) {
  EXPECT_EQ(keyCodeFromScancode(SDL_SCANCODE_APPLICATION), 0);
  EXPECT_EQ(keyCodeFromScancode(SDL_SCANCODE_F20), 0);
  EXPECT_EQ(keyCodeFromScancode(-5), 0);
  EXPECT_EQ(keyCodeFromScancode(100000), 0);
}

TEST(KeyTable, ScriptNamesRoundTripThroughCodes) {
  EXPECT_EQ(keyCodeFromName("Return"), 28);
  EXPECT_EQ(keyCodeFromName("KPEnter"), 156);
  EXPECT_EQ(keyCodeFromName("LCtrl"), 29);
  EXPECT_EQ(keyCodeFromName("RShift"), 54);
  EXPECT_EQ(keyCodeFromName("z"), 44);
  EXPECT_EQ(keyCodeFromName("0"), 11);
  EXPECT_EQ(keyCodeFromName("Enter"), 0);
  EXPECT_EQ(keyCodeFromName(""), 0);
  for (int code : {1, 15, 28, 29, 44, 57, 63, 156, 157, 200, 203, 205, 208, 2, 11})
    EXPECT_EQ(keyCodeFromName(keyNameFromCode(code)), code) << code;
}

TEST(InputQueues, KeyEventsPopInOrderWithTheirKind) {
  platform().input = InputState{};
  inputKey(platform().input, LB_KEY_RETURN, true);
  inputKey(platform().input, LB_KEY_RETURN, false);
  int key = -1, kind = -1;
  ASSERT_EQ(lbGetKeyEvent(&key, &kind), 1);
  EXPECT_EQ(key, 28);
  EXPECT_EQ(kind, LB_KEY_PRESS);
  ASSERT_EQ(lbGetKeyEvent(&key, &kind), 1);
  EXPECT_EQ(kind, 0);
  EXPECT_EQ(lbGetKeyEvent(&key, &kind), 0);
  EXPECT_EQ(lbGetKeyState(LB_KEY_RETURN), 0);
}

TEST(InputQueues, KeyStateFollowsPressAndReleaseAndIgnoresBadCodes) {
  platform().input = InputState{};
  inputKey(platform().input, LB_KEY_LCONTROL, true);
  EXPECT_NE(lbGetKeyState(LB_KEY_LCONTROL), 0);
  EXPECT_EQ(lbGetKeyState(LB_KEY_RCONTROL), 0);
  for (int bad : {0, -1, 256, 1 << 30}) EXPECT_EQ(lbGetKeyState(bad), 0) << bad;
  inputKey(platform().input, 999, true);  // ignored, not a crash
  EXPECT_EQ(platform().input.keys.size(), 1u);
  EXPECT_EQ(lbClearKey(), 1);
  int key, kind;
  EXPECT_EQ(lbGetKeyEvent(&key, &kind), 0);
  EXPECT_NE(lbGetKeyState(LB_KEY_LCONTROL), 0) << "clearing events keeps held keys held";
}

TEST(InputQueues, MouseEventsCarryCodeAndPosition) {
  platform().input = InputState{};
  inputMouseButton(platform().input, LB_MOUSE_LEFT, 10, 20);
  inputMouseButton(platform().input, LB_MOUSE_RIGHT, 30, 40);
  int code = -1, x = -1, y = -1;
  ASSERT_EQ(lbGetMouse(&code, &x, &y), 1);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  ASSERT_EQ(lbGetMouse(&code, &x, &y), 1);
  EXPECT_EQ(code, 2);
  EXPECT_EQ(lbGetMouse(&code, &x, &y), 0);
  inputMouseButton(platform().input, LB_MOUSE_LEFT, 1, 1);
  lbClearMouse();
  EXPECT_EQ(lbGetMouse(&code, &x, &y), 0);
}

TEST(InputQueues, PointerMovesInARowAreOneMoveEventAtTheLastPosition) {
  platform().input = InputState{};
  inputMouseMove(platform().input, 10, 20);
  inputMouseMove(platform().input, 30, 40);
  inputMouseButton(platform().input, LB_MOUSE_LEFT, 30, 40);
  inputMouseMove(platform().input, 50, 60);
  int code = -1, x = -1, y = -1;
  ASSERT_EQ(lbGetMouse(&code, &x, &y), 1);
  EXPECT_EQ(code, LB_MOUSE_MOVE);
  EXPECT_EQ(x, 30);
  EXPECT_EQ(y, 40);
  ASSERT_EQ(lbGetMouse(&code, &x, &y), 1);
  EXPECT_EQ(code, LB_MOUSE_LEFT);
  ASSERT_EQ(lbGetMouse(&code, &x, &y), 1);
  EXPECT_EQ(code, LB_MOUSE_MOVE);
  EXPECT_EQ(lbGetMouse(&code, &x, &y), 0);
  EXPECT_EQ(lbGetMousePos(&x, &y), 1);
  EXPECT_EQ(x, 50);
  EXPECT_EQ(y, 60);
}

TEST(InputQueues, SetMousePosMovesThePointerInsideTheFrame) {
  platform().input = InputState{};
  lbSetMousePos(123, 456);
  int x = 0, y = 0;
  lbGetMousePos(&x, &y);
  EXPECT_EQ(x, 123);
  EXPECT_EQ(y, 456);
  lbSetMousePos(-50, 5000);
  lbGetMousePos(&x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 599);
}

TEST(Letterbox, KeepsTheAspectAndCentresTheFrame) {
  Viewport same = letterbox(800, 600);
  EXPECT_EQ(same.x, 0); EXPECT_EQ(same.y, 0); EXPECT_EQ(same.w, 800); EXPECT_EQ(same.h, 600);
  Viewport wide = letterbox(1920, 1080);  // bars left and right
  EXPECT_EQ(wide.h, 1080); EXPECT_EQ(wide.w, 1440); EXPECT_EQ(wide.x, 240); EXPECT_EQ(wide.y, 0);
  Viewport tall = letterbox(800, 1000);   // bars above and below
  EXPECT_EQ(tall.w, 800); EXPECT_EQ(tall.h, 600); EXPECT_EQ(tall.x, 0); EXPECT_EQ(tall.y, 200);
  Viewport none = letterbox(0, 0);
  EXPECT_GT(none.w, 0);
  EXPECT_GT(none.h, 0);
}

TEST(Letterbox, WindowPixelsMapToGamePixels) {
  Viewport v = letterbox(1920, 1080);
  int gx, gy;
  windowToGame(v, 240, 0, gx, gy);
  EXPECT_EQ(gx, 0); EXPECT_EQ(gy, 0);
  windowToGame(v, 240 + 720, 540, gx, gy);  // the centre
  EXPECT_EQ(gx, 400); EXPECT_EQ(gy, 300);
  windowToGame(v, 10, 5000, gx, gy);  // on a bar or outside: clamped to the frame's edge
  EXPECT_EQ(gx, 0); EXPECT_EQ(gy, 599);
  windowToGame(v, 1919, 1079, gx, gy);
  EXPECT_EQ(gx, 799); EXPECT_EQ(gy, 599);
}

TEST(Letterbox, GamePixelsMapBackToTheSamePixelAtAnySize) {
  // Fitted or in whole multiples, and on a display with two output pixels per window pixel.
  for (bool whole : {false, true})
    for (double ratio : {1.0, 2.0})
      for (auto [w, h] : {std::pair{800, 600}, {1024, 768}, {1920, 1080}, {640, 1000}, {333, 250}}) {
        Viewport v = letterbox(int(w * ratio), int(h * ratio), whole);
        for (int gx : {0, 1, 399, 798, 799})
          for (int gy : {0, 2, 300, 599}) {
            int wx, wy, bx, by;
            gameToWindow(v, gx, gy, wx, wy, ratio, ratio);
            windowToGame(v, wx, wy, bx, by, ratio, ratio);
            std::string where = std::to_string(w) + "x" + std::to_string(h) +
                                (whole ? " whole" : "") + " ratio " + std::to_string(ratio);
            if (v.w / ratio >= kFrameWidth) EXPECT_EQ(bx, gx) << where;
            else EXPECT_LE(std::abs(bx - gx), 2) << where;
            if (v.h / ratio >= kFrameHeight) EXPECT_EQ(by, gy) << where;
            else EXPECT_LE(std::abs(by - gy), 2) << where;
          }
      }
}

TEST(Letterbox, WholeMultiplesAreTheLargestThatFitAndFitWhenNoneDoes) {
  Viewport twice = letterbox(1920, 1440, true);
  EXPECT_EQ((std::array{twice.x, twice.y, twice.w, twice.h}), (std::array{160, 120, 1600, 1200}));
  Viewport once = letterbox(1280, 1024, true);
  EXPECT_EQ((std::array{once.x, once.y, once.w, once.h}), (std::array{240, 212, 800, 600}));
  Viewport small = letterbox(640, 600, true);
  EXPECT_EQ((std::array{small.x, small.y, small.w, small.h}), (std::array{0, 60, 640, 480}));
}

TEST(WindowSize, TheLargestWholeMultipleThatFitsTheScreenOrTheChosenScale) {
  auto size = [](int scale, int usableW, int usableH) {
    int w = 0, h = 0;
    defaultWindowSize(scale, 800, 600, usableW, usableH, w, h);
    return std::pair{w, h};
  };
  EXPECT_EQ(size(0, 1366, 728), (std::pair{800, 600}));
  EXPECT_EQ(size(0, 1920, 1440), (std::pair{1600, 1200}));
  EXPECT_EQ(size(0, 3840, 2100), (std::pair{2400, 1800}));  // a high-density screen
  EXPECT_EQ(size(0, 1024, 560), (std::pair{672, 504}));     // too small for one: fitted
  EXPECT_EQ(size(2, 1024, 560), (std::pair{1600, 1200}));   // the player's choice stands
  EXPECT_EQ(size(0, 0, 0), (std::pair{800, 600}));          // no screen to measure
}

TEST(Pad, ButtonsQueueTheKeysAndTheClickTheyStandFor) {
  InputState in;
  in.mouseX = 12;
  in.mouseY = 34;
  for (PadButton b : {PadButton::A, PadButton::B, PadButton::X, PadButton::Y, PadButton::Up,
                      PadButton::Down, PadButton::Left, PadButton::Right, PadButton::Shoulder}) {
    inputPadButton(in, b, true);
    inputPadButton(in, b, false);
  }
  std::vector<int> keys;
  for (const KeyEvent& e : in.keys)
    if (e.kind == LB_KEY_PRESS) keys.push_back(e.key);
  EXPECT_EQ(keys, (std::vector<int>{LB_KEY_RETURN, LB_KEY_ESCAPE, LB_KEY_Z, LB_KEY_X, LB_KEY_UP,
                                    LB_KEY_DOWN, LB_KEY_LEFT, LB_KEY_RIGHT, LB_KEY_LCONTROL}));
  EXPECT_EQ(in.keys.size(), 18u) << "every press is let go";
  EXPECT_TRUE(in.mouse.empty());
  // Start is a right click where the pointer is; letting go of it is nothing.
  inputPadButton(in, PadButton::Start, true);
  inputPadButton(in, PadButton::Start, false);
  ASSERT_EQ(in.mouse.size(), 1u);
  EXPECT_EQ((std::array{in.mouse[0].code, in.mouse[0].x, in.mouse[0].y}),
            (std::array{int(LB_MOUSE_RIGHT), 12, 34}));
}

TEST(Pad, TheStickPointsPastHalfWayAndStopsInsideAQuarter) {
  EXPECT_EQ(stickDirection(0, 10000), 0);    // not yet half way
  EXPECT_EQ(stickDirection(0, 20000), 1);
  EXPECT_EQ(stickDirection(1, 10000), 1);    // on its way back, still pointing
  EXPECT_EQ(stickDirection(1, 5000), 0);
  EXPECT_EQ(stickDirection(0, -32768), -1);
  EXPECT_EQ(stickDirection(1, -20000), -1);  // flicked straight across
}
