/*
 * The platform side of the runtime: the presentation backend (an SDL window, or the headless
 * recorder), the game clock and frame pacing, the input queues, the input script of a replay
 * and the transcript. The compositor only calls presentFrame; nothing here knows of sprites.
 */
#ifndef ORVANE_RUNTIME_PRESENT_H
#define ORVANE_RUNTIME_PRESENT_H

#include "runtime.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// ---- Backends -------------------------------------------------------------------------------

// What differs between playing in a window and replaying headless. The platform state below
// owns exactly one backend.
class PresentBackend {
 public:
  virtual ~PresentBackend() = default;
  // Shows (or records) one composed 800x600 frame, which differs from the one shown before
  // only within `changed`; paces to the frame rate.
  virtual bool show(const uint32_t* pixels, const FrameRect& changed) = 0;
  // Services window and input events, blocking at most ms for a waking event.
  virtual void waitEvents(int ms) = 0;
  virtual void setTitle(const std::string& utf8) = 0;
  virtual void setFullscreen(bool on) = 0;
  // Shows a message box; blocks until it is closed when there is someone to close it.
  virtual void message(const std::string& caption, const std::string& text) = 0;
  // Moves the real pointer to a position in game pixels.
  virtual void warpPointer(int x, int y) = 0;
  virtual void setLinearScaling(bool on) = 0;
  // The window's size in window pixels (the frame stays 800x600 inside it).
  virtual void resize(int width, int height) = 0;
  // The largest multiple of the game's size a window can have on this screen (at least 1).
  virtual int largestScale() { return 8; }
};

std::unique_ptr<PresentBackend> makeHeadlessBackend();
// Opens the SDL window; null (with the reason in error) when no display can be opened.
std::unique_ptr<PresentBackend> makeWindowBackend(std::string& error);

// ---- Frame clock ----------------------------------------------------------------------------

// Whole-millisecond frame periods that add up to exactly fps frames a second, without drift:
// at 60 fps the periods run 16, 17, 17, 16, 17, 17 ...
struct FrameClock {
  int fps = 60;
  uint64_t frames = 0;  // frames presented since the rate was set
  void setRate(int framesPerSecond);
  uint32_t nextPeriod();  // the period of the frame being presented; counts it
};

// ---- Letterbox mapping ----------------------------------------------------------------------

// Where the 800x600 frame lies in an output of the given size, aspect kept. With whole set,
// the frame is scaled by the largest whole multiple that fits (sharp pixels), or fitted
// when even one frame does not fit.
struct Viewport { int x, y, w, h; };
Viewport letterbox(int windowW, int windowH, bool whole = false);
// Window coordinates to game pixels (clamped into the frame) and back. The viewport is in
// output pixels; ratio is output pixels per window coordinate (2 on a display that doubles).
void windowToGame(const Viewport& v, int wx, int wy, int& gx, int& gy, double ratioX = 1.0,
                  double ratioY = 1.0);
void gameToWindow(const Viewport& v, int gx, int gy, int& wx, int& wy, double ratioX = 1.0,
                  double ratioY = 1.0);
// The window's size at start for a game of width x height on a screen whose usable area is
// usableW x usableH: scale times the game's size, or with scale 0 the largest whole multiple
// that fits (a large or high-density screen gets 2x or 3x), shrunk with the aspect kept on a
// screen too small for even one.
void defaultWindowSize(int scale, int width, int height, int usableW, int usableH, int& outW,
                       int& outH);

// ---- Input ----------------------------------------------------------------------------------

struct KeyEvent { int key, kind; };
struct MouseEvent { int code, x, y; };

// What the game reads through lbGetKeyEvent, lbGetMouse, lbGetKeyState and lbGetMousePos.
struct InputState {
  std::deque<KeyEvent> keys;
  std::deque<MouseEvent> mouse;
  bool down[256] = {};
  int mouseX = 0, mouseY = 0;
  bool leftHeld = false;  // the left button is down (a window's; a replay clicks at once)
  bool wakeOnKey = false, wakeOnMouse = false;
};

// DirectInput code of an SDL scancode, 0 when the key has none.
int keyCodeFromScancode(int sdlScancode);
// DirectInput code of a script key name ("Return", "LCtrl", "A", "7" ...), 0 when unknown;
// and the name of a code for transcript lines.
int keyCodeFromName(const std::string& name);
std::string keyNameFromCode(int code);

