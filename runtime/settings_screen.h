/*
 * The settings screen's two halves meet here: what a row shows (settings_screen.cpp decides
 * it from the player's settings) and where the rows lie and how they are drawn over the
 * game's frame (settings_draw.cpp).
 */
#ifndef ORVANE_RUNTIME_SETTINGS_SCREEN_H
#define ORVANE_RUNTIME_SETTINGS_SCREEN_H

#include "lb/host_api.h"

#include <cstdint>
#include <string>
#include <vector>

// One row as it is drawn: its name (and the name's English gloss below it) and its value.
struct SettingsRowView {
  enum Kind { Slider, Toggle, Choice, Button } kind = Button;
  std::string label, gloss, value;  // UTF-8
  double fraction = 0;              // a slider's position, 0..1
  bool on = false;                  // a toggle's state
  bool enabled = true;              // drawn dimmed when it has no effect as things stand
  bool operator==(const SettingsRowView&) const = default;
};

struct SettingsView {
  std::vector<SettingsRowView> rows;  // the last row is the Close button
  int selected = 0;
  bool operator==(const SettingsView&) const = default;
};

// A rectangle in frame pixels.
struct Box {
  int x = 0, y = 0, w = 0, h = 0;
  bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// Where things lie for a screen of `count` rows: the panel, a row's whole area (what the
// pointer selects), a slider's track, and a choice's two arrows.
Box settingsPanel(int count);
Box settingsRow(int index, int count);
Box settingsTrack(int index, int count);
Box settingsLessArrow(int index, int count);
Box settingsMoreArrow(int index, int count);

// Draws the screen with the runtime's own fonts; it holds them while the screen is open.
class SettingsPainter {
 public:
  SettingsPainter();
  ~SettingsPainter();
  SettingsPainter(const SettingsPainter&) = delete;
  SettingsPainter& operator=(const SettingsPainter&) = delete;
  // Paints the screen over the game's frame (both 800x600 opaque pixels), the frame dimmed
  // behind it. Without fonts (none installed) it paints the panel and values without text.
  void paint(const std::vector<uint32_t>& background, const SettingsView& view,
             std::vector<uint32_t>& out);

 private:
  LbFont title_ = nullptr, label_ = nullptr, gloss_ = nullptr, hint_ = nullptr;
};

#endif  // ORVANE_RUNTIME_SETTINGS_SCREEN_H
