// The player's input script: parsing, and the rule that delivers an action only to a wait
// for the player that has lasted long enough.
#include "headless_fixture.h"

#include "lb/keycodes.h"

namespace {

std::vector<ScriptAction> parse(const std::string& text) {
  std::vector<ScriptAction> out;
  std::string error;
  EXPECT_TRUE(parseInputScript(text, out, error)) << error;
  return out;
}

std::string parseError(const std::string& text) {
  std::vector<ScriptAction> out;
  std::string error;
  EXPECT_FALSE(parseInputScript(text, out, error)) << text;
  return error;
}

// One pass of the game's click wait: poll the mouse until a button event or an empty queue
// (a pointer move is taken but does not end the wait), then wait.
bool clickWaitPass(int waitMs, int& code, int& x, int& y) {
  bool got = false;
  while (!got && lbGetMouse(&code, &x, &y) != 0) got = code != LB_MOUSE_MOVE;
  if (!got) lbWaitEvent(waitMs);
  return got;
}

}  // namespace

TEST(InputScript, ParsesEveryActionWithCommentsAndBlankLines) {
  auto a = parse(
      "# the opening\n"
      "click 100 200\n"
      "\n"
      "rclick   # where the pointer is\n"
      "rclick 5 6\n"
      "move 799 599\n"
      "key Return\n"
      "hold LCtrl\n"
      "release LCtrl\n"
      "wait 1500\n"
      "shot title\n"
      "quit\n");
  ASSERT_EQ(a.size(), 10u);
  EXPECT_EQ(a[0].kind, ScriptAction::Click);
  EXPECT_EQ(a[0].x, 100);
  EXPECT_EQ(a[0].y, 200);
  EXPECT_EQ(a[1].kind, ScriptAction::RClick);
  EXPECT_FALSE(a[1].hasPos);
  EXPECT_TRUE(a[2].hasPos);
  EXPECT_EQ(a[4].key, LB_KEY_RETURN);
  EXPECT_EQ(a[5].kind, ScriptAction::Hold);
  EXPECT_EQ(a[5].key, LB_KEY_LCONTROL);
  EXPECT_EQ(a[7].ms, 1500u);
  EXPECT_EQ(a[8].name, "title");
  EXPECT_EQ(a[9].kind, ScriptAction::Quit);
  EXPECT_EQ(describeAction(a[0]), "click 100 200");
  EXPECT_EQ(describeAction(a[4]), "key Return");
}

TEST(InputScript, BadLinesAreRefusedWithTheirLineNumber) {
  EXPECT_EQ(parseError("click 1 2\nclick 1\n"), "line 2: click needs X Y inside the 800x600 frame");
  EXPECT_EQ(parseError("click 800 0"), "line 1: click needs X Y inside the 800x600 frame");
  EXPECT_EQ(parseError("click -1 0"), "line 1: click needs X Y inside the 800x600 frame");
  EXPECT_EQ(parseError("click 1x 2"), "line 1: click needs X Y inside the 800x600 frame");
  EXPECT_EQ(parseError("\n\nkey Enter"), "line 3: unknown key name \"Enter\"");
  EXPECT_EQ(parseError("dance"), "line 1: unknown action \"dance\"");
  EXPECT_EQ(parseError("wait soon"), "line 1: wait needs a number of milliseconds");
  EXPECT_EQ(parseError("wait 99999999999"), "line 1: wait needs a number of milliseconds");
  EXPECT_EQ(parseError("shot ../../etc"), "line 1: a shot name is a plain file name");
  EXPECT_EQ(parseError("quit now"), "line 1: quit takes nothing");
  EXPECT_EQ(parseError("usage now"), "line 1: usage takes nothing");
  EXPECT_EQ(parseError("rclick 5"), "line 1: rclick takes no position or X Y inside the 800x600 frame");
  EXPECT_EQ(parseError("pad z"), "line 1: unknown gamepad button \"z\"");
  EXPECT_EQ(parseError("pad"), "line 1: pad needs a button name, after hold or release if any");
  EXPECT_EQ(parseError("pad hold"), "line 1: pad needs a button name, after hold or release if any");
  EXPECT_EQ(parseError("pad hold start"), "line 1: start is pressed, not held");
  EXPECT_EQ(parseError("wheel"), "line 1: wheel needs up or down");
  EXPECT_EQ(parseError("wheel left"), "line 1: wheel needs up or down");
}

