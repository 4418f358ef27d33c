// A looping animated sprite with a frame sound, end to end: the test game's page cursor (five
// cells of 70 ms, a tick on the first) played through orvane while a page waits for the
// player. The ticks mark each round; every shot taken during the wait shows exactly the cell
// those rounds put on screen at its time, and the ticks stop once the page is passed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "common/golden.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCellTime = 70;
constexpr int kRound = 5 * kCellTime;
// The cursor picture's cells, 0xAARRGGBB, in order.
constexpr uint32_t kCells[] = {0xFFFA000A, 0xFF0AFA00, 0xFF000AFA, 0xFFFAFA00, 0xFF00FAFA};

struct Event {
  long time;
  std::string text;
};

TEST(PageCursorReplay, LoopsItsCellsWithTheFrameSoundWhileThePageWaits) {
  fs::path dir = fs::temp_directory_path() / ("orvane_spr_replay_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "input.txt") << "shot a\nshot b\nshot c\nshot d\nclick 400 300\n";
  std::string command = std::string(ORVANE_BIN_DIR) + "/orvane --headless --transcript " +
                        (dir / "transcript.txt").string() + " --input " +
                        (dir / "input.txt").string() + " --shots " + dir.string() + " --save-dir " +
                        dir.string() + " --scenario scn/cursor " + TEST_GAMES_DIR +
                        "/spr_anim >/dev/null 2>&1";
  int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);

  std::vector<long> ticks;
  std::vector<Event> shots;
  long click = -1;
  std::ifstream in(dir / "transcript.txt");
  for (std::string line; std::getline(in, line);) {
    std::size_t space = line.find(' ');
    Event e{std::stol(line.substr(0, space)), line.substr(space + 1)};
    if (e.text == "se sys/se/tick.wav") ticks.push_back(e.time);
    if (e.text.rfind("shot ", 0) == 0) shots.push_back({e.time, e.text.substr(5)});
    if (e.text.rfind("message ", 0) == 0) ADD_FAILURE() << e.text;
    if (e.text.rfind("input click", 0) == 0) click = e.time;
  }

  // One tick as the cursor appears, then one a round, until the page is passed.
  ASSERT_GE(ticks.size(), 4u);
  for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_EQ(ticks[i] - ticks[i - 1], kRound);
  EXPECT_LE(ticks.back(), click);
  EXPECT_GT(ticks.back() + kRound, click);

  ASSERT_EQ(shots.size(), 4u);
  std::set<int> seen;
  for (const Event& shot : shots) {
    long into = (shot.time - ticks.front()) % kRound;
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(loadPng((dir / (shot.text + ".png")).string(), pixels, w, h));
    std::set<int> shown;
    for (uint32_t p : pixels)
      for (int c = 0; c < 5; ++c)
        if (p == kCells[c]) shown.insert(c);
    // A shot that falls exactly on a change may come before or after it.
    std::set<int> expected = {static_cast<int>(into / kCellTime)};
    if (into % kCellTime == 0) expected.insert(static_cast<int>((into / kCellTime + 4) % 5));
    ASSERT_EQ(shown.size(), 1u) << shot.text;
    EXPECT_TRUE(expected.count(*shown.begin())) << shot.text << " at +" << into;
    seen.insert(*shown.begin());
  }
  EXPECT_GE(seen.size(), 2u) << "the cursor moved on between shots";
  fs::remove_all(dir);
}

}  // namespace
