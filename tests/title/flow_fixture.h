// Plays a game headless through orvane with a save folder of its own, and reads back what
// the run left: exit status, transcript events, message boxes and the progress file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

class FlowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A game folder made of the bundled game's pictures and sounds plus the given scenario
  // files (path under the game folder -> ASCII text).
  void MakeGame(const std::map<std::string, std::string>& scenarios);
  // Plays `game` (the made one when empty) with the actions, one a line; returns the status.
  int Play(const std::vector<std::string>& actions, const std::string& extra = "",
           const std::string& game = "");

  void WriteProgress(const std::string& text);
  std::string ProgressText() const;
  // A key of section "save", or "<missing>".
  std::string ProgressValue(const std::string& key) const;

  std::vector<std::string> Events() const;  // transcript lines without their times
  std::vector<std::string> Messages() const;  // message boxes
  int Count(const std::string& event) const;  // transcript events equal to it

  std::filesystem::path dir;
  std::filesystem::path gameDir;
};

// The box of an unknown command on a line of a scenario file.
std::string ProbeBox(const std::string& file, int line, const std::string& command);

// Screen positions of the title buttons (centres), with and without a saved game.
inline constexpr const char* kClickBeginAlone = "click 400 430";
inline constexpr const char* kClickExitAlone = "click 400 500";
inline constexpr const char* kClickBeginSaved = "click 400 400";
inline constexpr const char* kClickLoadSaved = "click 400 465";
inline constexpr const char* kClickExitSaved = "click 400 530";
// The two links of the save dialog.
inline constexpr const char* kClickSaveYes = "click 327 352";
inline constexpr const char* kClickSaveNo = "click 485 352";
inline constexpr const char* kTitlePickSound = "se sys/se/文字クリック.wav";
