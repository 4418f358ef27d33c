/*
 * The platform state shared by the window and headless backends: the game clock, frame
 * presentation and pacing, shots of presented frames, the transcript and closing the window.
 */
#include "present.h"
#include "runtime.h"

#include <windows.h>
#include <wincompat.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>

Platform& platform() {
  static Platform p;
  return p;
}

uint32_t gameTime() { return timeGetTime() - platform().startTime; }

void advanceGameTime(uint32_t ms) {
  if (ms > 0 && compatIsVirtualClock()) compatAdvanceClock(ms);
}

void FrameClock::setRate(int framesPerSecond) {
  fps = std::clamp(framesPerSecond, 1, 1000);
  frames = 0;
}

uint32_t FrameClock::nextPeriod() {
  // Each frame ends at floor((n + 1) * 1000 / fps): rounding never accumulates.
  uint64_t start = frames * 1000 / fps;
  ++frames;
  return uint32_t(frames * 1000 / fps - start);
}

Viewport letterbox(int windowW, int windowH, bool whole) {
  if (windowW <= 0 || windowH <= 0) return {0, 0, kFrameWidth, kFrameHeight};
  int w, h;
  int multiple = std::min(windowW / kFrameWidth, windowH / kFrameHeight);
  if (whole && multiple >= 1) {
    w = kFrameWidth * multiple;
    h = kFrameHeight * multiple;
  } else {
    // Fit the frame's width unless that makes it too tall.
    w = windowW;
    h = int(int64_t(windowW) * kFrameHeight / kFrameWidth);
    if (h > windowH) {
      h = windowH;
      w = int(int64_t(windowH) * kFrameWidth / kFrameHeight);
    }
  }
  return {(windowW - w) / 2, (windowH - h) / 2, std::max(w, 1), std::max(h, 1)};
}

void windowToGame(const Viewport& v, int wx, int wy, int& gx, int& gy, double ratioX,
                  double ratioY) {
  // Through the centre of the window pixel, so upscaled pixels split evenly between game pixels.
  gx = int(std::floor(((wx + 0.5) * ratioX - v.x) * kFrameWidth / v.w));
  gy = int(std::floor(((wy + 0.5) * ratioY - v.y) * kFrameHeight / v.h));
  gx = std::clamp(gx, 0, kFrameWidth - 1);
  gy = std::clamp(gy, 0, kFrameHeight - 1);
}

void gameToWindow(const Viewport& v, int gx, int gy, int& wx, int& wy, double ratioX,
                  double ratioY) {
  // The centre of the game pixel, so mapping back lands on the same game pixel.
  wx = int(std::floor((v.x + (gx + 0.5) * v.w / kFrameWidth) / ratioX));
  wy = int(std::floor((v.y + (gy + 0.5) * v.h / kFrameHeight) / ratioY));
}

void defaultWindowSize(int scale, int width, int height, int usableW, int usableH, int& outW,
                       int& outH) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (scale <= 0) {
    // Leave room for the window's frame and the desktop's panels.
    int roomW = usableW * 9 / 10, roomH = usableH * 9 / 10;
    scale = usableW > 0 && usableH > 0 ? std::max(std::min(roomW / width, roomH / height), 0) : 1;
    if (scale == 0) {
      Viewport v = letterbox(roomW, roomH);
      outW = v.w * width / kFrameWidth;
      outH = v.h * height / kFrameHeight;
      return;
    }
  }
  outW = width * scale;
  outH = height * scale;
}

void windowMinimised(bool minimised) {
  Platform& p = platform();
  if (minimised && p.timePause && !p.pausedByMinimise) {
    p.pausedByMinimise = true;
    pauseAudio(true);
  } else if (!minimised && p.pausedByMinimise) {
    p.pausedByMinimise = false;
    pauseAudio(false);
  }
}

bool smoothScaling() {
  const Platform& p = platform();
  return p.linear && p.settings.smooth && !p.settings.integer;
}

void transcriptLine(const std::string& utf8Text) {
  Platform& p = platform();
  if (!p.transcript) return;
  std::fprintf(p.transcript, "%u %s\n", gameTime(), utf8Text.c_str());
  std::fflush(p.transcript);  // a replay that crashes still leaves what happened before
}

void requestExit() {
  Platform& p = platform();
  if (p.exitRequested) return;
  p.exitRequested = true;
  transcriptLine("exit");
}

bool writePng(const std::string& dir, const std::string& name) {
  Platform& p = platform();
  if (!p.presented) {
    std::fprintf(stderr, "orvane: no frame has been shown yet for the shot %s\n", name.c_str());
    return false;
  }
  std::string path = dir + "/" + name + ".png";
  std::string error;
  if (writeFramePng(path, p.presented, kFrameWidth, kFrameHeight, &error)) return true;
  std::fprintf(stderr, "orvane: cannot write %s: %s\n", path.c_str(), error.c_str());
  return false;
}

bool writeShot(const std::string& name) {
  const Platform& p = platform();
  return writePng(p.shotsDir.empty() ? std::string(".") : p.shotsDir, name);
}

bool composingFrames() { return platform().composeFrames; }

void keepPresentedFrame(const uint32_t* pixels) {
  Platform& p = platform();
  if (!pixels || p.presented != pixels) return;
  p.keptFrame.assign(pixels, pixels + kFrameWidth * kFrameHeight);
  p.presented = p.keptFrame.data();
  p.keptFrom = pixels;
}

bool presentFrame(const uint32_t* pixels, const FrameRect& changed) {
  Platform& p = platform();
  if (!pixels) return false;
  // `changed` counts from the frame presented last out of this buffer, which the kept copy
  // (if any) still holds; from any other buffer, the whole frame may differ.
  const bool same = p.presented == pixels ||
                    (p.presented == p.keptFrame.data() && p.keptFrom == pixels);
  FrameRect differs = same ? changed : FrameRect::whole();
  p.presented = pixels;
  p.started = true;
  // Shots requested by time take the first frame presented at or after that time.
  uint32_t now = gameTime();
  for (ShotAt& s : p.shotAt) {
    if (s.done || now < s.ms) continue;
    s.done = true;
    if (writeShot(s.name)) transcriptLine("shot " + s.name);
  }
  bool ok = p.backend ? p.backend->show(pixels, differs) : true;
  // A frame takes one frame period of game time, as on a display with vertical sync.
  advanceGameTime(p.clock.nextPeriod());
  if (gameTime() >= p.maxTime) requestExit();
  return ok;
}
