/*
 * The settings screen: F1 or a long press of the pad's Back opens it over the game. It runs
 * its own loop inside the host call in which the game pumped events, so the game stays in
 * its wait, takes none of the input and sees its clock stand still; every change applies at
 * once and is written to the settings file, which the game reads again where it needs to.
 */
#include "present.h"
#include "runtime.h"
#include "settings_screen.h"

#include "record.h"

#include "lb/keycodes.h"

#include <windows.h>
#include <wincompat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

enum Row { kMusic, kEffects, kTextSpeed, kAutoDelay, kFullscreen, kScale, kInteger, kSmooth,
           kClose, kRowCount };

// The values a slider steps through, in the order it shows them from left to right.
std::vector<int> sliderSteps(int row) {
  std::vector<int> steps;
  switch (row) {
    case kMusic:
    case kEffects:
      for (int v = 0; v <= 100; v += 10) steps.push_back(v);
      break;
    case kTextSpeed:
      // Slow to fast: the percentage of the script's delays falls from left to right.
      steps = {400, 200, 150, 100, 50, 25, 0};
      break;
    case kAutoDelay:
      for (int v = kMinAutoDelay; v <= kMaxAutoDelay; v += 250) steps.push_back(v);
      break;
  }
  return steps;
}

// Where a value lies among the steps, as a fractional index: a value written into the file
// by hand between two steps lies between them, and the next step either way is a whole one.
double stepPosition(const std::vector<int>& steps, int value) {
  for (size_t i = 0; i + 1 < steps.size(); ++i) {
    int a = steps[i], b = steps[i + 1];
    if (value == a) return double(i);
    if ((value - a) * (value - b) < 0) return i + double(value - a) / (b - a);
  }
  if (value == steps.back()) return double(steps.size() - 1);
  // Beyond either end: the end it is nearer.
  return std::abs(value - steps.front()) < std::abs(value - steps.back()) ? 0.0
                                                                         : double(steps.size() - 1);
}

int setting(int row) {
  const Platform& p = platform();
  const Platform::Settings& s = p.settings;
  switch (row) {
    case kMusic: return s.music;
    case kEffects: return s.effects;
    case kTextSpeed: return s.textSpeed;
    case kAutoDelay: return s.autoDelay;
    case kFullscreen: return p.fullscreen;
    case kScale: return s.scale;
    case kInteger: return s.integer;
    case kSmooth: return s.smooth;
  }
  return 0;
}

// Sets a setting, says so in the transcript and writes it to the file; applying it, where
// the runtime applies it, is the caller's.
void keep(const char* key, int& field, int value) {
  if (field == value) return;
  field = value;
  transcriptLine(std::string("setting ") + key + " " + std::to_string(value));
  saveSetting(key, value);
}

// Changes a row's setting to the value given; applies it and writes it to the file.
void apply(int row, int value) {
  Platform& p = platform();
  Platform::Settings& s = p.settings;
  switch (row) {
    case kMusic: setVolume(true, value); break;
    case kEffects:
      if (value == s.effects) break;
      setVolume(false, value);
      playEffectSample();
      break;
    case kTextSpeed: keep("textspeed", s.textSpeed, value); break;
    case kAutoDelay: keep("autodelay", s.autoDelay, value); break;
    case kFullscreen:
      if (bool(value) == p.fullscreen) break;
      lbSetFullscreen(value);
      // Back in a window: the window takes the size the scale asks for.
      if (!value) applyScaling(true);
      break;
    case kScale:
      keep("scale", s.scale, value);
      applyScaling(true);
      break;
    case kInteger:
    case kSmooth: {
      bool& flag = row == kInteger ? s.integer : s.smooth;
      int on = flag;
      keep(row == kInteger ? "integer" : "smooth", on, value);
      flag = on != 0;
      applyScaling(false);
      break;
    }
  }
}

// Moves a row's setting one step left (-1) or right (+1); with wrap, past the end starts over.
void step(int row, int direction, bool wrap) {
  switch (row) {
    case kFullscreen:
    case kInteger:
    case kSmooth:
      apply(row, !setting(row));
      return;
    case kScale: {
      // The multiples a window can have on this screen (and one set by hand beyond them).
      const Platform& p = platform();
      int largest = std::clamp(p.backend ? p.backend->largestScale() : kMaxScale, 1, kMaxScale);
      largest = std::max(largest, setting(kScale));
      int next = setting(kScale) + direction;
      if (wrap) next = (next + largest + 1) % (largest + 1);
      apply(row, std::clamp(next, 0, largest));
      return;
    }
    case kClose: return;
  }
  std::vector<int> steps = sliderSteps(row);
  double at = stepPosition(steps, setting(row));
  int index = direction > 0 ? int(std::floor(at)) + 1 : int(std::ceil(at)) - 1;
  apply(row, steps[size_t(std::clamp(index, 0, int(steps.size()) - 1))]);
}

