// Replays of the inquiry test games through orvane: the transcript's sounds and message
// boxes, and what a frame shows where the witness and the four buttons stand.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/golden.h"
#include "common/replay.h"

class InquiryReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("orvane_inquiry_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    if (!HasFailure()) std::filesystem::remove_all(dir);
  }

  // Plays scn/<folder> of `gameDir` (the test games by default) with the player's actions.
  int Play(const std::string& folder, const std::vector<std::string>& actions,
           const std::string& gameDir = std::string(TEST_GAMES_DIR) + "/scenarios") {
    std::ofstream input(dir / "input.txt");
    for (const std::string& action : actions) input << action << "\n";
    input.close();
    return exitStatusOf(std::string(ORVANE_BIN_DIR) + "/orvane --headless --transcript " +
                        Transcript() + " --input " + (dir / "input.txt").string() +
                        " --shots " + dir.string() + " --save-dir " + dir.string() +
                        " --scenario scn/" + folder + " " + gameDir + " >/dev/null 2>&1");
  }

  std::string Transcript() const { return (dir / "transcript.txt").string(); }
  std::vector<std::string> Boxes() const { return transcriptMessages(Transcript()); }
  // The sounds played, page clicks left out.
  std::vector<std::string> Sounds() const {
    std::vector<std::string> out;
    for (const std::string& e : transcriptEvents(Transcript()))
      if (e.rfind("se ", 0) == 0 && e.find("文字クリック") == std::string::npos)
        out.push_back(e.substr(3));
    return out;
  }

  std::vector<uint32_t> Shot(const std::string& name) const {
    return loadShot((dir / (name + ".png")).string());
  }

  std::filesystem::path dir;
};

// What a frame shows at one point, by the plain colours of the test games' pictures.
enum class Seen { Other, Red, Cyan, White, Green, Yellow, Magenta, Blue, Purple, Orange };

inline Seen SeenAt(const std::vector<uint32_t>& frame, int x, int y) {
  const uint32_t p = frame[static_cast<std::size_t>(y) * 800u + static_cast<std::size_t>(x)];
  const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
  auto high = [](int v) { return v > 150; };
  auto low = [](int v) { return v < 100; };
  if (high(r) && high(g) && high(b)) return Seen::White;
  if (high(r) && high(g) && low(b)) return Seen::Yellow;
  if (high(r) && low(g) && high(b)) return Seen::Magenta;
  if (high(r) && g > 100 && g < 150 && low(b)) return Seen::Orange;
  if (r > 100 && r < 150 && low(g) && high(b)) return Seen::Purple;
  if (high(r) && low(g) && low(b)) return Seen::Red;
  if (low(r) && high(g) && high(b)) return Seen::Cyan;
  if (low(r) && high(g) && low(b)) return Seen::Green;
  if (low(r) && low(g) && high(b)) return Seen::Blue;
  return Seen::Other;
}

// The witness in the centre place, clear of the message window.
inline Seen Witness(const std::vector<uint32_t>& frame) { return SeenAt(frame, 400, 340); }
// The buttons: previous (yellow) and next (magenta) at the sides, press (green) and present
// (blue) in the top corners; each lit or at rest.
using Frame = std::vector<uint32_t>;
inline bool LeftButton(const Frame& f) { return SeenAt(f, 17, 491) == Seen::Yellow; }
inline bool RightButton(const Frame& f) { return SeenAt(f, 783, 491) == Seen::Magenta; }
inline bool PressButton(const Frame& f) { return SeenAt(f, 50, 20) == Seen::Green; }
inline bool PresentButton(const Frame& f) { return SeenAt(f, 750, 20) == Seen::Blue; }

// A message box naming a file of the test game and its line.
inline std::string Box(const std::string& file, int line, const std::string& text) {
  return "Orvane System: ファイル \"" + file + "\"\\n行数 " + std::to_string(line) +
         "\\n\\n" + text;
}