// Records a key going down (kind 1) or up (kind 0) and a mouse button press.
void inputKey(InputState& in, int key, bool press);
void inputMouseButton(InputState& in, int code, int x, int y);
// Gamepad buttons and the game input each one stands for: the d-pad (and the left stick)
// are the arrow keys, A is Return, B Escape, X is Z, Y is X, a shoulder button is Ctrl held,
// and Start is a right click where the pointer is (the system menu). The left trigger is
// Page Up (the message log at a story page), the right trigger A (auto-advance). Back is the
// runtime's own: held for a second it opens the settings screen, pressed there it closes it.
enum class PadButton {
  A, B, X, Y, Start, Up, Down, Left, Right, Shoulder, LeftTrigger, RightTrigger, Back
};
// The button of a script name ("a", "start", "shoulder" ...); false when there is none.
bool padButtonFromName(const std::string& name, PadButton& out);
// The DirectInput code a button stands for; 0 for Start, which is a right click, and Back.
int padKeyCode(PadButton b);
// Records a button going down or up as the key or click it stands for.
void inputPadButton(InputState& in, PadButton b, bool press);
// Where the left stick points along one axis (-1, 0, 1), given where it pointed before: it
// must be pushed past half way to point, and come back inside a quarter to stop, so a stick
// resting near the threshold does not flutter between choices.
int stickDirection(int previous, int axisValue);

// Records the pointer's new position as a move event; moves in a row make one event, so a
// pointer swept across the window while nobody polls never grows the queue.
void inputMouseMove(InputState& in, int x, int y);

// ---- Input script ---------------------------------------------------------------------------

struct ScriptAction {
  enum Kind { Click, RClick, Move, Key, Hold, Release, Wait, Shot, Usage, Quit, Wheel } kind;
  bool up = false;   // a wheel notch away from the player
  bool pad = false;  // a gamepad button (key, hold, release) rather than a key
  int x = 0, y = 0;
  bool hasPos = false;
  int key = 0;
  uint32_t ms = 0;
  PadButton button = PadButton::A;
  std::string name;  // key or button name as written, or the shot name
};

// Parses an input script. On a bad line returns false with "line N: reason" in error.
bool parseInputScript(const std::string& text, std::vector<ScriptAction>& out,
                      std::string& error);
// The action as the transcript writes it after "input ".
std::string describeAction(const ScriptAction& a);

// How long a wait for the player must last before the next scripted action arrives.
constexpr uint32_t kPlayerWaitMs = 300;

// Replays the script: an action is due only while the game waits for the player (it has
// polled the mouse queue since it last cleared it) and that wait has lasted kPlayerWaitMs.
struct ScriptPlayer {
  std::vector<ScriptAction> actions;
  size_t next = 0;
  uint32_t waitStart = 0;  // game time the current wait began (cleared, or last action)
  uint32_t extra = 0;      // added by a "wait MS" action
  // After "wait MS", the next action comes no sooner than MS (and a player's wait) after
  // it, however many waits the game passes through meanwhile (pages that turn by themselves).
  uint32_t notBefore = 0;
  bool holding = false;
  bool polled = false;     // the game has polled the mouse queue since waitStart
  // The game polled the mouse queue since its last lbWaitEvent without taking an event: a
  // wait for the player polls on every pass, so a pump that follows no such poll (a fade
  // after the click that ended the wait) is no wait for the player.
  bool polling = false;
  void cleared(uint32_t now) { waitStart = now; extra = 0; polled = false; }
  void pollSeen() { polled = true; polling = true; }
  // Game time at which the next action (or, with the script used up, the closing of the
  // window) is due; nothing while the game is not waiting for the player.
  std::optional<uint32_t> due() const;
};

// ---- Platform state -------------------------------------------------------------------------

struct ShotAt { uint32_t ms; std::string name; bool done = false; };

struct Platform {
  bool headless = false;
  std::unique_ptr<PresentBackend> backend;
  FrameClock clock;
  uint32_t startTime = 0;  // timeGetTime at setup; game time counts from here
  bool exitRequested = false;
  bool fullscreen = false;
  bool timePause = true;   // pause sound while the window is minimised
  bool pausedByMinimise = false;
  bool linear = true;      // the game's wish for smooth scaling (lbtsSetLinearMode)
  bool started = false;    // a frame has been presented: start-up calls are over
  std::string copyright;
  int windowWidth = 800, windowHeight = 600;
  InputState input;
  ScriptPlayer script;
  bool scripted = false;   // replaying a script (headless)
  FILE* transcript = nullptr;
  std::string shotsDir;
  std::vector<ShotAt> shotAt;
  uint64_t maxTime = 3600000;
  // The last presented frame, for shots and for showing it again: the compositor's buffer
  // itself, or `keptFrame` once the compositor draws over it without presenting.
  const uint32_t* presented = nullptr;
  std::vector<uint32_t> keptFrame;
  const uint32_t* keptFrom = nullptr;  // the buffer keptFrame was copied from
  bool composeFrames = true;  // see composingFrames
  std::string saveDir;     // UTF-8; where settings and screenshots go (empty: none kept)
  struct Settings {
    int music = 100, effects = 100;  // volumes in percent
    bool fullscreen = false;         // start in full screen
    int scale = 0;                   // window size as a multiple of 800x600; 0: fit the screen
    bool integer = false;            // scale the picture by whole multiples only
    bool smooth = true;              // smooth the picture when it is scaled
    int textSpeed = 100;             // percent of the script's character delays; 0: instant
    int autoDelay = 1500;            // auto-advance's base delay in ms
  } settings;
  struct SettingsScreen {
    bool wanted = false;   // asked for: opens where the game next pumps events
    bool open = false, closing = false;
    std::optional<uint32_t> backSince;  // game time the pad's Back button went down
  } screen;
};