std::string delayText(int ms) {
  char text[32];
  if (ms % 1000 == 0) std::snprintf(text, sizeof text, "%d秒", ms / 1000);
  else if (ms % 100 == 0) std::snprintf(text, sizeof text, "%.1f秒", ms / 1000.0);
  else std::snprintf(text, sizeof text, "%.2f秒", ms / 1000.0);
  return text;
}

std::string speedText(int percent) {
  static const struct { int percent; const char* name; } kNames[] = {
      {400, "とても遅い"}, {200, "遅い"},       {150, "やや遅い"}, {100, "普通"},
      {50, "速い"},         {25, "とても速い"}, {0, "瞬時"}};
  for (const auto& n : kNames)
    if (n.percent == percent) return n.name;
  return std::to_string(percent) + "%";
}

std::string scaleText(int scale) {
  if (scale == 0) return "画面に合わせる";
  char text[48];
  std::snprintf(text, sizeof text, "%d倍 (%d×%d)", scale, 800 * scale, 600 * scale);
  return text;
}

SettingsView currentView(int selected) {
  const Platform& p = platform();
  const Platform::Settings& s = p.settings;
  SettingsView v;
  v.selected = selected;
  auto slider = [&](const char* label, const char* gloss, int row, std::string value) {
    std::vector<int> steps = sliderSteps(row);
    SettingsRowView r;
    r.kind = SettingsRowView::Slider;
    r.label = label;
    r.gloss = gloss;
    r.value = std::move(value);
    r.fraction = stepPosition(steps, setting(row)) / double(steps.size() - 1);
    v.rows.push_back(r);
  };
  auto toggle = [&](const char* label, const char* gloss, bool on, bool enabled) {
    SettingsRowView r;
    r.kind = SettingsRowView::Toggle;
    r.label = label;
    r.gloss = gloss;
    r.on = on;
    r.enabled = enabled;
    r.value = on ? "オン" : "オフ";
    v.rows.push_back(r);
  };
  slider("音楽の音量", "Music volume", kMusic, std::to_string(s.music) + "%");
  slider("効果音の音量", "Sound effect volume", kEffects, std::to_string(s.effects) + "%");
  slider("文字の速さ", "Text speed", kTextSpeed, speedText(s.textSpeed));
  slider("自動送りの間", "Auto-advance delay", kAutoDelay, delayText(s.autoDelay));
  toggle("全画面表示", "Full screen", p.fullscreen, true);
  SettingsRowView scale;
  scale.kind = SettingsRowView::Choice;
  scale.label = "ウィンドウの大きさ";
  scale.gloss = "Window size";
  scale.value = scaleText(s.scale);
  scale.enabled = !p.fullscreen;  // a full-screen window has the screen's size
  v.rows.push_back(scale);
  toggle("整数倍で拡大", "Whole multiples only", s.integer, true);
  toggle("なめらかに拡大", "Smooth scaling", s.smooth, !s.integer);
  SettingsRowView close;
  close.kind = SettingsRowView::Button;
  close.label = "閉じる";
  close.gloss = "Close";
  v.rows.push_back(close);
  return v;
}

void close() { platform().screen.closing = true; }

// What the player is doing on the screen: the row chosen, and the slider being dragged with
// the left button held (-1: none).
struct Choice {
  int selected = 0;
  int dragging = -1;
};

// The slider's step nearest x on its track (or just beside it), applied; false when x is
// not there.
bool setFromTrack(int row, int x) {
  Box track = settingsTrack(row, kRowCount);
  if (x < track.x - 10 || x > track.x + track.w + 10) return false;
  std::vector<int> steps = sliderSteps(row);
  double f = std::clamp(double(x - track.x) / track.w, 0.0, 1.0);
  apply(row, steps[size_t(std::lround(f * double(steps.size() - 1)))]);
  return true;
}

