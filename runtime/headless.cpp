/*
 * Headless presentation for replays: no window and no audio device, the virtual clock, the
 * player's scripted actions and when they are delivered, and message boxes that only write.
 */
#include "present.h"
#include "runtime.h"
#include "ledger.h"

#include "lb/keycodes.h"

#include <cstdio>
#include <sstream>

namespace {

class HeadlessBackend : public PresentBackend {
 public:
  bool show(const uint32_t*, const FrameRect&) override { return true; }  // presentFrame keeps it
  void waitEvents(int) override {}
  void setTitle(const std::string&) override {}
  void setFullscreen(bool) override {}
  void message(const std::string& caption, const std::string& text) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  void warpPointer(int, int) override {}
  void setLinearScaling(bool) override {}
  void resize(int, int) override {}
};

bool parseInt(const std::string& word, int& out) {
  if (word.empty()) return false;
  size_t i = (word[0] == '-') ? 1 : 0;
  if (i == word.size()) return false;
  long long v = 0;
  for (; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9') return false;
    v = v * 10 + (word[i] - '0');
    if (v > 1000000000) return false;
  }
  out = int(word[0] == '-' ? -v : v);
  return true;
}

}  // namespace

std::unique_ptr<PresentBackend> makeHeadlessBackend() {
  return std::make_unique<HeadlessBackend>();
}

bool parseInputScript(const std::string& text, std::vector<ScriptAction>& out,
                      std::string& error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& why) {
    error = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  while (std::getline(lines, line)) {
    ++number;
    if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string word; in >> word;) w.push_back(word);
    if (w.empty()) continue;
    ScriptAction a{};
    const std::string& verb = w[0];
    auto position = [&](size_t need) {
      if (w.size() != 1 + need) return false;
      if (need == 0) return true;
      a.hasPos = parseInt(w[1], a.x) && parseInt(w[2], a.y);
      return a.hasPos && a.x >= 0 && a.y >= 0 && a.x < kFrameWidth && a.y < kFrameHeight;
    };
    if (verb == "click" || verb == "move") {
      a.kind = verb == "click" ? ScriptAction::Click : ScriptAction::Move;
      if (!position(2)) return fail(verb + " needs X Y inside the 800x600 frame");
    } else if (verb == "rclick") {
      a.kind = ScriptAction::RClick;
      if (!position(w.size() == 1 ? 0 : 2))
        return fail("rclick takes no position or X Y inside the 800x600 frame");
    } else if (verb == "key" || verb == "hold" || verb == "release") {
      a.kind = verb == "key" ? ScriptAction::Key
             : verb == "hold" ? ScriptAction::Hold : ScriptAction::Release;
      if (w.size() != 2) return fail(verb + " needs one key name");
      a.key = keyCodeFromName(w[1]);
      if (a.key == 0) return fail("unknown key name \"" + w[1] + "\"");
      a.name = w[1];
    } else if (verb == "pad") {
      // pad NAME presses and lets go; pad hold NAME / pad release NAME keep it down between.
      a.pad = true;
      a.kind = ScriptAction::Key;
      size_t at = 1;
      if (w.size() >= 2 && (w[1] == "hold" || w[1] == "release")) {
        a.kind = w[1] == "hold" ? ScriptAction::Hold : ScriptAction::Release;
        at = 2;
      }
      if (w.size() != at + 1) return fail("pad needs a button name, after hold or release if any");
      if (!padButtonFromName(w[at], a.button))
        return fail("unknown gamepad button \"" + w[at] + "\"");
      if (a.button == PadButton::Start && a.kind != ScriptAction::Key)
        return fail("start is pressed, not held");
      a.key = padKeyCode(a.button);
      a.name = w[at];
    } else if (verb == "wheel") {
      a.kind = ScriptAction::Wheel;
      if (w.size() != 2 || (w[1] != "up" && w[1] != "down")) return fail("wheel needs up or down");
      a.up = w[1] == "up";
    } else if (verb == "wait") {
      a.kind = ScriptAction::Wait;
      int ms = -1;
      if (w.size() != 2 || !parseInt(w[1], ms) || ms < 0)
        return fail("wait needs a number of milliseconds");
      a.ms = uint32_t(ms);
    } else if (verb == "shot") {
      a.kind = ScriptAction::Shot;
      if (w.size() != 2) return fail("shot needs one name");
      if (w[1].find('/') != std::string::npos || w[1] == "." || w[1] == "..")
        return fail("a shot name is a plain file name");
      a.name = w[1];
    } else if (verb == "usage") {
      a.kind = ScriptAction::Usage;
      if (w.size() != 1) return fail("usage takes nothing");
    } else if (verb == "quit") {
      a.kind = ScriptAction::Quit;
      if (w.size() != 1) return fail("quit takes nothing");
    } else {
      return fail("unknown action \"" + verb + "\"");
    }
    out.push_back(a);
  }
  return true;
}