Platform& platform();

// Game time in ms since setup.
uint32_t gameTime();
// Lets game time pass on the virtual clock (no-op on the real clock).
void advanceGameTime(uint32_t ms);
// Marks the window closed (once), writing "exit" to the transcript.
void requestExit();
// Writes the last presented frame as DIR/NAME.png; false (with a line on standard error)
// when it cannot.
bool writePng(const std::string& dir, const std::string& name);
// Writes the last presented frame as NAME.png in the shots folder (default: the current
// folder); false when it cannot.
bool writeShot(const std::string& name);
// Delivers the scripted actions that are due now; true when one was delivered.
bool deliverDueActions();
// Pauses or resumes every sound and stream (the window was minimised or restored).
void pauseAudio(bool paused);
// The window was minimised or restored: sound pauses while it is minimised, unless the game
// asked to play on (lbSetTimePause(0)).
void windowMinimised(bool minimised);
// Applies the volumes of the settings to the mixer.
void applyVolumes();

// ---- Player keys and settings ----------------------------------------------------------------

// The settings file in the save folder (a profile file, section [settings]).
constexpr const char* kSettingsFile = "orvane.ini";
// Reads the settings from the save folder (defaults for what is missing or out of range).
void loadSettings();
// Writes one setting back; false (with a line on standard error) when it cannot.
bool saveSetting(const char* key, int value);
// The ranges the settings file accepts (a value outside one reads as the default).
constexpr int kMaxScale = 8;
constexpr int kMaxTextSpeed = 400;
constexpr int kMinAutoDelay = 500, kMaxAutoDelay = 5000;
// Sets a volume (music or effects, 0..100): the mixer, a transcript line and the settings file.
void setVolume(bool music, int percent);
// Applies the window settings at once: whole multiples and smoothing to the picture, and with
// resizeWindow the scale to the window's size (a full-screen window keeps its size).
void applyScaling(bool resizeWindow);
// A key the player pressed or let go, from the keyboard or a script: the runtime's own keys
// (F1 the settings screen, F7/F8 music volume down/up, F9/F10 effect volume, F12 screenshot)
// are handled here and never reach the game; every other key goes to the game's queue (the
// settings screen's own while it is open).
void playerKey(int key, bool press);
// Writes the last frame as screenshot-NNN.png (the first number not taken) in the save
// folder; the file name, or empty when it cannot.
std::string writeScreenshot();
// Whether the picture is smoothed when scaled: the game asks for it and the player allows it
// (never with whole multiples, whose pixels stay sharp).
bool smoothScaling();
// Closes the audio device and frees what is still playing.
void closeAudio();
// Plays a short sound at the effect volume, so a player setting it hears it (not headless).
void playEffectSample();

// ---- The settings screen (settings_screen.cpp) -----------------------------------------------

// F1 or the pad's Back: opens the settings screen at the next point the game pumps events
// (serviceSettingsScreen), or closes it when it is open.
void toggleSettingsScreen();
// The pad's Back button went down or up: held for kBackHoldMs of game time it opens the
// screen; pressed while the screen is open it closes it.
void settingsBackButton(bool press);
constexpr uint32_t kBackHoldMs = 1000;
// Game time at which a held Back button opens the screen; nothing when it is not held.
std::optional<uint32_t> settingsHoldDue();
// Runs the settings screen when it was asked for, until it is closed. The game is held in
// whatever host call pumped events: none of the input reaches it and game time stands still.
void serviceSettingsScreen();
bool settingsScreenOpen();

// For the settings screen's own loop in a replay: delivers the next scripted action now,
// whatever the time (the window closes when the script is used up), and lets go of a key
// that "key NAME" left down.
void deliverNextAction();
void releasePendingKey();

#endif  // ORVANE_RUNTIME_PRESENT_H
