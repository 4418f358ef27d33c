/*
 * The player's side of the runtime: the settings file in the save folder (volumes, window
 * mode and scale, text speed and auto-advance delay), the keys that change the volumes or
 * open the settings screen while playing, and screenshots.
 */
#include "present.h"
#include "record.h"
#include "runtime.h"

#include "lb/keycodes.h"

#include <windows.h>
#include <wincompat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

constexpr const char* kSection = "settings";
constexpr int kVolumeStep = 10;

// The settings file's path in Shift-JIS, as the profile functions take it; empty when there
// is no save folder or its name has no Shift-JIS form.
std::string settingsPath() {
  const Platform& p = platform();
  if (p.saveDir.empty()) return {};
  std::string utf8 = p.saveDir + "/" + kSettingsFile;
  std::vector<char> sjis(utf8.size() * 2 + 1);
  if (compatUtf8ToSjis(utf8.c_str(), sjis.data(), sjis.size()) < 0) return {};
  return sjis.data();
}

int readInt(const std::string& path, const char* key, int fallback, int low, int high) {
  int value = int(GetPrivateProfileIntA(kSection, key, fallback, path.c_str()));
  return value < low || value > high ? fallback : value;
}

// Changes a volume by one step.
void changeVolume(bool music, int delta) {
  const Platform::Settings& s = platform().settings;
  setVolume(music, (music ? s.music : s.effects) + delta);
}

bool isPlayerKey(int key) {
  return key == LB_KEY_F1 || key == LB_KEY_F7 || key == LB_KEY_F8 || key == LB_KEY_F9 ||
         key == LB_KEY_F10 || key == LB_KEY_F12;
}

}  // namespace

void loadSettings() {
  Platform::Settings& s = platform().settings;
  s = Platform::Settings{};
  std::string path = settingsPath();
  if (path.empty()) return;
  s.music = readInt(path, "music", s.music, 0, 100);
  s.effects = readInt(path, "effects", s.effects, 0, 100);
  s.fullscreen = readInt(path, "fullscreen", s.fullscreen, 0, 1) != 0;
  s.scale = readInt(path, "scale", s.scale, 0, 8);
  s.integer = readInt(path, "integer", s.integer, 0, 1) != 0;
  s.smooth = readInt(path, "smooth", s.smooth, 0, 1) != 0;
  s.textSpeed = readInt(path, "textspeed", s.textSpeed, 0, kMaxTextSpeed);
  s.autoDelay = readInt(path, "autodelay", s.autoDelay, kMinAutoDelay, kMaxAutoDelay);
}

void setVolume(bool music, int percent) {
  Platform::Settings& s = platform().settings;
  int& volume = music ? s.music : s.effects;
  int changed = std::clamp(percent, 0, 100);
  if (changed == volume) return;
  volume = changed;
  applyVolumes();
  transcriptLine(std::string("volume ") + (music ? "music " : "effects ") + std::to_string(volume));
  saveSetting(music ? "music" : "effects", volume);
}

void applyScaling(bool resizeWindow) {
  Platform& p = platform();
  if (!p.backend) return;
  p.backend->setLinearScaling(smoothScaling());
  if (resizeWindow) p.backend->resize(p.windowWidth, p.windowHeight);
}

bool saveSetting(const char* key, int value) {
  std::string path = settingsPath();
  if (path.empty()) return false;
  if (!WritePrivateProfileStringA(kSection, key, std::to_string(value).c_str(), path.c_str())) {
    std::fprintf(stderr, "orvane: cannot write the settings %s/%s\n", platform().saveDir.c_str(),
                 kSettingsFile);
    return false;
  }
  return true;
}

std::string writeScreenshot() {
  Platform& p = platform();
  if (p.saveDir.empty()) return {};
  namespace fs = std::filesystem;
  for (int n = 1; n < 1000; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "screenshot-%03d", n);
    std::error_code ec;
    if (fs::exists(fs::path(p.saveDir) / (std::string(name) + ".png"), ec)) continue;
    return writePng(p.saveDir, name) ? std::string(name) + ".png" : std::string();
  }
  std::fprintf(stderr, "orvane: the save folder %s holds 999 screenshots already\n",
               p.saveDir.c_str());
  return {};
}

void playerKey(int key, bool press) {
  if (!isPlayerKey(key)) {
    inputKey(platform().input, key, press);
    return;
  }
  if (!press) return;
  // A recorded play replays the volume keys and screenshots too (F1 records itself as the
  // settings screen opens and closes).
  if (key != LB_KEY_F1) recordTakenKey(key, LB_KEY_PRESS);
  switch (key) {
    case LB_KEY_F1: toggleSettingsScreen(); break;
    case LB_KEY_F7: changeVolume(true, -kVolumeStep); break;
    case LB_KEY_F8: changeVolume(true, kVolumeStep); break;
    case LB_KEY_F9: changeVolume(false, -kVolumeStep); break;
    case LB_KEY_F10: changeVolume(false, kVolumeStep); break;
    case LB_KEY_F12:
      if (std::string name = writeScreenshot(); !name.empty()) transcriptLine("screenshot " + name);
      break;
  }
}