std::string describeAction(const ScriptAction& a) {
  auto pos = [&] { return " " + std::to_string(a.x) + " " + std::to_string(a.y); };
  switch (a.kind) {
    case ScriptAction::Click: return "click" + pos();
    case ScriptAction::RClick: return "rclick" + pos();
    case ScriptAction::Move: return "move" + pos();
    case ScriptAction::Key: return (a.pad ? "pad " : "key ") + a.name;
    case ScriptAction::Hold: return (a.pad ? "pad hold " : "hold ") + a.name;
    case ScriptAction::Release: return (a.pad ? "pad release " : "release ") + a.name;
    case ScriptAction::Wait: return "wait " + std::to_string(a.ms);
    case ScriptAction::Wheel: return a.up ? "wheel up" : "wheel down";
    case ScriptAction::Shot: return "shot " + a.name;
    case ScriptAction::Usage: return "usage";
    case ScriptAction::Quit: return "quit";
  }
  return "?";
}

std::optional<uint32_t> ScriptPlayer::due() const {
  if (!polled || !polling) return std::nullopt;
  uint32_t at = waitStart + kPlayerWaitMs + extra;
  if (holding && int32_t(notBefore - at) > 0) at = notBefore;
  return at;
}

namespace {

// A key pressed by "key NAME" stays down until the next action or the next frame of time,
// so both the key event queue and lbGetKeyState see it.
struct PendingRelease { int key = 0; uint32_t at = 0; };
PendingRelease pendingRelease;

void releasePending(bool force) {
  if (pendingRelease.key && (force || gameTime() >= pendingRelease.at)) {
    playerKey(pendingRelease.key, false);
    pendingRelease.key = 0;
  }
}

void deliver(ScriptAction a) {
  Platform& p = platform();
  InputState& in = p.input;
  uint32_t now = gameTime();
  releasePending(true);
  // A right click without a position happens where the pointer is; say where.
  if (a.kind == ScriptAction::RClick && !a.hasPos) {
    a.x = in.mouseX;
    a.y = in.mouseY;
    a.hasPos = true;
  }
  transcriptLine("input " + describeAction(a));
  switch (a.kind) {
    case ScriptAction::Click:
      in.mouseX = a.x;
      in.mouseY = a.y;
      inputMouseButton(in, LB_MOUSE_LEFT, a.x, a.y);
      break;
    case ScriptAction::Move:
      inputMouseMove(in, a.x, a.y);
      break;
    case ScriptAction::RClick:
      if (a.hasPos) { in.mouseX = a.x; in.mouseY = a.y; }
      inputMouseButton(in, 2, in.mouseX, in.mouseY);
      break;
    case ScriptAction::Key:
      if (a.pad && a.button == PadButton::Start) {
        inputPadButton(in, a.button, true);  // a right click where the pointer is
        break;
      }
      if (a.pad && a.button == PadButton::Back) {
        inputPadButton(in, a.button, true);  // a press too short to open the settings
        inputPadButton(in, a.button, false);
        break;
      }
      playerKey(a.key, true);
      pendingRelease = {a.key, now + 1};
      break;
    case ScriptAction::Hold:
    case ScriptAction::Release:
      if (a.pad && a.button == PadButton::Back)
        inputPadButton(in, a.button, a.kind == ScriptAction::Hold);
      else
        playerKey(a.key, a.kind == ScriptAction::Hold);
      break;
    case ScriptAction::Wait: break;
    case ScriptAction::Wheel:
      inputMouseButton(in, a.up ? LB_MOUSE_WHEEL_UP : LB_MOUSE_WHEEL_DOWN, in.mouseX, in.mouseY);
      break;
    case ScriptAction::Shot:
      if (writeShot(a.name)) transcriptLine("shot " + a.name);
      break;
    case ScriptAction::Usage: transcriptLine("usage " + usageReport()); break;
    case ScriptAction::Quit: requestExit(); break;
  }
  // The next action needs another full wait for the player, longer after "wait MS".
  p.script.cleared(now);
  if (a.kind == ScriptAction::Wait) p.script.extra = a.ms;
  p.script.holding = a.kind == ScriptAction::Wait;
  p.script.notBefore = now + a.ms + kPlayerWaitMs;
}

}  // namespace

void releasePendingKey() { releasePending(true); }

void deliverNextAction() {
  Platform& p = platform();
  if (!p.scripted || p.exitRequested) return;
  if (p.script.next >= p.script.actions.size()) {
    requestExit();
    return;
  }
  deliver(p.script.actions[p.script.next++]);
}

bool deliverDueActions() {
  Platform& p = platform();
  releasePending(false);
  if (!p.scripted || p.exitRequested) return false;
  std::optional<uint32_t> due = p.script.due();
  if (!due || int32_t(gameTime() - *due) < 0) return false;
  if (p.script.next >= p.script.actions.size()) {
    // The script is used up: the player leaves at the first wait for them.
    requestExit();
    return true;
  }
  deliver(p.script.actions[p.script.next++]);
  return true;
}