TEST(InputScript, WheelTriggersAndTheComfortKeysNameThemselves) {
  auto a = parse("wheel up\nwheel down\npad ltrigger\npad rtrigger\nkey PageUp\nkey PageDown\n"
                 "key A\nkey F1\n");
  ASSERT_EQ(a.size(), 8u);
  EXPECT_EQ(a[0].kind, ScriptAction::Wheel);
  EXPECT_TRUE(a[0].up);
  EXPECT_FALSE(a[1].up);
  EXPECT_EQ(a[2].key, LB_KEY_PRIOR);  // the message log's key
  EXPECT_EQ(a[3].key, LB_KEY_A);      // auto-advance's
  EXPECT_EQ(a[4].key, LB_KEY_PRIOR);
  EXPECT_EQ(a[5].key, LB_KEY_NEXT);
  EXPECT_EQ(a[6].key, LB_KEY_A);
  EXPECT_EQ(a[7].key, LB_KEY_F1);
  std::vector<std::string> described;
  for (const ScriptAction& action : a) described.push_back(describeAction(action));
  EXPECT_EQ(described, (std::vector<std::string>{"wheel up", "wheel down", "pad ltrigger",
                                                 "pad rtrigger", "key PageUp", "key PageDown",
                                                 "key A", "key F1"}));
}

TEST(InputScript, PadButtonsAreTheKeysTheyStandForAndNameThemselves) {
  auto a = parse("pad a\npad start\npad hold shoulder\npad release shoulder\npad left\n");
  ASSERT_EQ(a.size(), 5u);
  EXPECT_EQ(a[0].kind, ScriptAction::Key);
  EXPECT_EQ(a[0].key, LB_KEY_RETURN);
  EXPECT_EQ(a[1].button, PadButton::Start);
  EXPECT_EQ(a[2].kind, ScriptAction::Hold);
  EXPECT_EQ(a[2].key, LB_KEY_LCONTROL);
  EXPECT_EQ(a[3].kind, ScriptAction::Release);
  EXPECT_EQ(a[4].key, LB_KEY_LEFT);
  std::vector<std::string> described;
  for (const ScriptAction& action : a) described.push_back(describeAction(action));
  EXPECT_EQ(described, (std::vector<std::string>{"pad a", "pad start", "pad hold shoulder",
                                                 "pad release shoulder", "pad left"}));
}

TEST_F(Headless, PadStartIsARightClickWhereThePointerIs) {
  useScript = true;
  script = "move 30 40\npad start\n";
  start();
  int code = -1, x = 0, y = 0;
  lbClearMouse();
  for (int pass = 0; pass < 100 && code != LB_MOUSE_RIGHT; ++pass) clickWaitPass(100, code, x, y);
  EXPECT_EQ(code, LB_MOUSE_RIGHT);
  EXPECT_EQ(x, 30);
  EXPECT_EQ(y, 40);
}

TEST_F(Headless, MinimisingPausesTheSoundOnlyWhenTheGameLetsIt) {
  start();
  lbSetTimePause(0);  // the game asks to play on
  windowMinimised(true);
  EXPECT_FALSE(platform().pausedByMinimise);
  windowMinimised(false);
  lbSetTimePause(1);
  windowMinimised(true);
  EXPECT_TRUE(platform().pausedByMinimise);
  windowMinimised(false);
  EXPECT_FALSE(platform().pausedByMinimise);
}

TEST_F(Headless, AClickArrivesOnlyAfterTheWaitForThePlayerHasLasted300ms) {
  useScript = true;
  script = "click 10 20\n";
  start();
  lbWaitEvent(1000);  // time passes before anyone waits for the player
  lbClearMouse();     // a click wait begins at 1000
  int code = -1, x = -1, y = -1;
  EXPECT_FALSE(clickWaitPass(100, code, x, y));
  EXPECT_EQ(gameTime(), 1100u);
  EXPECT_FALSE(clickWaitPass(16777215, code, x, y));
  EXPECT_EQ(gameTime(), 1300u) << "the long wait ends when the action is due";
  ASSERT_TRUE(clickWaitPass(0, code, x, y));
  EXPECT_EQ(code, LB_MOUSE_LEFT);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  int px, py;
  lbGetMousePos(&px, &py);
  EXPECT_EQ(px, 10) << "a click first moves the pointer";
  auto lines = transcript();
  ASSERT_GE(lines.size(), 1u);
  EXPECT_EQ(lines[0], "1300 input click 10 20");
}

