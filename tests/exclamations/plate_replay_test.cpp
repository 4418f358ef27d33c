// The name plate in a real run through orvane: the game's own start-up wires the plate to the
// full-screen text, which must take it away, while the message window keeps it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/golden.h"
#include "support/sjis_literal.h"

namespace fs = std::filesystem;

namespace {

class PlateReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("orvane_plate_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    const fs::path bundled = fs::path(ORVANE_BIN_DIR) / "game";
    fs::create_directories(dir / "game" / "scn");
    fs::copy(bundled / "sys", dir / "game" / "sys", fs::copy_options::recursive);
    for (const char* cursor : {"cursor0.spr", "cursor1.spr"})
      fs::copy(bundled / cursor, dir / "game" / cursor);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir);
  }

  // Writes scn/<folder>/start.scn (Shift-JIS) and plays it with the player's actions.
  int Play(const std::string& folder, const std::string& scenario,
           const std::vector<std::string>& actions) {
    fs::create_directories(dir / "game" / "scn" / folder);
    std::ofstream(dir / "game" / "scn" / folder / "start.scn", std::ios::binary) << scenario;
    std::ofstream input(dir / "input.txt");
    for (const std::string& action : actions) input << action << "\n";
    input.close();
    std::string command = std::string(ORVANE_BIN_DIR) + "/orvane --headless --input " +
                          (dir / "input.txt").string() + " --shots " + dir.string() +
                          " --save-dir " + dir.string() + " --scenario scn/" + folder + " " +
                          (dir / "game").string() + " >/dev/null 2>&1";
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  std::vector<uint32_t> Shot(const std::string& name) const {
    return loadShot((dir / (name + ".png")).string());
  }

  fs::path dir;
};

// The brightest channel of a pixel.
int Brightness(uint32_t pixel) {
  return std::max({(pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF});
}

}  // namespace

TEST_F(PlateReplay, NamePlate_StaysOverTheWindowAndGoesWithFullScreenText) {
  const std::string scenario = std::string(
      ":start\n"
      "@textShowMessage\n"
      "@textShowName hoshino\n") +
      "一[np]\n"_sj + "@textShowMessage\n" + "二[np]\n"_sj + "@textShowFull\n" +
      "三[np]\n"_sj + "@exit\n";
  ASSERT_EQ(Play("excl_plate", scenario,
                 {"shot plate", "click 400 300", "shot again", "click 400 300", "shot full",
                  "click 400 300"}),
            0);
  // A point inside the plate, clear of its lettering.
  const std::size_t inPlate = 375u * 800u + 12u;
  EXPECT_GT(Brightness(Shot("plate")[inPlate]), 30);
  EXPECT_GT(Brightness(Shot("again")[inPlate]), 30);  // a new page keeps the speaker
  EXPECT_LT(Brightness(Shot("full")[inPlate]), 8);
}
