// Reads the player's reading settings from "orvane.ini" beside the progress file: the text
// speed that scales the script's character delays and the base delay of auto-advance.
#include "script/player_settings.h"

#include <windows.h>

#include "script/scenario.h"
#include "support/support.h"

namespace {

constexpr const char* kSettingsSection = "settings";

// "orvane.ini" in the folder of the progress file; empty when no path is known yet.
void SettingsPath(PathBuffer& out) {
  out[0] = '\0';
  const ScenarioHooks& hooks = InstalledScenarioHooks();
  if (!hooks.progressFilePath) return;
  char progress[kScenarioTextSize];
  hooks.progressFilePath(progress);
  PathParts parts = splitPath(progress);
  joinPath(out, parts.folder, "orvane", "ini");
}

// A missing file or key, or a value out of range, reads as the default: a hand-edited file
// never makes the text crawl or the pages fly past.
int ReadSetting(const char* key, int fallback, int low, int high) {
  PathBuffer path;
  SettingsPath(path);
  if (path[0] == '\0') return fallback;
  int value = static_cast<int>(GetPrivateProfileIntA(kSettingsSection, key, fallback, path));
  return value < low || value > high ? fallback : value;
}

int gTextSpeed = kDefaultTextSpeed;  // as read at the start of the running text

}  // namespace

void readTextSpeed() { gTextSpeed = ReadSetting("textspeed", kDefaultTextSpeed, 0, kMaxTextSpeed); }

int textSpeedPercent() { return gTextSpeed; }

int scaledCharDelay(int layerDelay) {
  if (layerDelay <= 0) return layerDelay;
  const int percent = gTextSpeed;
  if (percent == kDefaultTextSpeed) return layerDelay;
  return static_cast<int>(static_cast<long long>(layerDelay) * percent / 100);
}

int autoAdvanceBaseDelay() { return ReadSetting("autodelay", kDefaultAutoDelay, kMinAutoDelay,
                                                        kMaxAutoDelay); }