TEST_F(Headless, WaitsThatOnlyWatchKeysOrTimeNeverReceiveActions) {
  useScript = true;
  script = "key Return\n";
  start();
  lbClearMouse();
  for (int i = 0; i < 50; ++i) {  // a skip-key wait: key state only
    EXPECT_EQ(lbGetKeyState(LB_KEY_LCONTROL), 0);
    lbWaitEvent(100);
  }
  int key, kind;
  EXPECT_EQ(lbGetKeyEvent(&key, &kind), 0);
  EXPECT_EQ(lbIsExit(), 0);
  EXPECT_TRUE(transcript().empty());
  // The next click wait receives it.
  lbClearMouse();
  int code, x, y;
  for (int i = 0; i < 10 && lbGetKeyEvent(&key, &kind) == 0; ++i) clickWaitPass(50, code, x, y);
  EXPECT_EQ(key, LB_KEY_RETURN);
  EXPECT_EQ(kind, LB_KEY_PRESS);
}

TEST_F(Headless, AnActionThatDoesNotEndTheWaitIsFollowedAfterAnotherFullWait) {
  useScript = true;
  script = "move 50 60\nwait 1000\nclick 1 2\n";
  start();
  lbClearMouse();
  int code, x, y;
  int passes = 0;
  while (!clickWaitPass(16777215, code, x, y) && passes++ < 20) {}
  EXPECT_EQ(gameTime(), 300u + 300u + 1000u + 300u);
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "300 input move 50 60");
  EXPECT_EQ(lines[1], "600 input wait 1000");
  EXPECT_EQ(lines[2], "1900 input click 1 2");
}

// F1 is the runtime's own (the settings screen) and never reaches the game; Page Up does.
TEST_F(Headless, AWheelNotchArrivesAsItsMouseCodeAndPageUpAsItsKey) {
  useScript = true;
  script = "move 30 40\nwheel down\nkey PageUp\n";
  start();
  lbClearMouse();
  int code = -1, x = 0, y = 0;
  for (int pass = 0; pass < 100 && code != LB_MOUSE_WHEEL_DOWN; ++pass)
    clickWaitPass(100, code, x, y);
  EXPECT_EQ(code, LB_MOUSE_WHEEL_DOWN);
  EXPECT_EQ(x, 30);
  int key = 0, kind = 0;
  for (int pass = 0; pass < 100 && lbGetKeyEvent(&key, &kind) == 0; ++pass)
    clickWaitPass(100, code, x, y);
  EXPECT_EQ(key, LB_KEY_PRIOR);
}

TEST_F(Headless, AWaitOutlastsTheWaitsThatEndMeanwhile) {
  useScript = true;
  script = "wait 2000\nclick 1 2\n";
  start();
  lbClearMouse();
  int code, x, y;
  while (gameTime() < 1000) clickWaitPass(100, code, x, y);  // "wait 2000" taken at 300
  lbClearMouse();  // the game moved on to another wait by itself (a page that turned)
  int passes = 0;
  while (!clickWaitPass(16777215, code, x, y) && passes++ < 50) {}
  EXPECT_EQ(gameTime(), 300u + 2000u + 300u);
}

TEST_F(Headless, ClearingTheMouseRestartsTheWait) {
  useScript = true;
  script = "click 1 2\n";
  start();
  lbClearMouse();
  int code, x, y;
  clickWaitPass(200, code, x, y);
  lbClearMouse();  // a new wait begins at 200
  clickWaitPass(16777215, code, x, y);
  EXPECT_EQ(gameTime(), 500u);
}

TEST_F(Headless, AUsedUpScriptClosesTheWindowAtTheNextWaitForThePlayer) {
  useScript = true;
  script = "click 1 2\n";
  start();
  lbClearMouse();
  int code, x, y;
  while (!clickWaitPass(16777215, code, x, y)) {}
  lbWaitEvent(5000);  // an animation plays: no wait for the player
  EXPECT_EQ(lbIsExit(), 0);
  lbClearMouse();
  for (int i = 0; i < 5 && !lbIsExit(); ++i) clickWaitPass(16777215, code, x, y);
  EXPECT_NE(lbIsExit(), 0);
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "5600 exit");
}

TEST_F(Headless, EmptyingTheQueueAfterAClickIsNoNewWaitForThePlayer) {
  useScript = true;
  script = "click 1 2\nclick 3 4\n";
  start();
  lbClearMouse();
  int code, x, y;
  while (!clickWaitPass(16777215, code, x, y)) {}
  // A click-or-key poll drains the queue before the wait ends.
  EXPECT_EQ(lbGetMouse(&code, &x, &y), 0);
  uint32_t clicked = gameTime();
  lbWaitEvent(0);     // the wait's last pump
  lbWaitEvent(5000);  // a fade plays: no wait for the player
  EXPECT_EQ(gameTime(), clicked + 5000);
  EXPECT_EQ(transcript().size(), 1u) << "the second click waits for the next wait for the player";
}