// The pointer moved with the left button held after a click on a slider's track: the slider
// follows it. Each step it takes is recorded as the click that sets it, so a recorded play
// replays the same steps.
void drag(Choice& choice, int x) {
  const int row = choice.dragging;
  const int before = setting(row);
  Box track = settingsTrack(row, kRowCount);
  x = std::clamp(x, track.x, track.x + track.w);
  setFromTrack(row, x);
  if (setting(row) != before) recordTakenMouse(LB_MOUSE_LEFT, x, track.y + track.h / 2);
}

// A click at x, y: outside the panel it closes the screen; on a row it selects the row and
// works its control.
void click(Choice& choice, int x, int y) {
  int& selected = choice.selected;
  if (!settingsPanel(kRowCount).contains(x, y)) {
    close();
    return;
  }
  for (int row = 0; row < kRowCount; ++row) {
    if (!settingsRow(row, kRowCount).contains(x, y)) continue;
    selected = row;
    switch (row) {
      case kClose: close(); return;
      case kScale:
        if (settingsLessArrow(row, kRowCount).contains(x, y)) step(row, -1, false);
        else if (settingsMoreArrow(row, kRowCount).contains(x, y)) step(row, 1, false);
        else step(row, 1, true);
        return;
      case kFullscreen:
      case kInteger:
      case kSmooth:
        step(row, 1, false);
        return;
      default:
        // On a slider's track (or just beside it): the step nearest the pointer, and the
        // slider follows the pointer while the button stays down.
        if (setFromTrack(row, x)) choice.dragging = row;
        return;
    }
  }
}

// The wheel turned over the screen (up: +1): over a slider or the window size it moves that
// value a step, as Left and Right do; elsewhere it moves the selection, as Up and Down do.
void wheel(int& selected, int x, int y, int direction) {
  for (int row : {kMusic, kEffects, kTextSpeed, kAutoDelay, kScale})
    if (settingsRow(row, kRowCount).contains(x, y)) {
      selected = row;
      step(row, direction, false);
      return;
    }
  selected = (selected + kRowCount - direction) % kRowCount;
}

// Takes what the player did from the screen's own input queues.
void takeInput(Choice& choice) {
  int& selected = choice.selected;
  InputState& in = platform().input;
  while (!in.keys.empty()) {
    KeyEvent e = in.keys.front();
    in.keys.pop_front();
    if (e.kind != LB_KEY_PRESS) continue;
    recordTakenKey(e.key, e.kind);
    switch (e.key) {
      case LB_KEY_UP: selected = (selected + kRowCount - 1) % kRowCount; break;
      case LB_KEY_DOWN:
      case LB_KEY_TAB: selected = (selected + 1) % kRowCount; break;
      case LB_KEY_LEFT: step(selected, -1, false); break;
      case LB_KEY_RIGHT: step(selected, 1, false); break;
      case LB_KEY_RETURN:
      case LB_KEY_NUMPADENTER:
      case LB_KEY_SPACE:
        if (selected == kClose) close();
        else if (selected == kFullscreen || selected == kScale || selected == kInteger ||
                 selected == kSmooth)
          step(selected, 1, true);
        break;
      case LB_KEY_ESCAPE:
      case LB_KEY_BACK: close(); break;
    }
  }
  while (!in.mouse.empty()) {
    MouseEvent e = in.mouse.front();
    in.mouse.pop_front();
    if (e.code == LB_MOUSE_MOVE && choice.dragging >= 0 && in.leftHeld) {
      drag(choice, e.x);
      continue;
    }
    if (e.code == LB_MOUSE_MOVE) {
      for (int row = 0; row < kRowCount; ++row)
        if (settingsRow(row, kRowCount).contains(e.x, e.y) && selected != row) {
          selected = row;
          recordPointer(e.x, e.y);
        }
      continue;
    }
    // The wheel acts on what lies under the pointer: a replay puts it there first.
    if (e.code == LB_MOUSE_WHEEL_UP || e.code == LB_MOUSE_WHEEL_DOWN) recordPointer(e.x, e.y);
    recordTakenMouse(e.code, e.x, e.y);
    if (e.code == LB_MOUSE_LEFT) {
      click(choice, e.x, e.y);
    } else if (e.code == LB_MOUSE_RIGHT) {
      close();  // the pad's Start too: it backs out of menus
    } else if (e.code == LB_MOUSE_WHEEL_UP || e.code == LB_MOUSE_WHEEL_DOWN) {
      wheel(selected, e.x, e.y, e.code == LB_MOUSE_WHEEL_UP ? 1 : -1);
    }
  }
}

