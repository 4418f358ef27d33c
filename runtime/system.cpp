/*
 * The system settings core makes at start-up and the window's state as it asks for it: the
 * system name, title, copyright, message boxes, full screen, frame rate, the closed window.
 */
#include "present.h"
#include "runtime.h"

#include <wincompat.h>

#include <cstdio>
#include <cstring>

namespace {

// Shift-JIS text as UTF-8; bytes that do not convert are shown as '?' rather than lost.
std::string toUtf8(const char* sjis) {
  if (!sjis) return {};
  std::string out(std::strlen(sjis) * 3 + 1, '\0');
  int n = compatSjisToUtf8(sjis, out.data(), out.size());
  if (n >= 0) {
    out.resize(size_t(n));
    return out;
  }
  std::string plain;
  for (const char* c = sjis; *c; ++c) plain += (uint8_t(*c) < 0x80) ? *c : '?';
  return plain;
}

// A message as one transcript line: line feeds are written as "\n".
std::string oneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c != '\r') out += c;
  }
  return out;
}

}  // namespace

extern "C" {

int lbCheckSystemName(const char* name) {
  return name && std::strcmp(name, "MOSSLINE_ORVANE_SYSTEM") == 0 ? 1 : 0;
}

int lbSetTitle(const char* title) {
  if (!title) return 0;
  std::string text = toUtf8(title);
  Platform& p = platform();
  if (p.backend) p.backend->setTitle(text);
  transcriptLine("title " + text);
  return 1;
}

int lbSetCopyright(const char* text) {
  platform().copyright = toUtf8(text);
  return 1;
}

int lbUseGDI(int) {
  // Frames always go through the SDL renderer; there is no second drawing path to choose.
  return 1;
}

int lbSetWindowSize(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  Platform& p = platform();
  p.windowWidth = width;
  p.windowHeight = height;
  if (p.backend) p.backend->resize(width, height);
  return 1;
}

int lbMessage(const char* text, const char* caption, int) {
  Platform& p = platform();
  std::string t = toUtf8(text), c = toUtf8(caption);
  transcriptLine("message " + c + ": " + oneLine(t));
  if (p.backend) p.backend->message(c, t);
  return 1;  // the OK button
}

int lbIsExit(void) {
  Platform& p = platform();
  if (gameTime() >= p.maxTime) requestExit();
  return p.exitRequested ? 1 : 0;
}

int lbSetFullscreen(int on) {
  Platform& p = platform();
  bool want = on != 0;
  // The game sets its window mode at start-up; a player who starts in full screen keeps it.
  if (!p.started && p.settings.fullscreen) want = true;
  if (want == p.fullscreen) return 1;
  p.fullscreen = want;
  if (p.backend) p.backend->setFullscreen(want);
  transcriptLine(want ? "fullscreen on" : "fullscreen off");
  // Switched while playing: the next start opens the same way.
  if (p.started) {
    p.settings.fullscreen = want;
    saveSetting("fullscreen", want ? 1 : 0);
  }
  return 1;
}

int lbIsFullscreen(void) { return platform().fullscreen ? 1 : 0; }

int lbSetFPS(int fps) {
  if (fps <= 0) return 0;
  platform().clock.setRate(fps);
  return 1;
}

int lbSetTimePause(int on) {
  platform().timePause = on != 0;
  return 1;
}

int lbtsSetLinearMode(int on) {
  Platform& p = platform();
  p.linear = on != 0;
  if (p.backend) p.backend->setLinearScaling(smoothScaling());
  return 1;
}

}  // extern "C"
