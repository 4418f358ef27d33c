// The life gauge through whole runs: the values a script may set, a loss with the gauge
// hidden and shown, where the loss picture stands, the last loss that runs the no-life
// target and ends its scenario, and every message a script can bring about.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/golden.h"

namespace fs = std::filesystem;

namespace {

// The test games' gauge units are green, the loss picture red; a unit cell is 43 wide
// from x 585 and 40 high from y 43.
constexpr int kGaugeLeft = 585;
constexpr int kUnitWidth = 43;
constexpr int kUnitTop = 43;

enum class Cell { Empty, Unit, Loss };

class LifeReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("orvane_life_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  int Play(const std::string& folder, const std::vector<std::string>& actions,
           const std::string& extra = "") {
    std::ofstream input(dir / "input.txt");
    for (const std::string& action : actions) input << action << "\n";
    input.close();
    std::string command = std::string(ORVANE_BIN_DIR) + "/orvane --headless --transcript " +
                          (dir / "transcript.txt").string() + " --input " +
                          (dir / "input.txt").string() + " --shots " + dir.string() +
                          " --save-dir " + dir.string() + " " + extra + " --scenario scn/" +
                          folder + " " + TEST_GAMES_DIR + "/scenarios >/dev/null 2>&1";
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  // Transcript events without their times.
  std::vector<std::string> Events() const {
    std::ifstream in(dir / "transcript.txt");
    std::vector<std::string> events;
    for (std::string line; std::getline(in, line);) {
      std::size_t space = line.find(' ');
      if (space != std::string::npos) events.push_back(line.substr(space + 1));
    }
    return events;
  }
  std::vector<std::string> Sounds() const {
    std::vector<std::string> out;
    for (const std::string& e : Events())
      if (e.rfind("se ", 0) == 0) out.push_back(e.substr(3));
    return out;
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const std::string& e : Events())
      if (e.rfind("message ", 0) == 0) out.push_back(e.substr(8));
    return out;
  }

  // What the five unit cells of the gauge show in a frame, left to right.
  std::vector<Cell> Gauge(const std::string& shot) const {
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    std::vector<Cell> cells;
    if (!loadPng((dir / (shot + ".png")).string(), px, w, h)) {
      ADD_FAILURE() << "no frame " << shot;
      return cells;
    }
    for (int unit = 0; unit < 5; ++unit) {
      uint32_t p = px[static_cast<std::size_t>((kUnitTop + 20) * w + kGaugeLeft +
                                               unit * kUnitWidth + 20)];
      int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff;
      cells.push_back(r > 150 && g < 80 ? Cell::Loss : g > 150 && r < 80 ? Cell::Unit
                                                                         : Cell::Empty);
    }
    return cells;
  }

  fs::path dir;
};

constexpr Cell E = Cell::Empty, U = Cell::Unit, L = Cell::Loss;
const char* const kClick = "click 400 300";
const std::string kLossSound = "sys/se/HP減少.wav";
const std::string kPage = "sys/se/文字クリック.wav";

std::string Box(const std::string& folder, int line, const std::string& text) {
  return "Orvane System: ファイル \"scn/" + folder + "/start.scn\"\\n行数 " +
         std::to_string(line) + "\\n\\n" + text;
}

}  // namespace

