/*
 * The recorder behind `orvane --record FILE`: clicks, right clicks and key presses the game
 * takes, one action a line, flushed as they happen so a crash keeps what was played. Pointer
 * moves are not written: a click carries its own position, and a replay moves the pointer
 * there first. At the end the last frame is kept as "final" beside the shots and a `shot
 * final` action closes the script, so the replay leaves its own last frame to compare.
 */
#include "record.h"

#include "present.h"
#include "runtime.h"

#include "lb/keycodes.h"

#include <cstdio>
#include <string>

namespace {

std::FILE* gRecording = nullptr;
int gPointerX = -1, gPointerY = -1;  // where the last written action left the pointer

void writeAction(const std::string& action) {
  if (!gRecording) return;
  std::fprintf(gRecording, "%s\n", action.c_str());
  std::fflush(gRecording);
}

}  // namespace

void recordPointer(int x, int y) {
  if (x == gPointerX && y == gPointerY) return;
  gPointerX = x;
  gPointerY = y;
  writeAction("move " + std::to_string(x) + " " + std::to_string(y));
}

void recordSettingsToggle() { writeAction("key F1"); }

void recordTakenMouse(int code, int x, int y) {
  if (code == LB_MOUSE_LEFT || code == LB_MOUSE_RIGHT) {
    gPointerX = x;  // a click puts the pointer where it clicks
    gPointerY = y;
  }
  if (code == LB_MOUSE_LEFT)
    writeAction("click " + std::to_string(x) + " " + std::to_string(y));
  else if (code == LB_MOUSE_RIGHT)
    writeAction("rclick " + std::to_string(x) + " " + std::to_string(y));
  else if (code == LB_MOUSE_WHEEL_UP || code == LB_MOUSE_WHEEL_DOWN)
    writeAction(code == LB_MOUSE_WHEEL_UP ? "wheel up" : "wheel down");
}

void recordTakenKey(int key, int kind) {
  if (kind == LB_KEY_PRESS) writeAction("key " + keyNameFromCode(key));
}

extern "C" __attribute__((visibility("default"))) int orvaneRuntimeRecord(const char* utf8Path) {
  if (gRecording) std::fclose(gRecording);
  gRecording = utf8Path ? std::fopen(utf8Path, "w") : nullptr;
  if (!gRecording) return 0;
  std::fprintf(gRecording, "# recorded by orvane --record; replay with orvane --headless --input\n");
  return 1;
}

extern "C" __attribute__((visibility("default"))) void orvaneRuntimeRecordEnd(void) {
  if (!gRecording) return;
  if (writeShot("final")) writeAction("shot final");
  std::fclose(gRecording);
  gRecording = nullptr;
}