TEST_F(Headless, AKeyThatDoesNotEndTheWaitIsFollowedByTheNextAction) {
  useScript = true;
  script = "key Right\nclick 1 2\n";
  start();
  lbClearMouse();
  int code = -1, x, y, key, kind;
  // A wait for a click that also reads keys, as the button wait does: the arrow key moves
  // the choice and the wait goes on.
  for (int pass = 0; pass < 20; ++pass) {
    if (lbGetMouse(&code, &x, &y) && code == LB_MOUSE_LEFT) break;
    while (lbGetKeyEvent(&key, &kind)) {}
    lbWaitEvent(16777215);
  }
  EXPECT_EQ(code, LB_MOUSE_LEFT);
  EXPECT_EQ(gameTime(), 600u);
}

TEST_F(Headless, QuitClosesTheWindow) {
  useScript = true;
  script = "quit\nclick 1 1\n";
  start();
  lbClearMouse();
  int code, x, y;
  for (int i = 0; i < 5 && !lbIsExit(); ++i) clickWaitPass(16777215, code, x, y);
  EXPECT_NE(lbIsExit(), 0);
  EXPECT_EQ(lbGetMouse(&code, &x, &y), 0) << "nothing is delivered after quit";
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "300 input quit");
  EXPECT_EQ(lines[1], "300 exit");
}

TEST_F(Headless, KeyPressesAndHeldKeysReachTheGame) {
  useScript = true;
  script = "hold RCtrl\nkey Z\nrelease RCtrl\n";
  start();
  lbClearMouse();
  int code, x, y;
  clickWaitPass(16777215, code, x, y);
  EXPECT_NE(lbGetKeyState(LB_KEY_RCONTROL), 0);
  clickWaitPass(16777215, code, x, y);
  EXPECT_NE(lbGetKeyState(LB_KEY_Z), 0) << "a pressed key is down right after it arrives";
  EXPECT_NE(lbGetKeyState(LB_KEY_RCONTROL), 0);
  clickWaitPass(16777215, code, x, y);
  EXPECT_EQ(lbGetKeyState(LB_KEY_RCONTROL), 0);
  EXPECT_EQ(lbGetKeyState(LB_KEY_Z), 0) << "and up again later";
  int key, kind;
  std::vector<std::pair<int, int>> events;
  while (lbGetKeyEvent(&key, &kind)) events.push_back({key, kind});
  std::vector<std::pair<int, int>> expected = {
      {LB_KEY_RCONTROL, 1}, {LB_KEY_Z, 1}, {LB_KEY_Z, 0}, {LB_KEY_RCONTROL, 0}};
  EXPECT_EQ(events, expected);
}

TEST_F(Headless, ScriptedShotWritesTheLastFrame) {
  useScript = true;
  script = "shot scene\n";
  start();
  frame();
  lbClearMouse();
  int code, x, y;
  clickWaitPass(16777215, code, x, y);
  EXPECT_TRUE(std::filesystem::exists(dir / "shots" / "scene.png"));
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "316 input shot scene");
  EXPECT_EQ(lines[1], "316 shot scene");
}

TEST_F(Headless, ABadScriptFailsSetUp) {
  useScript = true;
  script = "click 1 2\nfly\n";
  std::string scriptPath = (dir / "input.txt").string();
  std::ofstream(scriptPath) << script;
  std::string game = (dir / "game").string();
  OrvaneRuntimeOptions o{};
  o.headless = 1;
  o.gameDir = game.c_str();
  o.inputScript = scriptPath.c_str();
  o.maxTimeMs = -1;
  char error[512] = {};
  EXPECT_EQ(orvaneRuntimeSetup(&o, error, sizeof error), ORVANE_SETUP_BAD_OPTION);
  EXPECT_NE(std::string(error).find("line 2: unknown action \"fly\""), std::string::npos) << error;
  o.inputScript = nullptr;
  o.gameDir = "/nonexistent/game";
  EXPECT_EQ(orvaneRuntimeSetup(&o, error, sizeof error), ORVANE_SETUP_BAD_OPTION);
}

TEST_F(Headless, AShotBeforeAnyFrameWritesNothing) {
  useScript = true;
  script = "shot early\n";
  start();
  lbClearMouse();
  int code, x, y;
  clickWaitPass(16777215, code, x, y);
  EXPECT_FALSE(std::filesystem::exists(dir / "shots" / "early.png"));
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "300 input shot early");
}