TEST_F(LifeReplay, SetLife_OneAndFiveAreTakenAndTheGaugeShowsTheLastSet) {
  ASSERT_EQ(Play("life_accept", {"shot five", kClick, "shot one", kClick}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{});
  EXPECT_EQ(Gauge("five"), (std::vector<Cell>{U, U, U, U, U}));
  EXPECT_EQ(Gauge("one"), (std::vector<Cell>{E, E, E, E, U}));
}

TEST_F(LifeReplay, SetLife_ZeroSixMissingAndExtraWordsAreRefused) {
  ASSERT_EQ(Play("life_bad_zero", {}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(
                         "life_bad_zero", 1, "@courtSetLifeで設定したライフの値 \"0\" は不正です。")});
  ASSERT_EQ(Play("life_bad_six", {}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(
                         "life_bad_six", 1, "@courtSetLifeで設定したライフの値 \"6\" は不正です。")});
  ASSERT_EQ(Play("life_bad_missing", {}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{
                         Box("life_bad_missing", 1, "コマンド@courtSetLifeが認識できません。")});
  ASSERT_EQ(Play("life_bad_extra", {}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(
                         "life_bad_extra", 1, "コマンド@courtSetLifeのextraオプションが認識できません。")});
  ASSERT_EQ(Play("life_bad_target", {}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(
                         "life_bad_target", 1, "コマンド@courtSetNolifeScenarioが認識できません。")});
}

TEST_F(LifeReplay, ReduceLife_HiddenGaugeShowsForTheLossAndHidesWithOneUnitLess) {
  // Life 3: the loss picture covers the third unit from the right while the gauge is up.
  ASSERT_EQ(Play("life_loss", {"shot after", kClick, "shot shown", kClick, "shot last", kClick},
                 "--shot-at 1000:losing"),
            0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{});
  EXPECT_EQ(Gauge("losing"), (std::vector<Cell>{E, E, L, U, U}));
  EXPECT_EQ(Gauge("after"), (std::vector<Cell>{E, E, E, E, E}));
  EXPECT_EQ(Gauge("shown"), (std::vector<Cell>{E, E, E, U, U}));
  // Shown and then hidden without a fade by the script: one unit is left to show.
  EXPECT_EQ(Gauge("last"), (std::vector<Cell>{E, E, E, E, E}));
  EXPECT_EQ(Sounds(), (std::vector<std::string>{kLossSound, kPage, kPage, kLossSound, kPage}));
}

TEST_F(LifeReplay, ReduceLife_LossPictureStandsOnTheUnitAboutToGo) {
  // Life 5 puts it at x 585, the gauge's first cell; life 1 at 757, the last.
  ASSERT_EQ(Play("life_nolife", {kClick, kClick}, "--shot-at 1000:losing_last"), 0);
  EXPECT_EQ(Gauge("losing_last"), (std::vector<Cell>{E, E, E, E, L}));
  ASSERT_EQ(Play("life_full_loss", {kClick}, "--shot-at 500:losing_first"), 0);
  EXPECT_EQ(Gauge("losing_first"), (std::vector<Cell>{L, U, U, U, U}));
}

TEST_F(LifeReplay, ReduceLife_LastUnitRunsNolifeAndEndsTheLosingScenario) {
  ASSERT_EQ(Play("life_nolife", {kClick, "shot nolife", kClick, kClick}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{});
  // The no-life page rings its own bell; the line after the loss never runs.
  EXPECT_EQ(Sounds(), (std::vector<std::string>{kPage, kLossSound, "sys/se/chime.wav", kPage}));
  EXPECT_EQ(Gauge("nolife"), (std::vector<Cell>{E, E, E, E, E}));
}

TEST_F(LifeReplay, ReduceLife_BareLabelTargetIsFoundInTheLosingScenariosFile) {
  ASSERT_EQ(Play("life_label", {kClick, kClick}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{});
  EXPECT_EQ(Sounds(), (std::vector<std::string>{kLossSound, "sys/se/chime.wav", kPage}));
}

TEST_F(LifeReplay, ReduceLife_UnknownNolifeLabelNamesTheLosingLine) {
  ASSERT_EQ(Play("life_bad_label", {}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{
                         Box("life_bad_label", 3, "ジャンプ先ラベル \"nowhere\" が見つかりません。")});
}

TEST_F(LifeReplay, ReduceLife_NolifeRunsThatLoseForEverAreStoppedWithAMessage) {
  ASSERT_EQ(Play("life_loop", {}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Box(
                         "life_loop", 5, "ライフが尽きたときのシナリオの中で、さらにライフが尽きすぎています。")});
}