// The screen's loop: draws it over the game's last frame, takes the player's input (the
// script's actions one after another in a replay, with no time passing), until closed.
void run() {
  Platform& p = platform();
  p.screen.open = true;
  p.screen.closing = false;
  transcriptLine("settings open");
  recordSettingsToggle();
  // Game time stands still: the real clock is held as the virtual one holds in a replay, and
  // goes on from where it stood when the screen closes.
  const bool realClock = !compatIsVirtualClock();
  if (realClock) compatUseVirtualClock(1);

  // The game's frame stays as it is behind the screen, which is drawn into a frame of its own
  // (the one shots take while it is open).
  const size_t frameSize = size_t(kFrameWidth) * kFrameHeight;
  const uint32_t* gameFrame = p.presented;
  std::vector<uint32_t> background(frameSize, 0xFF000000u);
  if (gameFrame) std::copy(gameFrame, gameFrame + frameSize, background.begin());
  std::vector<uint32_t> screenFrame;
  // The game's input waits aside; the screen takes everything from a queue of its own.
  InputState game = std::move(p.input);
  p.input = InputState{};
  std::copy(std::begin(game.down), std::end(game.down), std::begin(p.input.down));
  p.input.mouseX = game.mouseX;
  p.input.mouseY = game.mouseY;
  p.input.leftHeld = game.leftHeld;
  p.input.wakeOnKey = p.input.wakeOnMouse = true;

  {
    SettingsPainter painter;
    Choice choice;
    SettingsView shown;
    bool first = true;
    while (!p.screen.closing && !p.exitRequested) {
      SettingsView view = currentView(choice.selected);
      if (first || !(view == shown)) {
        painter.paint(background, view, screenFrame);
        p.presented = screenFrame.data();
        if (p.backend) p.backend->show(screenFrame.data(), FrameRect::whole());
        shown = std::move(view);
        first = false;
      }
      if (p.scripted) {
        if (p.backend) p.backend->waitEvents(0);
        deliverNextAction();
      } else if (p.backend) {
        p.backend->waitEvents(250);
      } else {
        break;  // nobody to close it
      }
      takeInput(choice);
      if (!p.input.leftHeld) choice.dragging = -1;
    }
  }

  releasePendingKey();
  InputState inside = std::move(p.input);
  p.input = std::move(game);
  // The game sees the keys it saw go down come up again if they did; nothing pressed while
  // the screen was open reaches it.
  for (int key = 0; key < 256; ++key)
    if (p.input.down[key] && !inside.down[key]) inputKey(p.input, key, false);
  p.input.mouseX = inside.mouseX;
  p.input.mouseY = inside.mouseY;
  p.input.leftHeld = inside.leftHeld;

  p.presented = gameFrame;
  if (p.backend && !p.exitRequested && gameFrame) p.backend->show(gameFrame, FrameRect::whole());
  if (realClock) compatUseVirtualClock(0);
  p.screen.open = p.screen.closing = false;
  transcriptLine("settings close");
  // The next scripted action needs a whole wait for the player again.
  p.script.cleared(gameTime());
}

}  // namespace

void toggleSettingsScreen() {
  Platform::SettingsScreen& s = platform().screen;
  if (s.open) {
    s.closing = true;
    recordSettingsToggle();
  } else {
    s.wanted = true;
  }
}

void settingsBackButton(bool press) {
  Platform::SettingsScreen& s = platform().screen;
  if (s.open) {
    if (press && !s.closing) {
      s.closing = true;
      recordSettingsToggle();
    }
    return;
  }
  if (press) s.backSince = gameTime();
  else s.backSince.reset();
}

std::optional<uint32_t> settingsHoldDue() {
  const Platform::SettingsScreen& s = platform().screen;
  if (!s.backSince || s.open) return std::nullopt;
  return *s.backSince + kBackHoldMs;
}

bool settingsScreenOpen() { return platform().screen.open; }

void serviceSettingsScreen() {
  Platform& p = platform();
  Platform::SettingsScreen& s = p.screen;
  if (s.open) return;
  if (std::optional<uint32_t> due = settingsHoldDue(); due && int32_t(gameTime() - *due) >= 0) {
    s.backSince.reset();  // held on, it does not open the screen again once it is closed
    s.wanted = true;
  }
  if (!s.wanted) return;
  s.wanted = false;
  if (!p.exitRequested) run();
}
