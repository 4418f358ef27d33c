// core bound to the real headless runtime in this process over the bundled game, started as
// the game starts, with probes: timer events that note what is on screen at given moments
// while a set piece runs, and the transcript of what was played.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// What a probe saw of one slot.
struct SlotView {
  bool valid = false;
  bool shown = false;
  int x = 0, y = 0;            // top-left of the drawn box
  int width = 0, height = 0;
  std::string image;           // resolved path of sub-sprite 0's image
};

class SetPieceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the runtime with the player's actions (one a line) and the engine.
  void Start(const std::string& script = "");
  // After `delay` ms of game time, notes the state of `slots` (and, with `keepFrame`, the
  // frame last presented); the result is read by index.
  int Probe(std::uint32_t delay, std::vector<int> slots, bool keepFrame = false);
  const std::vector<std::uint32_t>& ProbeFrame(int probe) const;
  const SlotView& Seen(int probe, int slot) const;
  bool Fired(int probe) const;

  // Transcript lines without their time, and the sound effects among them.
  std::vector<std::string> Transcript() const;
  std::vector<std::string> Effects() const;
  // The frame now on screen, as 0xAARRGGBB pixels.
  std::vector<std::uint32_t> Frame() const;
  // A frame the input script wrote with `shot NAME`.
  std::vector<std::uint32_t> Shot(const std::string& name) const;

  std::filesystem::path dir;
  std::vector<std::string> messages;  // message boxes, Shift-JIS as the game wrote them

 private:
  struct ProbeRecord {
    std::vector<int> slots;
    std::vector<SlotView> views;
    bool keepFrame = false;
    std::vector<std::uint32_t> frame;
    bool fired = false;
  };
  static void RunProbe(std::uint32_t index);
  static int KeepMessage(const char* text, const char* caption, int flags);

  std::vector<ProbeRecord> probes_;
  bool started_ = false;
  int (*realMessage_)(const char*, const char*, int) = nullptr;
  static inline SetPieceTest* active_ = nullptr;
};

// Whether a resolved path ends with the given file name.
inline bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
// Pixels of a frame whose colour is clearly green: the colour of loud text and captions.
bool IsGreen(std::uint32_t pixel);
// The leftmost column in the band of rows [y0, y1) holding a green pixel; -1 when none.
int FirstGreenColumn(const std::vector<std::uint32_t>& frame, int y0, int y1);
