// A headless runtime set up on a temporary game folder, with a transcript the test can read.
#ifndef ORVANE_TESTS_PLATFORM_HEADLESS_FIXTURE_H
#define ORVANE_TESTS_PLATFORM_HEADLESS_FIXTURE_H

#include "common/replay.h"
#include "lb/runtime_setup.h"
#include "present.h"
#include "runtime.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class Headless : public ::testing::Test {
 protected:
  std::filesystem::path dir;
  std::string script;         // written as the input script when not empty
  long long maxTime = -1;
  bool useScript = false;

  void SetUp() override {
    dir = freshTestFolder("platform");
    std::filesystem::create_directories(dir / "game");
  }

  void TearDown() override {
    orvaneRuntimeShutdown();
    std::filesystem::remove_all(dir);
  }

  void writeGameFile(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories((dir / "game" / name).parent_path());
    std::ofstream(dir / "game" / name, std::ios::binary) << bytes;
  }

  // Starts the runtime; the script (if any) is the player's actions.
  void start() {
    std::string scriptPath = (dir / "input.txt").string();
    if (useScript) std::ofstream(scriptPath) << script;
    std::string game = (dir / "game").string(), transcript = (dir / "transcript.txt").string();
    std::string shots = (dir / "shots").string();
    OrvaneRuntimeOptions o{};
    o.headless = 1;
    o.gameDir = game.c_str();
    o.inputScript = useScript ? scriptPath.c_str() : nullptr;
    o.transcript = transcript.c_str();
    o.shotsDir = shots.c_str();
    o.shotAtMs = shotAtMs.data();
    o.shotAtNames = shotAtNames.data();
    o.shotAtCount = int(shotAtMs.size());
    o.maxTimeMs = maxTime;
    char error[512] = {};
    ASSERT_EQ(orvaneRuntimeSetup(&o, error, sizeof error), ORVANE_SETUP_OK) << error;
  }

  std::vector<unsigned> shotAtMs;
  std::vector<const char*> shotAtNames;

  std::vector<std::string> transcript() {
    std::ifstream in(dir / "transcript.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // Presents a plain frame of one colour. The presentation shows the buffer itself until
  // the next frame, so the buffer lives as long as the fixture.
  void frame(uint32_t colour = 0xFF102030) {
    pixels_.assign(kFrameWidth * kFrameHeight, colour);
    ASSERT_TRUE(presentFrame(pixels_.data()));
  }

 private:
  std::vector<uint32_t> pixels_;
};

#endif  // ORVANE_TESTS_PLATFORM_HEADLESS_FIXTURE_H
